// The engine manager with the real GStreamer media engine, on media made by the tests.
#include "tests/playback/MediaFixtures.h"

#include "platform/Log.h"
#include "playback/AudioEffects.h"
#include "playback/DShowEngine.h"
#include "playback/DShowWnd.h"
#include "playback/GstSupport.h"
#include "tests/playback/RadioStreamServer.h"
#include "tests/support/ScratchFolder.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gst/gst.h>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#ifdef __SANITIZE_ADDRESS__
// The AddressSanitizer runtime's count of heap bytes in use (its header is not always installed).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

using namespace mediatest;

namespace {

CDShowWnd* WndOf(const CEngineManager& manager) {
    return static_cast<CDShowEngine*>(manager.GetEngine(EngineDShow))->GetWnd();
}

// Indexes of the first occurrence of each (message, wParam) in the record; -1 when missing.
long IndexOf(const CRecordingWnd& wnd, UINT message, WPARAM wParam, std::size_t from = 0) {
    for (std::size_t i = from; i < wnd.m_received.size(); ++i)
        if (wnd.m_received[i].message == message && wnd.m_received[i].wParam == wParam)
            return long(i);
    return -1;
}

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream body;
    body << in.rdbuf();
    return body.str();
}

} // namespace

TEST_F(EngineTest, OpenPlayPauseResumeAndStopReportInOrderAndASecondStopDoesNothing) {
    CreateManager();
    ASSERT_TRUE(OpenAndPlay(Media("clip.wav")));
    ASSERT_TRUE(WaitFor([&] { return Count(WM_REG_OPENSUCCESSED) == 2; }));
    const long loading = IndexOf(m_parent, WM_REG_CLIPLOADING, 1);
    const long opened = IndexOf(m_parent, WM_REG_OPENSUCCESSED, 1);
    const long loaded = IndexOf(m_parent, WM_REG_CLIPLOADING, 0);
    const long playing = IndexOf(m_parent, WM_REG_PLAYSTATE, EnginePlaying);
    const long openEnd = IndexOf(m_parent, WM_REG_OPENSUCCESSED, 0);
    EXPECT_EQ(loading, 0);
    EXPECT_LT(loading, opened);
    EXPECT_LT(opened, loaded);
    EXPECT_LT(loaded, playing);
    EXPECT_LT(loaded, openEnd);
    EXPECT_EQ(m_manager->GetCurrentEngine(), m_manager->GetEngine(EngineDShow));
    EXPECT_FALSE(m_manager->IsLoading());
    EXPECT_TRUE(m_manager->IsActive());

    m_manager->Pause();
    EXPECT_EQ(m_manager->GetPlayState(), EnginePaused);
    const std::size_t before = m_parent.m_received.size();
    m_manager->Play(true); // resumes without opening again
    EXPECT_EQ(m_manager->GetPlayState(), EnginePlaying);
    EXPECT_EQ(IndexOf(m_parent, WM_REG_CLIPLOADING, 1, before), -1);
    EXPECT_EQ(IndexOf(m_parent, WM_REG_PLAYSTATE, EnginePlaying, before), long(before));

    m_manager->Pause();
    m_manager->Stop();
    ASSERT_TRUE(WaitFor([&] { return Completed(); }));
    Settle();
    ASSERT_EQ(Count(WM_REG_PLAYCOMPLETED), 1u) << "one finish report for one stop";
    EXPECT_EQ(m_parent.Only(WM_REG_PLAYCOMPLETED)[0].wParam, 0u);
    const auto resetting = m_parent.Only(WM_REG_ENGINERESETTING);
    ASSERT_EQ(resetting.size(), 2u);
    EXPECT_EQ(resetting[0].wParam, 12u);
    EXPECT_EQ(resetting[0].lParam, 1);
    EXPECT_EQ(resetting[1].lParam, 0);
    EXPECT_EQ(m_manager->GetPlayState(), EngineStopped);
    EXPECT_EQ(m_manager->GetCurrentEngine(), nullptr);
    // A stop while stopped does nothing. (Playing to the end is the format table's test.)
    EXPECT_FALSE(WndOf(*m_manager)->HasGraph());
    WndOf(*m_manager)->Stop();
    Settle();
    EXPECT_EQ(Count(WM_REG_PLAYCOMPLETED), 1u);
}

