// The system menu: its contents from a window and from the tray, check marks, the CD item, the
// About text, translation, the language submenu, and what each command does.
#include "tests/shell/MenuTestSupport.h"

#include "platform/FileSystem.h"
#include "platform/RegisteredMessages.h"
#include "res/StringTable.h"
#include "shell/Language.h"
#include "shell/LanguageFile.h"
#include "shell/PrefsDlg.h"

using menutest::ItemIds;
using menutest::MenuTest;

namespace {

// The menu as a right click on a window shows it, and the id the test picks from it.
class SystemMenuTest : public MenuTest {
protected:
    // Shows the menu from a window; the tracker copies what it sees and picks `pick`.
    int ShowAndPick(int pick) {
        shell::SetMenuTracker([this, pick](QMenu& menu, const QPoint& pt) {
            m_shown = ItemIds(menu);
            m_point = pt;
            if (QAction* pEject = shell::FindMenuItem(menu, res::ID_EJECT_CD)) {
                m_strEject = pEject->text().toStdString();
                m_bEjectEnabled = pEject->isEnabled();
            }
            if (QAction* pAbout = shell::FindMenuItem(menu, res::ID_APP_ABOUT))
                m_strAbout = pAbout->text().toStdString();
            for (int id :
                 {res::ID_PLAYLIST_WINDOW, res::ID_PLAY_WINDOW, res::ID_REPEAT, res::ID_REPEAT_ONE,
                  res::ID_SHUFFLE, res::ID_MUTE, res::ID_ALWAYS_ON_TOP})
                m_checked[id] = shell::FindMenuItem(menu, id)->isChecked();
            return pick;
        });
        return shell::ShowPlayerSystemMenu(&m_app.m_mainWnd, CPoint{40, 50}, m_ctx);
    }
    std::unique_ptr<QMenu> Prepared(bool fromTray) {
        std::unique_ptr<QMenu> pMenu = shell::LoadSystemMenu();
        shell::PrepareSystemMenu(*pMenu, fromTray, m_ctx);
        return pMenu;
    }

    std::vector<int> m_shown;
    QPoint m_point;
    std::string m_strEject;
    bool m_bEjectEnabled = false;
    std::string m_strAbout;
    std::map<int, bool> m_checked;
};

} // namespace

TEST_F(SystemMenuTest, FromAWindowTheMenuHasNoRestoreAndKeepsTheItemOrder) {
    EXPECT_EQ(ShowAndPick(0), 0);
    const std::vector<int> expected = {res::ID_APP_ABOUT,
                                       res::ID_HELP_MANUAL,
                                       0,
                                       0,
                                       0,
                                       0,
                                       res::ID_TELL_FRIEND,
                                       0,
                                       res::ID_PLAYLIST_WINDOW,
                                       res::ID_PLAY_WINDOW,
                                       res::ID_RESET_WINDOWS,
                                       0,
                                       res::ID_OPEN_LOCATION,
                                       res::ID_EJECT_CD,
                                       res::ID_REPEAT,
                                       res::ID_REPEAT_ONE,
                                       res::ID_SHUFFLE,
                                       res::ID_MUTE,
                                       0,
                                       res::ID_APP_EXIT};
    EXPECT_EQ(m_shown, expected);
    EXPECT_EQ(m_point, QPoint(40, 50));
    EXPECT_TRUE(m_app.m_submitted.empty()) << "a dismissed menu does nothing";
}

TEST_F(SystemMenuTest, FromTheTrayRestoreAndItsSeparatorComeFirstAndRestoreIsTheDefault) {
    auto pMenu = Prepared(true);
    const std::vector<int> ids = ItemIds(*pMenu);
    ASSERT_GE(ids.size(), 3u);
    EXPECT_EQ(ids[0], res::ID_RESTORE);
    EXPECT_TRUE(pMenu->actions()[1]->isSeparator());
    EXPECT_EQ(ids[2], res::ID_APP_ABOUT);
    EXPECT_EQ(pMenu->defaultAction(), pMenu->actions()[0]);
    EXPECT_EQ(pMenu->actions()[0]->text(), "Restore");
}

