// The Preferences dialog: typed values brought into range and stored at once, changes
// reported with the old value, one dialog per window, the last page remembered, and a page
// that cannot be read back keeping the selection.
#include "tests/shell/MenuTestSupport.h"

#include "platform/Profile.h"
#include "platform/RegisteredMessages.h"
#include "platform/Registry.h"
#include "playback/AudioEffects.h"
#include "playback/UIControl.h"
#include "shell/EqualizerDlg.h"
#include "shell/Language.h"
#include "shell/ListeningSettings.h"
#include "shell/PrefsDlg.h"
#include "shell/PrefsSubDlg.h"
#include "shell/SystemTray.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QTreeWidget>

using menutest::MenuTest;

namespace {

class PrefsDlgTest : public MenuTest {
protected:
    void TearDown() override {
        shell::DestroyPrefsDlg(&m_mainWnd);
        shell::DestroyPrefsDlg(nullptr);
        shell::SetSystemTrayAvailableOverride(std::nullopt);
        MenuTest::TearDown();
    }

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
    static void FinishEditing(QLineEdit* pEdit) {
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(pEdit, &enter);
    }

    std::vector<std::pair<CCorePrefs::Pref, std::int32_t>> m_changes;
};

using DisplayPage = CPrefsDisplayDlg;
using GeneralPage = CPrefsGeneralDlg;

} // namespace

TEST_F(PrefsDlgTest, TypedSizesAndDistancesAreStoredAtOnceWithinTheirRanges) {
    CPrefsDlg* pDlg = Open();
    auto* pFont = Item<QLineEdit>(pDlg, 1, DisplayPage::IDC_PLAYLIST_FONT);
    auto* pDesktop = Item<QLineEdit>(pDlg, 1, DisplayPage::IDC_DESKTOP_DISTANCE);
    auto* pWindows = Item<QLineEdit>(pDlg, 1, DisplayPage::IDC_WINDOW_DISTANCE);
    EXPECT_EQ(pFont->text(), "12");
    EXPECT_EQ(pFont->maxLength(), 2);

    Type(pFont, "3");
    EXPECT_EQ(CCorePrefs::Get(CCorePrefs::PlaylistFontSize), 8);
    FinishEditing(pFont);
    EXPECT_EQ(pFont->text(), "8");
    Type(pDesktop, "40");
    EXPECT_EQ(CCorePrefs::Get(CCorePrefs::DesktopSnapDistance), 32);
    Type(pWindows, "-1");
    EXPECT_EQ(CCorePrefs::Get(CCorePrefs::WindowSnapDistance), 0);
    // "1" on the way to "12" is not corrected under the typing fingers.
    Type(pFont, "1");
    EXPECT_EQ(pFont->text(), "1");
    Type(pFont, "14");
    EXPECT_EQ(CCorePrefs::Get(CCorePrefs::PlaylistFontSize), 14);
    Type(pFont, "abc");
    EXPECT_EQ(CCorePrefs::Get(CCorePrefs::PlaylistFontSize), 14) << "letters are refused";

    // The spin moves the value within its range and shows it in the edit.
    auto* pSpin = Item<QScrollBar>(pDlg, 1, DisplayPage::IDC_SHADE_FONT_SPIN);
    EXPECT_EQ(pSpin->minimum(), 8);
    EXPECT_EQ(pSpin->maximum(), 15);
    pSpin->setValue(9);
    EXPECT_EQ(CCorePrefs::Get(CCorePrefs::ShadeFontSize), 9);
    EXPECT_EQ(Item<QLineEdit>(pDlg, 1, DisplayPage::IDC_SHADE_FONT)->text(), "9");
}