// What the play window hands on to the playlist row and the time display: the length and the
// tag texts as they stand at the opened report and at every later refresh.
struct Reported {
    double duration = 0;
    std::string artist;
    std::string title;
};

class ReportingEngineTest : public EngineTest {
protected:
    void WatchReports() {
        m_parent.m_onMessage = [this](UINT message, WPARAM wParam, LPARAM) {
            if ((message == WM_REG_OPENSUCCESSED && wParam == 0) ||
                message == WM_REG_CLIPINFOCHANGED)
                m_reported = {m_manager->GetDuration(), m_manager->GetInfoText1(),
                              m_manager->GetInfoText2()};
        };
    }
    Reported m_reported;
};

TEST_F(ReportingEngineTest, EachFormatOpensWithItsPictureAndLengthAndPlaysToItsEnd) {
    CreateManager();
    WatchReports();
    struct Case {
        const char* file;
        int width;
        int height;
        int seconds; // whole seconds of what the fixture holds
    };
    for (const Case& c :
         {Case{"clip.mp3", 0, 0, 1}, Case{"clip.wav", 0, 0, 1}, Case{"clip.mpg", 320, 240, 2},
          Case{"clip.avi", 320, 240, 2}, Case{"clip.wmv", 320, 240, 2},
          Case{"CAPS.WMV", 320, 240, 2}, Case{"clip.mov", 320, 240, 2}, Case{"clip.ogg", 0, 0, 1},
          Case{"clip.flac", 0, 0, 1}, Case{"clip.opus", 0, 0, 1}, Case{"clip.m4a", 0, 0, 1},
          Case{"clip.webm", 320, 240, 2}, Case{"clip.mkv", 320, 240, 2},
          Case{"clip.mp4", 320, 240, 2}, Case{"clip.ts", 320, 240, 2}, Case{"clip.wv", 0, 0, 1},
          Case{"noextension", 0, 0, 1}, Case{"folder.with.dots/sound", 0, 0, 1},
          Case{"long.mp3", 0, 0, 120}}) {
        SCOPED_TRACE(c.file);
        m_reported = {};
        ASSERT_TRUE(OpenAndPlay(Media(c.file)));
        EXPECT_EQ(m_manager->GetVideoSize(), (CSize{c.width, c.height}));
        EXPECT_EQ(m_manager->IsAudioOnly(), c.width == 0);
        EXPECT_EQ(m_manager->GetOpenedPath(), Media(c.file));
        // QuickTime files too, with the edition switch, and files without an extension.
        EXPECT_EQ(m_manager->GetCurrentEngine(), m_manager->GetEngine(EngineDShow));
        if (c.seconds > 2) { // the long clip plays until its length is known
            EXPECT_TRUE(WaitFor([&] { return m_reported.duration > 0; }, 10000));
            m_manager->Stop();
            ASSERT_TRUE(WaitFor([&] { return Completed(); }));
        } else {
            ASSERT_TRUE(WaitFor([&] { return Completed(); }));
            EXPECT_EQ(m_parent.Only(WM_REG_PLAYCOMPLETED)[0].wParam, 0u) << "ended, not failed";
            EXPECT_EQ(m_parent.Only(WM_REG_PLAYSTATE).back().wParam, WPARAM(EngineStopped));
        }
        EXPECT_GE(m_reported.duration, 1.0);
        // A header-less MP3's length is an estimate from its bit rate.
        EXPECT_NEAR(m_reported.duration, c.seconds, std::max(1.0, c.seconds / 10.0));
    }
}