TEST_F(SystemMenuTest, SubmenusHoldTheirItems) {
    auto pMenu = Prepared(false);
    const QList<QAction*> top = pMenu->actions();
    EXPECT_EQ(top[2]->text(), "&Options");
    EXPECT_EQ(ItemIds(*top[2]->menu()),
              (std::vector<int>{res::ID_PREFERENCES, res::ID_ALWAYS_ON_TOP, res::ID_EQUALIZER}));
    EXPECT_EQ(top[4]->text(), "&Help Center");
    EXPECT_EQ(ItemIds(*top[4]->menu()),
              (std::vector<int>{res::ID_TELL_FRIEND, res::ID_HOMEPAGE, res::ID_ONLINE_FAQ,
                                res::ID_ONLINE_FEEDBACK, res::ID_CHECK_UPGRADE,
                                res::ID_CHECK_ENGINES, res::ID_TIP_OF_THE_DAY}));
    EXPECT_EQ(shell::FindMenuItem(*pMenu, res::ID_ALWAYS_ON_TOP)->text(), "&Always On Top\tCtrl+A");
    EXPECT_EQ(shell::FindMenuItem(*pMenu, res::ID_HELP_MANUAL)->text(), "&Manual\tF1");
}

TEST_F(SystemMenuTest, CheckMarksFollowTheWindowsThePlayerAndAlwaysOnTop) {
    m_ctx.bPlaylistVisible = true;
    m_ctx.bPlayWndVisible = false;
    m_app.m_controller.SetRepeat(false);
    m_app.m_controller.SetMute(true);
    CCorePrefs::Set(CCorePrefs::AlwaysOnTop, 1);
    ShowAndPick(0);
    EXPECT_TRUE(m_checked[res::ID_PLAYLIST_WINDOW]);
    EXPECT_FALSE(m_checked[res::ID_PLAY_WINDOW]);
    EXPECT_FALSE(m_checked[res::ID_REPEAT]);
    EXPECT_TRUE(m_checked[res::ID_MUTE]);
    EXPECT_TRUE(m_checked[res::ID_ALWAYS_ON_TOP]);

    m_ctx.bPlaylistVisible = false;
    m_ctx.bPlayWndVisible = true;
    m_app.m_controller.SetRepeat(true);
    m_app.m_controller.SetMute(false);
    CCorePrefs::Set(CCorePrefs::AlwaysOnTop, 0);
    ShowAndPick(0);
    EXPECT_FALSE(m_checked[res::ID_PLAYLIST_WINDOW]);
    EXPECT_TRUE(m_checked[res::ID_PLAY_WINDOW]);
    EXPECT_TRUE(m_checked[res::ID_REPEAT]);
    EXPECT_FALSE(m_checked[res::ID_MUTE]);
    EXPECT_FALSE(m_checked[res::ID_ALWAYS_ON_TOP]);
    EXPECT_FALSE(m_checked[res::ID_SHUFFLE]);

    // Picking shuffle and repeat one switches them, and the next menu shows them on.
    ShowAndPick(res::ID_SHUFFLE);
    ShowAndPick(res::ID_REPEAT_ONE);
    EXPECT_TRUE(m_app.m_controller.GetShuffle());
    EXPECT_TRUE(m_app.m_controller.GetRepeatOne());
    ShowAndPick(0);
    EXPECT_TRUE(m_checked[res::ID_SHUFFLE]);
    EXPECT_TRUE(m_checked[res::ID_REPEAT_ONE]);
}

TEST_F(SystemMenuTest, TheCdItemSaysWhatTheDoorWillDoAndIsGreyWithoutADrive) {
    ShowAndPick(0);
    EXPECT_EQ(m_strEject, "Eject CD-ROM");
    EXPECT_TRUE(m_bEjectEnabled);
    m_bDoorOpen = true;
    ShowAndPick(0);
    EXPECT_EQ(m_strEject, "Close CD-ROM");
    EXPECT_TRUE(m_bEjectEnabled);

    m_bDrive = false;
    m_ctx.isCdDoorOpen = [] {
        ADD_FAILURE() << "the door of a missing drive is not asked for";
        return true;
    };
    ShowAndPick(0);
    EXPECT_EQ(m_strEject, "Eject CD-ROM");
    EXPECT_FALSE(m_bEjectEnabled);
    // Picked anyway (a shortcut): nothing moves.
    shell::ExecuteSystemCommand(res::ID_EJECT_CD, &m_app.m_mainWnd, m_ctx);
    EXPECT_TRUE(m_doorRequests.empty());
}

