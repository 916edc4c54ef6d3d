// The system menu's context over the real windows.
#include "shell/PlayerMenuContext.h"

#include "platform/Clock.h"
#include "platform/RegisteredMessages.h"
#include "platform/Registry.h"
#include "res/MenuTables.h"
#include "shell/PrefsDlg.h"
#include "skin/MainWnd.h"
#include "skin/PlayWnd.h"
#include "skin/PlaylistWnd.h"
#include "skin/SnapWnd.h"
#include "tests/support/PlayerWindowWorld.h"
#include "tests/support/RecordingPlayerApp.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

using Reported = std::vector<std::pair<CCorePrefs::Pref, std::int32_t>>;

// The recording application over a real command bus, with a tray and closed dialogs recorded.
class CTrayApp : public testsupport::CRecordingPlayerApp {
public:
    CTrayApp() : CRecordingPlayerApp(true) {}

    void OnPrefsDialogClosed(CWnd* pOwner) override {
        m_closedFor.push_back(pOwner);
        shell::DestroyPrefsDlg(pOwner);
    }
    bool MinimizeToTray(CWnd* pWnd) override {
        pWnd->ShowWindow(SW_HIDE);
        return ++m_nToTray;
    }
    bool RestoreFromTray(CWnd* pWnd) override {
        pWnd->ShowWindow(SW_SHOW);
        return ++m_nFromTray;
    }

    std::vector<CWnd*> m_closedFor;
    int m_nToTray = 0, m_nFromTray = 0;
};

class PlayerMenuContextTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_pMain = std::make_unique<CMainWnd>();
        m_app.m_bus.SetMainWnd(m_pMain.get());
        ASSERT_TRUE(m_pMain->Create());
        m_clock.Pump();
    }

    CMainWnd* Main() { return m_pMain.get(); }
    CPlaylistWnd* Playlist() { return m_pMain->GetPlaylistWnd(); }
    CPlayWnd* Play() { return m_pMain->GetPlayWnd(); }

    shell::SystemMenuContext Context() {
        return shell::BuildSystemMenuContext(m_app, *m_pMain,
                                             [this](CCorePrefs::Pref pref, std::int32_t old) {
                                                 m_reported.emplace_back(pref, old);
                                             });
    }
    bool Run(int id) { return shell::ExecuteSystemCommand(id, Main(), Context()); }
    // A preference changed as the Preferences dialog changes it: stored, then reported.
    void Change(CCorePrefs::Pref pref, std::int32_t value) {
        const std::int32_t old = CCorePrefs::Get(pref);
        CCorePrefs::Set(pref, value);
        Context().prefChanged(pref, old);
    }
    static std::string TooltipOver(SkinWnd& wnd, const CMemCtrl& ctrl) {
        const CRect rc = ctrl.GetCtrlRect();
        wnd.SendMessage(WM_MOUSEMOVE, 0,
                        MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2));
        return wnd.GetCurrentTooltip();
    }

    testsupport::ScratchFolder m_temp;
    platform::CVirtualClock m_clock;
    CTrayApp m_app;
    testsupport::CPlayerWindowWorldGuard m_world{&m_app, m_temp.Path() + "/corvella"};
    std::unique_ptr<CMainWnd> m_pMain;
    Reported m_reported;
};

} // namespace

