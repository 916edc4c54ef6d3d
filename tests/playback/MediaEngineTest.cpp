// The engine manager with the real GStreamer media engine, on media made by the tests.
#include "tests/playback/MediaFixtures.h"

#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/Log.h"
#include "playback/AudioEffects.h"
#include "playback/DShowEngine.h"
#include "playback/DShowWnd.h"
#include "playback/GstSupport.h"
#include "tests/playback/RadioStreamServer.h"
#include "tests/support/ScratchFolder.h"

#include <QBackingStore>
#include <QImage>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gst/gst.h>
#include <sstream>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <thread>

#ifdef __SANITIZE_ADDRESS__
// The AddressSanitizer runtime's count of heap bytes in use (its header is not always installed).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

using namespace mediatest;

namespace {

CDShowWnd* WndOf(const CEngineManager& manager) {
    return static_cast<CDShowEngine*>(manager.GetEngine(EngineDShow))->GetWnd();
}

const COLORREF kBlack = RGB(0, 0, 0), kRed = RGB(255, 0, 0);

// Whether any pixel of the area is (or, with `equal` false, is not) the colour.
bool AnyPixel(const CDC& dc, const CRect& area, COLORREF colour, bool equal) {
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if ((dc.GetPixel(x, y) == colour) == equal)
                return true;
    return false;
}

} // namespace

TEST_F(EngineTest, OpenReportsInOrderThenVolumePauseResumeSeekAndOneStopReport) {
    CreateManager();
    ASSERT_TRUE(OpenAndPlay(Media("long.mp3")));
    const long loading = IndexOf(WM_REG_CLIPLOADING, 1);
    const long opened = IndexOf(WM_REG_OPENSUCCESSED, 1);
    const long loaded = IndexOf(WM_REG_CLIPLOADING, 0);
    EXPECT_TRUE(loading == 0 && loading < opened && opened < loaded) << opened << ", " << loaded;
    EXPECT_LT(loaded,
              std::min(IndexOf(WM_REG_PLAYSTATE, EnginePlaying), IndexOf(WM_REG_OPENSUCCESSED, 0)));
    EXPECT_TRUE(!m_manager->IsLoading() && m_manager->IsActive());

    // The volume is the pipeline's linear factor, which the sink may keep as a float.
    auto near = [](double a, double b) { return std::abs(a - b) <= b * 1e-6; };
    for (int v : {0, 1, 50, 75, 99, 100})
        EXPECT_EQ(CDShowEngine::GainToVolume(CDShowEngine::VolumeToGain(v)), v);
    CDShowWnd* pWnd = WndOf(*m_manager);
    // Volume 0 is quiet, not silent; a volume set while muted is kept for the unmute.
    const std::tuple<int, bool, double> steps[] = {{75, false, 0.75},
                                                   {0, false, 1e-4},
                                                   {0, true, CDShowWnd::kMuteGain},
                                                   {50, true, CDShowWnd::kMuteGain},
                                                   {50, false, 0.5}};
    for (const auto& [volume, mute, gain] : steps) {
        m_manager->SetVolume(volume);
        m_manager->SetMute(mute);
        EXPECT_PRED2(near, pWnd->GetPipelineVolume(), gain) << volume << mute;
        EXPECT_TRUE(m_manager->GetMute() == mute && (mute || m_manager->GetVolume() == volume));
    }

    m_manager->Pause();
    EXPECT_EQ(m_manager->GetPlayState(), EnginePaused);
    const std::size_t before = m_parent.m_received.size();
    m_manager->Play(true); // resumes without opening again
    EXPECT_EQ(m_manager->GetPlayState(), EnginePlaying);
    EXPECT_EQ(IndexOf(WM_REG_CLIPLOADING, 1, before), -1);
    EXPECT_EQ(IndexOf(WM_REG_PLAYSTATE, EnginePlaying, before), long(before));

    // A seek to 90.7 s lands on the whole second; an MP3's length is known once it plays.
    EXPECT_TRUE(m_manager->CanSeek() && WaitFor([&] { return m_manager->GetDuration() >= 119; }));
    m_manager->Pause();
    m_manager->Seek(90.7);
    ASSERT_TRUE(WaitFor([&] { return pWnd->GetExactPosition() >= 89.9; }));
    Settle();
    EXPECT_NEAR(pWnd->GetExactPosition(), 90.0, 0.1);
    EXPECT_EQ(m_manager->GetPosition(), 90.0);

    ASSERT_TRUE(StopAndWait());
    Settle();
    ASSERT_EQ(Count(WM_REG_PLAYCOMPLETED), 1u) << "one finish report for one stop";
    EXPECT_EQ(FinishReport(), 0u);
    const auto resetting = m_parent.Only(WM_REG_ENGINERESETTING);
    ASSERT_EQ(resetting.size(), 2u);
    EXPECT_EQ(std::tuple(resetting[0].wParam, resetting[0].lParam, resetting[1].lParam),
              std::tuple(12u, 1, 0));
    EXPECT_TRUE(m_manager->GetPlayState() == EngineStopped && !m_manager->GetCurrentEngine() &&
                !pWnd->HasGraph());
    // A stop while stopped does nothing. (Playing to the end is the format table's test.)
    pWnd->Stop();
    Settle();
    EXPECT_EQ(Count(WM_REG_PLAYCOMPLETED), 1u);
}