TEST_F(SystemMenuTest, EjectStopsAndOpensTheClosedDoorOrClosesTheOpenOne) {
    shell::ExecuteSystemCommand(res::ID_EJECT_CD, &m_app.m_mainWnd, m_ctx);
    m_bDoorOpen = true;
    shell::ExecuteSystemCommand(res::ID_EJECT_CD, &m_app.m_mainWnd, m_ctx);
    EXPECT_EQ(m_doorRequests, (std::vector<bool>{true, false}));
    EXPECT_EQ(m_app.Codes(), (std::vector<int>{CmdUserCommand, CmdUserCommand}));
    EXPECT_EQ(m_app.m_submitted[0].pSender, &m_app.m_mainWnd);
}

TEST_F(SystemMenuTest, TheAboutItemIsRebuiltFromTheWordAndTheProductName) {
    ShowAndPick(0);
    EXPECT_EQ(m_strAbout, "About Corvella...");
}

TEST_F(SystemMenuTest, TheMenuIsTranslatedAndItsLanguageSubmenuRebuilt) {
    shelltest::LanguageFolder folder;
    folder.Write("English", "4404=&Options\n4407=&Language\n4423=&Repeat\n4507=About\n"
                            "4408=Contribute Your Translation\n4421=Eject CD-ROM\n"
                            "4601=German\n");
    folder.Write("German", "4404=&Optionen\n4407=&Sprache\n4423=Wieder&holen\n4507=Über\n"
                           "4408=Übersetzen\n4421=CD auswerfen\n4601=Deutsch\n");
    shelltest::WriteFile(folder.Path() + "/template.ini", "4404=\n");
    shell::SetCurrentLanguage("German");
    ShowAndPick(0);
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
    EXPECT_EQ(items[2]->text(), "English\t[English]");
    EXPECT_EQ(items[3]->text(), "Deutsch\t[German]");
    EXPECT_FALSE(items[2]->isChecked());
    EXPECT_TRUE(items[3]->isChecked());

    // Prepared again, the languages are not appended twice.
    shell::PrepareSystemMenu(*pMenu, false, m_ctx);
    EXPECT_EQ(pLanguages->actions().size(), 4);
}

TEST_F(SystemMenuTest, PickingALanguageLetsEveryWindowTranslateThenSwitches) {
    shelltest::LanguageFolder folder;
    folder.Write("English", "4404=&Options\n");
    folder.Write("German", "4404=&Optionen\n");
    EXPECT_EQ(ShowAndPick(9025), 9025);
    ASSERT_EQ(m_app.Codes(), (std::vector<int>{CmdTranslate}));
    EXPECT_EQ(m_app.m_submitted[0].text, "German");
    EXPECT_EQ(m_app.m_submitted[0].strLanguage, "English") << "windows translate from the old";
    EXPECT_EQ(shell::GetCurrentLanguage(), "German");
    // The language shown already: nothing is submitted.
    ShowAndPick(9025);
    EXPECT_EQ(m_app.m_submitted.size(), 1u);
    // An id beyond the languages found does nothing.
    ShowAndPick(9030);
    EXPECT_EQ(m_app.m_submitted.size(), 1u);
    EXPECT_EQ(shell::GetCurrentLanguage(), "German");
}

TEST_F(SystemMenuTest, PlayerCommandsStopRepeatMuteAndExit) {
    shell::ExecuteSystemCommand(res::ID_RESET_WINDOWS, &m_app.m_mainWnd, m_ctx);
    EXPECT_EQ(m_app.m_posted, (std::vector<WPARAM>{CmdResetPositions}));

    m_app.m_controller.SetCommandBus(&m_app);
    m_app.m_controller.SetRepeat(true);
    shell::ExecuteSystemCommand(res::ID_REPEAT, &m_app.m_mainWnd, m_ctx);
    EXPECT_FALSE(m_app.m_controller.GetRepeat());
    shell::ExecuteSystemCommand(res::ID_MUTE, &m_app.m_mainWnd, m_ctx);
    EXPECT_TRUE(m_app.m_controller.GetMute());
    shell::ExecuteSystemCommand(res::ID_MUTE, &m_app.m_mainWnd, m_ctx);
    EXPECT_FALSE(m_app.m_controller.GetMute());
    EXPECT_EQ(m_app.Codes(), (std::vector<int>{CmdRepeatChanged, CmdUpdateControls,
                                               CmdUpdateControls, CmdUpdateControls}));

    m_app.m_submitted.clear();
    EXPECT_TRUE(shell::ExecuteSystemCommand(res::ID_APP_EXIT, &m_app.m_mainWnd, m_ctx));
    EXPECT_EQ(m_app.Codes(), (std::vector<int>{CmdUserCommand}));
    EXPECT_TRUE(m_app.m_mainWnd.Only(WM_CLOSE).empty()) << "the close request is posted";
    Pump();
    EXPECT_EQ(m_app.m_mainWnd.Only(WM_CLOSE).size(), 1u);
}

