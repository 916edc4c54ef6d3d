// Tip of the Day: reading the tips file, the remembered position and time stamp, the start-up
// choice, and the texts shown when the file is missing or cannot be read.
#include "shell/TipDlg.h"
#include "tests/shell/ShellTestSupport.h"

#include "platform/MessageBox.h"
#include "platform/Profile.h"
#include "platform/Registry.h"
#include "shell/ProfileSettings.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

// Comments, a blank line, indented lines, a CR LF line end, and none at the end of the file.
const std::string kFiveTips = "; Tips for the test\n\nFirst tip\n an indented line is no tip\n"
                              "\tnor is a tabbed one\nSecond tip\r\nThird tip\n; another comment\n"
                              "Fourth tip\nFifth tip";
using Tips = std::vector<std::string>;

class TipsTest : public ::testing::Test {
protected:
    void SetUp() override {
        CRegistry::Instance().Reset(m_temp.Path() + "/config");
        shell::SetProfileKey();
        SetMessageBoxHook([this](const MessageBoxRequest& r) {
            m_boxes.push_back(r.text);
            return IDOK;
        });
    }
    void TearDown() override {
        SetMessageBoxHook({});
        platform::SetRegistryKey("");
        CRegistry::Instance().Reset();
    }

    std::string TipsPath() const { return m_temp.Path() + "/Tips.txt"; }
    // Writes the file with a modification time of its own, seconds apart from any other.
    void WriteTips(const std::string& content, int stamp = 0) {
        shelltest::WriteFile(TipsPath(), content);
        fs::last_write_time(TipsPath(), fs::file_time_type::clock::now() - std::chrono::hours(24) +
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

    testsupport::ScratchFolder m_temp;
    std::vector<std::string> m_boxes;
};

} // namespace

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
