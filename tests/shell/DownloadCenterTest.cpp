// The "Download Center" dialog of the engine check: its controls and texts, the box stored as
// "Check Engines", and the start-up rule.
#include "platform/Profile.h"
#include "platform/Registry.h"
#include "playback/EngineManager.h"
#include "res/StringTable.h"
#include "shell/DownloadCenterDlg.h"
#include "shell/Language.h"
#include "shell/LanguageFile.h"
#include "shell/ProfileSettings.h"
#include "tests/shell/ShellTestSupport.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

namespace {

std::string TextOf(QWidget* pWidget) {
    if (auto* p = qobject_cast<QAbstractButton*>(pWidget))
        return p->text().toStdString();
    if (auto* p = qobject_cast<QPlainTextEdit*>(pWidget))
        return p->toPlainText().toStdString();
    return {};
}

class DownloadCenterTest : public ::testing::Test {
protected:
    void SetUp() override {
        CRegistry::Instance().Reset(m_folder.Path());
        platform::SetRegistryKey("Brenholt\\Corvella");
        platform::SetProfileAppName("corvella");
    }
    void TearDown() override {
        platform::SetRegistryKey("");
        platform::SetProfileAppName("");
        CRegistry::Instance().Reset();
    }
    static int StoredFlag() {
        return platform::GetProfileInt(shell::kSectionDownloadCenter, shell::kEntryCheckEngines,
                                       -1);
    }
    // Runs the check and answers the dialog it showed (null when none).
    static bool Check(const EngineAvailability& engines,
                      const std::function<void(CDownloadCenterDlg&)>& inspect) {
        return shell::CheckEngines(engines, nullptr, [&](CDownloadCenterDlg& dlg) {
            dlg.show(); // initialises and translates, as the modal run would
            inspect(dlg);
            static_cast<QAbstractButton*>(dlg.GetDlgItem(CDownloadCenterDlg::IDC_CLOSE))->click();
        });
    }

    testsupport::ScratchFolder m_folder;
};

} // namespace

