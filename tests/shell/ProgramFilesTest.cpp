// The start-up check of the program folder's data files.
#include "shell/ProgramFiles.h"
#include "platform/FileSystem.h"
#include "tests/platform/TestHelpers.h"

#include <gtest/gtest.h>

TEST(ProgramFiles, TheBuildTreeHoldsThemAndAnEmptyFolderLacksEachOne) {
    EXPECT_EQ(shell::MissingProgramFiles(platform::GetProgramFolder()), std::vector<std::string>{});
    TempFolder folder;
    const std::string f = folder.Path() + "/";
    EXPECT_EQ(shell::MissingProgramFiles(f),
              (std::vector<std::string>{f + "language/English.ini", f + "Tips.txt",
                                        f + "Test Skin/MainWindow.txt", f + "manual/index.html"}));
}
