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

#include <QApplication>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <string>

namespace mediatest {

class CMediaFolder {
public:
    static CMediaFolder& Instance() {
        static CMediaFolder folder;
        return folder;
    }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }
    bool Ok() const { return m_bOk; }

private:
    // CTest runs every test in a process of its own: the folder is made once, in the build
    // tree, by whichever process comes first (built aside, then renamed into place), and
    // reused by the others. The version in its name changes whenever the media change.
    CMediaFolder() {
        const std::string final = std::string(CORVELLA_BINARY_DIR) + "/test-media-v2";
        if (!std::filesystem::exists(final + "/complete")) {
            std::string pattern = final + ".tmp-XXXXXX";
            if (!::mkdtemp(pattern.data()))
                return;
            m_path = pattern;
            std::error_code ec;
            if (MakeAll()) {
                std::ofstream(m_path + "/complete") << "1";
                std::filesystem::rename(m_path, final, ec);
            }
            std::filesystem::remove_all(m_path, ec); // left only when another process won
        }
        m_path = final;
        m_bOk = std::filesystem::exists(final + "/complete");
    }

    bool MakeAll() const {
        const std::string v320 = "videotestsrc num-buffers=30 ! "
                                 "video/x-raw,width=320,height=240,framerate=15/1 ! ";
        bool ok =
            Make("audiotestsrc num-buffers=60 ! audioconvert ! lamemp3enc", "clip.mp3") &&
            Make("audiotestsrc num-buffers=60 ! wavenc", "clip.wav") &&
            Make("videotestsrc num-buffers=50 ! video/x-raw,width=320,height=240,framerate=25/1 ! "
                 "videoconvert ! mpeg2enc format=0 ! mpegpsmux",
                 "clip.mpg") &&
            Make(v320 + "jpegenc ! avimux", "clip.avi") &&
            Make("audiotestsrc num-buffers=20 ! audioconvert ! avenc_wmav2 ! m. " + v320 +
                     "avenc_wmv2 ! asfmux name=m",
                 "clip.wmv") &&
            Make(v320 + "jpegenc ! qtmux", "clip.mov") &&
            Make("audiotestsrc num-buffers=60 ! audioconvert ! vorbisenc ! oggmux", "clip.ogg") &&
            Make("audiotestsrc num-buffers=60 ! audioconvert ! flacenc", "clip.flac") &&
            Make("audiotestsrc num-buffers=60 ! audioconvert ! audioresample ! opusenc ! oggmux",
                 "clip.opus") &&
            Make("audiotestsrc num-buffers=60 ! audioconvert ! avenc_aac ! mp4mux", "clip.m4a") &&
            Make(v320 + "vp8enc deadline=1 ! webmmux", "clip.webm") &&
            Make(v320 + "jpegenc ! matroskamux", "clip.mkv") &&
            Make(v320 + "x264enc speed-preset=ultrafast ! mp4mux", "clip.mp4") &&
            Make(v320 + "x264enc speed-preset=ultrafast ! h264parse ! mpegtsmux", "clip.ts") &&
            Make("audiotestsrc num-buffers=60 ! audioconvert ! wavpackenc", "clip.wv") &&
            Make("audiotestsrc num-buffers=60 ! audioconvert ! " + Tags() + " ! vorbisenc ! oggmux",
                 "tagged.ogg") &&
            Make("audiotestsrc num-buffers=60 ! audioconvert ! lamemp3enc ! " + Tags() +
                     " ! id3v2mux",
                 "tagged.mp3") &&
            Make("audiotestsrc num-buffers=120 samplesperbuffer=8000 ! "
                 "audio/x-raw,rate=8000,channels=1 ! audioconvert ! "
                 "lamemp3enc target=bitrate bitrate=8",
                 "long.mp3");
        std::error_code ec;
        std::filesystem::copy_file(*this / "clip.wmv", *this / "CAPS.WMV", ec);
        ok = ok && !ec;
        std::filesystem::copy_file(*this / "clip.mp3", *this / "noextension", ec);
        ok = ok && !ec;
        std::filesystem::create_directory(*this / "folder.with.dots", ec);
        std::filesystem::copy_file(*this / "clip.wav", *this / "folder.with.dots/sound", ec);
        ok = ok && !ec;
        CopyPrefix(*this / "clip.avi", *this / "truncated.avi", 150000);
        WriteRandom(*this / "random.mp3", 20000);
        return ok;
    }

public:
    static constexpr const char* kArtist = "The Test Tones";
    static constexpr const char* kTitle = "Sine No. 5";

private:
    // The artist and title for taginject, quoted for the shell and for gst-launch.
    static std::string Tags() {
        return std::string("taginject 'tags=\"artist=\\\"") + kArtist + "\\\",title=\\\"" + kTitle +
               "\\\"\"'";
    }