TEST_F(ReportingEngineTest, TheOpenedClipsTagsAreItsInformationTexts) {
    CreateManager();
    WatchReports();
    for (const char* file : {"tagged.ogg", "tagged.mp3"}) {
        SCOPED_TRACE(file);
        m_reported = {};
        ASSERT_TRUE(OpenAndPlay(Media(file)));
        ASSERT_TRUE(WaitFor([&] { return !m_reported.title.empty(); }));
        EXPECT_EQ(m_reported.artist, CMediaFolder::kArtist);
        EXPECT_EQ(m_reported.title, CMediaFolder::kTitle);
        m_manager->Stop();
        ASSERT_TRUE(WaitFor([&] { return Completed(); }));
    }
    // An untagged clip names nothing, so the row keeps the file name.
    ASSERT_TRUE(OpenAndPlay(Media("clip.ogg")));
    EXPECT_EQ(m_manager->GetInfoText1(), "");
    EXPECT_EQ(m_manager->GetInfoText2(), "");
    m_manager->Stop();
    ASSERT_TRUE(WaitFor([&] { return Completed(); }));
    // Nor does the name of a Matroska file's track, heard to the end.
    testsupport::ScratchFolder scratch;
    const std::string named = scratch / "named.mka";
    ASSERT_EQ(std::system(("gst-launch-1.0 -q audiotestsrc num-buffers=30 ! audioconvert ! "
                           "vorbisenc ! taginject 'tags=\"title=Audio\"' ! matroskamux ! "
                           "filesink location='" +
                           named + "' >/dev/null 2>&1")
                              .c_str()),
              0);
    m_reported = {};
    ASSERT_TRUE(OpenAndPlay(named));
    EXPECT_EQ(m_manager->GetInfoText2(), "");
    ASSERT_TRUE(WaitFor([&] { return Completed(); }));
    EXPECT_EQ(m_reported.title, "");
}

// An internet radio station: the address plays as it is, has no length, names its station,
// and its row follows each new title the stream announces.
TEST_F(ReportingEngineTest, ARadioStreamIsLiveAndItsTitlesFollowTheStream) {
    CreateManager();
    std::vector<std::string> titles;
    m_parent.m_onMessage = [&](UINT message, WPARAM wParam, LPARAM) {
        if ((message != WM_REG_OPENSUCCESSED || wParam != 0) && message != WM_REG_CLIPINFOCHANGED)
            return;
        const std::string title = m_manager->GetInfoText2();
        if (!title.empty() && (titles.empty() || titles.back() != title))
            titles.push_back(title);
    };
    CRadioStreamServer server(ReadWhole(Media("clip.mp3")), "audio/mpeg", "Test Radio",
                              {"First Song", "Second Song", "Second Song"}, 3, 20);
    const std::string url = server.Url("/radio");
    ASSERT_TRUE(OpenAndPlay(url));
    EXPECT_EQ(m_manager->GetOpenedPath(), url);
    ASSERT_TRUE(WaitFor([&] { return !titles.empty() && titles.back() == "Second Song"; }))
        << ::testing::PrintToString(titles);
    EXPECT_EQ(titles.front(), "First Song");
    EXPECT_EQ(m_manager->GetInfoText1(), "Test Radio");
    EXPECT_EQ(m_manager->GetDuration(), 0.0);
    EXPECT_TRUE(server.AskedForTitles());
    m_manager->Stop();
    ASSERT_TRUE(WaitFor([&] { return Completed(); }));

    // Buffering shows over the picture as a percentage, and never hides a failure's text.
    DShowStatus status;
    const auto buffering = [&](int percent) {
        status.buffering = percent;
        m_manager->SendMessage(WM_REG_DSHOWNOTIFY, DShowBuffering, LPARAM(&status));
        return m_manager->GetOverlayText();
    };
    EXPECT_EQ(buffering(40), "Buffering 40%");
    EXPECT_EQ(buffering(100), "");
    m_manager->SetOverlayText("Not a valid media file.");
    EXPECT_EQ(buffering(10), "Not a valid media file.");
    m_manager->SetOverlayText({});

    // A dropped connection is opened again: the station goes on without the clip ending.
    CRadioStreamServer dropping(ReadWhole(Media("clip.mp3")), "audio/mpeg", "Test Radio",
                                {"First Song"}, 3, 20);
    dropping.DropFirstConnectionAfter(CRadioStreamServer::kMetaInt);
    m_parent.m_received.clear();
    ASSERT_TRUE(OpenAndPlay(dropping.Url("/radio")));
    const auto reopened = [&] {
        return std::count_if(m_parent.m_received.begin(), m_parent.m_received.end(),
                             [](const auto& m) {
                                 return m.message == WM_REG_OPENSUCCESSED && m.wParam == 0;
                             }) == 2;
    };
    ASSERT_TRUE(WaitFor([&] { return dropping.Connections() == 2 && reopened(); }))
        << dropping.Connections();
    EXPECT_FALSE(Completed());
    m_manager->Stop();
    ASSERT_TRUE(WaitFor([&] { return Completed(); }));
    EXPECT_EQ(dropping.Connections(), 2) << "a stopped station is not reopened";
}

