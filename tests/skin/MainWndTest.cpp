// The main window's controls, displays, bars, close sequence, saved state, skins and children.
#include "skin/MainWnd.h"

#include "core/CorePrefs.h"
#include "core/RegObjectStore.h"
#include "platform/Clock.h"
#include "platform/RegisteredMessages.h"
#include "platform/Registry.h"
#include "skin/SkinCursor.h"
#include "tests/support/PlayerWindowWorld.h"
#include "tests/support/RecordingPlayerApp.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <gst/gst.h>

namespace {

// The main window with a clip length of its own instead of an engine manager's.
class CTestMainWnd : public CMainWnd {
public:
    double m_dDuration = 0;
    std::string m_strPath;

    LRESULT Observe(int code, LPARAM param1 = 0) {
        ControlCommand cmd{code, nullptr, param1, 0, {}};
        return SendMessage(WM_REG_OBSERVECOMMAND, WPARAM(&cmd), 0);
    }
    void Click(UINT nID) { SendMessage(WM_REG_MEMCTRL, MEMCTRL_CLICK, LPARAM(FindControl(nID))); }
    void Key(WPARAM vk, int times = 1) {
        for (int i = 0; i < times; ++i)
            SendMessage(WM_KEYDOWN, vk, 0);
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
    // A new main window, made and settled, with the command record emptied.
    CTestMainWnd& Created() {
        m_pWnd = std::make_unique<CTestMainWnd>();
        m_app.m_bus.SetMainWnd(m_pWnd.get());
        EXPECT_TRUE(m_pWnd->Create());
        m_clock.Pump();
        m_app.m_commands.clear();
        return *m_pWnd;
    }
    bool Has(int code, LPARAM param1) const {
        return std::ranges::any_of(m_app.m_commands, [&](auto& c) {
            return c.code == code && c.param1 == param1 && !c.bPosted;
        });
    }
    void AddFile() { m_app.m_control.AddFiles({m_temp.MakeFile("a.wav", "RIFF")}, false); }

    testsupport::ScratchFolder m_temp;
    platform::CVirtualClock m_clock;
    testsupport::CRecordingPlayerApp m_app{true};
    testsupport::CPlayerWindowWorldGuard m_world{&m_app, m_temp.Path() + "/corvella"};
    std::unique_ptr<CTestMainWnd> m_pWnd;
};

} // namespace

// The sample skin loads from its files, cursors included, and draws as the built-in skin.
TEST_F(MainWndTest, MakingTheWindowsLeavesGStreamerToTheFirstClipAndBothLayoutsListTheirControls) {
    CTestMainWnd& w = Created();
    // A first start of GStreamer builds its plugin registry, which takes about a second.
    EXPECT_FALSE(gst_is_initialized());
    // The controls in hit-test order, with tooltips that follow the layout and the language.
    EXPECT_EQ(w.ControlIds(), (std::vector<UINT>{1,  2,  3,  4,  12, 13, 14, 15, 16, 17, 18,
                                                 19, 20, 21, 23, 24, 26, 25, 27, 28, 29}));
    w.Click(3);
    EXPECT_TRUE(w.IsShaded());
    EXPECT_EQ(w.GetWindowRect().Height(), w.GetShadeHeight());
    EXPECT_EQ(w.ControlIds(), (std::vector<UINT>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 29, 11}));
    EXPECT_EQ(w.FindControl(3)->GetTooltipText(), "Expand Mode");
    w.SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(180, 9)); // on the body: rolls out again
    EXPECT_FALSE(w.IsShaded());
    EXPECT_EQ(w.GetWindowRect().Height(), 118);

    const QImage builtIn = w.GetBuffer()->Image().copy();
    const std::string folder = m_temp / "Skin/";
    std::filesystem::copy(std::string(CORVELLA_BINARY_DIR) + "/Test Skin", folder,
                          std::filesystem::copy_options::recursive);
    CSkinCursors::Clear();
    EXPECT_TRUE(w.LoadSkin(folder));
    EXPECT_TRUE(w.GetBuffer()->Image() == builtIn);
    for (int slot = 0; slot < CSkinCursors::kSlots; ++slot)
        EXPECT_TRUE(CSkinCursors::Get(slot)) << slot;
    const std::string file = folder + "MainWindow.txt";
    std::filesystem::resize_file(file, std::filesystem::file_size(file) - 40);
    EXPECT_FALSE(w.LoadSkin(folder)) << "a description cut short";
    w.LoadBuiltInSkin();
    m_app.m_translate = [](const std::string& s) { return s == "Volume Bar" ? "Lautstärke" : s; };
    w.Observe(CmdTranslate);
    EXPECT_EQ(w.FindControl(20)->GetTooltipText(), "Lautstärke");
}

