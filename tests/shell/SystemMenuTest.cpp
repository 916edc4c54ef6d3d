// The system menu and the tray icon: check marks, the CD item, translation, the language
// submenu, what each command does, and the tray's menu, double click, tooltip and animation.
#include "tests/shell/MenuTestSupport.h"

#include "platform/FileSystem.h"
#include "platform/RegisteredMessages.h"
#include "res/StringTable.h"
#include "shell/Language.h"
#include "shell/PrefsDlg.h"
#include "shell/SystemTray.h"

#include <QPixmap>
#include <map>

using menutest::ItemIds;

namespace {

QIcon Colour(Qt::GlobalColor colour) {
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

class SystemMenuTest : public menutest::MenuTest {
protected:
    // Shows the menu from a window; the tracker copies what it sees and picks `pick`.
    int ShowAndPick(int pick) {
        shell::SetMenuTracker([this, pick](QMenu& menu, const QPoint& pt) {
            m_shown = ItemIds(menu);
            m_point = pt;
            QAction* pEject = shell::FindMenuItem(menu, res::ID_EJECT_CD);
            m_strEject = pEject->text().toStdString();
            m_bEjectEnabled = pEject->isEnabled();
            m_strAbout = shell::FindMenuItem(menu, res::ID_APP_ABOUT)->text().toStdString();
            for (int id :
                 {res::ID_PLAYLIST_WINDOW, res::ID_PLAY_WINDOW, res::ID_REPEAT, res::ID_REPEAT_ONE,
                  res::ID_SHUFFLE, res::ID_MUTE, res::ID_ALWAYS_ON_TOP})
                m_checked[id] = shell::FindMenuItem(menu, id)->isChecked();
            return pick;
        });
        return shell::ShowPlayerSystemMenu(&m_mainWnd, CPoint{40, 50}, m_ctx);
    }
    bool Run(int id) { return shell::ExecuteSystemCommand(id, &m_mainWnd, m_ctx); }
    std::unique_ptr<QMenu> Prepared(bool fromTray) {
        std::unique_ptr<QMenu> pMenu = shell::LoadSystemMenu();
        shell::PrepareSystemMenu(*pMenu, fromTray, m_ctx);
        return pMenu;
    }

    std::vector<int> m_shown;
    QPoint m_point;
    std::string m_strEject, m_strAbout;
    bool m_bEjectEnabled = false;
    std::map<int, bool> m_checked;
};

} // namespace

TEST_F(SystemMenuTest, FromAWindowTheMenuShowsAtThePointWithoutRestoreAndFromTheTrayWithIt) {
    EXPECT_EQ(ShowAndPick(0), 0);
    EXPECT_EQ(m_point, QPoint(40, 50));
    EXPECT_EQ(m_shown.front(), res::ID_APP_ABOUT);
    EXPECT_EQ(m_strAbout, "About Corvella...");
    EXPECT_TRUE(m_app.m_commands.empty()) << "a dismissed menu does nothing";
    auto pMenu = Prepared(true);
    const std::vector<int> ids = ItemIds(*pMenu);
    EXPECT_EQ(std::vector<int>(ids.begin(), ids.begin() + 3),
              (std::vector<int>{res::ID_RESTORE, 0, res::ID_APP_ABOUT}));
    EXPECT_EQ(pMenu->defaultAction(), pMenu->actions()[0]);
    EXPECT_EQ(pMenu->actions()[0]->text(), "Restore");
}

TEST_F(SystemMenuTest, CheckMarksFollowTheWindowsThePlayerAndAlwaysOnTop) {
    for (bool on : {true, false}) {
        m_ctx.bPlaylistVisible = on;
        m_ctx.bPlayWndVisible = !on;
        m_app.m_control.SetRepeat(!on);
        m_app.m_control.SetMute(on);
        CCorePrefs::Set(CCorePrefs::AlwaysOnTop, on);
        ShowAndPick(0);
        EXPECT_EQ(m_checked[res::ID_PLAYLIST_WINDOW], on);
        EXPECT_EQ(m_checked[res::ID_PLAY_WINDOW], !on);
        EXPECT_EQ(m_checked[res::ID_REPEAT], !on);
        EXPECT_EQ(m_checked[res::ID_MUTE], on);
        EXPECT_EQ(m_checked[res::ID_ALWAYS_ON_TOP], on);
        EXPECT_FALSE(m_checked[res::ID_SHUFFLE]);
    }
    // Picking shuffle and repeat one switches them, and the next menu shows them on.
    ShowAndPick(res::ID_SHUFFLE);
    ShowAndPick(res::ID_REPEAT_ONE);
    EXPECT_TRUE(m_app.m_control.GetShuffle() && m_app.m_control.GetRepeatOne());
    ShowAndPick(0);
    EXPECT_TRUE(m_checked[res::ID_SHUFFLE] && m_checked[res::ID_REPEAT_ONE]);
}

TEST_F(SystemMenuTest, TheCdItemSaysWhatTheDoorWillDoAndIsGreyWithoutADrive) {
    ShowAndPick(0);
    EXPECT_EQ(m_strEject, "Eject CD-ROM");
    EXPECT_TRUE(m_bEjectEnabled);
    Run(res::ID_EJECT_CD);
    m_bDoorOpen = true;
    ShowAndPick(0);
    EXPECT_EQ(m_strEject, "Close CD-ROM");
    Run(res::ID_EJECT_CD);
    EXPECT_EQ(m_doorRequests, (std::vector<bool>{true, false}));
    EXPECT_EQ(m_app.Codes(), (std::vector<int>{CmdUserCommand, CmdUserCommand}));
    EXPECT_EQ(m_app.m_commands[0].pSender, &m_mainWnd);

    m_bDrive = false;
    m_ctx.isCdDoorOpen = [] { return ADD_FAILURE() << "a missing drive's door", true; };
    ShowAndPick(0);
    EXPECT_EQ(m_strEject, "Eject CD-ROM");
    EXPECT_FALSE(m_bEjectEnabled);
    Run(res::ID_EJECT_CD); // picked anyway (a shortcut): nothing moves
    EXPECT_EQ(m_doorRequests.size(), 2u);
}

TEST_F(SystemMenuTest, TheMenuIsTranslatedAndPickingALanguageSwitchesAfterTheWindowsTranslate) {
    shelltest::LanguageFolder folder;
    folder.Write("English", "4404=&Options\n4407=&Language\n4423=&Repeat\n4507=About\n"
                            "4408=Contribute Your Translation\n4421=Eject CD-ROM\n4601=German\n");
    folder.Write("German", "4404=&Optionen\n4407=&Sprache\n4423=Wieder&holen\n4507=Über\n"
                           "4408=Übersetzen\n4421=CD auswerfen\n4601=Deutsch\n");
    shelltest::WriteFile(folder.Path() + "/template.ini", "4404=\n");
    EXPECT_EQ(ShowAndPick(9025), 9025);
    ASSERT_EQ(m_app.Codes(), (std::vector<int>{CmdTranslate}));
    EXPECT_EQ(m_app.m_commands[0].text, "German");
    EXPECT_EQ(m_languages, std::vector<std::string>{"English"}) << "windows translate from the old";
    EXPECT_EQ(shell::GetCurrentLanguage(), "German");
    ShowAndPick(9025); // the language shown already
    ShowAndPick(9030); // beyond the languages found
    EXPECT_EQ(m_app.m_commands.size(), 1u);
    EXPECT_EQ(m_strAbout, "Über Corvella...");
    EXPECT_EQ(m_strEject, "CD auswerfen");

    auto pMenu = Prepared(false);
    EXPECT_EQ(pMenu->actions()[2]->text(), "&Optionen");
    EXPECT_EQ(shell::FindMenuItem(*pMenu, res::ID_REPEAT)->text(), "Wieder&holen\tCtrl+R");
    QMenu* pLanguages = shell::FindSubMenu(*pMenu, "&Sprache");
    ASSERT_NE(pLanguages, nullptr);
    const QList<QAction*> items = pLanguages->actions();
    EXPECT_EQ(ItemIds(*pLanguages),
              (std::vector<int>{res::ID_CONTRIBUTE_TRANSLATION, 0, 9024, 9025}));
    EXPECT_EQ(items[0]->text(), "Übersetzen");
    EXPECT_EQ(items[3]->text(), "Deutsch\t[German]");
    EXPECT_TRUE(items[3]->isChecked() && !items[2]->isChecked());
    shell::PrepareSystemMenu(*pMenu, false, m_ctx); // prepared again: not appended twice
    EXPECT_EQ(pLanguages->actions().size(), 4);
}

// The window items and always on top are the real context's (PlayerMenuContextTest).
TEST_F(SystemMenuTest, PlayerCommandsWindowsAndExit) {
    EXPECT_FALSE(Run(12345));
    Run(res::ID_RESET_WINDOWS);
    EXPECT_EQ(m_app.Codes(true), (std::vector<int>{CmdResetPositions}));
    m_app.m_control.SetCommandBus(&m_app);
    m_app.m_control.SetRepeat(true);
    Run(res::ID_REPEAT);
    EXPECT_FALSE(m_app.m_control.GetRepeat());
    Run(res::ID_MUTE);
    EXPECT_TRUE(m_app.m_control.GetMute());
    Run(res::ID_MUTE);
    EXPECT_FALSE(m_app.m_control.GetMute());
    EXPECT_EQ(m_app.Codes(), (std::vector<int>{CmdRepeatChanged, CmdUpdateControls,
                                               CmdUpdateControls, CmdUpdateControls}));

    m_app.m_commands.clear();
    EXPECT_TRUE(Run(res::ID_APP_EXIT));
    EXPECT_EQ(m_app.Codes(), (std::vector<int>{CmdUserCommand}));
    EXPECT_TRUE(m_mainWnd.Only(WM_CLOSE).empty()) << "the close request is posted";
    Pump();
    EXPECT_EQ(m_mainWnd.Only(WM_CLOSE).size(), 1u);
}

TEST_F(SystemMenuTest, PagesMailDialogsAndFileOpenersAreReached) {
    for (int id : {res::ID_HOMEPAGE, res::ID_ONLINE_FAQ, res::ID_ONLINE_FEEDBACK,
                   res::ID_CONTRIBUTE_TRANSLATION, res::ID_TELL_FRIEND})
        Run(id);
    ASSERT_EQ(m_addresses.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(m_addresses.begin(), m_addresses.begin() + 4),
              (std::vector<std::string>{res::LoadString(115), res::LoadString(148),
                                        res::LoadString(146), res::LoadString(151)}));
    EXPECT_TRUE(m_addresses[4].starts_with("mailto:"));

    for (int id : {res::ID_APP_ABOUT, res::ID_CHECK_UPGRADE, res::ID_TIP_OF_THE_DAY})
        Run(id);
    EXPECT_EQ(m_dialogs, (std::vector<std::string>{"CAboutDlg", "CUpgradeCheckDlg", "CTipDlg"}));
    // About and the upgrade check repaint the windows first; the tip does not.
    EXPECT_EQ(m_app.Codes(), (std::vector<int>{CmdUserCommand, CmdUserCommand}));

    m_ctx.engineAvailability = [] { return EngineAvailability{true, true, true, true}; };
    Run(res::ID_CHECK_ENGINES);
    EXPECT_EQ(m_boxes,
              std::vector<std::string>{"You have already installed all necessary media engines!"});
    m_ctx.engineAvailability = [] { return EngineAvailability{false, true, false, false}; };
    Run(res::ID_CHECK_ENGINES);
    EXPECT_EQ(m_dialogs.back(), "CDownloadCenterDlg");

    for (int id : {res::ID_OPEN_MEDIAFILE, res::ID_OPEN_CD, res::ID_OPEN_VCD})
        EXPECT_TRUE(Run(id));
    EXPECT_EQ(m_app.m_opened, (std::vector<std::string>{"media", "cd", "vcd"}));
    auto pMenu = shell::LoadPopupMenu(res::IDR_MAINFRAME, "OpenFile");
    ASSERT_NE(pMenu, nullptr);
    EXPECT_EQ(ItemIds(*pMenu),
              (std::vector<int>{res::ID_OPEN_MEDIAFILE, res::ID_OPEN_CD, res::ID_OPEN_VCD}));
    EXPECT_EQ(shell::LoadPopupMenu(res::IDR_MAINFRAME, "NoSuchPopup"), nullptr);
    EXPECT_EQ(shell::LoadPopupMenu(999, "OpenFile"), nullptr);

    Run(res::ID_PREFERENCES);
    CPrefsDlg* pDlg = shell::FindPrefsDlg(&m_mainWnd);
    ASSERT_NE(pDlg, nullptr);
    Run(res::ID_PREFERENCES);
    EXPECT_EQ(shell::FindPrefsDlg(&m_mainWnd), pDlg) << "one dialog per window";
    shell::DestroyPrefsDlg(&m_mainWnd);
}

TEST_F(SystemMenuTest, TheManualOfTheProgramFolderOpensAndAMissingOneIsReported) {
    // The build tree is a program folder: the manual the build copies there opens.
    Run(res::ID_HELP_MANUAL);
    ASSERT_EQ(m_addresses.size(), 1u);
    EXPECT_TRUE(m_addresses[0].starts_with(platform::GetProgramFolder())) << m_addresses[0];
    EXPECT_NE(shelltest::ReadFile(m_addresses[0]).find("<html"), std::string::npos);
    EXPECT_TRUE(m_boxes.empty());

    m_ctx.strManualFolder = m_temp.Path() + "/";
    Run(res::ID_HELP_MANUAL);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_NE(m_boxes[0].find(m_temp.Path() + "/manual/index.html"), std::string::npos);
    EXPECT_EQ(m_addresses.size(), 1u);

    // No program could show it: the user is told where it is.
    m_ctx.strManualFolder.clear();
    m_ctx.open = [](const std::string&) { return false; };
    Run(res::ID_HELP_MANUAL);
    ASSERT_EQ(m_boxes.size(), 2u);
    EXPECT_NE(m_boxes[1].find(platform::GetProgramFolder() + "manual/index.html"),
              std::string::npos);
}

TEST_F(SystemMenuTest, TheTrayMenuStartsWithRestoreAndItsDefaultRunsOnADoubleClick) {
    struct Override {
        Override(bool on) { shell::SetSystemTrayAvailableOverride(on); }
        ~Override() { shell::SetSystemTrayAvailableOverride(std::nullopt); }
    } tray(false);
    int restored = 0;
    m_ctx.restoreFromTray = [&] { ++restored; };
    {
        CSystemTray none; // without a tray no icon is made, and its notifications do nothing
        EXPECT_FALSE(none.Create(&m_mainWnd, "Corvella", Colour(Qt::red)));
        EXPECT_EQ(none.OnRightButtonUp(QPoint(1, 1)), 0);
    }
    shell::SetSystemTrayAvailableOverride(true);
    CSystemTray icon;
    icon.SetMenuContext([this] { return m_ctx; });
    ASSERT_TRUE(
        icon.Create(&m_mainWnd, std::string(80, 'x'), Colour(Qt::red), res::IDR_SYSTEMMENU, true));
    EXPECT_EQ(icon.GetTooltip(), std::string(63, 'x'));
    icon.SetTooltip("Corvella - Track 1");
    EXPECT_EQ(icon.GetTrayIcon()->toolTip(), "Corvella - Track 1");
    std::vector<int> shown;
    shell::SetMenuTracker([&](QMenu& menu, const QPoint&) {
        shown = ItemIds(menu);
        EXPECT_EQ(shell::MenuItemId(menu.defaultAction()), res::ID_RESTORE);
        return res::ID_RESTORE;
    });
    EXPECT_EQ(icon.OnRightButtonUp(QPoint(5, 5)), res::ID_RESTORE);
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ(shown[0], res::ID_RESTORE);
    EXPECT_EQ(restored, 1);
    shell::SetMenuTracker([](QMenu&, const QPoint&) { return res::ID_MUTE; });
    icon.OnRightButtonUp(QPoint(5, 5));
    EXPECT_TRUE(m_app.m_control.GetMute()) << "the tray's commands go to the target";

    icon.OnDoubleClick();
    EXPECT_EQ(restored, 2);
    icon.SetMenuDefaultItem(res::ID_APP_EXIT, false);
    icon.OnDoubleClick();
    EXPECT_TRUE(m_app.HasCode(CmdUserCommand));
    icon.SetMenuDefaultItem(99, true);
    EXPECT_EQ(icon.GetMenuDefaultCommand(), 0);
    const std::size_t commands = m_app.m_commands.size();
    icon.OnDoubleClick();
    EXPECT_EQ(restored, 2);
    EXPECT_EQ(m_app.m_commands.size(), commands);
}

TEST_F(SystemMenuTest, TheTrayAnimationRingsThroughItsIconsAndRestoresTheFirst) {
    shell::SetSystemTrayAvailableOverride(true);
    CSystemTray icon;
    ASSERT_TRUE(icon.Create(&m_mainWnd, "Corvella", Colour(Qt::red), res::IDR_SYSTEMMENU, true));
    shell::SetSystemTrayAvailableOverride(std::nullopt);
    const QIcon original = icon.GetIcon();
    EXPECT_FALSE(icon.Animate(std::chrono::milliseconds(100), std::chrono::hours(1)));
    icon.SetIconList({Colour(Qt::green), Colour(Qt::blue)});
    ASSERT_TRUE(icon.Animate(std::chrono::hours(1), std::chrono::hours(1)));
    icon.StepAnimation();
    EXPECT_EQ(icon.GetIcon().cacheKey(), icon.GetTrayIcon()->icon().cacheKey());
    EXPECT_NE(icon.GetIcon().cacheKey(), original.cacheKey());
    icon.StepAnimation();
    icon.StepAnimation();
    EXPECT_EQ(icon.GetAnimationIndex(), 1) << "a ring of two icons";
    icon.StopAnimation();
    EXPECT_EQ(icon.GetIcon().cacheKey(), original.cacheKey());
    // Once the duration has passed, the next step ends the animation.
    ASSERT_TRUE(icon.Animate(std::chrono::hours(1), std::chrono::milliseconds(0)));
    icon.StepAnimation();
    EXPECT_FALSE(icon.IsAnimating());
    EXPECT_EQ(icon.GetIcon().cacheKey(), original.cacheKey());

    CWnd wnd;
    ASSERT_TRUE(wnd.CreateTopLevel(CRect{0, 0, 50, 40}, "Corvella"));
    wnd.ShowWindow(SW_SHOW);
    CSystemTray::MinimiseToTray(&wnd);
    EXPECT_FALSE(wnd.IsWindowVisible());
    CSystemTray::RestoreFromTray(&wnd);
    EXPECT_TRUE(wnd.IsWindowVisible());
    CSystemTray::MinimiseToTray(nullptr);
}
