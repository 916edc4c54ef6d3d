// The system menu, the owners of its commands (About, Download Center, Preferences, equalizer,
// tips, manual) and the tray over the recording application, which answers boxes and dialogs.
#include "shell/SystemMenu.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "platform/MessageQueue.h"
#include "platform/Profile.h"
#include "platform/RegisteredMessages.h"
#include "playback/AudioEffects.h"
#include "playback/EngineManager.h"
#include "playback/UIControl.h"
#include "res/StringTable.h"
#include "shell/AboutDlg.h"
#include "shell/DownloadCenterDlg.h"
#include "shell/EqualizerDlg.h"
#include "shell/Language.h"
#include "shell/LinkCtrl.h"
#include "shell/ListeningSettings.h"
#include "shell/MenuBuilder.h"
#include "shell/PrefsDlg.h"
#include "shell/PrefsSubDlg.h"
#include "shell/ProfileSettings.h"
#include "shell/ProgramFiles.h"
#include "shell/SystemTray.h"
#include "shell/TipDlg.h"
#include "shell/UpgradeCheckDlg.h"
#include "tests/shell/ShellTestSupport.h"
#include "tests/support/PlayerWindowWorld.h"
#include "tests/support/RecordingPlayerApp.h"
#include "tests/support/RecordingWnd.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <regex>
#include <typeinfo>

