// The start-up check of the program folder's data files.
#include "shell/ProgramFiles.h"
#include "platform/FileSystem.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>
#include <regex>

TEST(ProgramFiles, TheBuildTreeHoldsThemAndAnEmptyFolderLacksEachOne) {
    EXPECT_EQ(shell::MissingProgramFiles(platform::GetProgramFolder()), std::vector<std::string>{});
    testsupport::ScratchFolder folder;
    const std::string f = folder.Path() + "/";
    EXPECT_EQ(shell::MissingProgramFiles(f),
              (std::vector<std::string>{f + "language/English.ini", f + "Tips.txt",
                                        f + "Test Skin/MainWindow.txt", f + "manual/index.html"}));
}

TEST(ProgramFiles, EveryPictureAndSectionTheManualLinksToIsThere) {
    const std::string folder = platform::GetProgramFolder() + "manual/";
    const std::string manual = platform::ReadWholeFile(folder + "index.html").value_or("");
    ASSERT_FALSE(manual.empty());
    const std::regex link(R"((src|href)="([^"]*)\")");
    int pictures = 0;
    for (auto it = std::sregex_iterator(manual.begin(), manual.end(), link);
         it != std::sregex_iterator(); ++it) {
        const std::string target = (*it)[2];
        if (target.starts_with("#")) {
            EXPECT_NE(manual.find("id=\"" + target.substr(1) + "\""), std::string::npos) << target;
        } else if ((*it)[1] == "src") {
            ++pictures;
            EXPECT_TRUE(platform::FileExists(folder + target)) << target;
        }
    }
    EXPECT_GT(pictures, 0);
}
