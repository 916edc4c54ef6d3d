// Media files for the engine tests, made by GStreamer's own encoders into one shared folder
// of the build tree.
#pragma once

#include "platform/MessageQueue.h"
#include "platform/QtMessagePump.h"
#include "platform/RegisteredMessages.h"
#include "playback/EngineManager.h"
#include "tests/support/EventLoopWait.h"
#include "tests/support/RecordingWnd.h"
#include "tests/support/ScopedEnv.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <string>
#include <sys/file.h>
#include <unistd.h>

namespace mediatest {

using testsupport::CScopedEnv;
using testsupport::Settle;
using testsupport::WaitFor;

// Runs a gst-launch pipeline into a file; false when it failed or wrote nothing.
inline bool Encode(const std::string& pipeline, const std::string& path) {
    const std::string command =
        "gst-launch-1.0 -q " + pipeline + " ! filesink location='" + path + "' >/dev/null 2>&1";
    std::error_code ec;
    return std::system(command.c_str()) == 0 && std::filesystem::file_size(path, ec) > 0;
}

class CMediaFolder {
public:
    static constexpr const char* kArtist = "The Test Tones";
    static constexpr const char* kTitle = "Sine No. 5";

    static CMediaFolder& Instance() {
        static CMediaFolder folder;
        return folder;
    }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }
    bool Ok() const { return m_bOk; }

private:
    // CTest runs every test in a process of its own: the folder is made once, in the build
    // tree, by whichever process takes its lock first, and reused by the others. The version in
    // its name changes whenever the media change.
    CMediaFolder() : m_path(std::string(CORVELLA_BINARY_DIR) + "/test-media-v3") {
        std::filesystem::create_directories(m_path);
        const int lock = ::open((m_path + "/lock").c_str(), O_CREAT | O_RDWR, 0600);
        ::flock(lock, LOCK_EX);
        m_bOk = std::filesystem::exists(m_path + "/complete") ||
                (MakeAll() && std::ofstream(m_path + "/complete") << "1");
        ::close(lock);
    }

    bool MakeAll() const {
        const std::string tone = "audiotestsrc num-buffers=60 ! audioconvert ! ";
        const std::string v320 = "videotestsrc num-buffers=30 ! "
                                 "video/x-raw,width=320,height=240,framerate=15/1 ! ";
        // The artist and title, quoted for the shell and for gst-launch.
        const std::string tags = std::string("taginject 'tags=\"artist=\\\"") + kArtist +
                                 "\\\",title=\\\"" + kTitle + "\\\"\"' ! ";
        const std::pair<std::string, const char*> files[] = {
            {tone + "lamemp3enc", "clip.mp3"},
            {tone + "wavenc", "clip.wav"},
            {"videotestsrc num-buffers=50 ! video/x-raw,width=320,height=240,framerate=25/1 ! "
             "videoconvert ! mpeg2enc format=0 ! mpegpsmux",
             "clip.mpg"},
            {v320 + "jpegenc ! avimux", "clip.avi"},
            {"audiotestsrc num-buffers=20 ! audioconvert ! avenc_wmav2 ! m. " + v320 +
                 "avenc_wmv2 ! asfmux name=m",
             "clip.wmv"},
            {v320 + "jpegenc ! qtmux", "clip.mov"},
            {tone + "vorbisenc ! oggmux", "clip.ogg"},
            {tone + "flacenc", "clip.flac"},
            {tone + "audioresample ! opusenc ! oggmux", "clip.opus"},
            {tone + "avenc_aac ! mp4mux", "clip.m4a"},
            {v320 + "vp8enc deadline=1 ! webmmux", "clip.webm"},
            {v320 + "jpegenc ! matroskamux", "clip.mkv"},
            {v320 + "x264enc speed-preset=ultrafast ! mp4mux", "clip.mp4"},
            {v320 + "x264enc speed-preset=ultrafast ! h264parse ! mpegtsmux", "clip.ts"},
            {tone + "wavpackenc", "clip.wv"},
            {tone + tags + "vorbisenc ! oggmux", "tagged.ogg"},
            {tone + "lamemp3enc ! " + tags + "id3v2mux", "tagged.mp3"},
            // A Matroska track name is no title.
            {tone + "vorbisenc ! taginject 'tags=\"title=Audio\"' ! matroskamux", "named.mka"},
            {"audiotestsrc num-buffers=120 samplesperbuffer=8000 ! "
             "audio/x-raw,rate=8000,channels=1 "
             "! audioconvert ! lamemp3enc target=bitrate bitrate=8",
             "long.mp3"},
        };
        bool ok = true;
        for (const auto& [pipeline, name] : files)
            ok = ok && Encode(pipeline, *this / name);
        std::error_code ec;
        std::filesystem::create_directory(*this / "folder.with.dots", ec);
        for (const auto& [from, to] : {std::pair{"clip.wmv", "CAPS.WMV"},
                                       {"clip.mp3", "noextension"},
                                       {"clip.wav", "folder.with.dots/sound"}})
            ok = ok && std::filesystem::copy_file(*this / from, *this / to, ec);
        // The first 150,000 bytes of the AVI, and 20,000 random bytes named as an MP3.
        std::string data(150000, '\0');
        std::ifstream(*this / "clip.avi", std::ios::binary).read(data.data(), 150000);
        std::ofstream(*this / "truncated.avi", std::ios::binary) << data;
        std::mt19937 random(7);
        data.resize(20000);
        for (char& c : data)
            c = char(random() & 0xFF);
        std::ofstream(*this / "random.mp3", std::ios::binary) << data;
        return ok;
    }

