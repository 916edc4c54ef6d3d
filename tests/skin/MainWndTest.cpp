#include "skin/MainWnd.h"

#include "core/AttribClip.h"
#include "core/CorePrefs.h"
#include "core/RegObjectStore.h"
#include "platform/Clock.h"
#include "platform/MessageQueue.h"
#include "platform/RegisteredMessages.h"
#include "platform/Registry.h"
#include "platform/StoreNotices.h"
#include "playback/CommandBus.h"
#include "playback/UIControl.h"
#include "skin/AppLink.h"
#include "skin/SkinCursor.h"
#include "tests/platform/TestHelpers.h"
#include "tests/support/PlayerWindowWorld.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gst/gst.h>

namespace {

// The application as the main window sees it: a real command bus over the main window, and a
// record of what went through it.
class CBusRecordingApp : public IPlayerApp {
public:
    struct Command {
        int code;
        LPARAM param1;
        bool bPosted;
        bool operator==(const Command&) const = default;
    };

    CBusRecordingApp() { m_control.SetCommandBus(this); }

    void SubmitCommand(CCmdTarget* pSender, int code, LPARAM param1, LPARAM param2,
                       const std::string& text) override {
        m_commands.push_back({code, param1, false});
        m_bus.SubmitCommand(pSender, code, param1, param2, text);
    }
    void PostCommand(WPARAM code, LPARAM param1) override {
        m_commands.push_back({int(code), param1, true});
        m_bus.PostCommand(code, param1);
    }
    CUIControl& GetController() override { return m_control; }
    CWnd* GetMainWindow() override { return m_bus.GetMainWnd(); }
    void AddFiles(const std::vector<std::string>&) override {}
    void OpenMediaFiles(CWnd*) override { ++m_nOpenDialogs; }
    void OpenCd(CWnd*) override {}
    void OpenVcd(CWnd*) override {}
    void ShowSystemMenu(CWnd*, CPoint) override { ++m_nMenus; }
    std::string Translate(const std::string& text) override {
        return m_bGerman && text == "Volume Bar" ? "Lautstärke" : text;
    }

    bool m_bGerman = false;

    bool Has(const Command& c) const {
        return std::find(m_commands.begin(), m_commands.end(), c) != m_commands.end();
    }
    bool HasCode(int code) const {
        return std::any_of(m_commands.begin(), m_commands.end(),
                           [code](const Command& c) { return c.code == code; });
    }

    CCommandBus m_bus;
    CUIControl m_control;
    std::vector<Command> m_commands;
    int m_nOpenDialogs = 0;
    int m_nMenus = 0;
};

// The main window with a clip length of its own instead of an engine manager's.
class CTestMainWnd : public CMainWnd {
public:
    double m_dDuration = 0;
    std::string m_strPath;

    using CMainWnd::WindowProc;
    LRESULT Observe(int code, LPARAM param1 = 0) {
        ControlCommand cmd{code, nullptr, param1, 0, {}};
        return SendMessage(WM_REG_OBSERVECOMMAND, WPARAM(&cmd), 0);
    }
    void Click(UINT nID) {
        CMemCtrl* pCtrl = FindControl(nID);
        ASSERT_NE(pCtrl, nullptr) << nID;
        SendMessage(WM_REG_MEMCTRL, MEMCTRL_CLICK, LPARAM(pCtrl));
    }
    std::vector<UINT> ControlIds() const {
        std::vector<UINT> ids;
        for (CMemCtrl* c : GetControls())
            ids.push_back(c->GetID());
        return ids;
    }

protected:
    double ClipDuration() const override { return m_dDuration; }
    std::string ClipPath() const override { return m_strPath; }
    CPoint MenuPoint() const override { return {0, 0}; }
};

class MainWndTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::EnterPlayerWindowWorld(&m_app, m_temp.Path() + "/corvella");
        m_pWnd = std::make_unique<CTestMainWnd>();
        m_app.m_bus.SetMainWnd(m_pWnd.get());
    }
    void TearDown() override {
        m_pWnd.reset();
        testsupport::LeavePlayerWindowWorld();
    }

    CTestMainWnd& Created() {
        EXPECT_TRUE(m_pWnd->Create());
        m_clock.Pump();
        m_app.m_commands.clear();
        return *m_pWnd;
    }
    std::string MakeFile(const std::string& name) {
        const std::string path = m_temp.Path() + "/" + name;
        std::ofstream(path) << "RIFF";
        return path;
    }

    TempFolder m_temp;
    platform::CVirtualClock m_clock;
    CBusRecordingApp m_app;
    std::unique_ptr<CTestMainWnd> m_pWnd;
};

} // namespace

