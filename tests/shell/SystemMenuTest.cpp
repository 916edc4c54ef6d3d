// The system menu, the tray icon, the Preferences dialog and Tip of the Day: check marks, the
// CD item, translation, the language submenu, what each command does, the tray's menu, double
// click, tooltip and animation, the preferences the dialog stores at once, and the tips file
// with its remembered position and start-up choice. The recording
// application stands for the player, with a main window that records its messages; message
// boxes, dialogs, pages and the CD door are answered by the test.
#include "shell/SystemMenu.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "platform/MessageQueue.h"
#include "platform/Profile.h"
#include "platform/RegisteredMessages.h"
#include "platform/Registry.h"
#include "playback/AudioEffects.h"
#include "playback/UIControl.h"
#include "res/StringTable.h"
#include "shell/AboutDlg.h"
#include "shell/DownloadCenterDlg.h"
#include "shell/EqualizerDlg.h"
#include "shell/Language.h"
#include "shell/ListeningSettings.h"
#include "shell/MenuBuilder.h"
#include "shell/PrefsDlg.h"
#include "shell/PrefsSubDlg.h"
#include "shell/ProfileSettings.h"
#include "shell/SystemTray.h"
#include "shell/TipDlg.h"
#include "shell/UpgradeCheckDlg.h"
#include "tests/shell/ShellTestSupport.h"
#include "tests/support/PlayerWindowWorld.h"
#include "tests/support/RecordingPlayerApp.h"
#include "tests/support/RecordingWnd.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QTreeWidget>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <typeinfo>

namespace {

using Ids = std::vector<int>;
using Changes = std::vector<std::pair<CCorePrefs::Pref, std::int32_t>>;

// The ids of a menu's items in order (0 for separators and popups), submenus left out.
Ids ItemIds(const QMenu& menu) {
    Ids ids;
    for (const QAction* pAction : menu.actions())
        ids.push_back(shell::MenuItemId(pAction));
    return ids;
}

QIcon Colour(Qt::GlobalColor colour) {
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

// Comments, a blank line, indented lines, a CR LF line end, and none at the end of the file.
const std::string kFiveTips = "; Tips for the test\n\nFirst tip\n an indented line is no tip\n"
                              "\tnor is a tabbed one\nSecond tip\r\nThird tip\n; another comment\n"
                              "Fourth tip\nFifth tip";
using Tips = std::vector<std::string>;

class SystemMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        shell::SetProfileKey();
        m_app.m_pMain = &m_mainWnd;
        // The language current while each command ran.
        m_app.m_onCommand = [this](const auto&) {
            m_languages.push_back(shell::GetCurrentLanguage());
        };
        ASSERT_TRUE(m_mainWnd.CreateMessageWindow());
        SetMessageBoxHook([this](const MessageBoxRequest& r) {
            m_boxes.push_back(r.text);
            return IDOK;
        });
        m_ctx.pApp = &m_app;
        m_ctx.hasCdromDrive = [this] { return m_bDrive; };
        m_ctx.isCdDoorOpen = [this] { return m_bDoorOpen; };
        m_ctx.setCdDoor = [this](bool open) { return m_doorRequests.push_back(open), true; };
        m_ctx.open = [this](const std::string& a) { return m_addresses.push_back(a), true; };
        m_ctx.runDialog = [this](QDialog& dlg) {
            return m_dialogs.push_back(typeid(dlg).name()), 0;
        };
    }
    void TearDown() override {
        shell::DestroyPrefsDlg(&m_mainWnd);
        shell::DestroyPrefsDlg(nullptr);
        shell::SetMenuTracker({});
        shell::SetSystemTrayAvailableOverride(std::nullopt);
        SetMessageBoxHook({});
        platform::SetRegistryKey("");
    }