TEST_F(MainWndTest, TheTimeDisplayCountsDownOrUpAndKeysTheWheelAndTheBarMoveTheVolume) {
    EXPECT_EQ(CMainWnd::FormatTime(40 * 3600 + 5), "40:00:05");
    CTestMainWnd& w = Created();
    w.m_dDuration = 3999.6;
    w.m_strPath = "/music/song.mp3";
    w.Observe(CmdClipLoading, 0);
    EXPECT_EQ(w.GetPositionBar().GetRangeMax(), 4000);
    EXPECT_EQ(w.GetClipTypeText(), "MP3");
    w.Observe(CmdPosition, 3723);
    EXPECT_EQ(w.GetTimeText(), "0:04:37");
    w.Click(26);
    EXPECT_EQ(w.GetTimeText(), "1:02:03");
    w.Click(26);
    // A length the engine found only after the open reaches the display and the bar.
    w.m_dDuration = 4100;
    w.Observe(CmdClipOpened, kClipInfoRefresh);
    EXPECT_EQ(w.GetPositionBar().GetRangeMax(), 4100);
    EXPECT_EQ(w.GetTimeText(), "0:06:17");
    m_app.m_control.SetEnginePlayState(EnginePaused); // its position reports do not count
    w.Observe(CmdPosition, 10);
    EXPECT_EQ(w.GetPosition(), 3723);
    w.Observe(CmdStopped); // empties the label and resets the displays
    EXPECT_EQ(w.GetTimeText(), "0:00:00");
    // The volume steps go to the controller, which owns the volume and its range.
    w.Key(VK_RIGHT, 2); // 80 → 72
    w.Key(VK_UP);       // 76
    w.Key(VK_LEFT);     // Left raises, as Up does: 80
    w.Key(VK_DOWN);
    EXPECT_EQ(w.GetVolume(), 76);
    EXPECT_TRUE(Has(CmdVolume, 80));
    w.SendMessage(WM_MOUSEWHEEL, WPARAM(60) << 16, 0); // a small step up still lowers
    w.SendMessage(WM_MOUSEWHEEL, WPARAM(120) << 16, 0);
    w.SendMessage(WM_MOUSEWHEEL, WPARAM(120) << 16, 0);
    EXPECT_EQ(w.GetVolume(), 80);
    w.Key(VK_RIGHT, 21); // the last steps at 0 leave the bar alone
    EXPECT_EQ(w.GetVolume(), 0);
    w.SendMessage(WM_REG_SLIDERPOS, WPARAM(&w.GetVolumeBar()), 33);
    EXPECT_TRUE(Has(CmdVolume, 33));
}

