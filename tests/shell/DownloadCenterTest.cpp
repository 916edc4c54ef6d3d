// The "Download Center" dialog of the engine check: its controls and texts, the box stored as
// "Check Engines", and the start-up rule.
#include "platform/Profile.h"
#include "platform/Registry.h"
#include "playback/EngineManager.h"
#include "res/StringTable.h"
#include "shell/DownloadCenterDlg.h"
#include "shell/ProfileSettings.h"
#include "tests/support/ScratchFolder.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

namespace {

QAbstractButton* Button(const CDownloadCenterDlg& dlg, int id) {
    return static_cast<QAbstractButton*>(dlg.GetDlgItem(id));
}

} // namespace

TEST(DownloadCenter, WithTheMediaEngineTheDialogOffersTheCentreAndTheSiblingProduct) {
    std::vector<std::string> opened;
    CDownloadCenterDlg dlg(nullptr, [&](const std::string& url) {
        opened.push_back(url);
        return true;
    });
    dlg.SetEngines(true, false, false);
    dlg.show();
    EXPECT_EQ(static_cast<QPlainTextEdit*>(dlg.GetDlgItem(1052))->toPlainText().toStdString(),
              res::LoadString(127));
    EXPECT_NE(dlg.GetExplanation().find("gstreamer1.0-libav"), std::string::npos);
    EXPECT_TRUE(Button(dlg, 1049)->isEnabled());
    EXPECT_TRUE(Button(dlg, 1050)->isEnabled());
    EXPECT_FALSE(Button(dlg, 1051)->isEnabled()) << "the media engine is there";
    for (int id : {1049, 1050, 1051})
        Button(dlg, id)->click();
    EXPECT_EQ(opened, (std::vector<std::string>{CDownloadCenterDlg::kDownloadCenterPage,
                                                CDownloadCenterDlg::kLumivoxPage}))
        << "a disabled button opens nothing";
    EXPECT_TRUE(Button(dlg, 1051)->isHidden()) << "nothing to download for a working engine";
    dlg.reject();

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
    EXPECT_FALSE(Button(checked, 1051)->isHidden());
    checked.reject();
}

// The dialog comes when an engine is missing, which with the edition switch is at every start,
// until its box is ticked; the box is stored as "Check Engines" when the dialog closes.
TEST(DownloadCenter, TheBoxIsStoredWhenTheDialogClosesAndKeepsItAwayFromLaterStarts) {
    testsupport::ScratchFolder folder;
    CRegistry::Instance().Reset(folder.Path());
    platform::SetRegistryKey("Brenholt\\Corvella");
    platform::SetProfileAppName("corvella");
    struct Restore {
        ~Restore() {
            platform::SetRegistryKey("");
            platform::SetProfileAppName("");
            CRegistry::Instance().Reset();
        }
    } restore;
    auto stored = [] {
        return platform::GetProfileInt(shell::kSectionDownloadCenter, shell::kEntryCheckEngines,
                                       -1);
    };
    int shown = 0;
    std::string explanation;
    bool downloadEnabled = false;
    auto answer = [&](std::optional<bool> tick) {
        return [&, tick](CDownloadCenterDlg& dlg) {
            ++shown;
            dlg.show(); // initialises and translates, as the modal run would
            explanation = dlg.GetExplanation();
            downloadEnabled = Button(dlg, 1051)->isEnabled();
            auto* box = static_cast<QCheckBox*>(dlg.GetDlgItem(1053));
            const int before = stored();
            EXPECT_EQ(box->isChecked(), before == 1);
            if (tick)
                box->setChecked(*tick);
            EXPECT_EQ(stored(), before) << "written when the dialog closes";
            Button(dlg, CDownloadCenterDlg::IDC_CLOSE)->click();
        };
    };
    EXPECT_FALSE(shell::CheckEngines({true, true, true, true}, nullptr, answer({})));
    EXPECT_EQ(shown, 0) << "nothing is missing";
    // Without the media engine it asks for the packages.
    EXPECT_TRUE(shell::CheckEngines({false, false, false, false}, nullptr, answer(true)));
    EXPECT_EQ(explanation, res::LoadString(128));
    EXPECT_TRUE(downloadEnabled);
    for (const char* package : {"gstreamer1.0-plugins-good", "gstreamer1.0-plugins-bad",
                                "gstreamer1.0-plugins-ugly", "gstreamer1.0-libav"})
        EXPECT_NE(explanation.find(package), std::string::npos) << package;
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
    EXPECT_FALSE(engines.allInstalled);
    EXPECT_FALSE(engines.quickTime);
    EXPECT_FALSE(engines.realMedia);
    EXPECT_EQ(engines.windowsMedia, missing.empty());
    shown = 0;
    EXPECT_TRUE(shell::CheckEnginesAtStartUp(manager, nullptr, answer({})));
    EXPECT_TRUE(shell::CheckEnginesAtStartUp(manager, nullptr, answer({})));
    EXPECT_EQ(shown, 2);
    // The start-up check names what this machine plays.
    EXPECT_NE(explanation.find("plays these formats now: "), std::string::npos) << explanation;
    EXPECT_NE(explanation.find("WAV"), std::string::npos) << explanation;
    EXPECT_EQ(explanation.find("sudo apt install") != std::string::npos, !missing.empty())
        << explanation;
    ASSERT_TRUE(platform::WriteProfileInt("Download Center", "Check Engines", 1));
    EXPECT_FALSE(shell::CheckEnginesAtStartUp(manager, nullptr, answer({})));
    EXPECT_EQ(shown, 2) << "skipped once the box was ticked";
    manager.DestroyEngines();
}