    // Shows the menu from a window; the tracker copies what it sees and picks `pick`.
    int ShowAndPick(int pick) {
        shell::SetMenuTracker([this, pick](QMenu& menu, const QPoint& pt) {
            m_shown = ItemIds(menu);
            m_point = pt;
            QAction* pEject = shell::FindMenuItem(menu, res::ID_EJECT_CD);
            m_strEject = pEject->isEnabled() ? pEject->text().toStdString() : "grey";
            m_strAbout = shell::FindMenuItem(menu, res::ID_APP_ABOUT)->text().toStdString();
            m_checked.clear();
            for (int id :
                 {res::ID_PLAYLIST_WINDOW, res::ID_PLAY_WINDOW, res::ID_REPEAT, res::ID_REPEAT_ONE,
                  res::ID_SHUFFLE, res::ID_MUTE, res::ID_ALWAYS_ON_TOP})
                if (shell::FindMenuItem(menu, id)->isChecked())
                    m_checked.push_back(id);
            return pick;
        });
        return shell::ShowPlayerSystemMenu(&m_mainWnd, CPoint{40, 50}, m_ctx);
    }
    bool Run(int id) { return shell::ExecuteSystemCommand(id, &m_mainWnd, m_ctx); }
    void Pump() {
        while (platform::CMessageQueue::Instance().DispatchOne()) {
        }
    }

    testsupport::ScratchFolder m_temp;
    testsupport::CRecordingPlayerApp m_app;
    testsupport::CPlayerWindowWorldGuard m_world{&m_app, m_temp.Path() + "/config"};
    CRecordingWnd m_mainWnd;
    shell::SystemMenuContext m_ctx;
    bool m_bDrive = true;
    bool m_bDoorOpen = false;
    std::vector<bool> m_doorRequests;
    std::vector<std::string> m_addresses, m_boxes, m_dialogs, m_languages;
    Ids m_shown, m_checked;
    QPoint m_point;
    std::string m_strEject, m_strAbout;
};

// The Preferences dialog of the main window, its reported changes recorded.
class PrefsDlgTest : public SystemMenuTest {
protected:
    CPrefsDlg* Open() {
        return shell::OpenPreferences(&m_mainWnd, [this](CCorePrefs::Pref pref, std::int32_t old) {
            m_changes.emplace_back(pref, old);
        });
    }
    template <class Widget> Widget* Item(CPrefsDlg* pDlg, int page, int id) {
        auto* pWidget = qobject_cast<Widget*>(pDlg->GetPage(page)->GetDlgItem(id));
        EXPECT_NE(pWidget, nullptr) << id;
        return pWidget;
    }
    // Types into an edit as the keyboard does: the old text selected and replaced.
    static void Type(QLineEdit* pEdit, const QString& text) {
        pEdit->selectAll();
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(pEdit, &press);
        }
    }

    Changes m_changes;
};

// Tip of the Day over a tips file in the test's folder.
class TipsTest : public SystemMenuTest {
protected:
    std::string TipsPath() const { return m_temp.Path() + "/Tips.txt"; }
    // Writes the file with a modification time of its own, minutes apart from any other.
    void WriteTips(const std::string& content, int stamp = 0) {
        shelltest::WriteFile(TipsPath(), content);
        std::filesystem::last_write_time(TipsPath(), std::filesystem::file_time_type::clock::now() -
                                                         std::chrono::hours(24) +
                                                         std::chrono::minutes(stamp));
    }
    // The tips shown by a dialog: the first, then count - 1 more with "Next Tip".
    Tips Show(int count) {
        CTipDlg dlg(nullptr, TipsPath());
        Tips tips{dlg.GetTip()};
        for (int i = 1; i < count; ++i) {
            dlg.NextButton()->click();
            tips.push_back(dlg.TipLabel()->text().toStdString());
        }
        return tips;
    }
    int Profile(const std::string& entry) {
        return platform::GetProfileInt(shell::kSectionTip, entry, -99);
    }
};

using DisplayPage = CPrefsDisplayDlg;
using GeneralPage = CPrefsGeneralDlg;

} // namespace