TEST_F(MainWndTest, MakingTheWindowsLeavesGStreamerToTheFirstClip) {
    // A first start of GStreamer builds its plugin registry, which takes about a second.
    Created();
    EXPECT_TRUE(m_pWnd->GetPlayWindow());
    EXPECT_FALSE(gst_is_initialized());
}

TEST_F(MainWndTest, EachLayoutListsItsControlsInHitTestOrder) {
    CTestMainWnd& w = Created();
    EXPECT_EQ(w.ControlIds(), (std::vector<UINT>{1,  2,  3,  4,  12, 13, 14, 15, 16, 17, 18,
                                                 19, 20, 21, 23, 24, 26, 25, 27, 28, 29}));
    EXPECT_EQ(w.FindControl(3)->GetTooltipText(), "Shade Mode");
    w.Click(3);
    EXPECT_TRUE(w.IsShaded());
    EXPECT_EQ(w.GetWindowRect().Height(), w.GetShadeHeight());
    EXPECT_EQ(w.ControlIds(), (std::vector<UINT>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 29, 11}));
    EXPECT_EQ(w.FindControl(3)->GetTooltipText(), "Expand Mode");
    // A double click on the body (no control there) rolls it out again.
    w.SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(180, 9));
    EXPECT_FALSE(w.IsShaded());
    EXPECT_EQ(w.GetWindowRect().Height(), 118);
}

TEST_F(MainWndTest, ALanguageSwitchTranslatesTheTooltipsAgain) {
    CTestMainWnd& w = Created();
    ASSERT_EQ(w.FindControl(20)->GetTooltipText(), "Volume Bar");
    m_app.m_bGerman = true;
    ControlCommand cmd{};
    cmd.code = CmdTranslate;
    w.SendMessage(WM_REG_OBSERVECOMMAND, WPARAM(&cmd), 0);
    EXPECT_EQ(w.FindControl(20)->GetTooltipText(), "Lautstärke");
}

TEST_F(MainWndTest, TheTimeDisplayCountsDownOrUpAndAClickToggles) {
    EXPECT_EQ(CMainWnd::FormatTime(3723), "1:02:03");
    EXPECT_EQ(CMainWnd::FormatTime(0), "0:00:00");
    EXPECT_EQ(CMainWnd::FormatTime(40 * 3600 + 5), "40:00:05");
    CTestMainWnd& w = Created();
    w.m_dDuration = 3999.6;
    w.m_strPath = "/music/song.mp3";
    w.Observe(CmdClipLoading, 0);
    EXPECT_EQ(w.GetDuration(), 4000);
    EXPECT_EQ(w.GetPositionBar().GetRangeMax(), 4000);
    EXPECT_EQ(w.GetClipTypeText(), "MP3");
    w.Observe(CmdPosition, 3723);
    EXPECT_TRUE(w.IsRemainingTime());
    EXPECT_EQ(w.GetTimeText(), "0:04:37");
    EXPECT_EQ(w.GetPositionBar().GetValue(), 3723);
    w.Click(26);
    EXPECT_EQ(w.GetTimeText(), "1:02:03");
    w.Click(26);
    EXPECT_EQ(w.GetTimeText(), "0:04:37");
    // A length the engine found only after the open reaches the display and the bar.
    w.m_dDuration = 4100;
    w.Observe(CmdClipOpened, kClipInfoRefresh);
    EXPECT_EQ(w.GetPositionBar().GetRangeMax(), 4100);
    EXPECT_EQ(w.GetTimeText(), "0:06:17");
    w.m_dDuration = 3999.6;
    w.Observe(CmdClipOpened, kClipInfoRefresh);
    // A paused or busy engine's position reports do not move the display.
    for (int state : {EnginePaused, EngineBusy}) {
        m_app.m_control.SetEnginePlayState(state);
        w.Observe(CmdPosition, 10);
        EXPECT_EQ(w.GetPosition(), 3723);
    }
    // Stopping empties the label and resets the displays.
    w.Observe(CmdStopped);
    EXPECT_EQ(w.GetTimeText(), "0:00:00");
    EXPECT_EQ(w.GetLabelText(), "");
    EXPECT_EQ(w.GetClipTypeText(), "");
}

