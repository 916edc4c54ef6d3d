// The engine manager's own rules: open time-out on the virtual clock, painting of the idle
// and the video area, and the answers it gives without an engine.
#include "tests/playback/MediaFixtures.h"

#include "platform/Clock.h"
#include "playback/DShowEngine.h"
#include "playback/DShowWnd.h"

#include <QImage>
#include <QWidget>
#include <thread>

using namespace mediatest;

namespace {

const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kRed = RGB(255, 0, 0);

// Whether any pixel of the area is (or, with `equal` false, is not) the colour.
bool AnyPixel(const CDC& dc, const CRect& area, COLORREF colour, bool equal) {
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if ((dc.GetPixel(x, y) == colour) == equal)
                return true;
    return false;
}

} // namespace

class EngineManagerTest : public EngineTest {};

TEST_F(EngineManagerTest, AnswersWithoutAnEngineAndTheIdleAreaPaintsLogoInEachModeAndText) {
    // The extension test is a substring search ignoring case; no extension is nobody's type.
    EXPECT_TRUE(CMediaEngine::ListSupports("*.asf;*.MP3", "mp3"));
    EXPECT_TRUE(CMediaEngine::ListSupports("*.mp3", "MP") &&
                CMediaEngine::ListSupports("*.mp3", "p3"));
    EXPECT_FALSE(CMediaEngine::ListSupports("*.mp3", "ogg") ||
                 CMediaEngine::ListSupports("*.mp3", ""));
    CreateManager();
    EXPECT_TRUE(m_manager->GetMute());
    EXPECT_TRUE(m_manager->CanResizeVideo());
    EXPECT_EQ(m_manager->GetVolume(), 0);
    EXPECT_FALSE(m_manager->CanSeek());
    EXPECT_FALSE(m_manager->IsAudioOnly());
    EXPECT_EQ(m_manager->GetVideoSize(), CSize{});
    EXPECT_EQ(m_manager->GetOpenedPath(), "");
    EXPECT_EQ(m_manager->GetExtensions(7), "");
    EXPECT_TRUE(m_manager->GetEngine(EngineDShow)->IsInstalled());
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
    ASSERT_EQ(buffer.Width(), 100);
    ASSERT_EQ(buffer.Height(), 60);
    m_manager->SendMessage(WM_PAINT); // no logo set: background only
    EXPECT_FALSE(AnyPixel(buffer, buffer.GetRect(), kBlack, false));

    m_manager->SetLogo(&logo);
    m_manager->SendMessage(WM_PAINT); // centred
    EXPECT_EQ(buffer.GetPixel(40, 25), kRed);
    EXPECT_EQ(buffer.GetPixel(59, 34), kRed);
    EXPECT_EQ(buffer.GetPixel(39, 25), kBlack);
    EXPECT_EQ(buffer.GetPixel(0, 0), kBlack);
    m_manager->SetLogoMode(1); // stretched
    m_manager->SendMessage(WM_PAINT);
    EXPECT_FALSE(AnyPixel(buffer, buffer.GetRect(), kRed, false));
    m_manager->SetLogoMode(2); // tiled
    ASSERT_TRUE(logo.CreateSolid(20, 10, kRed));
    logo.SetPixel(0, 0, RGB(0, 255, 0));
    m_manager->SendMessage(WM_PAINT);
    EXPECT_EQ(buffer.GetPixel(0, 0), RGB(0, 255, 0));
    EXPECT_EQ(buffer.GetPixel(80, 50), RGB(0, 255, 0));
    EXPECT_EQ(buffer.GetPixel(99, 59), kRed);

    m_manager->SetIdleLogo(false);
    m_manager->SendMessage(WM_PAINT);
    EXPECT_FALSE(AnyPixel(buffer, buffer.GetRect(), kBlack, false));

    m_manager->SetIdleLogo(true);
    m_manager->SetOverlayText("Line one\rLine two");
    m_manager->SendMessage(WM_PAINT);
    EXPECT_TRUE(AnyPixel(buffer, {0, 10, 100, 50}, kBlack, false)) << "the text is in its band";
    EXPECT_FALSE(AnyPixel(buffer, buffer.GetRect(), kRed, true)) << "text replaces the logo";
    EXPECT_FALSE(AnyPixel(buffer, {0, 0, 100, 10}, kBlack, false)) << "text stays in its band";
    EXPECT_FALSE(AnyPixel(buffer, {0, 50, 100, 60}, kBlack, false));

    m_manager->SendMessage(WM_SIZE, 0, MAKELPARAM(120, 80));
    EXPECT_EQ(buffer.Width(), 120);
    EXPECT_EQ(buffer.Height(), 80);
}