// A FIFO that nobody writes to blocks its reader on open for good.
TEST_F(EngineTest, AnOpenThatNeverCompletesFailsAtTheTimeOutAndLeavesTheEngineUsable) {
    testsupport::ScratchFolder scratch;
    const std::string fifo = scratch / "silent.mp3";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    CreateManager();
    m_manager->SetPath(fifo);
    m_manager->Play(true); // returns: the interface does not wait for the source
    Settle(500);
    EXPECT_TRUE(m_manager->IsLoading());
    EXPECT_FALSE(Completed());
    m_manager->SendMessage(WM_TIMER, CEngineManager::kOpenTimer, 0);
    ASSERT_TRUE(WaitFor([&] { return Completed(); }));
    EXPECT_EQ(m_parent.Only(WM_REG_PLAYCOMPLETED)[0].wParam, 1u);
    EXPECT_FALSE(m_manager->IsLoading());
    // The next clip opens while the abandoned one still hangs; closing the engine afterwards
    // does not wait for it either.
    ASSERT_TRUE(OpenAndPlay(Media("clip.wav")));
    m_manager->Stop();
    ASSERT_TRUE(WaitFor([&] { return Completed(); }));
    m_manager.reset();
}

// Damaged or missing files, and types whose engine has no runtime here.
TEST_F(EngineTest, ClipsThatCannotOpenFailWithTheirText) {
    CreateManager(false);
    EXPECT_FALSE(m_manager->GetEngine(EngineQuickTime)->IsInstalled());
    EXPECT_FALSE(m_manager->GetEngine(EngineReal)->IsInstalled());
    EXPECT_FALSE(m_manager->AllInstalled());
    const std::string invalid = "Not a valid media file.";
    const std::string more = "\rFor more info visit www.corvella-player.org";
    struct Case {
        const char* file;
        std::string text;
    };
    // (The CD engine exists here; its own tests cover a drive without a disc.)
    for (const Case& c : {Case{"random.mp3", invalid}, Case{"absent.mp3", invalid},
                          Case{"clip.mov", "QuickTime Engine not installed." + more},
                          Case{"clip.rm", "RealMedia Engine not installed." + more}}) {
        SCOPED_TRACE(c.file);
        EXPECT_FALSE(OpenAndPlay(Media(c.file)));
        ASSERT_EQ(Count(WM_REG_PLAYCOMPLETED), 1u);
        EXPECT_EQ(m_parent.Only(WM_REG_PLAYCOMPLETED)[0].wParam, 1u);
        EXPECT_EQ(m_manager->GetOverlayText(), c.text);
        EXPECT_EQ(Count(WM_REG_OPENSUCCESSED), 0u);
        EXPECT_FALSE(m_manager->IsLoading());
        EXPECT_EQ(m_parent.Only(WM_REG_PLAYSTATE).back().wParam, WPARAM(EngineStopped));
        const auto loading = m_parent.Only(WM_REG_CLIPLOADING);
        EXPECT_TRUE(loading.empty() || loading.back().wParam == 0u);
    }
    // A good clip afterwards opens and clears the text.
    ASSERT_TRUE(OpenAndPlay(Media("clip.wav")));
    EXPECT_EQ(m_manager->GetOverlayText(), "");
}

TEST_F(EngineTest, ATruncatedFilePlaysWhatItHoldsAndFinishes) {
    CreateManager();
    ASSERT_TRUE(OpenAndPlay(Media("truncated.avi")));
    EXPECT_EQ(m_manager->GetVideoSize(), (CSize{320, 240}));
    ASSERT_TRUE(WaitFor([&] { return Completed(); }));
    EXPECT_EQ(m_parent.Only(WM_REG_PLAYCOMPLETED)[0].wParam, 0u);
    EXPECT_EQ(m_manager->GetPlayState(), EngineStopped);
}

TEST_F(EngineTest, AnErrorWhilePlayingFailsTheClip) {
    CScopedEnv sink("CORVELLA_VIDEO_SINK", "identity error-after=20 ! fakesink");
    CreateManager();
    ASSERT_TRUE(OpenAndPlay(Media("clip.avi")));
    ASSERT_TRUE(WaitFor([&] { return Completed(); }));
    EXPECT_EQ(m_parent.Only(WM_REG_PLAYCOMPLETED)[0].wParam, 1u);
    EXPECT_EQ(m_manager->GetOverlayText(), "Not a valid media file.");
    EXPECT_EQ(m_manager->GetPlayState(), EngineStopped);
    EXPECT_FALSE(WndOf(*m_manager)->HasGraph());
}