// What the play window hands on to the playlist row and the time display: the length and the
// tag texts as they stand at the opened report and at every later refresh.
TEST_F(EngineTest, EachFormatOpensWithItsPictureLengthAndTagsAndPlaysToItsEnd) {
    CreateManager();
    struct {
        double duration = 0;
        std::string artist, title;
    } reported;
    m_parent.m_onMessage = [&](UINT message, WPARAM wParam, LPARAM) {
        if ((message == WM_REG_OPENSUCCESSED && wParam == 0) || message == WM_REG_CLIPINFOCHANGED)
            reported = {m_manager->GetDuration(), m_manager->GetInfoText1(),
                        m_manager->GetInfoText2()};
    };
    // The first nine are pictures of 320 x 240 lasting 2 s, the rest sounds of 1 s; the long MP3
    // plays until its length is known.
    std::istringstream files("clip.mpg clip.avi clip.wmv CAPS.WMV clip.mov clip.webm clip.mkv "
                             "clip.mp4 clip.ts clip.mp3 clip.wav clip.ogg clip.flac clip.opus "
                             "clip.m4a clip.wv noextension folder.with.dots/sound tagged.ogg "
                             "tagged.mp3 named.mka long.mp3");
    int i = 0;
    for (std::string file; files >> file; ++i) {
        SCOPED_TRACE(file);
        const bool video = i < 9, tagged = file.starts_with("tagged");
        const double seconds = file == "long.mp3" ? 120 : video ? 2 : 1;
        reported = {};
        ASSERT_TRUE(OpenAndPlay(Media(file)));
        EXPECT_EQ(m_manager->GetVideoSize(), (video ? CSize{320, 240} : CSize{}));
        EXPECT_EQ(m_manager->IsAudioOnly(), !video);
        // QuickTime files too, with the edition switch.
        EXPECT_EQ(m_manager->GetCurrentEngine(), m_manager->GetEngine(EngineDShow));
        EXPECT_TRUE(!tagged || WaitFor([&] { return !reported.title.empty(); }));
        if (seconds > 2) {
            EXPECT_TRUE(WaitFor([&] { return reported.duration > 0; }, 10000));
            ASSERT_TRUE(StopAndWait());
        } else {
            ASSERT_TRUE(WaitFor([&] { return Completed(); }));
            EXPECT_EQ(FinishReport(), 0u) << "ended, not failed";
            EXPECT_EQ(m_parent.Only(WM_REG_PLAYSTATE).back().wParam, WPARAM(EngineStopped));
        }
        EXPECT_GE(reported.duration, 1.0);
        // A header-less MP3's length is an estimate from its bit rate.
        EXPECT_NEAR(reported.duration, seconds, std::max(1.0, seconds / 10.0));
        // An untagged clip names nothing, so the row keeps the file name.
        EXPECT_EQ(reported.artist, tagged ? CMediaFolder::kArtist : "");
        EXPECT_EQ(reported.title, tagged ? CMediaFolder::kTitle : "");
    }
}