TEST_F(MainWndTest, KeysAndTheWheelMoveTheVolumeByFourWithinItsRange) {
    CTestMainWnd& w = Created();
    EXPECT_EQ(w.GetVolume(), 80);
    for (int i = 0; i < 4; ++i)
        w.SendMessage(WM_KEYDOWN, VK_RIGHT, 0); // 80 → 64
    w.SendMessage(WM_KEYDOWN, VK_UP, 0);        // 68
    for (int i = 0; i < 8; ++i)
        w.SendMessage(WM_KEYDOWN, VK_LEFT, 0); // Left raises: 68 → 100 (stops there)
    EXPECT_EQ(w.GetVolume(), 100);
    w.SendMessage(WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(w.GetVolume(), 96);
    w.SendMessage(WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_EQ(w.GetVolume(), 100);
    EXPECT_TRUE(m_app.Has({CmdVolume, 100, false}));
    EXPECT_TRUE(m_app.Has({CmdVolume, 96, false}));

    w.SendMessage(WM_MOUSEWHEEL, WPARAM(std::uint16_t(-120)) << 16, 0);
    EXPECT_EQ(w.GetVolume(), 96);
    w.SendMessage(WM_MOUSEWHEEL, WPARAM(60) << 16, 0); // a small step up still lowers
    EXPECT_EQ(w.GetVolume(), 92);
    w.SendMessage(WM_MOUSEWHEEL, WPARAM(120) << 16, 0);
    EXPECT_EQ(w.GetVolume(), 96);
    for (int i = 0; i < 30; ++i)
        w.SendMessage(WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(w.GetVolume(), 0);
}

TEST_F(MainWndTest, IndicatorsShowPlayStateMuteAndLoop) {
    CTestMainWnd& w = Created();
    const std::pair<int, const char*> states[] = {{0, "S"}, {1, "P"}, {2, "A"}, {3, "E"}, {9, "D"}};
    for (const auto& [state, glyph] : states) {
        w.Observe(CmdPlayState, state);
        EXPECT_EQ(w.GetPlayStateText(), glyph) << state;
        EXPECT_EQ(w.GetStateGlyph(true).GetText(), glyph) << state;
    }
    EXPECT_EQ(w.GetMuteText(), "0");
    w.Click(19);
    EXPECT_TRUE(m_app.m_control.GetMute());
    EXPECT_EQ(w.GetMuteText(), "1");
    w.Click(27);
    EXPECT_FALSE(m_app.m_control.GetMute());
    EXPECT_EQ(w.GetLoopText(), "3"); // repeat starts on
    w.Click(28);
    EXPECT_FALSE(m_app.m_control.GetRepeat());
    EXPECT_EQ(w.GetLoopText(), "2");
    EXPECT_TRUE(m_app.Has({CmdRepeatChanged, 0, false}));
    // A mute switched elsewhere (Ctrl+M) reaches the indicator with code 17.
    m_app.m_control.SetMute(true);
    w.Observe(CmdUpdateControls);
    EXPECT_EQ(w.GetMuteText(), "1");
}

TEST_F(MainWndTest, PlayPauseWithAnEmptyPlaylistOpensTheFileDialogInstead) {
    CTestMainWnd& w = Created();
    w.Click(13);
    EXPECT_EQ(m_app.m_nOpenDialogs, 1);
    EXPECT_TRUE(m_app.HasCode(CmdUserCommand));
    EXPECT_EQ(w.GetPlayButtonState(), 0);
    // Space does nothing with an empty list.
    w.SendMessage(WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(m_app.m_nOpenDialogs, 1);

    m_app.m_control.AddFiles({MakeFile("a.wav")}, false);
    w.Click(13);
    EXPECT_EQ(m_app.m_nOpenDialogs, 1);
    EXPECT_EQ(w.GetPlayButtonState(), 1);
    EXPECT_EQ(w.GetSmallPlayButton().GetState(), 1);
}

TEST_F(MainWndTest, DraggingThePositionBarPausesSeeksAndResumes) {
    CTestMainWnd& w = Created();
    const CMemCtrl* pBar = &w.GetPositionBar();
    m_app.m_control.SetEnginePlayState(EnginePlaying);
    w.SendMessage(WM_REG_SLIDERHOLD, WPARAM(pBar), 1);
    EXPECT_TRUE(m_app.Has({CmdPause, 0, false}));
    m_app.m_control.SetEnginePlayState(EnginePaused);
    w.SendMessage(WM_REG_SLIDERPOS, WPARAM(pBar), 42);
    EXPECT_TRUE(m_app.Has({CmdSeek, 42, false}));
    EXPECT_EQ(w.GetPosition(), 42);
    m_app.m_commands.clear();
    w.SendMessage(WM_REG_SLIDERHOLD, WPARAM(pBar), 0);
    ASSERT_EQ(m_app.m_commands.size(), 2u);
    EXPECT_EQ(m_app.m_commands[0], (CBusRecordingApp::Command{CmdSeek, 42, false}));
    EXPECT_EQ(m_app.m_commands[1], (CBusRecordingApp::Command{CmdSeekDragEnded, 0, true}));
    // The volume bar sets the controller's volume, which announces it.
    w.SendMessage(WM_REG_SLIDERPOS, WPARAM(&w.GetVolumeBar()), 33);
    EXPECT_EQ(m_app.m_control.GetVolume(), 33);
    EXPECT_TRUE(m_app.Has({CmdVolume, 33, false}));
}

TEST_F(MainWndTest, LoadingSwapsTheStateGlyphForTheAnimation) {
    CTestMainWnd& w = Created();
    w.Observe(CmdClipLoading, 1);
    EXPECT_EQ(w.GetLabelText(), "Loading...");
    EXPECT_TRUE(w.GetAnimation(false).IsVisible());
    EXPECT_FALSE(w.GetStateGlyph(false).IsVisible());
    m_clock.Advance(1000); // the animation steps on its timer
    EXPECT_NE(w.GetAnimation(false).GetFrame(), 0);
    w.SetClipInfoSource([] { return std::string("1. song.mp3"); });
    w.Observe(CmdClipLoading, 0);
    EXPECT_FALSE(w.GetAnimation(false).IsVisible());
    EXPECT_TRUE(w.GetStateGlyph(true).IsVisible());
    EXPECT_EQ(w.GetLabelText(), "1. song.mp3");
}

TEST_F(MainWndTest, ClosingWhilePlayingStopsFirstAndClosesWhenPlaybackCompleted) {
    CCorePrefs::Set(CCorePrefs::ReloadLastPlaylist, 0);
    CTestMainWnd& w = Created();
    bool destroyed = false;
    w.SetDestroyedHook([&] { destroyed = true; });
    m_app.m_control.AddFiles({MakeFile("a.wav")}, false);
    m_app.m_control.SetEnginePlayState(EnginePlaying);
    w.SendMessage(WM_CLOSE);
    EXPECT_TRUE(w.IsClosingPending());
    EXPECT_TRUE(w.IsWindow());
    EXPECT_TRUE(m_app.HasCode(CmdStop));
    m_clock.Pump();
    EXPECT_TRUE(w.IsWindow());
    // The engine reports the end of playback.
    m_app.m_control.SetEnginePlayState(EngineStopped);
    w.Observe(CmdPlaybackCompleted);
    EXPECT_TRUE(m_app.HasCode(CmdClosing)); // the playlist is not to be reloaded
    EXPECT_EQ(m_app.m_control.GetClipList().GetCount(), 0u);
    m_clock.Pump();
    EXPECT_FALSE(w.IsWindow());
    EXPECT_TRUE(destroyed);
}

TEST_F(MainWndTest, ClosingEndsAfterASecondWhenPlaybackNeverReportsThatItStopped) {
    CCorePrefs::Set(CCorePrefs::ReloadLastPlaylist, 0);
    CTestMainWnd& w = Created();
    m_app.m_control.AddFiles({MakeFile("a.wav")}, false);
    m_app.m_control.SetEnginePlayState(EnginePlaying);
    w.SendMessage(WM_CLOSE);
    m_clock.Advance(CMainWnd::kCloseWaitMs - 1);
    EXPECT_TRUE(w.IsWindow());
    m_clock.Advance(1);
    m_clock.Pump();
    EXPECT_FALSE(w.IsWindow()) << "the stuck engine does not keep the program";
    EXPECT_EQ(m_app.m_control.GetClipList().GetCount(), 0u) << "the close ran as usual";
}

TEST_F(MainWndTest, ClosingWhileStoppedClosesAtOnceAndKeepsThePlaylistWhenAskedTo) {
    CCorePrefs::Set(CCorePrefs::ReloadLastPlaylist, 1);
    CTestMainWnd& w = Created();
    m_app.m_control.AddFiles({MakeFile("a.wav")}, false);
    w.Observe(CmdPlaybackCompleted); // not closing: nothing happens
    EXPECT_TRUE(w.IsWindow());
    w.SendMessage(WM_CLOSE);
    EXPECT_FALSE(w.IsWindow());
    EXPECT_EQ(m_app.m_control.GetClipList().GetCount(), 1u);
}

TEST_F(MainWndTest, TheSavedStateBringsBackPlaceFlagsVolumeAndPreferences) {
    {
        CTestMainWnd& w = Created();
        w.MoveWindow({40, 50, 352, 168});
        w.Click(26); // elapsed time
        w.SendMessage(WM_KEYDOWN, VK_RIGHT, 0);
        CCorePrefs::Set(CCorePrefs::AutoPlay, 0);
        CCorePrefs::Set(CCorePrefs::PlaylistFontSize, 13);
        m_app.m_control.SetRepeat(false);
        w.SendMessage(WM_CLOSE);
    }
    CCorePrefs::ResetToDefaults();
    m_app.m_control.SetRepeat(true);
    m_pWnd = std::make_unique<CTestMainWnd>();
    m_app.m_bus.SetMainWnd(m_pWnd.get());
    CTestMainWnd& again = Created();
    EXPECT_EQ(again.GetWindowRect().left, 40);
    EXPECT_EQ(again.GetWindowRect().top, 50);
    EXPECT_FALSE(again.IsRemainingTime());
    EXPECT_EQ(again.GetVolume(), 76);
    EXPECT_EQ(CCorePrefs::Get(CCorePrefs::AutoPlay), 0);
    EXPECT_EQ(CCorePrefs::Get(CCorePrefs::PlaylistFontSize), 13);
    EXPECT_FALSE(m_app.m_control.GetRepeat());
    EXPECT_EQ(again.GetLoopText(), "2");
}

TEST_F(MainWndTest, APlaylistTooLargeForTheStateIsKeptApartAndAFailedSaveKeepsTheOldState) {
    const std::string dataHome = m_temp.Path() + "/data";
    ::setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
    auto closeAndReopen = [this] {
        m_pWnd->SendMessage(WM_CLOSE);
        CCorePrefs::ResetToDefaults();
        m_app.m_control.ClearPlaylist();
        m_pWnd = std::make_unique<CTestMainWnd>();
        m_app.m_bus.SetMainWnd(m_pWnd.get());
        Created();
    };
    Created();
    constexpr std::size_t kClips = 3000; // about 200 KB of state
    for (std::size_t i = 0; i < kClips; ++i) {
        auto clip = std::make_unique<CAttribClip>();
        clip->SetPath(m_temp.Path() + "/a clip with a longer name " + std::to_string(i) + ".wav");
        m_app.m_control.GetClipList().Add(std::move(clip));
    }
    CCorePrefs::Set(CCorePrefs::PlaylistFontSize, 14);
    closeAndReopen();
    EXPECT_EQ(m_app.m_control.GetClipList().GetCount(), kClips);
    EXPECT_EQ(m_app.m_control.GetClipList().GetAt(kClips - 1)->GetPath(),
              m_temp.Path() + "/a clip with a longer name 2999.wav");
    EXPECT_EQ(CCorePrefs::Get(CCorePrefs::PlaylistFontSize), 14);
    EXPECT_TRUE(std::filesystem::exists(dataHome + "/corvella/playlist.mpl"));

    // Without a place for the file nothing is saved: the stored state and the file it names stay
    // as they were, and the user hears why.
    const std::string notFolder = MakeFile("not a folder");
    ::setenv("XDG_DATA_HOME", notFolder.c_str(), 1);
    platform::ResetStoreNotices();
    CCorePrefs::Set(CCorePrefs::PlaylistFontSize, 15);
    closeAndReopen();
    EXPECT_EQ(m_app.m_control.GetClipList().GetCount(), kClips);
    EXPECT_EQ(CCorePrefs::Get(CCorePrefs::PlaylistFontSize), 14);
    const auto notices = platform::TakeStoreNotices();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].kind, platform::StoreNotice::NotSaved);
    EXPECT_TRUE(notices[0].path.starts_with(notFolder + "/corvella/")) << notices[0].path;
    EXPECT_EQ(notices[0].reason, std::strerror(ENOTDIR));

    // The next save writes the other file, then the state naming it, and removes the old file.
    ::setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
    closeAndReopen();
    EXPECT_EQ(m_app.m_control.GetClipList().GetCount(), kClips);
    EXPECT_FALSE(std::filesystem::exists(dataHome + "/corvella/playlist.mpl"));
    EXPECT_TRUE(std::filesystem::exists(dataHome + "/corvella/playlist-2.mpl"));
    ::unsetenv("XDG_DATA_HOME");
}

TEST_F(MainWndTest, ADamagedSavedStateLeavesTheDefaults) {
    // Only the window-base part survived: the rest of the value is cut off.
    std::string value;
    for (std::int32_t v : {10, 20, 322, 138, 1, 0, 118})
        value.append(reinterpret_cast<const char*>(&v), 4);
    value += "\x05\x00";
    ASSERT_TRUE(
        CRegistry::Instance().SetBinary(HKEY_LOCAL_MACHINE, kWindowStatePath, "MainWnd", value));
    CTestMainWnd& w = Created();
    EXPECT_EQ(w.GetVolume(), 80);
    EXPECT_TRUE(w.IsRemainingTime());
    EXPECT_TRUE(w.IsPlayWndShown());
    EXPECT_EQ(CCorePrefs::Get(CCorePrefs::AutoPlay), CCorePrefs::Default(CCorePrefs::AutoPlay));
}

// Skins ----------------------------------------------------------------------------------------

class MainWndSkinTest : public MainWndTest {
protected:
    std::string CopySkin(const std::string& name = "Skin") {
        const std::string folder = m_temp.Path() + "/" + name + "/";
        std::filesystem::copy(std::string(CORVELLA_BINARY_DIR) + "/Test Skin", folder,
                              std::filesystem::copy_options::recursive);
        return folder;
    }
    // Replaces value line n (counted from 1, comments skipped) of the description file.
    static void ReplaceValueLine(const std::string& file, int n, const std::string& text) {
        std::ifstream in(file);
        std::string line;
        std::string out;
        int value = 0;
        while (std::getline(in, line)) {
            if (line.rfind("//", 0) != 0 && ++value == n)
                line = text;
            out += line + "\n";
        }
        std::ofstream(file, std::ios::trunc) << out;
    }
};

TEST_F(MainWndSkinTest, TheSampleSkinLoadsFromItsFiles) {
    CTestMainWnd& w = Created();
    const std::string folder = CopySkin();
    EXPECT_TRUE(w.LoadSkin(folder));
    EXPECT_TRUE(w.IsSkinFromFiles());
    EXPECT_EQ(w.ControlIds().size(), 21u);
    EXPECT_EQ(w.FindControl(20)->GetTooltipText(), "Volume Bar");
}

TEST_F(MainWndSkinTest, AMissingBitmapOrAShortFileFailsTheSkinFiles) {
    CTestMainWnd& w = Created();
    const std::string folder = CopySkin();
    ReplaceValueLine(folder + "MainWindow.txt", 6, "10, 20, 30");
    ReplaceValueLine(folder + "MainWindow.txt", 9, "missing.bmp");
    EXPECT_FALSE(w.LoadSkin(folder));
    w.LoadBuiltInSkin();
    EXPECT_FALSE(w.IsSkinFromFiles());
    EXPECT_EQ(w.ControlIds().size(), 21u);
    // A file cut short in the control lines fails too, and so does a missing file.
    const std::string other = CopySkin("Skin2");
    std::filesystem::resize_file(other + "MainWindow.txt",
                                 std::filesystem::file_size(other + "MainWindow.txt") - 40);
    EXPECT_FALSE(w.LoadSkin(other));
    std::filesystem::remove(other + "MainWindow.txt");
    EXPECT_FALSE(w.LoadSkin(other));
    w.LoadBuiltInSkin();
    EXPECT_EQ(w.FindControl(13)->GetCtrlRect(), CRect(13, 33, 78, 98));
}

// Child windows ---------------------------------------------------------------------------------

TEST_F(MainWndTest, TogglesAndAClosedChildShowOrHideTheOtherWindows) {
    CTestMainWnd& w = Created();
    CWnd* pPlay = w.GetPlayWindow();
    CWnd* pList = w.GetPlaylistWindow();
    ASSERT_NE(pPlay, nullptr);
    ASSERT_NE(pList, nullptr);
    EXPECT_TRUE(pPlay->IsWindowVisible());
    EXPECT_TRUE(pList->IsWindowVisible());
    // The toggle flips its check itself before it reports the click.
    auto* pToggle = static_cast<CMemCheckButton*>(w.FindControl(17));
    pToggle->SetCheck(false);
    w.Click(17);
    EXPECT_FALSE(pPlay->IsWindowVisible());
    EXPECT_FALSE(w.IsPlayWndShown());
    // The playlist window's close button tells the main window.
    w.SendMessage(WM_REG_CHILDWNDNOTIFY, 0, LPARAM(pList));
    EXPECT_FALSE(pList->IsWindowVisible());
    EXPECT_FALSE(static_cast<CMemCheckButton*>(w.FindControl(18))->IsChecked());
    w.ShowChild(pList, true);
    EXPECT_TRUE(pList->IsWindowVisible());

    // Minimise takes the shown windows along; restore brings back only those flagged shown.
    w.SendMessage(WM_SYSCOMMAND, SC_MINIMIZE);
    EXPECT_TRUE(w.IsMinimizedAll());
    EXPECT_FALSE(pList->IsWindowVisible());
    w.SendMessage(WM_SYSCOMMAND, SC_RESTORE);
    EXPECT_FALSE(w.IsMinimizedAll());
    EXPECT_TRUE(pList->IsWindowVisible());
    EXPECT_FALSE(pPlay->IsWindowVisible());
    // A clip opening shows the play window as remembered.
    w.ShowChild(pPlay, true);
    w.Observe(CmdClipOpened);
    EXPECT_TRUE(pPlay->IsWindowVisible());
}

TEST_F(MainWndTest, CommandsReachThePlayWindowThePlaylistWindowAndTheMainWindow) {
    CTestMainWnd& w = Created();
    const std::string path = MakeFile("b.wav");
    std::vector<std::string> list{path};
    m_app.m_control.AddFiles(list, false);
    // The playlist window fills its rows from a submitted command; the main window sees it too.
    m_app.SubmitCommand(nullptr, CmdRefillRows, 0, 0, {});
    m_app.m_control.Start();
    EXPECT_EQ(m_app.m_control.GetCurrentClip(), m_app.m_control.GetClipList().GetAt(0));
    m_app.SubmitCommand(nullptr, CmdPlayState, EnginePlaying, 0, {});
    EXPECT_EQ(w.GetPlayStateText(), "P");
}