TEST_F(EngineTest, SeekingTo90Point7LandsAt90Seconds) {
    CreateManager();
    ASSERT_TRUE(OpenAndPlay(Media("long.mp3")));
    EXPECT_TRUE(m_manager->CanSeek());
    // An MP3's length is known once it plays.
    EXPECT_TRUE(WaitFor([&] { return m_manager->GetDuration() >= 119.0; }));
    m_manager->Pause();
    m_manager->Seek(90.7);
    CDShowWnd* pWnd = WndOf(*m_manager);
    ASSERT_TRUE(WaitFor([&] { return pWnd->GetExactPosition() >= 89.9; }));
    Settle();
    EXPECT_NEAR(pWnd->GetExactPosition(), 90.0, 0.1);
    EXPECT_EQ(m_manager->GetPosition(), 90.0);
}

TEST_F(EngineTest, VolumeAsThePipelinesLinearFactor) {
    // The sink may keep the factor as a float.
    auto near = [](double a, double b) { return std::abs(a - b) <= b * 1e-6; };
    EXPECT_DOUBLE_EQ(CDShowEngine::VolumeToGain(0), 1e-4);
    for (int v : {0, 1, 50, 75, 99, 100})
        EXPECT_EQ(CDShowEngine::GainToVolume(CDShowEngine::VolumeToGain(v)), v);

    CreateManager();
    ASSERT_TRUE(OpenAndPlay(Media("clip.wav")));
    CDShowWnd* pWnd = WndOf(*m_manager);
    m_manager->SetVolume(75);
    EXPECT_PRED2(near, pWnd->GetPipelineVolume(), 0.75);
    EXPECT_EQ(m_manager->GetVolume(), 75);
    m_manager->SetVolume(0);
    EXPECT_PRED2(near, pWnd->GetPipelineVolume(), 1e-4) << "volume 0 is quiet, not silent";
    m_manager->SetMute(true);
    EXPECT_PRED2(near, pWnd->GetPipelineVolume(), CDShowWnd::kMuteGain);
    EXPECT_TRUE(m_manager->GetMute());
    m_manager->SetVolume(50); // remembered while muted
    EXPECT_PRED2(near, pWnd->GetPipelineVolume(), CDShowWnd::kMuteGain);
    m_manager->SetMute(false);
    EXPECT_PRED2(near, pWnd->GetPipelineVolume(), 0.5);
}

TEST_F(EngineTest, VideoFramesArePaintedAtTheSizeTheManagerGives) {
    CScopedEnv video("CORVELLA_VIDEO_SINK", nullptr);
    CreateManager();
    ASSERT_TRUE(OpenAndPlay(Media("clip.avi")));
    m_manager->SetRect({6, 18, 166, 138});
    // The decoded picture is shown where the decoder left it and scaled as it is painted.
    CDShowWnd* pWnd = WndOf(*m_manager);
    ASSERT_TRUE(WaitFor(
        [&] { return pWnd->GetPicture().Width() == 320 && pWnd->GetPicture().Height() == 240; }));
    const QImage painted = pWnd->GetWidget()->grab().toImage();
    EXPECT_EQ(painted.size(), QSize(160, 120));
    EXPECT_NE(painted.pixel(10, 10) & 0xFFFFFF, 0u);
    EXPECT_TRUE(m_manager->GetEngine(EngineDShow)->IsVideoVisible());
    EXPECT_TRUE(m_manager->IsVideoShown());
}

TEST_F(EngineTest, VerboseLogNamesOpenStateFinishAndGStreamerErrors) {
    CreateManager();
    testing::internal::CaptureStderr();
    platform::SetVerbose(true);
    OpenAndStop(Media("clip.wav"));
    EXPECT_FALSE(OpenAndPlay(Media("random.mp3")));
    platform::SetVerbose(false);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("clip opened: " + Media("clip.wav") + " (1 s, audio only)"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("play state: playing"), std::string::npos);
    EXPECT_NE(log.find("clip finished: " + Media("clip.wav")), std::string::npos);
    EXPECT_NE(log.find("clip failed: " + Media("random.mp3") + ": Could not determine type"),
              std::string::npos)
        << log;
}