TEST_F(MainWndTest, IndicatorsThePositionBarLoadingPlayPauseAndTheChildWindows) {
    CTestMainWnd& w = Created();
    for (const auto& [state, glyph] : {std::pair{0, "S"}, {1, "P"}, {2, "A"}, {3, "E"}, {9, "D"}}) {
        w.Observe(CmdPlayState, state);
        EXPECT_EQ(w.GetPlayStateText(), glyph) << state;
        EXPECT_EQ(w.GetStateGlyph(true).GetText(), glyph) << state;
    }
    // The mute buttons of both layouts and the repeat button (repeat starts on): the indicators.
    for (const auto& [id, mute, loop] :
         {std::tuple{19, "1", "3"}, {27, "0", "3"}, {28, "0", "2"}}) {
        w.Click(UINT(id));
        EXPECT_EQ(w.GetMuteText() + w.GetLoopText(), std::string(mute) + loop) << id;
    }
    EXPECT_TRUE(Has(CmdRepeatChanged, 0));

    // Play/Pause with an empty playlist opens the file dialog instead; Space does nothing.
    w.Click(13);
    EXPECT_EQ(m_app.m_opened, std::vector<std::string>{"media"});
    w.Key(VK_SPACE);
    AddFile();
    w.Click(13);
    EXPECT_EQ(m_app.m_opened.size(), 1u);
    EXPECT_EQ(w.GetPlayButtonState(), 1);

    // Dragging the position bar pauses, seeks and resumes.
    const CMemCtrl* pBar = &w.GetPositionBar();
    m_app.m_control.SetEnginePlayState(EnginePlaying);
    w.SendMessage(WM_REG_SLIDERHOLD, WPARAM(pBar), 1);
    EXPECT_TRUE(Has(CmdPause, 0));
    m_app.m_control.SetEnginePlayState(EnginePaused);
    w.SendMessage(WM_REG_SLIDERPOS, WPARAM(pBar), 42);
    EXPECT_TRUE(Has(CmdSeek, 42));
    EXPECT_EQ(w.GetPosition(), 42);
    m_app.m_commands.clear();
    w.SendMessage(WM_REG_SLIDERHOLD, WPARAM(pBar), 0);
    EXPECT_TRUE(Has(CmdSeek, 42));
    EXPECT_EQ(m_app.Codes(), std::vector<int>{CmdSeek});
    EXPECT_EQ(m_app.Codes(true), std::vector<int>{CmdSeekDragEnded});

    // Loading swaps the state glyph for the animation, which steps on its timer.
    w.Observe(CmdClipLoading, 1);
    EXPECT_EQ(w.GetLabelText(), "Loading...");
    EXPECT_TRUE(w.GetAnimation(false).IsVisible());
    m_clock.Advance(1000);
    EXPECT_NE(w.GetAnimation(false).GetFrame(), 0);
    w.SetClipInfoSource([] { return std::string("1. song.mp3"); });
    w.Observe(CmdClipLoading, 0);
    EXPECT_FALSE(w.GetAnimation(false).IsVisible());
    EXPECT_EQ(w.GetLabelText(), "1. song.mp3");

    // The toggles and a closed child show or hide the other windows.
    CWnd* pPlay = w.GetPlayWindow();
    CWnd* pList = w.GetPlaylistWindow();
    ASSERT_TRUE(pPlay && pList);
    EXPECT_TRUE(pPlay->IsWindowVisible());
    EXPECT_TRUE(pList->IsWindowVisible());
    // The toggle flips its check itself before it reports the click.
    static_cast<CMemCheckButton*>(w.FindControl(17))->SetCheck(false);
    w.Click(17);
    EXPECT_FALSE(pPlay->IsWindowVisible());
    EXPECT_FALSE(w.IsPlayWndShown());
    // The playlist window's close button tells the main window.
    w.SendMessage(WM_REG_CHILDWNDNOTIFY, 0, LPARAM(pList));
    EXPECT_FALSE(pList->IsWindowVisible());
    EXPECT_FALSE(static_cast<CMemCheckButton*>(w.FindControl(18))->IsChecked());
    w.ShowChild(pList, true);
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

// Playing, the close stops first and closes when playback completed or after a wait at most.
TEST_F(MainWndTest, ClosingWhilePlayingWaitsForTheStopAtMostASecond) {
    CCorePrefs::Set(CCorePrefs::ReloadLastPlaylist, 0);
    for (bool reported : {true, false}) {
        CTestMainWnd& w = Created();
        bool destroyed = false;
        w.SetDestroyedHook([&] { destroyed = true; });
        AddFile();
        m_app.m_control.SetEnginePlayState(EnginePlaying);
        w.SendMessage(WM_CLOSE);
        EXPECT_TRUE(w.IsClosingPending());
        EXPECT_TRUE(m_app.HasCode(CmdStop));
        m_clock.Advance(CPlayerWindows::kCloseWaitMs - 1);
        EXPECT_TRUE(w.IsWindow());
        if (reported) {
            m_app.m_control.SetEnginePlayState(EngineStopped);
            w.Observe(CmdPlaybackCompleted);
        }
        m_clock.Advance(reported ? 0 : 1);
        m_clock.Pump();
        EXPECT_FALSE(w.IsWindow()) << reported;
        EXPECT_TRUE(destroyed);
        EXPECT_TRUE(m_app.HasCode(CmdClosing));
        EXPECT_EQ(m_app.m_control.GetClipList().GetCount(), 0u) << "not to be reloaded";
    }
}

// Of a damaged value only the window-base part is used.
TEST_F(MainWndTest, TheSavedStateBringsBackPlaceFlagsVolumeAndRepeatUnlessDamaged) {
    CTestMainWnd& w = Created();
    w.MoveWindow({40, 50, 352, 168});
    w.Click(26); // elapsed time
    w.Key(VK_RIGHT);
    m_app.m_control.SetRepeat(false);
    w.SendMessage(WM_CLOSE);
    m_app.m_control.SetRepeat(true);
    CTestMainWnd& again = Created();
    EXPECT_EQ(again.GetWindowRect(), (CRect{40, 50, 352, 168}));
    EXPECT_FALSE(again.IsRemainingTime());
    EXPECT_EQ(again.GetVolume(), 76);
    EXPECT_EQ(again.GetLoopText(), "2");
    again.SendMessage(WM_CLOSE);
    CCorePrefs::ResetToDefaults();
    m_app.m_control.SetVolume(80);
    const std::int32_t base[] = {10, 20, 322, 138, 1, 0, 118}; // the window base part only
    ASSERT_TRUE(CRegistry::Instance().SetBinary(
        HKEY_LOCAL_MACHINE, kWindowStatePath, "MainWnd",
        std::string(reinterpret_cast<const char*>(base), sizeof base) +
            std::string("\x05\x00", 2)));
    CTestMainWnd& damaged = Created();
    EXPECT_EQ(damaged.GetWindowRect(), (CRect{10, 20, 322, 138}));
    EXPECT_EQ(damaged.GetVolume(), 80);
    EXPECT_TRUE(damaged.IsRemainingTime());
    EXPECT_TRUE(damaged.IsPlayWndShown());
    EXPECT_EQ(CCorePrefs::Get(CCorePrefs::AutoPlay), CCorePrefs::Default(CCorePrefs::AutoPlay));
}