namespace {

using Ids = std::vector<int>;
using Strings = std::vector<std::string>;
using Changes = std::vector<std::pair<CCorePrefs::Pref, std::int32_t>>;

QIcon Colour(Qt::GlobalColor colour) {
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

// Comments, a blank line, indented lines, a CR LF line end, and none at the end of the file.
const std::string kFiveTips = "; Tips for the test\n\nFirst tip\n an indented line is no tip\n"
                              "\tnor is a tabbed one\nSecond tip\r\nThird tip\n; another comment\n"
                              "Fourth tip\nFifth tip";

class SystemMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        shell::SetProfileKey();
        m_app.m_pMain = &m_mainWnd;
        ASSERT_TRUE(m_mainWnd.CreateMessageWindow());
        SetMessageBoxHook(
            [this](const MessageBoxRequest& r) { return m_seen.push_back(r.text), IDOK; });
        m_ctx.pApp = &m_app;
        m_ctx.hasCdromDrive = [this] { return m_bDrive; };
        m_ctx.isCdDoorOpen = [this] { return m_bDoorOpen; };
        m_ctx.setCdDoor = [this](bool open) { return m_doorRequests.push_back(open), true; };
        m_ctx.open = [this](const std::string& a) { return m_seen.push_back(a), true; };
        m_ctx.runDialog = [this](QDialog& dlg) {
            m_seen.push_back(typeid(dlg).name());
            auto* pAbout = dynamic_cast<CAboutDlg*>(&dlg);
            if (!pAbout)
                return 0;
            // The About dialog's links look like links and open their pages on a click.
            pAbout->show();
            EXPECT_EQ(pAbout->windowTitle(), "About Corvella");
            for (CLinkCtrl* link : {pAbout->HomePageLink(), pAbout->FeedbackLink()}) {
                EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
                EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
                QMouseEvent release(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2),
                                    Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
                QCoreApplication::sendEvent(link, &release);
            }
            return 0;
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

    // Shows the menu from the main window; the tracker notes what it shows and picks `pick`.
    int ShowAndPick(int pick) {
        shell::SetMenuTracker([this, pick](QMenu& menu, const QPoint& pt) {
            EXPECT_EQ(pt, QPoint(40, 50));
            m_strFirst = menu.actions()[0]->text().toStdString();
            QAction* pEject = shell::FindMenuItem(menu, res::ID_EJECT_CD);
            m_strEject = pEject->isEnabled() ? pEject->text().toStdString() : "grey";
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
    // The Preferences dialog of the main window, its reported changes recorded.
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
    // The tips file, with a modification time of its own, minutes apart from any other.
    std::string TipsPath() const { return m_temp.Path() + "/Tips.txt"; }
    void WriteTips(const std::string& content, int stamp = 0) {
        shelltest::WriteFile(TipsPath(), content);
        const auto day = std::filesystem::file_time_type::clock::now() - std::chrono::hours(24);
        std::filesystem::last_write_time(TipsPath(), day + std::chrono::minutes(stamp));
    }
    // The tips shown by a dialog: the first, then count - 1 more with "Next Tip".
    Strings Show(int count) {
        CTipDlg dlg(nullptr, TipsPath());
        Strings tips{dlg.GetTip()};
        for (int i = 1; i < count; ++i) {
            dlg.NextButton()->click();
            tips.push_back(dlg.TipLabel()->text().toStdString());
        }
        return tips;
    }
    int Profile(const std::string& e) { return platform::GetProfileInt(shell::kSectionTip, e, -1); }

    testsupport::ScratchFolder m_temp;
    testsupport::CRecordingPlayerApp m_app;
    testsupport::CPlayerWindowWorldGuard m_world{&m_app, m_temp.Path() + "/config"};
    CRecordingWnd m_mainWnd;
    shell::SystemMenuContext m_ctx;
    bool m_bDrive = true, m_bDoorOpen = false;
    std::vector<bool> m_doorRequests;
    Strings m_seen; // message boxes, pages and dialogs
    Ids m_checked;
    std::string m_strFirst, m_strEject;
    Changes m_changes;
};

using DisplayPage = CPrefsDisplayDlg;
using GeneralPage = CPrefsGeneralDlg;

} // namespace

// The CD item says what the door will do and is grey without a drive.
TEST_F(SystemMenuTest, TheMenuShowsTheStateOfThePlayerAndTheCdDrive) {
    EXPECT_EQ(ShowAndPick(0), 0);
    EXPECT_EQ(m_strFirst, "About Corvella...");
    EXPECT_EQ(m_checked, (Ids{res::ID_REPEAT}));
    EXPECT_TRUE(m_app.m_commands.empty()) << "a dismissed menu does nothing";

    m_ctx.bPlaylistVisible = m_ctx.bPlayWndVisible = true;
    m_app.m_control.SetRepeat(false);
    m_app.m_control.SetMute(true);
    CCorePrefs::Set(CCorePrefs::AlwaysOnTop, 1);
    for (int pick : {int(res::ID_SHUFFLE), int(res::ID_REPEAT_ONE), 0})
        ShowAndPick(pick);
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
    EXPECT_EQ(shell::GetCurrentLanguage(), "German");
    ShowAndPick(0);
    EXPECT_EQ(m_strFirst, "Über Corvella...");
    EXPECT_EQ(m_strEject, "CD auswerfen");

    std::unique_ptr<QMenu> pMenu = shell::LoadSystemMenu();
    shell::PrepareSystemMenu(*pMenu, false, m_ctx);
    EXPECT_EQ(shell::FindMenuItem(*pMenu, res::ID_REPEAT)->text(), "Wieder&holen\tCtrl+R");
    QMenu* pLanguages = shell::FindSubMenu(*pMenu, "&Sprache");
    ASSERT_NE(pLanguages, nullptr);
    const QList<QAction*> items = pLanguages->actions();
    Ids ids; // 0 for the separator
    for (const QAction* pAction : items)
        ids.push_back(shell::MenuItemId(pAction));
    EXPECT_EQ(ids, (Ids{res::ID_CONTRIBUTE_TRANSLATION, 0, 9024, 9025}));
    EXPECT_EQ(items[0]->text(), "Übersetzen");
    EXPECT_EQ(items[3]->text(), "Deutsch\t[German]");
    EXPECT_TRUE(items[3]->isChecked() && !items[2]->isChecked());
    shell::PrepareSystemMenu(*pMenu, false, m_ctx); // prepared again: not appended twice
    EXPECT_EQ(pLanguages->actions().size(), 4);
}

// The owners' own behaviour is tested with them; the window items and always on top with the
// real context (PlayerMenuContextTest).
TEST_F(SystemMenuTest, EachCommandReachesItsOwner) {
    m_ctx.engineAvailability = [] { return EngineAvailability{true, true, true, true}; };
    const std::string manual = platform::GetProgramFolder() + "manual/index.html";
    auto page = [](std::uint32_t id) { return res::LoadString(id); };
    const struct {
        int id;
        Ids submitted, posted;
        Strings seen;
    } rows[] = {
        {res::ID_APP_ABOUT, {CmdUserCommand}, {}, {typeid(CAboutDlg).name(), page(115), page(146)}},
        {res::ID_CHECK_UPGRADE, {CmdUserCommand}, {}, {typeid(CUpgradeCheckDlg).name()}},
        {res::ID_TIP_OF_THE_DAY, {}, {}, {typeid(CTipDlg).name()}},
        {res::ID_EQUALIZER, {}, {}, {typeid(CEqualizerDlg).name()}},
        {res::ID_CHECK_ENGINES, {}, {}, {page(4426)}}, // all engines are there
        {res::ID_HOMEPAGE, {}, {}, {page(115)}},
        {res::ID_ONLINE_FAQ, {}, {}, {page(148)}},
        {res::ID_ONLINE_FEEDBACK, {}, {}, {page(146)}},
        {res::ID_CONTRIBUTE_TRANSLATION, {}, {}, {page(151)}},
        {res::ID_TELL_FRIEND, {}, {}, {shell::TellAFriendMail().BuildLink()}},
        {res::ID_HELP_MANUAL, {CmdUserCommand}, {}, {manual}}, // the one the build copies
        {res::ID_OPEN_MEDIAFILE, {CmdUserCommand}, {}, {"media"}},
        {res::ID_OPEN_CD, {}, {}, {"cd"}},
        {res::ID_OPEN_VCD, {}, {}, {"vcd"}},
        {res::ID_OPEN_LOCATION, {}, {}, {"location"}},
        {res::ID_RESET_WINDOWS, {}, {CmdResetPositions}, {}},
        {res::ID_PREFERENCES, {}, {}, {}},
        {res::ID_REPEAT, {}, {}, {}},
        {res::ID_MUTE, {}, {}, {}},
        {res::ID_APP_EXIT, {CmdUserCommand}, {}, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.id);
        m_app.m_commands.clear();
        m_app.m_opened.clear();
        m_seen.clear();
        EXPECT_TRUE(Run(row.id));
        EXPECT_EQ(m_app.Codes(), row.submitted);
        EXPECT_EQ(m_app.Codes(true), row.posted);
        m_seen.insert(m_seen.end(), m_app.m_opened.begin(), m_app.m_opened.end());
        EXPECT_EQ(m_seen, row.seen);
    }
    EXPECT_FALSE(Run(12345));
    EXPECT_NE(shell::FindPrefsDlg(&m_mainWnd), nullptr);
    EXPECT_FALSE(m_app.m_control.GetRepeat()); // on by default
    EXPECT_TRUE(m_app.m_control.GetMute());
    EXPECT_TRUE(m_mainWnd.Only(WM_CLOSE).empty()) << "the close request is posted";
    EXPECT_TRUE(platform::CMessageQueue::Instance().DispatchOne());
    EXPECT_EQ(m_mainWnd.Only(WM_CLOSE).size(), 1u);

    EXPECT_FALSE(CLinkCtrl("Nowhere").Open()) << "an empty link opens nothing";
    m_seen.clear();
    m_ctx.engineAvailability = [] { return EngineAvailability{false, true, false, false}; };
    Run(res::ID_CHECK_ENGINES);
    // A missing manual, and one no program could show: the user is told where it is.
    m_ctx.strManualFolder = m_temp.Path() + "/";
    Run(res::ID_HELP_MANUAL);
    m_ctx.strManualFolder.clear();
    m_ctx.open = [](const std::string&) { return false; };
    Run(res::ID_HELP_MANUAL);
    ASSERT_EQ(m_seen.size(), 3u);
    EXPECT_EQ(m_seen[0], typeid(CDownloadCenterDlg).name());
    EXPECT_NE(m_seen[1].find(m_temp.Path() + "/manual/index.html"), std::string::npos);
    EXPECT_NE(m_seen[2].find(manual), std::string::npos);
    EXPECT_NE(shell::LoadPopupMenu(res::IDR_MAINFRAME, "OpenFile"), nullptr);
    EXPECT_EQ(shell::LoadPopupMenu(res::IDR_MAINFRAME, "NoSuchPopup"), nullptr);
    EXPECT_EQ(shell::LoadPopupMenu(999, "OpenFile"), nullptr);
}

// With the edition switch an engine is always missing, so the dialog comes at every start until
// its box is ticked; the box is stored when the dialog closes.
TEST_F(SystemMenuTest, TheDownloadCenterOffersWhatIsMissingUntilItsBoxIsTicked) {
    auto button = [](const CDownloadCenterDlg& dlg, int id) {
        return static_cast<QAbstractButton*>(dlg.GetDlgItem(id));
    };
    CDownloadCenterDlg present(nullptr, m_ctx.open);
    present.SetEngines(true, false, false);
    present.show();
    EXPECT_EQ(static_cast<QPlainTextEdit*>(present.GetDlgItem(1052))->toPlainText().toStdString(),
              res::LoadString(127));
    for (int id : {1049, 1050, 1051})
        button(present, id)->click();
    EXPECT_EQ(m_seen,
              (Strings{CDownloadCenterDlg::kDownloadCenterPage, CDownloadCenterDlg::kLumivoxPage}));
    EXPECT_TRUE(button(present, 1051)->isHidden()) << "nothing to download for a working engine";
    // With the decoder check's lists the text names this machine's formats and packages.
    CDownloadCenterDlg checked;
    checked.SetEngines(false, false, false);
    checked.SetFormats({"WAV", "AVI"}, {"ASF", "Windows Media Audio"},
                       {"gstreamer1.0-plugins-ugly", "gstreamer1.0-libav"});
    checked.show();
    const std::string text = checked.GetExplanation();
    for (const char* part :
         {"plays these formats now: WAV, AVI.", "not installed: ASF, Windows Media Audio.",
          "sudo apt install gstreamer1.0-plugins-ugly gstreamer1.0-libav"})
        EXPECT_NE(text.find(part), std::string::npos) << text;
    EXPECT_EQ(text.find("WMV"), std::string::npos) << text;
    EXPECT_FALSE(button(checked, 1051)->isHidden());

    auto stored = [] { return platform::GetProfileInt("Download Center", "Check Engines", -1); };
    int shown = 0;
    std::string explanation;
    auto answer = [&](std::optional<bool> tick) {
        return [&, tick](CDownloadCenterDlg& dlg) {
            ++shown;
            dlg.show(); // initialises and translates, as the modal run would
            explanation = dlg.GetExplanation();
            auto* box = static_cast<QCheckBox*>(dlg.GetDlgItem(1053));
            const int before = stored();
            EXPECT_EQ(box->isChecked(), before == 1);
            if (tick)
                box->setChecked(*tick);
            EXPECT_EQ(stored(), before) << "written when the dialog closes";
            button(dlg, CDownloadCenterDlg::IDC_CLOSE)->click();
        };
    };
    EXPECT_FALSE(shell::CheckEngines({true, true, true, true}, nullptr, answer({})));
    EXPECT_EQ(shown, 0) << "nothing is missing";
    EXPECT_TRUE(shell::CheckEngines({false, false, false, false}, nullptr, answer(true)));
    EXPECT_EQ(explanation, res::LoadString(128));
    EXPECT_EQ(stored(), 1);
    shell::CheckEngines({false, true, false, false}, nullptr, answer(false));
    EXPECT_EQ(stored(), 0);

    CWnd parent;
    ASSERT_TRUE(parent.CreateTopLevel({0, 0, 200, 100}, "play"));
    CEngineManager manager;
    manager.ApplyEditionSwitch();
    ASSERT_TRUE(manager.Create({0, 0, 100, 50}, &parent, 1));
    const auto missing = MissingMediaDecoders();
    const EngineAvailability engines = GetEngineAvailability(manager, missing);
    EXPECT_FALSE(engines.allInstalled || engines.quickTime || engines.realMedia);
    EXPECT_EQ(engines.windowsMedia, missing.empty());
    shown = 0;
    EXPECT_TRUE(shell::CheckEnginesAtStartUp(manager, nullptr, answer({})));
    EXPECT_TRUE(shell::CheckEnginesAtStartUp(manager, nullptr, answer({})));
    EXPECT_EQ(shown, 2);
    EXPECT_NE(explanation.find("plays these formats now: "), std::string::npos) << explanation;
    EXPECT_NE(explanation.find("WAV"), std::string::npos) << explanation;
    EXPECT_EQ(explanation.find("sudo apt install") != std::string::npos, !missing.empty());
    shell::CheckEngines({false, true, false, false}, nullptr, answer(true));
    EXPECT_FALSE(shell::CheckEnginesAtStartUp(manager, nullptr, answer({})));
    EXPECT_EQ(shown, 3) << "skipped once the box was ticked";
    manager.DestroyEngines();
}

// Every picture and section the manual links to is there too.
TEST(ProgramFiles, TheBuildTreeHoldsThemWithTheManualsLinksAndAnEmptyFolderLacksEachOne) {
    EXPECT_EQ(shell::MissingProgramFiles(platform::GetProgramFolder()), Strings{});
    testsupport::ScratchFolder scratch;
    const std::string f = scratch.Path() + "/";
    EXPECT_EQ(shell::MissingProgramFiles(f),
              (Strings{f + "language/English.ini", f + "Tips.txt", f + "Test Skin/MainWindow.txt",
                       f + "manual/index.html"}));
    const std::string folder = platform::GetProgramFolder() + "manual/";
    const std::string manual = platform::ReadWholeFile(folder + "index.html").value_or("");
    const std::regex link(R"((src|href)="([^"]*)\")");
    int pictures = 0;
    for (std::sregex_iterator it(manual.begin(), manual.end(), link), end; it != end; ++it) {
        const std::string target = (*it)[2];
        if (target.starts_with("#")) {
            EXPECT_NE(manual.find("id=\"" + target.substr(1) + "\""), std::string::npos) << target;
        } else if ((*it)[1] == "src" && ++pictures) {
            EXPECT_TRUE(platform::FileExists(folder + target)) << target;
        }
    }
    EXPECT_GT(pictures, 0);
}

TEST_F(SystemMenuTest, TheTrayMenuStartsWithRestoreAndItsDefaultRunsOnADoubleClick) {
    int restored = 0;
    m_ctx.restoreFromTray = [&] { ++restored; };
    shell::SetSystemTrayAvailableOverride(false);
    CSystemTray none;
    EXPECT_FALSE(none.Create(&m_mainWnd, "Corvella", Colour(Qt::red)));
    EXPECT_EQ(none.OnRightButtonUp(QPoint(1, 1)), 0);
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
}

TEST_F(SystemMenuTest, PreferencesAreStoredAtOnceInRangeOneDialogReopenedOnTheLastPage) {
    CPrefsDlg* pDlg = Open();
    EXPECT_EQ(pDlg->GetCurrentPage(), 1) << "the Display page by default";
    EXPECT_EQ(Open(), pDlg);
    Item<QAbstractButton>(pDlg, 1, DisplayPage::IDC_CLIP_NUMBERS)->click();
    Item<QAbstractButton>(pDlg, 1, DisplayPage::IDC_TOOLTIPS_NONE + 1)->click();
    Item<QAbstractButton>(pDlg, 0, GeneralPage::IDC_HIDE_PLAYWND)->click();
    Item<QAbstractButton>(pDlg, 0, GeneralPage::IDC_RELOAD_PLAYLIST)->click();
    EXPECT_EQ(m_changes, (Changes{{CCorePrefs::ClipNumbers, 1},
                                  {CCorePrefs::Tooltips, 2},
                                  {CCorePrefs::HidePlayWndForAudio, 0},
                                  {CCorePrefs::ReloadLastPlaylist, 1}}));
    for (const auto& [pref, old] : m_changes)
        EXPECT_EQ(CCorePrefs::Get(pref), pref == CCorePrefs::Tooltips ? 1 : !old) << pref;

    auto* pFont = Item<QLineEdit>(pDlg, 1, DisplayPage::IDC_PLAYLIST_FONT);
    EXPECT_EQ(pFont->text(), "12");
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

    // An empty number keeps its page and takes the focus.
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
    pDlg->reject();
    EXPECT_EQ(CCorePrefs::Get(CCorePrefs::LastPrefsPage), 0);
    EXPECT_TRUE(m_mainWnd.Only(WM_REG_PREFDLGCLOSED).empty()) << "posted, not sent";
    EXPECT_TRUE(platform::CMessageQueue::Instance().DispatchOne());
    EXPECT_EQ(m_mainWnd.Only(WM_REG_PREFDLGCLOSED).size(), 1u);
    shell::DestroyPrefsDlg(&m_mainWnd);
    EXPECT_EQ(shell::FindPrefsDlg(&m_mainWnd), nullptr);

    CCorePrefs::Set(CCorePrefs::AutoPlay, 0);
    CCorePrefs::Set(CCorePrefs::Tooltips, 1);
    CCorePrefs::Set(CCorePrefs::IconPlacement, 1);
    shell::SetSystemTrayAvailableOverride(false); // the icon can only be in the taskbar
    EXPECT_EQ(shell::EffectiveIconPlacement(), 0);
    pDlg = Open();
    EXPECT_EQ(pDlg->Tree()->currentItem(), pDlg->Tree()->topLevelItem(0));
    EXPECT_FALSE(Item<QAbstractButton>(pDlg, 0, GeneralPage::IDC_AUTO_PLAY)->isChecked());
    EXPECT_TRUE(Item<QAbstractButton>(pDlg, 1, DisplayPage::IDC_TOOLTIPS_NONE + 1)->isChecked());
    for (int i : {0, 1, 2})
        EXPECT_EQ(Item<QAbstractButton>(pDlg, 1, DisplayPage::IDC_ICON_TASKBAR + i)->isEnabled(),
                  i == 0);
    EXPECT_EQ(CCorePrefs::Get(CCorePrefs::IconPlacement), 1) << "the stored choice is kept";
    shell::SetSystemTrayAvailableOverride(true);
    EXPECT_EQ(shell::EffectiveIconPlacement(), 1);

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

// The equalizer is heard at once through the audio chain's settings.
TEST_F(SystemMenuTest, ReplayGainEqualizerShuffleAndRepeatOneAreKeptInTheRegistry) {
    const AudioEffectSettings saved = audioeffects::Get();
    shelltest::LanguageFolder folder;
    folder.Write("English", "5420=Flat\n5427=Bass\n");
    folder.Write("German", "5420=Linear\n5427=Tiefen\n");
    shell::SetCurrentLanguage("German");
    CPrefsDlg* pDlg = Open();
    Item<QAbstractButton>(pDlg, 0, int(GeneralPage::IDC_REPLAYGAIN_OFF) + int(ReplayGainAlbum))
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

    m_app.m_control.SetShuffle(true);
    m_app.m_control.SetRepeatOne(true);
    shell::SaveListeningSettings(m_app.m_control);
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

// Comments and indented lines are skipped, tips translated with their line end kept.
TEST_F(SystemMenuTest, TipsComeInOrderRoundAtTheEndAndAMissingOrDamagedFileIsShown) {
    shelltest::LanguageFolder folder;
    folder.Write("English", "7001=Second tip\n");
    folder.Write("Deutsch", "7001=Zweiter Tipp\n");
    WriteTips(kFiveTips);
    EXPECT_EQ(Show(7), (Strings{"First tip\n", "Second tip\n", "Third tip\n", "Fourth tip\n",
                                "Fifth tip", "First tip\n", "Second tip\n"}));
    EXPECT_EQ(Show(1), Strings{"Third tip\n"});
    EXPECT_EQ(Profile(shell::kEntryTipFilePos), static_cast<int>(kFiveTips.find("; another")));
    shell::SetCurrentLanguage("Deutsch");
    EXPECT_EQ(Show(3), (Strings{"Fourth tip\n", "Fifth tip", "First tip\n"}));
    EXPECT_EQ(Show(1), Strings{"Zweiter Tipp\n"});

    WriteTips("; only\n\n  comments\n", 1);
    EXPECT_EQ(Show(3), (Strings{"", "", ""}));
    WriteTips("The only tip\n", 2);
    EXPECT_EQ(Show(2), (Strings{"The only tip\n", "The only tip\n"}));
    WriteTips(std::string(CTipsFile::kMaxLine + 500, 'x') + "\nAfter the long one\n", 3);
    const std::string cut = std::string(CTipsFile::kMaxLine, 'x') + "\n";
    EXPECT_EQ(Show(3), (Strings{cut, "After the long one\n", cut})) << "the rest is no tip";
    EXPECT_TRUE(m_seen.empty());
    std::filesystem::remove(TipsPath());
    const int pos = Profile(shell::kEntryTipFilePos);
    {
        CTipDlg dlg(nullptr, TipsPath());
        EXPECT_EQ(dlg.GetTip(), "Tips file does not exist in the prescribed directory");
        dlg.show();
        EXPECT_FALSE(dlg.NextButton()->isEnabled());
    }
    EXPECT_EQ(Profile(shell::kEntryTipFilePos), pos) << "no position to remember";
    WriteTips(kFiveTips);
    Show(1); // stores the time stamp
    ASSERT_TRUE(platform::WriteProfileInt(shell::kSectionTip, shell::kEntryTipFilePos, -5));
    {
        CTipDlg dlg(nullptr, TipsPath());
        EXPECT_EQ(m_seen, Strings{"Trouble reading the tips file"});
        EXPECT_EQ(dlg.GetTip(), "");
        dlg.NextButton()->click();
        EXPECT_EQ(dlg.GetTip(), "First tip\n");
    }

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
