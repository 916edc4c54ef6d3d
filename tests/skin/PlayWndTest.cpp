// The play window in a player: the recording application over a real command bus, a main window
// relaying commands and running the controller's timers, the playlist rows as the navigator.
#include "skin/PlayWnd.h"
#include "core/AttribClip.h"
#include "core/PlaylistRows.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/Keyboard.h"
#include "playback/EngineManager.h"
#include "skin/PlayWndGeometry.h"
#include "tests/playback/MediaFixtures.h"
#include "tests/playback/PlaybackHarness.h"
#include "tests/support/ClockWait.h"
#include "tests/support/PlayerWindowWorld.h"
#include "tests/support/RecordingPlayerApp.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/WavWriter.h"

#include <QWidget>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

using namespace playwnd;

namespace {

class CPlayWndUnderTest : public CPlayWnd {
public:
    static constexpr CRect kDesktop{0, 0, 1024, 768};

    std::vector<CRect> GetScreenAreas() const override { return {kDesktop}; }
    CRect GetDesktopRect() const override { return kDesktop; }
    bool UsesSystemMove() const override { return false; }

    std::vector<std::vector<MenuEntry>> m_menus;
    UINT m_nMenuChoice = 0;
    std::vector<bool> m_orders;     // true: the play window was put on top
    std::optional<CSize> m_picture; // the picture size the engine reports, when set

    void OpenPicture(CSize picture) { // as if a clip of that size had opened
        m_picture = picture;
        SendMessage(WM_REG_OPENSUCCESSED, 1, 0);
    }
    LRESULT Observe(int code, LPARAM param1 = 0) {
        ControlCommand cmd{code, nullptr, param1, 0, {}};
        return SendMessage(WM_REG_OBSERVECOMMAND, WPARAM(&cmd), 0);
    }
    void Mouse(UINT message, int x, int y) { SendMessage(message, 0, MAKELPARAM(x, y)); }
    void Click(UINT message, int x, int y) { // a press and its release
        Mouse(message, x, y);
        Mouse(message == WM_RBUTTONDOWN ? WM_RBUTTONUP : WM_LBUTTONUP, x, y);
    }
    void Click(UINT nID) {
        const CRect r = GetButton(nID)->GetCtrlRect();
        Click(WM_LBUTTONDOWN, r.left + 2, r.top + 2);
    }

protected:
    CSize QueryPictureSize() override {
        return m_picture ? *m_picture : CPlayWnd::QueryPictureSize();
    }
    UINT TrackContextMenu(const std::vector<MenuEntry>& menu, CPoint) override {
        m_menus.push_back(menu);
        return m_nMenuChoice;
    }
    void ReorderWindows(bool bPlayOnTop) override {
        m_orders.push_back(bPlayOnTop);
        CPlayWnd::ReorderWindows(bPlayOnTop);
    }
};

// The main window's part, also noting the requests of its child windows.
struct CMainWndWithNotes : CTestMainWnd {
    using CTestMainWnd::CTestMainWnd;
    std::vector<LPARAM> m_childNotes;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_REG_CHILDWNDNOTIFY)
            m_childNotes.push_back(lParam);
        return CTestMainWnd::WindowProc(message, wParam, lParam);
    }
};

class PlayWndTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_mainWnd.CreateMessageWindow());
        m_app.m_bus.SetMainWnd(&m_mainWnd);
        m_app.m_translate = [](const std::string& s) { // "Fit to window" only
            return s == "&Fit to window" ? "&Ajuster" : s == "Fit to window" ? "Ajuster" : s;
        };
        m_rows.SetRepeatQuery([this] { return Ctl().GetRepeat(); });
        Ctl().SetCommandBus(&m_app);
        Ctl().SetNavigator(&m_rows);
        Ctl().SetTimerWindow(&m_mainWnd);
        ASSERT_TRUE(m_wnd.Create(&m_mainWnd));
        m_mainWnd.m_relay.SetWindows(&m_mainWnd, nullptr, &m_wnd);
        m_wnd.MoveWindow({100, 100, 412, 357});
        m_wnd.RefreshCachedRect();
        m_wnd.ShowWindow(SW_SHOWNA);
        m_clock.Pump();
    }
    void TearDown() override { platform::SetModifierState(false, false, false); }

    CUIControl& Ctl() { return m_app.m_control; }
    CEngineManager& Engine() { return *m_wnd.GetEngineManager(); }

    // One clip per path in the list and a row each, the cursor on row 0, then the start-up.
    void AddClips(const std::vector<std::string>& paths) {
        for (const std::string& path : paths) {
            auto clip = std::make_unique<CAttribClip>();
            clip->SetPath(path);
            m_rows.AppendRow(Ctl().GetClipList().Add(std::move(clip)));
        }
        m_rows.SetCursorRow(0);
        Ctl().Start();
    }
    bool PumpUntil(const std::function<bool()>& p) { return testsupport::PumpUntil(m_clock, p); }
    std::vector<TraceEntry> Seen(int code) const {
        std::vector<TraceEntry> out;
        std::ranges::copy_if(m_trace, std::back_inserter(out),
                             [&](auto& e) { return e.code == code; });
        return out;
    }
    LPARAM LastParam(int code) const {
        const auto seen = Seen(code);
        return seen.empty() ? -1 : seen.back().param1;
    }

    platform::CVirtualClock m_clock;
    testsupport::ScratchFolder m_temp;
    testsupport::CRecordingPlayerApp m_app;
    testsupport::CPlayerWindowWorldGuard m_world{&m_app, m_temp.Path() + "/corvella"};
    std::vector<TraceEntry> m_trace;
    CMainWndWithNotes m_mainWnd{m_trace, m_app.m_control};
    CPlaylistRows m_rows;
    CPlayWndUnderTest m_wnd;
};

TEST(PlayWndGeometry, APictureLargerThanTheAreaStartsAtItsCornerAndHalfRoundsDown) {
    EXPECT_EQ(CentreIn({6, 18, 306, 230}, {640, 100}), (CRect{6, 74, 646, 174}));
    EXPECT_EQ(ScaleForMode({321, 241}, ModeHalf), (CSize{160, 120}));
}