TEST_F(EngineTest, OpeningAndClosingLeavesNoThreadsDescriptorsOrMemory) {
    CreateManager();
    auto entries = [](const char* folder) {
        std::size_t n = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder))
            ++n;
        return n;
    };
    auto residentKb = [] {
#ifdef __SANITIZE_ADDRESS__
        // AddressSanitizer holds freed memory back in quarantine, so the resident size only
        // grows; the heap bytes still allocated are what a leak would raise.
        return long(__sanitizer_get_current_allocated_bytes() / 1024);
#endif
        std::ifstream status("/proc/self/status");
        std::string line;
        while (std::getline(status, line))
            if (line.rfind("VmRSS:", 0) == 0)
                return std::stol(line.substr(6));
        return 0L;
    };
    for (int i = 0; i < 20; ++i)
        OpenAndStop(Media("clip.mp3"));
    Settle(500);
    const std::size_t threads = entries("/proc/self/task");
    const std::size_t fds = entries("/proc/self/fd");
    const long rss = residentKb();
    for (int i = 0; i < 200; ++i) {
        OpenAndStop(Media("clip.mp3"));
        if (HasFatalFailure())
            return;
    }
    Settle(500);
    // GLib keeps up to two idle threads of its pool for reuse; a leak grows with the count.
    EXPECT_LE(entries("/proc/self/task"), threads + 2);
    EXPECT_LE(entries("/proc/self/fd"), fds);
    EXPECT_LT(residentKb() - rss, 8 * 1024) << "resident memory grew by more than 8 MB";
}

// Every element of a closed clip goes with it. GStreamer's own playback element used to keep
// the volume element it adds in front of a sink without a volume control: one per clip.
TEST_F(EngineTest, AClosedClipLeavesNoElementAlive) {
    if (gst_is_initialized())
        GTEST_SKIP() << "GStreamer started before its object tracer could be chosen";
    CScopedEnv tracers("GST_TRACERS", "leaks");
    CScopedEnv sink("CORVELLA_AUDIO_SINK", "fakesink sync=true");
    CreateManager();
    for (const char* clip : {"clip.mp3", "clip.wav", "clip.mp3"})
        OpenAndStop(Media(clip));
    Settle(500);
    GList* pTracers = gst_tracing_get_active_tracers();
    ASSERT_NE(pTracers, nullptr) << "no object tracer";
    std::vector<std::string> alive;
    for (const GList* t = pTracers; t; t = t->next) {
        GstStructure* pLive = nullptr;
        g_signal_emit_by_name(t->data, "get-live-objects", &pLive);
        const GValue* pList = pLive ? gst_structure_get_value(pLive, "live-objects-list") : nullptr;
        for (guint i = 0; pList && i < gst_value_list_get_size(pList); ++i) {
            const GstStructure* pEntry =
                gst_value_get_structure(gst_value_list_get_value(pList, i));
            const GValue* pObject = gst_structure_get_value(pEntry, "object");
            if (pObject && G_VALUE_HOLDS_OBJECT(pObject) &&
                GST_IS_ELEMENT(g_value_get_object(pObject)))
                alive.push_back(GST_OBJECT_NAME(g_value_get_object(pObject)));
        }
        if (pLive)
            gst_structure_free(pLive);
    }
    g_list_free_full(pTracers, gst_object_unref);
    EXPECT_EQ(alive, std::vector<std::string>{});
}

// ---- the sound shaping, measured on what reaches the sink ----