// The menu shows at the point without "Restore", its check marks following the windows, the
// player and always on top; the CD item says what the door will do and is grey without a drive.
TEST_F(SystemMenuTest, TheMenuShowsTheStateOfThePlayerAndTheCdDrive) {
    EXPECT_EQ(ShowAndPick(0), 0);
    EXPECT_EQ(m_point, QPoint(40, 50));
    EXPECT_EQ(m_shown.front(), res::ID_APP_ABOUT);
    EXPECT_EQ(m_strAbout, "About Corvella...");
    EXPECT_EQ(m_checked, (Ids{res::ID_REPEAT}));
    EXPECT_TRUE(m_app.m_commands.empty()) << "a dismissed menu does nothing";

    m_ctx.bPlaylistVisible = m_ctx.bPlayWndVisible = true;
    m_app.m_control.SetRepeat(false);
    m_app.m_control.SetMute(true);
    CCorePrefs::Set(CCorePrefs::AlwaysOnTop, 1);
    ShowAndPick(res::ID_SHUFFLE);
    ShowAndPick(res::ID_REPEAT_ONE);
    EXPECT_TRUE(m_app.m_control.GetShuffle() && m_app.m_control.GetRepeatOne());
    ShowAndPick(0);
    EXPECT_EQ(m_checked, (Ids{res::ID_PLAYLIST_WINDOW, res::ID_PLAY_WINDOW, res::ID_REPEAT_ONE,
                              res::ID_SHUFFLE, res::ID_MUTE, res::ID_ALWAYS_ON_TOP}));

    EXPECT_EQ(m_strEject, "Eject CD-ROM");
    Run(res::ID_EJECT_CD);
    m_bDoorOpen = true;
    ShowAndPick(0);
    EXPECT_EQ(m_strEject, "Close CD-ROM");
    Run(res::ID_EJECT_CD);
    EXPECT_EQ(m_doorRequests, (std::vector<bool>{true, false}));
    EXPECT_EQ(m_app.m_commands.back().pSender, &m_mainWnd); // the windows repaint
    m_bDrive = false;
    m_ctx.isCdDoorOpen = [] { return ADD_FAILURE() << "a missing drive's door", true; };
    ShowAndPick(0);
    EXPECT_EQ(m_strEject, "grey");
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
    ASSERT_EQ(m_app.Codes(), (Ids{CmdTranslate}));
    EXPECT_EQ(m_app.m_commands[0].text, "German");
    EXPECT_EQ(m_languages, std::vector<std::string>{"English"}) << "windows translate from the old";
    EXPECT_EQ(shell::GetCurrentLanguage(), "German");
    ShowAndPick(9025); // the language shown already
    ShowAndPick(9030); // beyond the languages found
    EXPECT_EQ(m_app.m_commands.size(), 1u);
    EXPECT_EQ(m_strAbout, "Über Corvella...");
    EXPECT_EQ(m_strEject, "CD auswerfen");

    std::unique_ptr<QMenu> pMenu = shell::LoadSystemMenu();
    shell::PrepareSystemMenu(*pMenu, false, m_ctx);
    EXPECT_EQ(pMenu->actions()[2]->text(), "&Optionen");
    EXPECT_EQ(shell::FindMenuItem(*pMenu, res::ID_REPEAT)->text(), "Wieder&holen\tCtrl+R");
    QMenu* pLanguages = shell::FindSubMenu(*pMenu, "&Sprache");
    ASSERT_NE(pLanguages, nullptr);
    const QList<QAction*> items = pLanguages->actions();
    EXPECT_EQ(ItemIds(*pLanguages), (Ids{res::ID_CONTRIBUTE_TRANSLATION, 0, 9024, 9025}));
    EXPECT_EQ(items[0]->text(), "Übersetzen");
    EXPECT_EQ(items[3]->text(), "Deutsch\t[German]");
    EXPECT_TRUE(items[3]->isChecked() && !items[2]->isChecked());
    shell::PrepareSystemMenu(*pMenu, false, m_ctx); // prepared again: not appended twice
    EXPECT_EQ(pLanguages->actions().size(), 4);
}