TEST_F(PlayWndTest, ModesSizeTheWindowAroundThePictureAndTheRadioButtonsAndMenuFollow) {
    m_wnd.ChooseDisplayMode(ModeDouble);
    m_wnd.OpenPicture({0, 0});
    EXPECT_EQ(m_wnd.GetVideoArea(), (CRect{6, 18, 306, 230})) << "audio has no picture to size by";
    m_wnd.ChooseDisplayMode(ModeNatural);
    m_wnd.OpenPicture({320, 240});
    EXPECT_EQ(Engine().GetWindowRect(), (CRect{6, 18, 326, 258}));
    m_wnd.ChooseDisplayMode(ModeDouble);
    EXPECT_EQ(m_wnd.GetWindowRect(), (CRect{100, 100, 752, 625})) << "the top-left stays";
    EXPECT_EQ(Engine().GetWindowRect(), (CRect{6, 18, 646, 498}));
    EXPECT_TRUE(m_wnd.GetModeButton(ModeDouble).IsChecked());
    m_wnd.Click(12); // 50%
    m_clock.Pump();
    EXPECT_EQ(Engine().GetDisplayMode(), ModeHalf);
    EXPECT_EQ(Ctl().GetDisplayMode(), ModeHalf);
    EXPECT_TRUE(m_wnd.GetModeButton(ModeHalf).IsChecked());
    EXPECT_EQ(m_wnd.GetVideoArea(), (CRect{6, 18, 306, 230}));
    EXPECT_FALSE(Seen(CmdUserCommand).empty()) << "a mode choice is a user command";
    // Under a picture the buffer goes once painted and comes back the same for the next paint.
    const QImage composed = m_wnd.GetBuffer()->Image().copy();
    m_wnd.SendMessage(WM_PAINT);
    m_clock.Pump();
    EXPECT_EQ(m_wnd.GetBuffer(), nullptr);
    m_wnd.SendMessage(WM_PAINT);
    ASSERT_NE(m_wnd.GetBuffer(), nullptr);
    EXPECT_TRUE(m_wnd.GetBuffer()->Image() == composed);
    // Fit keeps the window and stretches the picture over the whole area, bars or not.
    m_wnd.ResizeTo(512, 288);
    m_wnd.ChooseDisplayMode(ModeFit);
    EXPECT_EQ(Engine().GetWindowRect(), m_wnd.GetVideoArea());
    EXPECT_EQ(m_wnd.GetDisplaySize(), (CSize{512, 288}));
    // A picture larger than the screen: the window fits on it, the picture in its proportions.
    m_wnd.ChooseDisplayMode(ModeNatural);
    m_wnd.OpenPicture({1280, 720});
    EXPECT_EQ(m_wnd.GetVideoArea(), (CRect{6, 18, 1018, 587}));
    EXPECT_EQ(m_wnd.GetWindowRect(), (CRect{0, 100, 1024, 714}));
    m_wnd.Observe(CmdStopped); // stopping shrinks back
    EXPECT_EQ(m_wnd.GetVideoArea(), (CRect{6, 18, 306, 230}));
    EXPECT_EQ(m_wnd.GetPictureSize(), CSize{});
    // The context menu opens in the video area with the mode and repeat marked.
    m_wnd.m_nMenuChoice = ID_MODE_DOUBLE;
    m_wnd.OpenPicture({320, 240});
    m_wnd.Click(WM_RBUTTONDOWN, 100, 100);
    ASSERT_EQ(m_wnd.m_menus.size(), 1u);
    const MenuEntry& modes = m_wnd.m_menus[0].at(4); // the display modes
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(modes.popup.at(std::size_t(i)).bChecked, i == ModeNatural) << i;
    EXPECT_EQ(modes.popup[0].strText, "&Ajuster") << "texts are translated with their ampersand";
    EXPECT_EQ(m_wnd.GetModeButton(ModeFit).GetTooltipText(), "Ajuster");
    EXPECT_TRUE(FindPopupMenuItem(m_wnd.m_menus[0], ID_REPEAT)->bChecked);
    EXPECT_EQ(Engine().GetDisplayMode(), ModeDouble) << "the chosen item applies";
    EXPECT_EQ(m_wnd.GetVideoArea(), (CRect{6, 18, 646, 498}));
    Ctl().SetRepeat(false);
    m_wnd.m_nMenuChoice = 0;
    m_wnd.Click(WM_RBUTTONDOWN, 100, 100);
    ASSERT_EQ(m_wnd.m_menus.size(), 2u);
    EXPECT_FALSE(FindPopupMenuItem(m_wnd.m_menus[1], ID_REPEAT)->bChecked);
    EXPECT_TRUE(m_app.m_menus.empty());
    m_wnd.Click(WM_RBUTTONDOWN, 150, 8); // on the title bar the system menu opens instead
    EXPECT_EQ(m_wnd.m_menus.size(), 2u);
    EXPECT_EQ(m_app.m_menus.size(), 1u);
}