namespace {

// Makes a file with gst-launch; false when it could not.
bool Encode(const std::string& pipeline, const std::string& path) {
    const std::string command =
        "gst-launch-1.0 -q " + pipeline + " ! filesink location='" + path + "' >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

std::vector<std::int16_t> ReadSamples(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::int16_t> samples;
    std::int16_t s = 0;
    while (in.read(reinterpret_cast<char*>(&s), sizeof s))
        samples.push_back(s);
    return samples;
}

// Root-mean-square level of samples [from, to) in decibels of full scale.
double LevelDb(const std::vector<std::int16_t>& samples, std::size_t from, std::size_t to) {
    double sum = 0;
    to = std::min(to, samples.size());
    for (std::size_t i = from; i < to; ++i)
        sum += double(samples[i]) * samples[i];
    return to > from ? 10.0 * std::log10(sum / double(to - from) / (32768.0 * 32768.0)) : -200.0;
}

class SoundShapingTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        m_saved = audioeffects::Get();
    }
    void TearDown() override {
        audioeffects::Set(m_saved);
        EngineTest::TearDown();
    }
    // Plays path to its end into a raw 44.1 kHz mono 16-bit file and returns its samples; in
    // real time or as fast as the chain runs.
    std::vector<std::int16_t> Play(const std::string& path, bool realTime,
                                   const std::function<void()>& whilePlaying = {}) {
        const std::string out = m_folder / "out.raw";
        const std::string sink = "audioconvert ! audioresample ! "
                                 "audio/x-raw,format=S16LE,channels=1,rate=44100 ! filesink sync=" +
                                 std::string(realTime ? "true" : "false") + " location=" + out;
        CScopedEnv env("CORVELLA_AUDIO_SINK", sink.c_str());
        if (!m_manager)
            CreateManager();
        m_parent.m_received.clear();
        m_manager->SetPath(path);
        m_manager->Play(true);
        if (whilePlaying)
            whilePlaying();
        EXPECT_TRUE(WaitFor([&] { return Completed(); })) << path;
        return ReadSamples(out);
    }
    testsupport::ScratchFolder m_folder;
    AudioEffectSettings m_saved;
};

} // namespace

// A 1 kHz tone at -15 dB tagged with a track gain of -6 dB and an album gain of +6 dB.
TEST_F(SoundShapingTest, ReplayGainPlaysTheTaggedTrackOrAlbumGain) {
    const std::string tagged = m_folder / "tagged.flac";
    ASSERT_TRUE(Encode("audiotestsrc num-buffers=20 volume=0.25 freq=1000 ! "
                       "audio/x-raw,rate=44100,channels=1 ! audioconvert ! taginject "
                       "'tags=\"replaygain-track-gain=(double)-6.0,replaygain-track-peak="
                       "(double)0.25,replaygain-album-gain=(double)6.0,replaygain-album-peak="
                       "(double)0.25\"' ! flacenc",
                       tagged));
    AudioEffectSettings s;
    std::vector<double> levels;
    for (int mode : {ReplayGainOff, ReplayGainTrack, ReplayGainAlbum}) {
        s.nReplayGain = mode;
        audioeffects::Set(s);
        const auto samples = Play(tagged, false);
        ASSERT_GT(samples.size(), 15000u);
        levels.push_back(LevelDb(samples, 1000, samples.size() - 1000));
    }
    EXPECT_NEAR(levels[0], -15.05, 0.3);
    EXPECT_NEAR(levels[1], -21.05, 0.3);
    EXPECT_NEAR(levels[2], -9.05, 0.3);
    // The preamp adds to the tagged gain.
    s.dReplayGainPreampDb = 3.0;
    audioeffects::Set(s);
    const auto louder = Play(tagged, false);
    EXPECT_NEAR(LevelDb(louder, 1000, louder.size() - 1000), -6.05, 0.3);
}

// A 119 Hz tone: its band lowered by 12 dB at 0.8 s is heard lowered from 1.2 s on (not only
// after what the pipeline queued has played), with no gap in the sound.
TEST_F(SoundShapingTest, AnEqualizerChangeWhilePlayingIsHeardWithoutAGap) {
    const std::string tone = m_folder / "tone.wav";
    ASSERT_TRUE(Encode("audiotestsrc num-buffers=87 volume=0.25 freq=119 ! "
                       "audio/x-raw,rate=44100,channels=1 ! wavenc",
                       tone));
    AudioEffectSettings s;
    s.bEqualizer = true;
    audioeffects::Set(s);
    const auto samples = Play(tone, true, [&] {
        ASSERT_TRUE(WaitFor([&] { return WndOf(*m_manager)->GetExactPosition() > 0.8; }));
        s.bandsDb[2] = -12.0;
        audioeffects::Set(s);
    });
    ASSERT_GT(samples.size(), 80000u);
    const double before = LevelDb(samples, 4410, 30000);
    const double after = LevelDb(samples, 52920, samples.size() - 2000);
    EXPECT_NEAR(before, -15.05, 0.5);
    EXPECT_NEAR(after - before, -12.0, 1.5);
    // No run of silence anywhere: the change did not interrupt the stream.
    std::size_t quiet = 0, longest = 0;
    for (std::int16_t v : samples)
        longest = std::max(longest, quiet = std::abs(v) < 20 ? quiet + 1 : 0);
    EXPECT_LT(longest, 100u) << "a tone of 119 Hz crosses zero every 185 samples";
}