TEST_F(SystemMenuTest, WindowTogglesAlwaysOnTopAndRestoreCallTheWindows) {
    std::vector<std::string> calls;
    m_ctx.togglePlaylistWnd = [&] { calls.push_back("playlist"); };
    m_ctx.togglePlayWnd = [&] { calls.push_back("play"); };
    m_ctx.restoreFromTray = [&] { calls.push_back("restore"); };
    m_ctx.prefChanged = [&](CCorePrefs::Pref pref, std::int32_t old) {
        calls.push_back("pref " + std::to_string(pref) + " was " + std::to_string(old));
    };
    for (int id : {res::ID_PLAYLIST_WINDOW, res::ID_PLAY_WINDOW, res::ID_RESTORE,
                   res::ID_ALWAYS_ON_TOP, res::ID_ALWAYS_ON_TOP})
        EXPECT_TRUE(shell::ExecuteSystemCommand(id, &m_app.m_mainWnd, m_ctx));
    EXPECT_EQ(calls, (std::vector<std::string>{"playlist", "play", "restore", "pref 2 was 0",
                                               "pref 2 was 1"}));
    EXPECT_EQ(CCorePrefs::Get(CCorePrefs::AlwaysOnTop), 0);
    EXPECT_FALSE(shell::ExecuteSystemCommand(12345, &m_app.m_mainWnd, m_ctx));
}

TEST_F(SystemMenuTest, PagesAndTheMailOpenTheMakersAddresses) {
    for (int id : {res::ID_HOMEPAGE, res::ID_ONLINE_FAQ, res::ID_ONLINE_FEEDBACK,
                   res::ID_CONTRIBUTE_TRANSLATION, res::ID_TELL_FRIEND})
        shell::ExecuteSystemCommand(id, &m_app.m_mainWnd, m_ctx);
    ASSERT_EQ(m_addresses.size(), 5u);
    EXPECT_EQ(m_addresses[0], res::LoadString(115));
    EXPECT_EQ(m_addresses[1], res::LoadString(148));
    EXPECT_EQ(m_addresses[2], res::LoadString(146));
    EXPECT_EQ(m_addresses[3], res::LoadString(151));
    EXPECT_TRUE(m_addresses[4].starts_with("mailto:"));
}

TEST_F(SystemMenuTest, DialogCommandsRepaintFirstAndRunTheirDialogs) {
    for (int id : {res::ID_APP_ABOUT, res::ID_CHECK_UPGRADE, res::ID_TIP_OF_THE_DAY})
        shell::ExecuteSystemCommand(id, &m_app.m_mainWnd, m_ctx);
    EXPECT_EQ(m_dialogs, (std::vector<std::string>{"CAboutDlg", "CUpgradeCheckDlg", "CTipDlg"}));
    // About and the upgrade check repaint the windows first; the tip does not.
    EXPECT_EQ(m_app.Codes(), (std::vector<int>{CmdUserCommand, CmdUserCommand}));
}

TEST_F(SystemMenuTest, TheEngineCheckSaysWhenNothingIsMissingElseShowsTheDownloadCenter) {
    m_ctx.engineAvailability = [] { return EngineAvailability{true, true, true, true}; };
    shell::ExecuteSystemCommand(res::ID_CHECK_ENGINES, &m_app.m_mainWnd, m_ctx);
    EXPECT_EQ(m_boxes, (std::vector<std::string>{
                           "You have already installed all necessary media engines!"}));
    EXPECT_TRUE(m_dialogs.empty());

    m_ctx.engineAvailability = [] { return EngineAvailability{false, true, false, false}; };
    shell::ExecuteSystemCommand(res::ID_CHECK_ENGINES, &m_app.m_mainWnd, m_ctx);
    EXPECT_EQ(m_dialogs, (std::vector<std::string>{"CDownloadCenterDlg"}));
    EXPECT_EQ(m_boxes.size(), 1u);
}