TEST_F(PlayWndTest, FullScreenHidesTheQuietCursorOutlastsAnOpenAndTogglesByDoubleClick) {
    m_wnd.OpenPicture({320, 240});
    const CRect windowed = m_wnd.GetWindowRect();
    platform::SetModifierState(true, false, false);
    m_wnd.SendMessage(WM_KEYDOWN, 'F');
    platform::SetModifierState(false, false, false);
    ASSERT_TRUE(m_wnd.IsZoomed());
    EXPECT_EQ(m_wnd.GetWindowRect(), CPlayWndUnderTest::kDesktop);
    ASSERT_FALSE(m_wnd.m_orders.empty());
    EXPECT_TRUE(m_wnd.m_orders.back()) << "the play window comes above the others";

    m_clock.Advance(2000);
    m_wnd.Mouse(WM_MOUSEMOVE, 500, 400); // restarts the 3 s
    m_clock.Advance(2999);
    EXPECT_FALSE(m_wnd.IsCursorHidden());
    m_clock.Advance(1);
    EXPECT_TRUE(m_wnd.IsCursorHidden());
    EXPECT_EQ(m_wnd.GetWidget()->cursor().shape(), Qt::BlankCursor);
    m_wnd.Mouse(WM_MOUSEMOVE, 501, 400);
    EXPECT_FALSE(m_wnd.IsCursorHidden());
    m_wnd.OpenPicture({320, 240});
    EXPECT_TRUE(m_wnd.IsZoomed()) << "an open does not leave full screen";
    EXPECT_EQ(Engine().GetWindowRect(), CPlayWndUnderTest::kDesktop);
    // The first release after the focus came changes nothing; later ones raise the others.
    m_wnd.SendMessage(WM_SETFOCUS);
    m_wnd.Mouse(WM_LBUTTONUP, 150, 100);
    EXPECT_TRUE(m_wnd.m_orders.back());
    m_wnd.Click(WM_LBUTTONDOWN, 150, 100);
    EXPECT_FALSE(m_wnd.m_orders.back());

    m_wnd.SendMessage(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_FALSE(m_wnd.IsZoomed());
    EXPECT_EQ(m_wnd.GetWindowRect(), windowed);
    m_clock.Advance(5000);
    EXPECT_FALSE(m_wnd.IsCursorHidden()) << "the cursor timer ends with full screen";
    for (bool zoomed : {true, false, true}) { // and the window closes in full screen
        m_wnd.Click(WM_LBUTTONDBLCLK, 150, 100);
        EXPECT_EQ(m_wnd.IsZoomed(), zoomed);
    }
}

TEST_F(PlayWndTest, EngineReportsMenuKeysAndButtonsReachTheControllerAndTheManager) {
    // The engine's reports as commands (an open in the main window's name): message, wParam,
    // lParam, and the command and its param1 (the info changed: a length or tags found later).
    const std::tuple<UINT, WPARAM, LPARAM, int, LPARAM> reports[] = {
        {WM_REG_PLAYSTATE, EnginePaused, 0, CmdPlayState, EnginePaused},
        {WM_REG_ENGINERESETTING, 12, 1, CmdEngineResetting, 1},
        {WM_REG_OPENSUCCESSED, 0, 0, CmdClipOpened, 0},
        {WM_REG_CLIPINFOCHANGED, 0, 0, CmdClipOpened, kClipInfoRefresh}};
    for (const auto& [message, wParam, lParam, code, param1] : reports) {
        m_wnd.SendMessage(message, wParam, lParam);
        ASSERT_FALSE(Seen(code).empty()) << message;
        EXPECT_EQ(Seen(code).back().param1, param1) << message;
    }
    EXPECT_EQ(Seen(CmdClipOpened).back().pSender, &m_mainWnd);
    EXPECT_EQ(Ctl().GetEnginePlayState(), EnginePaused);
    m_wnd.SendMessage(WM_REG_DISPLAYSIZECHANGED, ModeHalf, 0);
    EXPECT_EQ(Ctl().GetDisplayMode(), ModeHalf);
    m_wnd.SendMessage(WM_REG_PLAYSTATE, EngineStopped, 0);
    m_wnd.Observe(CmdSeekDragEnded);
    EXPECT_TRUE(Seen(CmdPlay).empty()) << "only a paused engine resumes after a seek drag";

    m_wnd.OnMenuCommand(ID_PLAY_PAUSE);
    EXPECT_EQ(m_app.m_opened.size(), 1u) << "an empty list asks for files";
    const bool repeat = Ctl().GetRepeat();
    m_wnd.OnMenuCommand(ID_REPEAT);
    EXPECT_EQ(Ctl().GetRepeat(), !repeat);
    Ctl().SetRepeat(false);
    AddClips({"/m/a.wav", "/m/b.wav"});
    EXPECT_EQ(Engine().GetPath(), "/m/a.wav") << "code 5 stores the clip's path";
    m_wnd.Observe(CmdUpdateControls);
    EXPECT_FALSE(m_wnd.GetButton(4)->IsEnabled()) << "no previous clip on the first row";
    EXPECT_TRUE(m_wnd.GetButton(7)->IsEnabled());
    EXPECT_FALSE(m_wnd.GetButton(6)->IsEnabled()) << "nothing plays";
    m_wnd.SendMessage(WM_REG_CLIPLOADING, 1, 0);
    EXPECT_FALSE(m_wnd.GetPlayButton().IsEnabled());
    EXPECT_EQ(LastParam(CmdClipLoading), 1);
    m_wnd.SendMessage(WM_REG_CLIPLOADING, 0, 0);
    EXPECT_TRUE(m_wnd.GetPlayButton().IsEnabled());
    // The close button asks the main window to hide the play window.
    m_wnd.Click(3);
    m_clock.Pump();
    EXPECT_EQ(m_mainWnd.m_childNotes, (std::vector<LPARAM>{LPARAM(&m_wnd)}));
    platform::SetModifierState(true, false, false);
    m_wnd.SendMessage(WM_KEYDOWN, 'S');
    EXPECT_EQ(Ctl().GetPendingAction(), PendingAction::Stopped);
    m_wnd.Observe(CmdClosing);
    EXPECT_EQ(Engine().GetPath(), "");
    m_wnd.Observe(CmdLoadClip);
    EXPECT_EQ(Engine().GetPath(), "") << "no clip, no path";
}

TEST_F(PlayWndTest, TheSkinsTheLogoAndTheSavedPlace) {
    // The sample skin folder holds the built-in skin; a folder without the window's file is not.
    m_wnd.SetActive(true);
    const QImage builtIn = m_wnd.GetBuffer()->Image().copy();
    ASSERT_TRUE(m_wnd.LoadSkin(std::string(CORVELLA_BINARY_DIR) + "/Test Skin/"));
    EXPECT_TRUE(m_wnd.GetBuffer()->Image() == builtIn);
    EXPECT_FALSE(m_wnd.LoadSkin(m_temp.Path() + "/"));
    m_wnd.LoadBuiltInSkin();

    EXPECT_EQ(Ctl().GetEngineManager(), m_wnd.GetEngineManager()) << "handed to the controller";
    EXPECT_EQ(m_wnd.GetLogoRect(), (CRect{76, 94, 236, 154})) << "centred in the video area";
    EXPECT_EQ(Engine().GetWindowRect(), m_wnd.GetLogoRect());
    m_wnd.ToggleShade();
    EXPECT_EQ(m_wnd.GetLogoRect(), CRect{}) << "no logo while rolled up";
    m_wnd.ToggleShade();
    m_wnd.MoveWindow({40, 50, 392, 347});
    m_wnd.DestroyWindow();
    EXPECT_EQ(Ctl().GetEngineManager(), nullptr) << "the controller lets go of the manager";
    CPlayWndUnderTest again;
    ASSERT_TRUE(again.Create(&m_mainWnd));
    EXPECT_EQ(again.GetWindowRect(), (CRect{40, 50, 392, 347}));
    again.DestroyWindow();
}

// Numbers beyond any screen, even at the ends of the 32-bit range, give controls whose
// rectangles still hold together: right of left, below top, and no sum wrapped around.
TEST_F(PlayWndTest, HugeNumbersInTheSkinFileGiveControlsOnTheScreenPlane) {
    const std::string folder = m_temp.Path() + "/huge/";
    std::filesystem::copy(std::string(CORVELLA_BINARY_DIR) + "/Test Skin", folder,
                          std::filesystem::copy_options::recursive);
    std::string text = platform::ReadWholeFile(folder + "PlayWindow.txt").value_or("");
    const std::string line = "25, -25, 15, 18, 15, 0,";
    const std::size_t at = text.find(line);
    ASSERT_NE(at, std::string::npos) << "the sample skin's first button line changed";
    text.replace(at, line.size(), "99999999999, -99999999999, 2147483647, 2147483647, 15, 0,");
    m_temp.MakeFile("huge/PlayWindow.txt", text);
    m_wnd.LoadSkin(folder);
    for (const CMemCtrl* c : m_wnd.GetControls()) {
        EXPECT_LE(c->GetCtrlRect().left, c->GetCtrlRect().right) << c->GetID();
        EXPECT_LE(c->GetCtrlRect().top, c->GetCtrlRect().bottom) << c->GetID();
    }
}

// A sink that keeps time, so a clip lasts as long as it says (set before the window starts).
class PlayWndMediaTest : public PlayWndTest {
    mediatest::CScopedEnv m_sink{"CORVELLA_AUDIO_SINK", "fakesink sync=true"};
};

// A failing sound output is not the clip's fault: it keeps its mark, playback stops with the
// reason shown (with no output at all: the outputs tried), and Play opens it again.
TEST_F(PlayWndMediaTest, AClipTicksUntilItEndsAndAFailingOutputStopsItWithoutBlamingIt) {
    const std::string path = m_temp / "tone.wav";
    testsupport::WriteWav(path, 2);
    Ctl().SetRepeat(false);
    AddClips({path});
    const auto stopped = [&] { return Ctl().GetEnginePlayState() == EngineStopped; };
    Ctl().Play();
    ASSERT_TRUE(PumpUntil([&] { return Ctl().GetEnginePlayState() == EnginePlaying; }));
    EXPECT_EQ(Engine().GetOpenedPath(), path);
    EXPECT_EQ(Engine().GetVolume(), Ctl().GetVolume()) << "the controller set the volume";
    m_clock.Advance(1000);
    ASSERT_EQ(Seen(CmdPosition).size(), 1u) << "one tick a second";
    ASSERT_TRUE(PumpUntil([&] { return !Seen(CmdPlaybackCompleted).empty(); }));
    EXPECT_EQ(Seen(CmdPlaybackCompleted)[0].pSender, &m_mainWnd);
    EXPECT_TRUE(stopped());
    EXPECT_EQ(Ctl().GetPendingAction(), PendingAction::Stopped) << "no next clip, repeat off";
    const std::size_t ticks = Seen(CmdPosition).size();
    m_clock.Advance(3000);
    EXPECT_EQ(Seen(CmdPosition).size(), ticks) << "the ticks end with the clip";

    // A longer clip, so that the failure comes while it plays.
    CAttribClip* longer = Ctl().GetClipList().Add(std::make_unique<CAttribClip>());
    longer->SetPath(m_temp / "long.wav");
    testsupport::WriteWav(longer->GetPath(), 10);
    m_rows.AppendRow(longer);
    ::setenv("CORVELLA_AUDIO_SINK", "identity error-after=8 ! fakesink sync=true", 1);
    Ctl().PlayClip(longer, true);
    ASSERT_TRUE(PumpUntil([&] { return Ctl().GetEnginePlayState() == EnginePlaying; }));
    ASSERT_TRUE(PumpUntil(stopped));
    EXPECT_TRUE(longer->GetPlayable());
    EXPECT_EQ(Ctl().GetCurrentClip(), longer);
    EXPECT_EQ(Ctl().GetPendingAction(), PendingAction::Stopped);
    EXPECT_TRUE(Engine().GetOverlayText().starts_with("No sound: ")) << Engine().GetOverlayText();
    EXPECT_FALSE(Ctl().IsBusy());
    {
        // Nothing the automatic sink tries can sound here.
        const std::string noConfig = m_temp.MakeFile("no-alsa.conf", "");
        mediatest::CScopedEnv pulse("PULSE_SERVER", "unix:/nonexistent/pulse"),
            alsa("ALSA_CONFIG_PATH", noConfig.c_str()), jack("JACK_NO_START_SERVER", "1"),
            sink("CORVELLA_AUDIO_SINK", nullptr);
        Ctl().Play();
        ASSERT_TRUE(PumpUntil([&] {
            return Engine().GetOverlayText().starts_with(
                "No sound: no sound output could be opened");
        })) << Engine().GetOverlayText();
        const std::string text = Engine().GetOverlayText();
        EXPECT_NE(text.find("tried: "), std::string::npos) << text;
        EXPECT_NE(text.find("pulsesink"), std::string::npos) << text;
        EXPECT_TRUE(stopped());
        EXPECT_TRUE(longer->GetPlayable());
    }
    ::setenv("CORVELLA_AUDIO_SINK", "fakesink sync=true", 1);
    Ctl().Play();
    ASSERT_TRUE(PumpUntil([&] { return Ctl().GetEnginePlayState() == EnginePlaying; }))
        << "the output is back";
    EXPECT_EQ(Engine().GetOverlayText(), "");
    Ctl().Stop();
    ASSERT_TRUE(PumpUntil(stopped));
}

} // namespace