// The window items and always on top are the real context's (PlayerMenuContextTest).
TEST_F(SystemMenuTest, PlayerCommandsPagesDialogsFileOpenersAndExit) {
    EXPECT_FALSE(Run(12345));
    Run(res::ID_RESET_WINDOWS);
    EXPECT_EQ(m_app.Codes(true), (Ids{CmdResetPositions}));
    m_app.m_control.SetCommandBus(&m_app);
    Run(res::ID_REPEAT); // on by default
    Run(res::ID_MUTE);
    EXPECT_FALSE(m_app.m_control.GetRepeat());
    EXPECT_TRUE(m_app.m_control.GetMute());
    EXPECT_EQ(m_app.Codes(), (Ids{CmdRepeatChanged, CmdUpdateControls, CmdUpdateControls}));

    for (int id : {res::ID_HOMEPAGE, res::ID_ONLINE_FAQ, res::ID_ONLINE_FEEDBACK,
                   res::ID_CONTRIBUTE_TRANSLATION, res::ID_TELL_FRIEND})
        Run(id);
    ASSERT_EQ(m_addresses.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(m_addresses.begin(), m_addresses.begin() + 4),
              (std::vector<std::string>{res::LoadString(115), res::LoadString(148),
                                        res::LoadString(146), res::LoadString(151)}));
    EXPECT_TRUE(m_addresses[4].starts_with("mailto:"));

    m_app.m_commands.clear();
    for (int id : {res::ID_APP_ABOUT, res::ID_CHECK_UPGRADE, res::ID_TIP_OF_THE_DAY})
        Run(id);
    EXPECT_EQ(m_dialogs,
              (std::vector<std::string>{typeid(CAboutDlg).name(), typeid(CUpgradeCheckDlg).name(),
                                        typeid(CTipDlg).name()}));
    // About and the upgrade check repaint the windows first; the tip does not.
    EXPECT_EQ(m_app.Codes(), (Ids{CmdUserCommand, CmdUserCommand}));
    m_ctx.engineAvailability = [] { return EngineAvailability{true, true, true, true}; };
    Run(res::ID_CHECK_ENGINES);
    EXPECT_EQ(m_boxes,
              std::vector<std::string>{"You have already installed all necessary media engines!"});
    m_ctx.engineAvailability = [] { return EngineAvailability{false, true, false, false}; };
    Run(res::ID_CHECK_ENGINES);
    EXPECT_EQ(m_dialogs.back(), typeid(CDownloadCenterDlg).name());

    for (int id : {res::ID_OPEN_MEDIAFILE, res::ID_OPEN_CD, res::ID_OPEN_VCD})
        EXPECT_TRUE(Run(id));
    EXPECT_EQ(m_app.m_opened, (std::vector<std::string>{"media", "cd", "vcd"}));
    auto pMenu = shell::LoadPopupMenu(res::IDR_MAINFRAME, "OpenFile");
    ASSERT_NE(pMenu, nullptr);
    EXPECT_EQ(ItemIds(*pMenu), (Ids{res::ID_OPEN_MEDIAFILE, res::ID_OPEN_CD, res::ID_OPEN_VCD}));
    EXPECT_EQ(shell::LoadPopupMenu(res::IDR_MAINFRAME, "NoSuchPopup"), nullptr);
    EXPECT_EQ(shell::LoadPopupMenu(999, "OpenFile"), nullptr);
    Run(res::ID_PREFERENCES);
    EXPECT_NE(shell::FindPrefsDlg(&m_mainWnd), nullptr);

    m_app.m_commands.clear();
    EXPECT_TRUE(Run(res::ID_APP_EXIT));
    EXPECT_EQ(m_app.Codes(), (Ids{CmdUserCommand}));
    EXPECT_TRUE(m_mainWnd.Only(WM_CLOSE).empty()) << "the close request is posted";
    Pump();
    EXPECT_EQ(m_mainWnd.Only(WM_CLOSE).size(), 1u);
}