TEST(SoundStreamNames, EveryOutputThatTakesStreamPropertiesIsNamedAsCorvella) {
    std::string error;
    ASSERT_TRUE(gstsupport::EnsureInitialized(error)) << error;
    GstElement* pSink = gst_element_factory_make("pulsesink", nullptr);
    if (!pSink)
        GTEST_SKIP() << "no pulsesink to name";
    GstElement* pPipeline = gst_pipeline_new(nullptr);
    gstsupport::NameAudioStreams(pPipeline);
    gst_bin_add(GST_BIN(pPipeline), pSink); // added later, as an automatic sink's output is
    GstStructure* pProps = nullptr;
    g_object_get(pSink, "stream-properties", &pProps, nullptr);
    ASSERT_NE(pProps, nullptr);
    EXPECT_STREQ(gst_structure_get_string(pProps, "application.name"), "Corvella");
    EXPECT_STREQ(gst_structure_get_string(pProps, "application.icon_name"), "corvella");
    EXPECT_STREQ(gst_structure_get_string(pProps, "media.role"), "music");
    gst_structure_free(pProps);
    gst_object_unref(pPipeline);
}

// Two halves of one 441 Hz tone (each a whole number of periods): the second, named before
// the first opens, goes on in the same stream when the first ends, and opening it then only
// reports it opened. The sink receives both halves with no step in the wave where they meet.
// At start-up the interface thread is busy making the windows when the first clip opens: the
// clip plays without waiting for it to hear of the open, and at the level set before (here
// muted), not at full.
TEST_F(SoundShapingTest, AnOpenedClipPlaysWhileTheInterfaceThreadIsBusy) {
    const std::string out = m_folder / "out.raw";
    const std::string sink = "audioconvert ! audio/x-raw,format=S16LE,channels=1 ! filesink "
                             "buffer-mode=unbuffered sync=true location=" +
                             out;
    CScopedEnv env("CORVELLA_AUDIO_SINK", sink.c_str());
    CreateManager();
    m_manager->SetVolume(100);
    m_manager->SetMute(true);
    m_manager->SetPath(Media("clip.wav"));
    m_manager->Play(true);
    // No event is handled here: only the pipeline itself can start the sound.
    const auto written = [&] {
        std::error_code error;
        const std::uintmax_t size = std::filesystem::file_size(out, error);
        return !error && size > 0;
    };
    for (int i = 0; i < 1000 && !written(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(written()) << "no sound within 10 s";
    ASSERT_TRUE(WaitFor([&] { return Completed(); }));
    const std::vector<std::int16_t> samples = ReadSamples(out);
    EXPECT_LT(LevelDb(samples, 0, samples.size()), -80.0);
}

TEST_F(SoundShapingTest, ANextAudioClipJoinsTheOpenOneWithoutAGap) {
    const std::string a = m_folder / "a.wav", b = m_folder / "b.wav";
    for (const std::string& half : {a, b})
        ASSERT_TRUE(Encode("audiotestsrc num-buffers=10 samplesperbuffer=2200 volume=0.5 "
                           "freq=441 ! audio/x-raw,rate=44100,channels=1 ! wavenc",
                           half));
    CreateManager();
    m_manager->SetNextPath(b);
    std::size_t firstReports = 0;
    const auto samples = Play(a, true, [&] {
        ASSERT_TRUE(WaitFor([&] { return Completed(); }));
        firstReports = m_parent.m_received.size();
        m_manager->SetPath(b);
        m_manager->Play(true);
        ASSERT_TRUE(WaitFor([&] { return Count(WM_REG_PLAYCOMPLETED) == 2; }));
    });
    EXPECT_EQ(IndexOf(m_parent, WM_REG_CLIPLOADING, 1, firstReports), long(firstReports))
        << "the joined clip is opened as any other";
    EXPECT_GT(IndexOf(m_parent, WM_REG_OPENSUCCESSED, 1, firstReports), 0);
    ASSERT_EQ(samples.size(), 44000u) << "both halves reached the one sink";
    int step = 0;
    for (std::size_t i = 1; i < samples.size(); ++i)
        step = std::max(step, std::abs(samples[i] - samples[i - 1]));
    EXPECT_LT(step, 1200) << "the steepest step of the tone is 1030";
}