// An internet radio station: the address plays as it is, has no length, names its station,
// and its row follows each new title the stream announces.
TEST_F(EngineTest, ARadioStreamIsLiveAndItsTitlesFollowTheStream) {
    CreateManager();
    std::vector<std::string> titles;
    int opens = 0; // the opened reports
    m_parent.m_onMessage = [&](UINT message, WPARAM wParam, LPARAM) {
        opens += message == WM_REG_OPENSUCCESSED && wParam == 0;
        if ((message != WM_REG_OPENSUCCESSED || wParam != 0) && message != WM_REG_CLIPINFOCHANGED)
            return;
        const std::string title = m_manager->GetInfoText2();
        if (!title.empty() && (titles.empty() || titles.back() != title))
            titles.push_back(title);
    };
    // A dropped connection is opened again: the station goes on without the clip ending.
    CRadioStreamServer server(platform::ReadWholeFile(Media("clip.mp3")).value_or(""), "audio/mpeg",
                              "Test Radio", {"First Song", "Second Song", "Second Song"}, 3, 20);
    server.DropFirstConnectionAfter(CRadioStreamServer::kMetaInt);
    const std::string url = server.Url("/radio");
    ASSERT_TRUE(OpenAndPlay(url));
    EXPECT_EQ(m_manager->GetOpenedPath(), url);
    ASSERT_TRUE(WaitFor([&] {
        return !titles.empty() && titles.back() == "Second Song" && server.Connections() == 2 &&
               opens == 2;
    })) << ::testing::PrintToString(titles)
        << server.Connections();
    EXPECT_EQ(std::tuple(titles.front(), m_manager->GetInfoText1(), m_manager->GetDuration()),
              std::tuple("First Song", "Test Radio", 0.0));
    EXPECT_TRUE(server.AskedForTitles() && !Completed());
    ASSERT_TRUE(StopAndWait());
    EXPECT_EQ(server.Connections(), 2) << "a stopped station is not reopened";

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
}