    std::string m_path;
    bool m_bOk = false;
};

inline std::string Media(const std::string& name) {
    EXPECT_TRUE(CMediaFolder::Instance().Ok()) << "media fixtures could not be made";
    return CMediaFolder::Instance() / name;
}

// A play window stand-in (recording every notification) holding a real engine manager, with
// the message queue driven by Qt's event loop as in the program.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::CMessageQueue::Instance().Reset();
        m_pPump = std::make_unique<platform::CQtMessagePump>();
        ASSERT_TRUE(m_parent.CreateTopLevel({0, 0, 400, 300}, "play"));
        m_parent.ShowWindow(SW_SHOWNA);
    }
    void TearDown() override {
        m_manager.reset();
        m_parent.DestroyWindow();
        m_pPump.reset();
        platform::CMessageQueue::Instance().Reset();
    }

    void CreateManager(bool windowsMediaOnly = true) {
        m_manager = std::make_unique<CEngineManager>();
        if (windowsMediaOnly)
            m_manager->ApplyEditionSwitch();
        m_manager->SetExtensions(EngineDShow, "*.asf;*.mpg;*.mp3;*.avi;*.wav;*.wma;*.wmv");
        m_manager->SetExtensions(EngineReal, "*.rm;*.ra;*.ram");
        m_manager->SetExtensions(EngineQuickTime, "*.mov;*.qt");
        m_manager->SetExtensions(EngineCDAudio, "*.cda");
        ASSERT_TRUE(m_manager->Create({6, 18, 306, 230}, &m_parent, 1));
    }

    std::size_t Count(UINT message) const { return m_parent.Only(message).size(); }
    bool Completed() const { return Count(WM_REG_PLAYCOMPLETED) > 0; }
    // The first finish report's argument: 0 ended or stopped, 1 failed.
    WPARAM FinishReport() const { return m_parent.Only(WM_REG_PLAYCOMPLETED).at(0).wParam; }
    // The index of the first (message, wParam) received from `from` on; -1 when missing.
    long IndexOf(UINT message, WPARAM wParam, std::size_t from = 0) const {
        for (std::size_t i = from; i < m_parent.m_received.size(); ++i)
            if (m_parent.m_received[i].message == message &&
                m_parent.m_received[i].wParam == wParam)
                return long(i);
        return -1;
    }

    // Opens path and waits until it plays (or the attempt ended).
    bool OpenAndPlay(const std::string& path) {
        m_parent.m_received.clear();
        m_manager->SetPath(path);
        m_manager->Play(true);
        return WaitFor([&] {
                   return Completed() || (Count(WM_REG_OPENSUCCESSED) >= 2 &&
                                          m_manager->GetPlayState() == EnginePlaying);
               }) &&
               !Completed();
    }
    // Stops the clip and waits for the finish report.
    bool StopAndWait() {
        m_manager->Stop();
        return WaitFor([&] { return Completed(); });
    }
    void OpenAndStop(const std::string& path) {
        ASSERT_TRUE(OpenAndPlay(path)) << path;
        ASSERT_TRUE(StopAndWait()) << path;
    }

    std::unique_ptr<platform::CQtMessagePump> m_pPump;
    CRecordingWnd m_parent;
    std::unique_ptr<CEngineManager> m_manager;
};

} // namespace mediatest