// Minimising with the icon in the tray only goes through the application.
TEST_F(PlayerMenuContextTest, TheWindowItemsTheTrayAndAlwaysOnTopCoverTheWindows) {
    auto shown = [this] {
        return std::vector<bool>{Main()->IsWindowVisible(), Playlist()->IsWindowVisible(),
                                 Play()->IsWindowVisible(), Context().bPlaylistVisible,
                                 Context().bPlayWndVisible};
    };
    ASSERT_EQ(shown(), std::vector<bool>(5, true));
    EXPECT_TRUE(Run(res::ID_PLAYLIST_WINDOW));
    EXPECT_FALSE(Main()->IsPlaylistShown());
    EXPECT_EQ(shown(), (std::vector<bool>{true, false, true, false, true}));
    EXPECT_TRUE(Run(res::ID_PLAY_WINDOW));
    EXPECT_EQ(shown(), (std::vector<bool>{true, false, false, false, false}));
    EXPECT_TRUE(Run(res::ID_PLAYLIST_WINDOW));
    EXPECT_TRUE(Run(res::ID_PLAY_WINDOW));
    EXPECT_EQ(shown(), std::vector<bool>(5, true));

    CCorePrefs::Set(CCorePrefs::IconPlacement, 1);
    Main()->SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_EQ(m_app.m_nToTray, 1);
    EXPECT_EQ(shown(), (std::vector<bool>{false, false, false, true, true}));
    EXPECT_TRUE(Run(res::ID_RESTORE)); // "Restore" of the tray's menu
    EXPECT_EQ(m_app.m_nFromTray, 1);
    EXPECT_FALSE(Main()->IsMinimizedAll());
    EXPECT_EQ(shown(), std::vector<bool>(5, true));
    EXPECT_TRUE(Run(res::ID_RESTORE)); // a shown window is not restored again
    EXPECT_EQ(m_app.m_nFromTray, 1);

    auto topmost = [this] {
        return int(Main()->IsAlwaysOnTop()) + Playlist()->IsAlwaysOnTop() + Play()->IsAlwaysOnTop();
    };
    EXPECT_TRUE(Run(res::ID_ALWAYS_ON_TOP));
    EXPECT_EQ(CCorePrefs::Get(CCorePrefs::AlwaysOnTop), 1);
    EXPECT_EQ(topmost(), 3);
    // Making a window topmost must not hide the ones that were shown.
    EXPECT_TRUE(Main()->IsWindowVisible() && Playlist()->IsWindowVisible());
    EXPECT_EQ(m_reported, (Reported{{CCorePrefs::AlwaysOnTop, 0}}));
    EXPECT_TRUE(Run(res::ID_ALWAYS_ON_TOP));
    EXPECT_EQ(topmost(), 0);

    m_pMain.reset();
    CSnapWnd::UnregisterAll();
    // A fresh settings store: the closed window saved its preferences on the way out.
    CRegistry::Instance().Reset(m_temp.Path() + "/fresh");
    CCorePrefs::Set(CCorePrefs::AlwaysOnTop, 1);
    m_pMain = std::make_unique<CMainWnd>();
    m_app.m_bus.SetMainWnd(m_pMain.get());
    ASSERT_TRUE(m_pMain->Create());
    EXPECT_EQ(topmost(), 3);
}

TEST_F(PlayerMenuContextTest, ThePreferencesReachTheWindowsAtOnce) {
    const CMemList& list = Playlist()->GetList();
    Change(CCorePrefs::ClipNumbers, !list.IsShowingNumbers());
    EXPECT_EQ(list.IsShowingNumbers(), CCorePrefs::Get(CCorePrefs::ClipNumbers) != 0);
    Change(CCorePrefs::PlaylistFontSize, 15);
    EXPECT_EQ(list.GetFontHeight(), 15);
    Change(CCorePrefs::ShadeFontSize, 9);
    EXPECT_EQ(Playlist()->GetInfoLabel().GetFontHeight(), 9);
    ASSERT_EQ(m_reported.size(), 3u);
    EXPECT_EQ(m_reported[1], Reported::value_type(CCorePrefs::PlaylistFontSize, 12));

    const CMemCtrl& shade = *Main()->FindControl(3);
    for (int tooltips : {2, 1, 0, 2}) { // both windows, the main window only, none
        Change(CCorePrefs::Tooltips, tooltips);
        EXPECT_EQ(TooltipOver(*Main(), shade).empty(), tooltips == 0) << tooltips;
        EXPECT_EQ(TooltipOver(*Playlist(), list).empty(), tooltips < 2) << tooltips;
    }

    for (CWnd* pWnd : std::vector<CWnd*>{Playlist(), Main(), Play()}) {
        ASSERT_NE(shell::OpenPreferences(pWnd), nullptr);
        pWnd->SendMessage(WM_REG_PREFDLGCLOSED, 0, 0);
        ASSERT_FALSE(m_app.m_closedFor.empty());
        EXPECT_EQ(m_app.m_closedFor.back(), pWnd);
        EXPECT_EQ(shell::FindPrefsDlg(pWnd), nullptr);
    }
    EXPECT_EQ(m_app.m_closedFor.size(), 3u);
}