// Damaged or missing files, types whose engine has no runtime here and a stream error while
// playing, as the verbose log tells them, and an open that never ends.
TEST_F(EngineTest, ClipsThatCannotOpenOrPlayFailWithTheirTextAndTheLogNamesThem) {
    CreateManager(false);
    EXPECT_FALSE(m_manager->GetEngine(EngineQuickTime)->IsInstalled() ||
                 m_manager->GetEngine(EngineReal)->IsInstalled() || m_manager->AllInstalled());
    testing::internal::CaptureStderr();
    platform::SetVerbose(true);
    const std::string invalid = "Not a valid media file.";
    const std::string more = "\rFor more info visit www.corvella-player.org";
    for (const auto& [file, text] : std::initializer_list<std::pair<const char*, std::string>>{
             {"random.mp3", invalid},
             {"absent.mp3", invalid},
             {"clip.mov", "QuickTime Engine not installed." + more},
             {"clip.rm", "RealMedia Engine not installed." + more}}) {
        SCOPED_TRACE(file);
        EXPECT_FALSE(OpenAndPlay(Media(file)));
        ASSERT_EQ(Count(WM_REG_PLAYCOMPLETED), 1u);
        EXPECT_EQ(FinishReport(), 1u);
        EXPECT_EQ(m_manager->GetOverlayText(), text);
        EXPECT_TRUE(Count(WM_REG_OPENSUCCESSED) == 0 && !m_manager->IsLoading());
        EXPECT_EQ(m_parent.Only(WM_REG_PLAYSTATE).back().wParam, WPARAM(EngineStopped));
        const auto loading = m_parent.Only(WM_REG_CLIPLOADING);
        EXPECT_TRUE(loading.empty() || loading.back().wParam == 0u);
    }
    {
        CScopedEnv sink("CORVELLA_VIDEO_SINK", "identity error-after=20 ! fakesink");
        ASSERT_TRUE(OpenAndPlay(Media("clip.avi")));
        ASSERT_TRUE(WaitFor([&] { return Completed(); }));
        EXPECT_EQ(FinishReport(), 1u) << "an error while playing fails the clip";
        EXPECT_EQ(m_manager->GetOverlayText(), invalid);
        EXPECT_TRUE(m_manager->GetPlayState() == EngineStopped && !WndOf(*m_manager)->HasGraph());
    }
    // A truncated file plays what it holds, and its open clears the text.
    ASSERT_TRUE(OpenAndPlay(Media("truncated.avi")));
    EXPECT_EQ(m_manager->GetOverlayText(), "");
    EXPECT_EQ(m_manager->GetVideoSize(), (CSize{320, 240}));
    ASSERT_TRUE(WaitFor([&] { return Completed(); }));
    EXPECT_EQ(FinishReport(), 0u);

    OpenAndStop(Media("clip.wav"));
    platform::SetVerbose(false);
    const std::string log = testing::internal::GetCapturedStderr();
    for (const std::string& line :
         {"clip opened: " + Media("clip.wav") + " (1 s, audio only)",
          std::string("play state: playing"), "clip finished: " + Media("clip.wav"),
          "clip failed: " + Media("random.mp3") + ": Could not determine type"})
        EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;

    // The virtual clock drives the time-out of an open that never completes: a FIFO that nobody
    // writes to blocks its reader for good.
    testsupport::ScratchFolder scratch;
    const std::string fifo = scratch / "silent.mp3";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    platform::CVirtualClock clock;
    const auto pump = [&](const std::function<bool()>& done) {
        for (int i = 0; i < 3000 && !done(); ++i) { // lets the pipeline report what it can
            clock.Pump();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    };
    m_parent.m_received.clear();
    m_manager->SetPath(fifo);
    m_manager->Play(true); // returns: the interface does not wait for the source
    pump([rounds = 0]() mutable { return ++rounds > 50; });
    clock.Advance(59999);
    EXPECT_TRUE(m_manager->IsLoading() && !Completed());
    clock.Advance(1);
    clock.Pump();
    ASSERT_EQ(Count(WM_REG_PLAYCOMPLETED), 1u);
    EXPECT_EQ(FinishReport(), 1u);
    EXPECT_FALSE(m_manager->IsLoading());
    EXPECT_EQ(m_manager->GetOverlayText(), "") << "a time-out sets no text";
    EXPECT_FALSE(WndOf(*m_manager)->HasGraph()) << "the timed-out open is abandoned";
    // The next clip opens while the abandoned one still hangs; closing the engine afterwards
    // does not wait for it either.
    m_manager->SetPath(Media("clip.wav"));
    m_manager->Play(true);
    pump([&] { return m_manager->GetPlayState() == EnginePlaying; });
    EXPECT_EQ(m_manager->GetPlayState(), EnginePlaying);
    m_manager->DestroyEngines();
    EXPECT_EQ(m_manager->GetEngine(EngineDShow), nullptr);
}

// A sound output that stops taking sound (a sound server that no longer answers; here a FIFO
// nobody reads) holds the pipeline's state changes for good. The interface waits for a stop a
// few seconds at most; then the clip ends as a sound output failure and the pipeline goes
// down in the background once the output lets it.
TEST_F(EngineTest, AStopHeldByTheSoundOutputEndsAsAnOutputFailureAndTheInterfaceGoesOn) {
    testsupport::ScratchFolder scratch;
    const std::string fifo = scratch / "stuck.raw";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Open for reading and writing, and never closed: the sink never waits in its open, and
    // never writes into a pipe without a reader.
    const int pipe = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(pipe, 0);
    CScopedEnv sink("CORVELLA_AUDIO_SINK", ("filesink sync=false location=" + fifo).c_str());
    CreateManager();
    ASSERT_TRUE(OpenAndPlay(Media("long.mp3")));
    ASSERT_TRUE(WaitFor([&] {
        int queued = 0;
        return ::ioctl(pipe, FIONREAD, &queued) == 0 && queued >= 65536;
    })) << "the pipe did not fill";
    m_parent.m_received.clear();
    m_manager->Stop();
    ASSERT_TRUE(WaitFor([&] { return Completed(); }));
    EXPECT_EQ(FinishReport(), WPARAM(kPlayOutputFailed));
    EXPECT_EQ(m_manager->GetOverlayText(), "No sound: the sound output does not answer");
    EXPECT_FALSE(WndOf(*m_manager)->HasGraph());
    // Read until the abandoned pipeline has gone down and stopped writing.
    char buffer[65536];
    for (int quiet = 0; quiet < 50; ++quiet) {
        if (::read(pipe, buffer, sizeof buffer) > 0)
            quiet = 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

TEST_F(EngineTest, AnswersWithoutAnEngineTheIdleAreaAndAnAudioClipOrAPictureOverIt) {
    CScopedEnv video("CORVELLA_VIDEO_SINK", nullptr);
    // The extension test is a substring search ignoring case; no extension is nobody's type.
    EXPECT_TRUE(CMediaEngine::ListSupports("*.asf;*.MP3", "mp3") &&
                CMediaEngine::ListSupports("*.mp3", "MP") &&
                CMediaEngine::ListSupports("*.mp3", "p3"));
    EXPECT_FALSE(CMediaEngine::ListSupports("*.mp3", "ogg") ||
                 CMediaEngine::ListSupports("*.mp3", ""));
    CreateManager();
    EXPECT_EQ(std::tuple(m_manager->GetMute(), m_manager->CanResizeVideo(), m_manager->GetVolume(),
                         m_manager->CanSeek(), m_manager->IsAudioOnly(), m_manager->GetOpenedPath(),
                         m_manager->GetExtensions(7), m_manager->GetVideoSize()),
              std::tuple(true, true, 0, false, false, "", "", CSize{}));
    EXPECT_FALSE(m_manager->GetEngine(EngineQuickTime)->IsInstalled()) << "disabled";
    m_manager->SetPath("/Media/Clip.MP3");
    m_manager->SetPath("/media/clip.mp3");
    EXPECT_EQ(m_manager->GetPath(), "/Media/Clip.MP3");
    m_manager->ClearPath();
    m_manager->Play(true); // nothing to open
    m_manager->Play(false);
    EXPECT_EQ(Count(WM_REG_CLIPLOADING), 0u);

    CDC logo;
    ASSERT_TRUE(logo.CreateSolid(20, 10, kRed));
    m_manager->SetRect({0, 0, 100, 60});
    m_manager->SendMessage(WM_SIZE, 0, MAKELPARAM(100, 60));
    const CDC& buffer = m_manager->GetBackBufferSurface();
    ASSERT_EQ((CSize{buffer.Width(), buffer.Height()}), (CSize{100, 60}));
    m_manager->SendMessage(WM_PAINT); // no logo set: background only
    EXPECT_FALSE(AnyPixel(buffer, buffer.GetRect(), kBlack, false));

    m_manager->SetLogo(&logo);
    m_manager->SendMessage(WM_PAINT); // centred
    EXPECT_EQ(std::tuple(buffer.GetPixel(40, 25), buffer.GetPixel(59, 34), buffer.GetPixel(39, 25),
                         buffer.GetPixel(0, 0)),
              std::tuple(kRed, kRed, kBlack, kBlack));
    m_manager->SetLogoMode(1); // stretched
    m_manager->SendMessage(WM_PAINT);
    EXPECT_FALSE(AnyPixel(buffer, buffer.GetRect(), kRed, false));
    m_manager->SetLogoMode(2); // tiled
    ASSERT_TRUE(logo.CreateSolid(20, 10, kRed));
    logo.SetPixel(0, 0, RGB(0, 255, 0));
    m_manager->SendMessage(WM_PAINT);
    EXPECT_EQ(std::tuple(buffer.GetPixel(0, 0), buffer.GetPixel(80, 50), buffer.GetPixel(99, 59)),
              std::tuple(RGB(0, 255, 0), RGB(0, 255, 0), kRed));

    m_manager->SetOverlayText("Line one\rLine two");
    m_manager->SendMessage(WM_PAINT);
    EXPECT_TRUE(AnyPixel(buffer, {0, 10, 100, 50}, kBlack, false)) << "the text is in its band";
    EXPECT_FALSE(AnyPixel(buffer, buffer.GetRect(), kRed, true)) << "text replaces the logo";
    EXPECT_FALSE(AnyPixel(buffer, {0, 0, 100, 10}, kBlack, false)) << "text stays in its band";
    EXPECT_FALSE(AnyPixel(buffer, {0, 50, 100, 60}, kBlack, false));
    m_manager->SetOverlayText({});
    m_manager->SetIdleLogo(false);
    m_manager->SendMessage(WM_PAINT);
    EXPECT_FALSE(AnyPixel(buffer, buffer.GetRect(), kBlack, false));

    // Over an audio clip the band says so, with no logo.
    ASSERT_TRUE(OpenAndPlay(Media("clip.wav")));
    EXPECT_TRUE(m_manager->IsVideoShown() && !m_manager->GetEngine(EngineDShow)->IsVideoVisible());
    m_manager->SetIdleLogo(true);
    m_manager->SendMessage(WM_PAINT);
    EXPECT_TRUE(AnyPixel(buffer, {0, 10, 100, 50}, kBlack, false));
    EXPECT_FALSE(AnyPixel(buffer, {0, 0, 100, 10}, kBlack, false));
    ASSERT_TRUE(StopAndWait());

    // The decoded picture is shown where the decoder left it and scaled as it is painted. It
    // covers the whole area: the area keeps no buffer of its own meanwhile, and has one of its
    // size again once the picture is gone.
    ASSERT_TRUE(OpenAndPlay(Media("clip.avi")));
    m_manager->SetRect({6, 18, 166, 138});
    CDShowWnd* pWnd = WndOf(*m_manager);
    ASSERT_TRUE(WaitFor([&] { return pWnd->GetOwnPictureSize() == CSize{320, 240}; }));
    const QImage painted = pWnd->GetWidget()->grab().toImage();
    EXPECT_EQ(painted.size(), QSize(160, 120));
    EXPECT_NE(painted.pixel(10, 10) & 0xFFFFFF, 0u);
    // Shown at its own size, the picture is converted straight into the surface its window is
    // shown from, at the window's place there.
    QWidget* pWidget = pWnd->GetWidget();
    pWidget->window()->show();
    m_manager->Pause();
    m_manager->SetRect({6, 18, 326, 258});
    pWidget->repaint();
    const auto* pSurface = dynamic_cast<QImage*>(pWidget->backingStore()->paintDevice());
    ASSERT_TRUE(pSurface);
    const QImage shown = pWidget->grab().toImage();
    for (QPoint at : {QPoint(0, 0), QPoint(160, 120), QPoint(319, 239)})
        EXPECT_EQ(pSurface->pixel(pWidget->mapTo(pWidget->window(), at)), shown.pixel(at))
            << at.x();
    EXPECT_TRUE(m_manager->GetEngine(EngineDShow)->IsVideoVisible() && m_manager->IsVideoShown());
    EXPECT_TRUE(buffer.IsNull());
    m_manager->SendMessage(WM_SIZE, 0, MAKELPARAM(120, 70));
    m_manager->SendMessage(WM_PAINT);
    EXPECT_TRUE(buffer.IsNull()) << "a size change while the picture shows builds none";
    ASSERT_TRUE(StopAndWait());
    EXPECT_EQ((CSize{buffer.Width(), buffer.Height()}), (CSize{120, 70}));
}

TEST_F(EngineTest, OpeningAndClosingLeavesNoThreadsDescriptorsOrMemory) {
    CreateManager();
    auto entries = [](const char* folder) {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(folder))
            std::getline(std::ifstream(e.path() / "comm"), names.emplace_back());
        return names;
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
    const std::size_t threads = entries("/proc/self/task").size();
    const std::size_t fds = entries("/proc/self/fd").size();
    const long rss = residentKb();
    for (int i = 0; i < 200 && !HasFatalFailure(); ++i)
        OpenAndStop(Media("clip.mp3"));
    Settle(500);
    // GLib keeps up to two idle threads of its pool for reuse, and the last clip's streaming
    // threads end in their own time after it closed; a leak grows with the count.
    EXPECT_TRUE(WaitFor([&] { return entries("/proc/self/task").size() <= threads + 2; }, 10000))
        << testing::PrintToString(entries("/proc/self/task")) << " of " << threads << " before";
    EXPECT_LE(entries("/proc/self/fd").size(), fds);
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

namespace {

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
        std::ifstream in(out, std::ios::binary);
        std::vector<std::int16_t> samples;
        for (std::int16_t s = 0; in.read(reinterpret_cast<char*>(&s), sizeof s);)
            samples.push_back(s);
        return samples;
    }
    testsupport::ScratchFolder m_folder;
    struct RestoreEffects { // each test's settings end with it
        AudioEffectSettings saved = audioeffects::Get();
        ~RestoreEffects() { audioeffects::Set(saved); }
    } m_restore;
};

} // namespace

// A 1 kHz tone at -15 dB tagged with a track gain of -6 dB and an album gain of +6 dB; then a
// 119 Hz tone whose band is lowered by 12 dB at 0.8 s, heard lowered from 1.2 s on (not only
// after what the pipeline queued has played), with no gap in the sound.
TEST_F(SoundShapingTest, ReplayGainPlaysTheTaggedGainAndAnEqualizerChangeIsHeardWithoutAGap) {
    const std::string tagged = m_folder / "tagged.flac";
    ASSERT_TRUE(Encode("audiotestsrc num-buffers=20 volume=0.25 freq=1000 ! "
                       "audio/x-raw,rate=44100,channels=1 ! audioconvert ! taginject "
                       "'tags=\"replaygain-track-gain=(double)-6.0,replaygain-track-peak="
                       "(double)0.25,replaygain-album-gain=(double)6.0,replaygain-album-peak="
                       "(double)0.25\"' ! flacenc",
                       tagged));
    AudioEffectSettings s;
    std::vector<double> levels;
    for (int mode : {ReplayGainOff, ReplayGainTrack, ReplayGainAlbum, ReplayGainAlbum}) {
        s.nReplayGain = mode;
        s.dReplayGainPreampDb = levels.size() == 3 ? 3.0 : 0.0; // the preamp adds to the gain
        audioeffects::Set(s);
        const auto samples = Play(tagged, false);
        ASSERT_GT(samples.size(), 15000u);
        levels.push_back(LevelDb(samples, 1000, samples.size() - 1000));
    }
    EXPECT_THAT(levels, testing::Pointwise(testing::DoubleNear(0.3),
                                           std::vector{-15.05, -21.05, -9.05, -6.05}));

    const std::string tone = m_folder / "tone.wav";
    ASSERT_TRUE(Encode("audiotestsrc num-buffers=87 volume=0.25 freq=119 ! "
                       "audio/x-raw,rate=44100,channels=1 ! wavenc",
                       tone));
    s = {};
    s.bEqualizer = true;
    audioeffects::Set(s);
    const auto samples = Play(tone, true, [&] {
        ASSERT_TRUE(WaitFor([&] { return WndOf(*m_manager)->GetExactPosition() > 0.8; }));
        s.bandsDb[2] = -12.0;
        audioeffects::Set(s);
    });
    ASSERT_GT(samples.size(), 80000u);
    const double before = LevelDb(samples, 4410, 30000);
    EXPECT_NEAR(before, -15.05, 0.5);
    EXPECT_NEAR(LevelDb(samples, 52920, samples.size() - 2000) - before, -12.0, 1.5);
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

// At start-up the interface thread is busy making the windows when the first clip opens: the
// clip plays without waiting for it to hear of the open, and at the level set before (here
// muted), not at full.
TEST_F(SoundShapingTest, AnOpenedClipPlaysWhileTheInterfaceThreadIsBusy) {
    CreateManager();
    m_manager->SetVolume(100);
    m_manager->SetMute(true);
    bool sounded = false;
    const auto samples = Play(Media("clip.wav"), true, [&] {
        // No event is handled here: only the pipeline itself can start the sound.
        for (int i = 0; i < 1000 && !sounded; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            std::error_code error;
            sounded = std::filesystem::file_size(m_folder / "out.raw", error) > 0 && !error;
        }
    });
    EXPECT_TRUE(sounded) << "no sound within 10 s";
    EXPECT_LT(LevelDb(samples, 0, samples.size()), -80.0);
}

// Two parts of one 441 Hz tone (each a whole number of periods): the second, named before
// the first opens, goes on in the same stream when the first ends, and opening it then only
// reports it opened. The sink receives both parts with no step in the wave where they meet.
// The second's title, named as it starts but before it opens, is its own, not the first's.
TEST_F(SoundShapingTest, ANextAudioClipJoinsTheOpenOneWithoutAGap) {
    const std::string a = m_folder / "a.wav", b = m_folder / "b.wav";
    const std::string tone = " samplesperbuffer=2200 volume=0.5 freq=441 ! "
                             "audio/x-raw,rate=44100,channels=1 ! ";
    ASSERT_TRUE(Encode("audiotestsrc num-buffers=10" + tone + "wavenc", a));
    ASSERT_TRUE(
        Encode("audiotestsrc num-buffers=30" + tone + "taginject tags=title=Joined ! wavenc", b));
    CreateManager();
    m_manager->SetNextPath(b);
    std::size_t firstReports = 0;
    std::string joinedTitle;
    const auto samples = Play(a, true, [&] {
        ASSERT_TRUE(WaitFor([&] { return Completed(); }));
        Settle(300); // as the controller opens the next clip a moment later
        firstReports = m_parent.m_received.size();
        m_manager->SetPath(b);
        m_manager->Play(true);
        // Its tags may come before it opens or after.
        ASSERT_TRUE(WaitFor([&] {
            if (joinedTitle.empty())
                joinedTitle = m_manager->GetInfoText2();
            return Count(WM_REG_PLAYCOMPLETED) == 2;
        }));
    });
    EXPECT_EQ(IndexOf(WM_REG_CLIPLOADING, 1, firstReports), long(firstReports))
        << "the joined clip is opened as any other";
    EXPECT_GT(IndexOf(WM_REG_OPENSUCCESSED, 1, firstReports), 0);
    const long infoChanged = IndexOf(WM_REG_CLIPINFOCHANGED, 0);
    EXPECT_TRUE(infoChanged < 0 || infoChanged > long(firstReports))
        << "the first clip took on the title of the one joined";
    EXPECT_EQ(joinedTitle, "Joined");
    ASSERT_EQ(samples.size(), 88000u) << "both clips reached the one sink";
    int step = 0;
    for (std::size_t i = 1; i < samples.size(); ++i)
        step = std::max(step, std::abs(samples[i] - samples[i - 1]));
    EXPECT_LT(step, 1200) << "the steepest step of the tone is 1030";
}

// The clip named next cannot be read: it is not joined, or when playbin fails on it while the
// open clip still plays, the failure is its own. The open clip plays to its end and finishes,
// and the unreadable one fails as itself when it opens.
TEST_F(SoundShapingTest, AnUnreadableNextClipFailsAsItselfNotAsTheOneBefore) {
    const std::string a = m_folder / "a.wav", odd = m_folder / "odd.wav";
    ASSERT_TRUE(Encode("audiotestsrc num-buffers=10 ! audio/x-raw,rate=44100 ! wavenc", a));
    // A WAV file of a sample format nothing decodes: recognised, but only playbin finds out.
    std::string wav = platform::ReadWholeFile(a).value_or("");
    ASSERT_GT(wav.size(), 22u);
    wav[20] = wav[21] = '\x99';
    std::ofstream(odd, std::ios::binary) << wav;
    CreateManager();
    for (const std::string& next : {Media("random.mp3"), odd}) {
        SCOPED_TRACE(next);
        m_manager->SetNextPath(next);
        const std::size_t played = Play(a, true).size();
        EXPECT_EQ(FinishReport(), 0u) << "the clip before the unreadable one failed";
        if (next != odd) { // playbin gives up on the odd one only after it joined it
            EXPECT_EQ(played, 10240u) << "the clip before was cut short";
        }
        EXPECT_FALSE(OpenAndPlay(next));
        EXPECT_EQ(FinishReport(), 1u);
    }
}