    bool Make(const std::string& pipeline, const std::string& name) const {
        const std::string command = "gst-launch-1.0 -q " + pipeline + " ! filesink location='" +
                                    (*this / name) + "' >/dev/null 2>&1";
        std::error_code ec;
        return std::system(command.c_str()) == 0 &&
               std::filesystem::file_size(*this / name, ec) > 0;
    }
    static void CopyPrefix(const std::string& from, const std::string& to, std::size_t bytes) {
        std::ifstream in(from, std::ios::binary);
        std::string data(bytes, '\0');
        in.read(data.data(), std::streamsize(bytes));
        std::ofstream(to, std::ios::binary).write(data.data(), in.gcount());
    }
    static void WriteRandom(const std::string& path, std::size_t bytes) {
        std::mt19937 random(7);
        std::string data(bytes, '\0');
        for (char& c : data)
            c = char(random() & 0xFF);
        std::ofstream(path, std::ios::binary) << data;
    }

    std::string m_path;
    bool m_bOk = false;
};

inline std::string Media(const std::string& name) {
    return CMediaFolder::Instance() / name;
}

using testsupport::CScopedEnv;

// A play window stand-in (recording every notification) holding a real engine manager, with
// the message queue driven by Qt's event loop as in the program.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CMediaFolder::Instance().Ok()) << "media fixtures could not be made";
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
        m_manager->SetExtensions(EngineDShow, "*.asf;*.mpg;*.mp3;*.mp2;*.mpeg;*.mpa;*.mpga;*.mpv;"
                                              "*.dat;*.avi;*.wav;*.au;*.wma;*.wmv");
        m_manager->SetExtensions(EngineReal,
                                 "*.rm;*.ra;*.ram;*.rp;*.rt;*.swf;*.viv;*.aif;*.snd;*.jpg;*.gif");
        m_manager->SetExtensions(EngineQuickTime, "*.mov;*.qt");
        m_manager->SetExtensions(EngineCDAudio, "*.cda");
        ASSERT_TRUE(m_manager->Create({6, 18, 306, 230}, &m_parent, 1));
    }

    static bool WaitFor(const std::function<bool()>& pred, int limitMs = 30000) {
        return testsupport::WaitFor(pred, limitMs);
    }
    static void Settle(int ms = 200) { testsupport::Settle(ms); }

    std::size_t Count(UINT message) const { return m_parent.Only(message).size(); }
    bool Completed() const { return Count(WM_REG_PLAYCOMPLETED) > 0; }
    bool Opened() const { return Count(WM_REG_OPENSUCCESSED) >= 2; }

    // Opens path and waits until it plays (or the attempt ended).
    bool OpenAndPlay(const std::string& path) {
        m_parent.m_received.clear();
        m_manager->SetPath(path);
        m_manager->Play(true);
        return WaitFor([&] {
                   return Completed() || (Opened() && m_manager->GetPlayState() == EnginePlaying);
               }) &&
               !Completed();
    }
    // Plays path to its open and stops it again, waiting for the finish report.
    void OpenAndStop(const std::string& path) {
        ASSERT_TRUE(OpenAndPlay(path)) << path;
        m_manager->Stop();
        ASSERT_TRUE(WaitFor([&] { return Completed(); })) << path;
    }

    std::unique_ptr<platform::CQtMessagePump> m_pPump;
    CRecordingWnd m_parent;
    std::unique_ptr<CEngineManager> m_manager;
};

} // namespace mediatest