TEST_F(EngineManagerTest, AudioOnlyIsWrittenOverAnAudioClipAndAPictureCoversTheArea) {
    CScopedEnv video("CORVELLA_VIDEO_SINK", nullptr);
    CreateManager();
    m_manager->SetRect({0, 0, 100, 60});
    m_manager->SendMessage(WM_SIZE, 0, MAKELPARAM(100, 60));
    ASSERT_TRUE(OpenAndPlay(Media("clip.wav")));
    EXPECT_TRUE(m_manager->IsVideoShown());
    EXPECT_FALSE(m_manager->GetEngine(EngineDShow)->IsVideoVisible());
    m_manager->SendMessage(WM_PAINT);
    const CDC& buffer = m_manager->GetBackBufferSurface();
    EXPECT_TRUE(AnyPixel(buffer, {0, 10, 100, 50}, kBlack, false));
    EXPECT_FALSE(AnyPixel(buffer, {0, 0, 100, 10}, kBlack, false));
    m_manager->Stop();
    ASSERT_TRUE(WaitFor([&] { return Completed(); }));

    // The decoded picture is shown where the decoder left it and scaled as it is painted. It
    // covers the whole area: the area keeps no buffer of its own meanwhile, and has one of its
    // size again once the picture is gone.
    ASSERT_TRUE(OpenAndPlay(Media("clip.avi")));
    m_manager->SetRect({6, 18, 166, 138});
    auto* pWnd = static_cast<CDShowEngine*>(m_manager->GetEngine(EngineDShow))->GetWnd();
    ASSERT_TRUE(WaitFor(
        [&] { return pWnd->GetPicture().Width() == 320 && pWnd->GetPicture().Height() == 240; }));
    const QImage painted = pWnd->GetWidget()->grab().toImage();
    EXPECT_EQ(painted.size(), QSize(160, 120));
    EXPECT_NE(painted.pixel(10, 10) & 0xFFFFFF, 0u);
    EXPECT_TRUE(m_manager->GetEngine(EngineDShow)->IsVideoVisible());
    EXPECT_TRUE(m_manager->IsVideoShown());
    EXPECT_TRUE(buffer.IsNull());
    m_manager->SendMessage(WM_SIZE, 0, MAKELPARAM(120, 70));
    m_manager->SendMessage(WM_PAINT);
    EXPECT_TRUE(buffer.IsNull()) << "a size change while the picture shows builds none";
    m_manager->Stop();
    ASSERT_TRUE(WaitFor([&] { return Completed(); }));
    EXPECT_EQ(buffer.Width(), 120);
    EXPECT_EQ(buffer.Height(), 70);
}

// The virtual clock drives the time-out; an audio sink that never receives a buffer keeps
// the open from ever completing.
TEST(EngineManagerTimeout, AnOpenWithoutReportFailsAfterSixtySeconds) {
    ASSERT_TRUE(CMediaFolder::Instance().Ok());
    CScopedEnv sink("CORVELLA_AUDIO_SINK", "valve drop=true ! fakesink");
    platform::CMessageQueue::Instance().Reset();
    platform::CVirtualClock clock;
    CRecordingWnd parent;
    ASSERT_TRUE(parent.CreateTopLevel({0, 0, 400, 300}, "play"));
    {
        CEngineManager manager;
        manager.ApplyEditionSwitch();
        manager.SetExtensions(EngineDShow, "*.mp3");
        ASSERT_TRUE(manager.Create({0, 0, 300, 200}, &parent, 1));
        manager.SetPath(Media("clip.mp3"));
        manager.Play(true);
        for (int i = 0; i < 50; ++i) { // let the pipeline report what it can
            clock.Pump();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        clock.Advance(59999);
        EXPECT_TRUE(manager.IsLoading());
        EXPECT_TRUE(parent.Only(WM_REG_PLAYCOMPLETED).empty());
        clock.Advance(1);
        clock.Pump();
        ASSERT_EQ(parent.Only(WM_REG_PLAYCOMPLETED).size(), 1u);
        EXPECT_EQ(parent.Only(WM_REG_PLAYCOMPLETED)[0].wParam, 1u);
        EXPECT_FALSE(manager.IsLoading());
        EXPECT_EQ(manager.GetOverlayText(), "") << "a time-out sets no text";
        auto* pEngine = static_cast<CDShowEngine*>(manager.GetEngine(EngineDShow));
        EXPECT_FALSE(pEngine->GetWnd()->HasGraph()) << "the timed-out open is abandoned";
        manager.DestroyEngines();
        EXPECT_EQ(manager.GetEngine(EngineDShow), nullptr);
    }
    parent.DestroyWindow();
    platform::CMessageQueue::Instance().Reset();
}