TEST_F(PrefsDlgTest, ChecksAndRadiosStoreAtOnceAndReportTheOldValue) {
    CPrefsDlg* pDlg = Open();
    Item<QCheckBox>(pDlg, 1, DisplayPage::IDC_CLIP_NUMBERS)->click();
    EXPECT_EQ(CCorePrefs::Get(CCorePrefs::ClipNumbers), 0);
    Item<QRadioButton>(pDlg, 1, DisplayPage::IDC_TOOLTIPS_NONE + 1)->click();
    EXPECT_EQ(CCorePrefs::Get(CCorePrefs::Tooltips), 1);
    Item<QCheckBox>(pDlg, 0, GeneralPage::IDC_HIDE_PLAYWND)->click();
    EXPECT_EQ(CCorePrefs::Get(CCorePrefs::HidePlayWndForAudio), 1);
    Item<QCheckBox>(pDlg, 0, GeneralPage::IDC_RELOAD_PLAYLIST)->click();
    EXPECT_EQ(CCorePrefs::Get(CCorePrefs::ReloadLastPlaylist), 0);
    using P = CCorePrefs;
    EXPECT_EQ(m_changes,
              (std::vector<std::pair<P::Pref, std::int32_t>>{{P::ClipNumbers, 1},
                                                             {P::Tooltips, 2},
                                                             {P::HidePlayWndForAudio, 0},
                                                             {P::ReloadLastPlaylist, 1}}));
    // The controls show the stored values when the dialog opens.
    CCorePrefs::Set(CCorePrefs::AutoPlay, 0);
    shell::DestroyPrefsDlg(&m_mainWnd);
    pDlg = Open();
    EXPECT_FALSE(Item<QCheckBox>(pDlg, 0, GeneralPage::IDC_AUTO_PLAY)->isChecked());
    EXPECT_TRUE(Item<QRadioButton>(pDlg, 1, DisplayPage::IDC_TOOLTIPS_NONE + 1)->isChecked());
}

TEST_F(PrefsDlgTest, OpeningTwiceBringsTheSameDialogAndReopeningShowsTheLastPage) {
    CPrefsDlg* pDlg = Open();
    EXPECT_EQ(pDlg->windowTitle(), "Preferences");
    EXPECT_EQ(pDlg->GetCurrentPage(), 1) << "the Display page by default";
    ASSERT_EQ(pDlg->Tree()->topLevelItemCount(), 2);
    EXPECT_EQ(pDlg->Tree()->topLevelItem(0)->text(0), "General");
    EXPECT_EQ(pDlg->Tree()->topLevelItem(1)->text(0), "Display");
    EXPECT_EQ(Open(), pDlg);

    pDlg->Tree()->setCurrentItem(pDlg->Tree()->topLevelItem(0));
    EXPECT_EQ(pDlg->GetCurrentPage(), 0);
    pDlg->reject();
    EXPECT_EQ(CCorePrefs::Get(CCorePrefs::LastPrefsPage), 0);
    EXPECT_TRUE(m_mainWnd.Only(WM_REG_PREFDLGCLOSED).empty()) << "posted, not sent";
    Pump();
    EXPECT_EQ(m_mainWnd.Only(WM_REG_PREFDLGCLOSED).size(), 1u);
    shell::DestroyPrefsDlg(&m_mainWnd);
    EXPECT_EQ(shell::FindPrefsDlg(&m_mainWnd), nullptr);

    pDlg = Open();
    EXPECT_EQ(pDlg->GetCurrentPage(), 0);
    EXPECT_EQ(pDlg->Tree()->currentItem(), pDlg->Tree()->topLevelItem(0));
    // Closed but not yet destroyed by its owner: a new dialog takes its place.
    pDlg->reject();
    CPrefsDlg* pNew = Open();
    EXPECT_FALSE(pNew->IsClosed());
    shell::DestroyPrefsDlg(&m_mainWnd);
    CCorePrefs::Set(CCorePrefs::LastPrefsPage, 7); // a stored page that does not exist
    EXPECT_EQ(Open()->GetCurrentPage(), 0);

    // A dialog without an owner goes away when closed.
    pDlg = shell::OpenPreferences(nullptr);
    EXPECT_EQ(shell::FindPrefsDlg(nullptr), pDlg);
    pDlg->reject();
    EXPECT_EQ(shell::FindPrefsDlg(nullptr), nullptr);
}

TEST_F(PrefsDlgTest, AnEmptyNumberKeepsItsPageAndTakesTheFocus) {
    CPrefsDlg* pDlg = Open();
    pDlg->activateWindow();
    auto* pFont = Item<QLineEdit>(pDlg, 1, DisplayPage::IDC_PLAYLIST_FONT);
    pFont->clear();
    pDlg->Tree()->setCurrentItem(pDlg->Tree()->topLevelItem(0));
    EXPECT_EQ(pDlg->GetCurrentPage(), 1);
    EXPECT_EQ(pDlg->Tree()->currentItem(), pDlg->Tree()->topLevelItem(1));
    EXPECT_EQ(pDlg->focusWidget(), pFont);
    EXPECT_EQ(CCorePrefs::Get(CCorePrefs::PlaylistFontSize), 12);

    Type(pFont, "99");
    EXPECT_TRUE(pDlg->SelectPage(0));
    EXPECT_EQ(pFont->text(), "15") << "the edit shows the stored value once the page is left";
    EXPECT_FALSE(pDlg->SelectPage(5));
}