TEST_F(SystemMenuTest, TheManualOfTheProgramFolderOpensAndAMissingOneIsReported) {
    // The build tree is a program folder: the manual the build copies there opens.
    Run(res::ID_HELP_MANUAL);
    ASSERT_EQ(m_addresses.size(), 1u);
    EXPECT_EQ(m_addresses[0], platform::GetProgramFolder() + "manual/index.html");

    m_ctx.strManualFolder = m_temp.Path() + "/";
    Run(res::ID_HELP_MANUAL);
    // No program could show it: the user is told where it is.
    m_ctx.strManualFolder.clear();
    m_ctx.open = [](const std::string&) { return false; };
    Run(res::ID_HELP_MANUAL);
    ASSERT_EQ(m_boxes.size(), 2u);
    EXPECT_NE(m_boxes[0].find(m_temp.Path() + "/manual/index.html"), std::string::npos);
    EXPECT_NE(m_boxes[1].find(platform::GetProgramFolder() + "manual/index.html"),
              std::string::npos);
    EXPECT_EQ(m_addresses.size(), 1u);
}

TEST_F(SystemMenuTest, TheTrayMenuStartsWithRestoreAndItsDefaultRunsOnADoubleClick) {
    int restored = 0;
    m_ctx.restoreFromTray = [&] { ++restored; };
    shell::SetSystemTrayAvailableOverride(false);
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
    std::vector<QString> shown;
    shell::SetMenuTracker([&](QMenu& menu, const QPoint&) {
        shown = {menu.actions()[0]->text(), menu.defaultAction()->text()};
        return res::ID_RESTORE;
    });
    EXPECT_EQ(icon.OnRightButtonUp(QPoint(5, 5)), res::ID_RESTORE);
    EXPECT_EQ(shown, (std::vector<QString>{"Restore", "Restore"}));
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

    // The animation rings through its icons and puts the first back.
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

// Typed numbers and the spin are stored at once within their ranges; an empty number keeps
// its page and takes the focus.
TEST_F(PrefsDlgTest, TypedNumbersAreStoredAtOnceWithinTheirRanges) {
    CPrefsDlg* pDlg = Open();
    auto* pFont = Item<QLineEdit>(pDlg, 1, DisplayPage::IDC_PLAYLIST_FONT);
    EXPECT_EQ(pFont->text(), "12");
    EXPECT_EQ(pFont->maxLength(), 2);
    Type(pFont, "3");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(pFont, &enter);
    EXPECT_EQ(pFont->text(), "8");
    Type(Item<QLineEdit>(pDlg, 1, DisplayPage::IDC_DESKTOP_DISTANCE), "40");
    Type(Item<QLineEdit>(pDlg, 1, DisplayPage::IDC_WINDOW_DISTANCE), "-1");
    Item<QScrollBar>(pDlg, 1, DisplayPage::IDC_SHADE_FONT_SPIN)->setValue(9);
    EXPECT_EQ(Item<QLineEdit>(pDlg, 1, DisplayPage::IDC_SHADE_FONT)->text(), "9");
    Type(pFont, "1"); // on the way to "14": not corrected under the typing fingers
    EXPECT_EQ(pFont->text(), "1");
    Type(pFont, "14");
    Type(pFont, "abc"); // letters are refused
    EXPECT_EQ(CCorePrefs::Get(CCorePrefs::PlaylistFontSize), 14);
    EXPECT_EQ(CCorePrefs::Get(CCorePrefs::ShadeFontSize), 9);
    EXPECT_EQ(CCorePrefs::Get(CCorePrefs::DesktopSnapDistance), 32);
    EXPECT_EQ(CCorePrefs::Get(CCorePrefs::WindowSnapDistance), 0);

    pDlg->activateWindow();
    pFont->clear();
    pDlg->Tree()->setCurrentItem(pDlg->Tree()->topLevelItem(0));
    EXPECT_EQ(pDlg->GetCurrentPage(), 1);
    EXPECT_EQ(pDlg->Tree()->currentItem(), pDlg->Tree()->topLevelItem(1));
    EXPECT_EQ(pDlg->focusWidget(), pFont);
    Type(pFont, "99");
    EXPECT_TRUE(pDlg->SelectPage(0));
    EXPECT_EQ(pFont->text(), "15") << "the edit shows the stored value once the page is left";
    EXPECT_FALSE(pDlg->SelectPage(5));
}

// Checks and radios store at once and report the old value; the controls show the stored
// values when the dialog opens; without a tray the icon can only be in the taskbar.
TEST_F(PrefsDlgTest, ChecksAndRadiosStoreAtOnceAndReportTheOldValue) {
    CPrefsDlg* pDlg = Open();
    Item<QCheckBox>(pDlg, 1, DisplayPage::IDC_CLIP_NUMBERS)->click();
    Item<QRadioButton>(pDlg, 1, DisplayPage::IDC_TOOLTIPS_NONE + 1)->click();
    Item<QCheckBox>(pDlg, 0, GeneralPage::IDC_HIDE_PLAYWND)->click();
    Item<QCheckBox>(pDlg, 0, GeneralPage::IDC_RELOAD_PLAYLIST)->click();
    EXPECT_EQ(m_changes, (Changes{{CCorePrefs::ClipNumbers, 1},
                                  {CCorePrefs::Tooltips, 2},
                                  {CCorePrefs::HidePlayWndForAudio, 0},
                                  {CCorePrefs::ReloadLastPlaylist, 1}}));
    for (const auto& [pref, old] : m_changes)
        EXPECT_EQ(CCorePrefs::Get(pref), pref == CCorePrefs::Tooltips ? 1 : !old) << pref;

    CCorePrefs::Set(CCorePrefs::AutoPlay, 0);
    CCorePrefs::Set(CCorePrefs::IconPlacement, 1);
    shell::SetSystemTrayAvailableOverride(false);
    EXPECT_EQ(shell::EffectiveIconPlacement(), 0);
    shell::DestroyPrefsDlg(&m_mainWnd);
    pDlg = Open();
    EXPECT_FALSE(Item<QCheckBox>(pDlg, 0, GeneralPage::IDC_AUTO_PLAY)->isChecked());
    EXPECT_TRUE(Item<QRadioButton>(pDlg, 1, DisplayPage::IDC_TOOLTIPS_NONE + 1)->isChecked());
    for (int i : {0, 1, 2})
        EXPECT_EQ(Item<QRadioButton>(pDlg, 1, DisplayPage::IDC_ICON_TASKBAR + i)->isEnabled(),
                  i == 0);
    EXPECT_EQ(CCorePrefs::Get(CCorePrefs::IconPlacement), 1) << "the stored choice is kept";
    shell::SetSystemTrayAvailableOverride(true);
    EXPECT_EQ(shell::EffectiveIconPlacement(), 1);
}

TEST_F(PrefsDlgTest, OpeningTwiceBringsTheSameDialogAndReopeningShowsTheLastPage) {
    CPrefsDlg* pDlg = Open();
    EXPECT_EQ(pDlg->GetCurrentPage(), 1) << "the Display page by default";
    EXPECT_EQ(Open(), pDlg);
    pDlg->Tree()->setCurrentItem(pDlg->Tree()->topLevelItem(0));
    pDlg->reject();
    EXPECT_EQ(CCorePrefs::Get(CCorePrefs::LastPrefsPage), 0);
    EXPECT_TRUE(m_mainWnd.Only(WM_REG_PREFDLGCLOSED).empty()) << "posted, not sent";
    Pump();
    EXPECT_EQ(m_mainWnd.Only(WM_REG_PREFDLGCLOSED).size(), 1u);
    shell::DestroyPrefsDlg(&m_mainWnd);
    EXPECT_EQ(shell::FindPrefsDlg(&m_mainWnd), nullptr);

    pDlg = Open();
    EXPECT_EQ(pDlg->Tree()->currentItem(), pDlg->Tree()->topLevelItem(0));
    // Closed but not yet destroyed by its owner: a new dialog takes its place.
    pDlg->reject();
    EXPECT_FALSE(Open()->IsClosed());
    shell::DestroyPrefsDlg(&m_mainWnd);
    CCorePrefs::Set(CCorePrefs::LastPrefsPage, 7); // a stored page that does not exist
    EXPECT_EQ(Open()->GetCurrentPage(), 0);

    // A dialog without an owner goes away when closed.
    pDlg = shell::OpenPreferences(nullptr);
    EXPECT_EQ(shell::FindPrefsDlg(nullptr), pDlg);
    pDlg->reject();
    EXPECT_EQ(shell::FindPrefsDlg(nullptr), nullptr);
}

// The listening settings: ReplayGain from the General page, the equalizer dialog (heard at
// once through the audio chain's settings, presets in the current language, the user's own
// kept in the registry), and all of them with shuffle and repeat one across a restart.
TEST_F(PrefsDlgTest, ReplayGainEqualizerShuffleAndRepeatOneAreKeptInTheRegistry) {
    const AudioEffectSettings saved = audioeffects::Get();
    shelltest::LanguageFolder folder;
    folder.Write("English", "5420=Flat\n5427=Bass\n");
    folder.Write("German", "5420=Linear\n5427=Tiefen\n");
    shell::SetCurrentLanguage("German");
    CPrefsDlg* pDlg = Open();
    Item<QRadioButton>(pDlg, 0, int(GeneralPage::IDC_REPLAYGAIN_OFF) + int(ReplayGainAlbum))
        ->click();
    Item<QDoubleSpinBox>(pDlg, 0, GeneralPage::IDC_REPLAYGAIN_PREAMP)->setValue(99.0);
    EXPECT_EQ(audioeffects::Get().nReplayGain, ReplayGainAlbum);
    EXPECT_EQ(audioeffects::Get().dReplayGainPreampDb, AudioEffectSettings::kMaxPreampDb);

    CEqualizerDlg eq;
    eq.show();
    EXPECT_EQ(eq.Presets()->itemText(0) + eq.Presets()->itemText(7), "LinearTiefen");
    emit eq.Presets()->activated(7);
    EXPECT_TRUE(audioeffects::Get().bEqualizer);
    EXPECT_EQ(audioeffects::Get().bandsDb, core::BuiltInEqualizerPresets()[7].bandsDb);
    EXPECT_EQ(eq.Band(0)->value(), int(core::BuiltInEqualizerPresets()[7].bandsDb[0] * 10));
    eq.Band(9)->setValue(-35);
    EXPECT_EQ(audioeffects::Get().bandsDb[9], -3.5);
    eq.SavePreset("Mine");
    eq.SavePreset("Mine"); // the same name replaces
    ASSERT_EQ(shell::LoadUserPresets().size(), 1u);
    EXPECT_EQ(shell::LoadUserPresets()[0].bandsDb, audioeffects::Get().bandsDb);
    EXPECT_EQ(eq.Presets()->currentText(), "Mine");

    CUIControl control;
    control.SetShuffle(true);
    control.SetRepeatOne(true);
    shell::SaveListeningSettings(control);
    const AudioEffectSettings stored = audioeffects::Get();
    audioeffects::Set({});
    CRegistry::Instance().Reset(m_temp.Path() + "/config"); // read back from the file
    CUIControl restarted;
    shell::LoadListeningSettings(restarted);
    EXPECT_TRUE(restarted.GetShuffle() && restarted.GetRepeatOne());
    EXPECT_EQ(audioeffects::Get(), stored);
    EXPECT_EQ(shell::LoadUserPresets().size(), 1u);
    eq.DeleteSelectedPreset();
    EXPECT_TRUE(shell::LoadUserPresets().empty());

    // Damaged values keep the defaults.
    platform::WriteProfileString("Settings", "EqualizerGains", "1 2 three");
    platform::WriteProfileInt("Settings", "ReplayGain", 77);
    audioeffects::Set({});
    shell::LoadListeningSettings(restarted);
    EXPECT_EQ(audioeffects::Get().bandsDb, AudioEffectSettings().bandsDb);
    EXPECT_EQ(audioeffects::Get().nReplayGain, ReplayGainAlbum) << "brought into range";
    audioeffects::Set(saved);
}

// Tips come in order, comments and indented lines skipped, translated with their line end
// kept, round at the end; the next dialog starts behind the last tip shown.
TEST_F(TipsTest, ShowsTipsInOrderGoesRoundAtTheEndAndTheNextDialogGoesOn) {
    shelltest::LanguageFolder folder;
    folder.Write("English", "7001=Second tip\n");
    folder.Write("Deutsch", "7001=Zweiter Tipp\n");
    WriteTips(kFiveTips);
    EXPECT_EQ(Show(7), (Tips{"First tip\n", "Second tip\n", "Third tip\n", "Fourth tip\n",
                             "Fifth tip", "First tip\n", "Second tip\n"}));
    EXPECT_EQ(Show(1), Tips{"Third tip\n"});
    EXPECT_EQ(Profile(shell::kEntryTipFilePos), static_cast<int>(kFiveTips.find("; another")));
    shell::SetCurrentLanguage("Deutsch");
    EXPECT_EQ(Show(3), (Tips{"Fourth tip\n", "Fifth tip", "First tip\n"}));
    EXPECT_EQ(Show(1), Tips{"Zweiter Tipp\n"});
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(TipsTest, CommentsAloneShowNothingOneTipShowsAgainAndALongLineIsCut) {
    WriteTips("; only\n\n  comments\n", 1);
    EXPECT_EQ(Show(3), (Tips{"", "", ""}));
    WriteTips("The only tip\n", 2);
    EXPECT_EQ(Show(3), (Tips{"The only tip\n", "The only tip\n", "The only tip\n"}));
    const std::string longTip(CTipsFile::kMaxLine + 500, 'x');
    WriteTips(longTip + "\nAfter the long one\n", 3);
    const Tips tips = Show(3);
    EXPECT_EQ(tips[0], std::string(CTipsFile::kMaxLine, 'x') + "\n");
    EXPECT_EQ(tips[1], "After the long one\n") << "the rest of the long line is no tip";
    EXPECT_EQ(tips[2], tips[0]);
    EXPECT_TRUE(m_boxes.empty());
}

// A missing file shows its text and disables "Next Tip"; a position that cannot be reached
// shows the reading error and reading goes on from the start.
TEST_F(TipsTest, AMissingFileOrAnUnreachablePositionIsShown) {
    {
        CTipDlg dlg(nullptr, TipsPath());
        EXPECT_EQ(dlg.GetTip(), "Tips file does not exist in the prescribed directory");
        dlg.show();
        EXPECT_FALSE(dlg.NextButton()->isEnabled());
        dlg.close();
    }
    EXPECT_EQ(Profile(shell::kEntryTipFilePos), -99); // no position to remember
    EXPECT_TRUE(m_boxes.empty());

    WriteTips(kFiveTips);
    Show(1); // stores the time stamp
    ASSERT_TRUE(platform::WriteProfileInt(shell::kSectionTip, shell::kEntryTipFilePos, -5));
    CTipDlg dlg(nullptr, TipsPath());
    EXPECT_EQ(m_boxes, std::vector<std::string>{"Trouble reading the tips file"});
    EXPECT_EQ(dlg.GetTip(), "");
    dlg.NextButton()->click();
    EXPECT_EQ(dlg.GetTip(), "First tip\n");
}

TEST_F(TipsTest, UntickingShowAtStartUpTurnsTheStartUpTipOff) {
    WriteTips(kFiveTips);
    EXPECT_TRUE(shell::ShowTipsAtStartUp());
    for (bool bTicked : {true, false}) {
        CTipDlg dlg(nullptr, TipsPath());
        EXPECT_EQ(dlg.StartUpBox()->isChecked(), bTicked);
        dlg.StartUpBox()->click();
        dlg.show();
        bTicked ? dlg.accept() : dlg.reject();
        EXPECT_EQ(Profile(shell::kEntryTipStartUp), bTicked ? 1 : 0);
        EXPECT_EQ(shell::ShowTipsAtStartUp(), !bTicked);
        if (bTicked)
            shell::ShowTipAtStartUp(); // off: it shows nothing, so it returns at once
    }
}