TEST_F(SystemMenuTest, TheManualOfTheProgramFolderOpensAndAMissingOneIsReported) {
    // The build tree is a program folder: the manual the build copies there opens.
    shell::ExecuteSystemCommand(res::ID_HELP_MANUAL, &m_app.m_mainWnd, m_ctx);
    ASSERT_EQ(m_addresses.size(), 1u);
    EXPECT_TRUE(m_addresses[0].starts_with(platform::GetProgramFolder())) << m_addresses[0];
    EXPECT_NE(shelltest::ReadFile(m_addresses[0]).find("<html"), std::string::npos);
    EXPECT_TRUE(m_boxes.empty());

    m_ctx.strManualFolder = m_temp.Path() + "/";
    shell::ExecuteSystemCommand(res::ID_HELP_MANUAL, &m_app.m_mainWnd, m_ctx);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_NE(m_boxes[0].find(m_temp.Path() + "/manual/index.html"), std::string::npos)
        << m_boxes[0];
    EXPECT_EQ(m_addresses.size(), 1u);
    EXPECT_EQ(m_app.Codes(), (std::vector<int>{CmdUserCommand, CmdUserCommand}));

    // No program could show it: the user is told where it is.
    m_ctx.strManualFolder.clear();
    m_ctx.open = [](const std::string&) { return false; };
    shell::ExecuteSystemCommand(res::ID_HELP_MANUAL, &m_app.m_mainWnd, m_ctx);
    ASSERT_EQ(m_boxes.size(), 2u);
    EXPECT_NE(m_boxes[1].find(platform::GetProgramFolder() + "manual/index.html"),
              std::string::npos)
        << m_boxes[1];
}

TEST_F(SystemMenuTest, PreferencesOpenOneDialogPerWindow) {
    shell::ExecuteSystemCommand(res::ID_PREFERENCES, &m_app.m_mainWnd, m_ctx);
    CPrefsDlg* pDlg = shell::FindPrefsDlg(&m_app.m_mainWnd);
    ASSERT_NE(pDlg, nullptr);
    shell::ExecuteSystemCommand(res::ID_PREFERENCES, &m_app.m_mainWnd, m_ctx);
    EXPECT_EQ(shell::FindPrefsDlg(&m_app.m_mainWnd), pDlg);
    shell::DestroyPrefsDlg(&m_app.m_mainWnd);
    EXPECT_EQ(shell::FindPrefsDlg(&m_app.m_mainWnd), nullptr);
}

TEST_F(SystemMenuTest, TheOpenFilePopupOpensFilesCdsAndVideoCds) {
    auto pMenu = shell::LoadPopupMenu(res::IDR_MAINFRAME, "OpenFile");
    ASSERT_NE(pMenu, nullptr);
    EXPECT_EQ(ItemIds(*pMenu),
              (std::vector<int>{res::ID_OPEN_MEDIAFILE, res::ID_OPEN_CD, res::ID_OPEN_VCD}));
    EXPECT_EQ(pMenu->actions()[0]->text(), "Open &Media File");
    for (int id : {res::ID_OPEN_MEDIAFILE, res::ID_OPEN_CD, res::ID_OPEN_VCD})
        EXPECT_TRUE(shell::ExecuteSystemCommand(id, &m_app.m_mainWnd, m_ctx));
    EXPECT_EQ(m_app.m_opened, (std::vector<std::string>{"media", "cd", "vcd"}));
    EXPECT_EQ(m_app.Codes(), (std::vector<int>{CmdUserCommand}));
    EXPECT_EQ(shell::LoadPopupMenu(res::IDR_MAINFRAME, "NoSuchPopup"), nullptr);
    EXPECT_EQ(shell::LoadPopupMenu(999, "OpenFile"), nullptr);
}

TEST_F(SystemMenuTest, TheBuilderCarriesIdsChecksAndNothingForPopupsOrSeparators) {
    auto pMenu = shell::LoadSystemMenu();
    for (const QAction* pAction : pMenu->actions()) {
        if (pAction->isSeparator() || pAction->menu()) {
            EXPECT_EQ(shell::MenuItemId(pAction), 0);
        }
    }
    EXPECT_TRUE(shell::FindMenuItem(*pMenu, res::ID_MUTE)->isCheckable());
    EXPECT_FALSE(shell::FindMenuItem(*pMenu, res::ID_APP_EXIT)->isCheckable());
    EXPECT_EQ(shell::FindMenuItem(*pMenu, 0), nullptr);
    // Every text of the menu is in the string table, so the language files can hold it.
    EXPECT_EQ(shell::FindMenuItem(*pMenu, res::ID_CHECK_ENGINES)->text().toStdString(),
              res::LoadString(4415));
}