TEST_F(PrefsDlgTest, WithoutATrayTheIconCanOnlyBeInTheTaskbar) {
    CCorePrefs::Set(CCorePrefs::IconPlacement, 1);
    shell::SetSystemTrayAvailableOverride(false);
    EXPECT_EQ(shell::EffectiveIconPlacement(), 0);
    CPrefsDlg* pDlg = Open();
    EXPECT_TRUE(Item<QRadioButton>(pDlg, 1, DisplayPage::IDC_ICON_TASKBAR)->isEnabled());
    EXPECT_FALSE(Item<QRadioButton>(pDlg, 1, DisplayPage::IDC_ICON_TASKBAR + 1)->isEnabled());
    EXPECT_FALSE(Item<QRadioButton>(pDlg, 1, DisplayPage::IDC_ICON_TASKBAR + 2)->isEnabled());
    EXPECT_EQ(CCorePrefs::Get(CCorePrefs::IconPlacement), 1) << "the stored choice is kept";

    shell::SetSystemTrayAvailableOverride(true);
    EXPECT_EQ(shell::EffectiveIconPlacement(), 1);
}

// The listening settings: ReplayGain from the General page, the equalizer dialog (heard at
// once through the audio chain's settings, presets in the current language, the user's own
// kept in the registry), and all of them with shuffle and repeat one across a restart.
TEST_F(PrefsDlgTest, ReplayGainEqualizerShuffleAndRepeatOneAreKeptInTheRegistry) {
    const AudioEffectSettings saved = audioeffects::Get();
    shelltest::LanguageFolder folder;
    folder.Write("English", "5409=Equalizer\n5420=Flat\n5427=Bass\n5410=&Enable equalizer\n");
    folder.Write("German", "5409=Klangregler\n5420=Linear\n5427=Tiefen\n"
                           "5410=Klangregler &einschalten\n");
    shell::SetCurrentLanguage("German");

    CPrefsDlg* pDlg = Open();
    Item<QRadioButton>(pDlg, 0, int(GeneralPage::IDC_REPLAYGAIN_OFF) + int(ReplayGainAlbum))
        ->click();
    Item<QDoubleSpinBox>(pDlg, 0, GeneralPage::IDC_REPLAYGAIN_PREAMP)->setValue(99.0);
    EXPECT_EQ(audioeffects::Get().nReplayGain, ReplayGainAlbum);
    EXPECT_EQ(audioeffects::Get().dReplayGainPreampDb, AudioEffectSettings::kMaxPreampDb);

    CEqualizerDlg eq;
    eq.show();
    EXPECT_EQ(eq.windowTitle(), "Klangregler");
    EXPECT_EQ(eq.Presets()->itemText(0), "Linear");
    EXPECT_EQ(eq.Presets()->itemText(7), "Tiefen");
    emit eq.Presets()->activated(7);
    EXPECT_TRUE(audioeffects::Get().bEqualizer);
    EXPECT_EQ(audioeffects::Get().bandsDb, core::BuiltInEqualizerPresets()[7].bandsDb);
    EXPECT_EQ(eq.Band(0)->value(), int(core::BuiltInEqualizerPresets()[7].bandsDb[0] * 10));
    eq.Band(9)->setValue(-35);
    EXPECT_EQ(audioeffects::Get().bandsDb[9], -3.5);
    eq.SavePreset("Mine");
    eq.SavePreset("Mine"); // the same name replaces
    const auto presets = shell::LoadUserPresets();
    ASSERT_EQ(presets.size(), 1u);
    EXPECT_EQ(presets[0].bandsDb, audioeffects::Get().bandsDb);
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
    EXPECT_TRUE(restarted.GetShuffle());
    EXPECT_TRUE(restarted.GetRepeatOne());
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