TEST_F(DownloadCenterTest, WithTheMediaEngineTheDialogOffersTheCentreAndTheSiblingProduct) {
    std::vector<std::string> opened;
    CDownloadCenterDlg dlg(nullptr, [&](const std::string& url) {
        opened.push_back(url);
        return true;
    });
    dlg.SetEngines(true, false, false);
    dlg.show();
    EXPECT_EQ(TextOf(dlg.GetDlgItem(1052)), res::LoadString(127));
    EXPECT_NE(dlg.GetExplanation().find("gstreamer1.0-libav"), std::string::npos);
    EXPECT_TRUE(dlg.GetDlgItem(1049)->isEnabled());
    EXPECT_TRUE(dlg.GetDlgItem(1050)->isEnabled());
    EXPECT_FALSE(dlg.GetDlgItem(1051)->isEnabled()) << "the media engine is there";
    for (int id : {1049, 1050, 1051})
        static_cast<QAbstractButton*>(dlg.GetDlgItem(id))->click();
    EXPECT_EQ(opened, (std::vector<std::string>{CDownloadCenterDlg::kDownloadCenterPage,
                                                CDownloadCenterDlg::kLumivoxPage}))
        << "a disabled button opens nothing";
    EXPECT_TRUE(dlg.GetDlgItem(1051)->isHidden()) << "nothing to download for a working engine";
    dlg.reject();

    // With the decoder check's lists the text names this machine's formats and packages.
    CDownloadCenterDlg checked;
    checked.SetEngines(false, false, false);
    checked.SetFormats({"WAV", "AVI"}, {"ASF", "Windows Media Audio"},
                       {"gstreamer1.0-plugins-ugly", "gstreamer1.0-libav"});
    checked.show();
    const std::string text = checked.GetExplanation();
    EXPECT_NE(text.find("plays these formats now: WAV, AVI."), std::string::npos) << text;
    EXPECT_NE(text.find("not installed: ASF, Windows Media Audio."), std::string::npos) << text;
    EXPECT_NE(text.find("sudo apt install gstreamer1.0-plugins-ugly gstreamer1.0-libav"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("WMV"), std::string::npos) << text;
    EXPECT_FALSE(checked.GetDlgItem(1051)->isHidden());
    checked.reject();
}

TEST_F(DownloadCenterTest, TheBoxIsStoredAsCheckEnginesWhenTheDialogCloses) {
    EXPECT_EQ(StoredFlag(), -1);
    // Without the media engine it asks for the packages.
    Check({false, false, false, false}, [](CDownloadCenterDlg& dlg) {
        EXPECT_EQ(dlg.GetExplanation(), res::LoadString(128));
        for (const char* package : {"gstreamer1.0-plugins-good", "gstreamer1.0-plugins-bad",
                                    "gstreamer1.0-plugins-ugly", "gstreamer1.0-libav"})
            EXPECT_NE(dlg.GetExplanation().find(package), std::string::npos) << package;
        EXPECT_TRUE(dlg.GetDlgItem(1051)->isEnabled());
        EXPECT_FALSE(dlg.GetDoNotShow());
        static_cast<QCheckBox*>(dlg.GetDlgItem(1053))->setChecked(true);
        EXPECT_EQ(StoredFlag(), -1) << "written when the dialog closes";
    });
    EXPECT_EQ(StoredFlag(), 1);
    Check({false, true, false, false}, [](CDownloadCenterDlg& dlg) {
        EXPECT_TRUE(static_cast<QCheckBox*>(dlg.GetDlgItem(1053))->isChecked());
        static_cast<QCheckBox*>(dlg.GetDlgItem(1053))->setChecked(false);
    });
    EXPECT_EQ(StoredFlag(), 0);
}

TEST_F(DownloadCenterTest, StartUpRule) {
    int shown = 0;
    const auto count = [&](CDownloadCenterDlg& dlg) {
        ++shown;
        dlg.show();
        dlg.reject();
    };
    EXPECT_FALSE(shell::CheckEngines({true, true, true, true}, nullptr, count));
    EXPECT_EQ(shown, 0) << "nothing is missing";

    // With the edition switch the QuickTime and RealMedia engines never exist, so the dialog
    // comes at every start until the box is ticked.
    CWnd parent;
    ASSERT_TRUE(parent.CreateTopLevel({0, 0, 200, 100}, "play"));
    CEngineManager manager;
    manager.ApplyEditionSwitch();
    ASSERT_TRUE(manager.Create({0, 0, 100, 50}, &parent, 1));
    const auto missing = MissingMediaDecoders();
    const EngineAvailability engines = GetEngineAvailability(manager, missing);
    EXPECT_FALSE(engines.allInstalled);
    EXPECT_FALSE(engines.quickTime);
    EXPECT_FALSE(engines.realMedia);
    EXPECT_EQ(engines.windowsMedia, missing.empty());
    std::string explanation;
    EXPECT_TRUE(shell::CheckEnginesAtStartUp(manager, nullptr, [&](CDownloadCenterDlg& dlg) {
        dlg.show();
        explanation = dlg.GetExplanation();
        dlg.reject();
    }));
    // The start-up check names what this machine plays.
    EXPECT_NE(explanation.find("plays these formats now: "), std::string::npos) << explanation;
    EXPECT_NE(explanation.find("WAV"), std::string::npos) << explanation;
    EXPECT_EQ(explanation.find("sudo apt install") != std::string::npos, !missing.empty())
        << explanation;
    EXPECT_TRUE(shell::CheckEnginesAtStartUp(manager, nullptr, count));
    EXPECT_EQ(shown, 1);
    ASSERT_TRUE(platform::WriteProfileInt("Download Center", "Check Engines", 1));
    EXPECT_FALSE(shell::CheckEnginesAtStartUp(manager, nullptr, count));
    EXPECT_EQ(shown, 1) << "skipped once the box was ticked";
    manager.DestroyEngines();
}
