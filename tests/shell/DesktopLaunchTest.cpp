// The desktop entry's launch: an installed copy is started by its command, any other by its
// absolute path, written so the desktop's launcher and validator read it back as one argument.
#include "shell/DesktopLaunch.h"
#include "shell/FileAssociation.h"
#include "tests/shell/ShellTestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>

// '"' '`' '$' take one backslash inside the quotes; a backslash takes one, then the entry's
// string escaping doubles every backslash. A line break would end the Exec line and start a
// line of the path's choosing.
TEST(DesktopLaunch, ExecArgumentsQuoteWhatTheLauncherWouldSplitOrExpand) {
    const std::pair<std::string, std::string> cases[] = {
        {"/home/a b/corvella", "\"/home/a b/corvella\""},
        {"/x/\"q\"/$HOME/`c`/corvella", "\"/x/\\\\\"q\\\\\"/\\\\$HOME/\\\\`c\\\\`/corvella\""},
        {"/x\\y/corvella", "\"/x\\\\\\\\y/corvella\""},
        {"/100%/corvella", "\"/100%%/corvella\""},
        {"/x\n[Desktop Action]/corvella", ""},
        {"", ""}};
    for (const auto& [path, exec] : cases)
        EXPECT_EQ(shell::ExecArgument(path), exec) << path;
}

// The command on the search path counts as installed only when it is this program. Entries
// for both kinds of copy are valid, and the installed one is the package's.
TEST(DesktopLaunch, TheInstalledCopyIsStartedByItsCommandAnyOtherByAValidPath) {
    testsupport::ScratchFolder folder;
    const std::string program = folder.MakeFile("build/corvella", "");
    folder.MakeFile("other", "");
    std::filesystem::create_directories(folder / "bin");
    std::filesystem::create_symlink(program, folder / "bin/corvella");
    const shell::DesktopLaunch installed =
        shell::LaunchFor(program, folder / "bin/corvella", "/icons/corvella.png");
    EXPECT_EQ(installed.strExec + installed.strIcon, "corvellacorvella");
    for (const std::string& found : {folder / "other", std::string()}) {
        const shell::DesktopLaunch copy = shell::LaunchFor(program, found, "/icons/corvella.png");
        EXPECT_EQ(copy.strExec, "\"" + program + "\"") << found;
        EXPECT_EQ(copy.strIcon, "/icons/corvella.png") << found;
    }
    EXPECT_EQ(shell::LaunchFor(program, "", "").strIcon, "");
    // A path no entry can hold falls back on the command rather than breaking the entry.
    EXPECT_EQ(shell::LaunchFor("/x\n/corvella", "", "").strExec, "corvella");

    // desktop-file-validate (desktop-file-utils) has nothing to say about either kind of entry.
    for (const shell::DesktopLaunch& launch :
         {shell::InstalledLaunch(),
          shell::LaunchFor("/home/a b/100% \"new\"/$dir\\x/corvella", "", "/a b/icon.png")}) {
        const std::string text = shell::DesktopEntry(launch);
        shelltest::WriteFile(folder / "corvella.desktop", text);
        const std::string command = "desktop-file-validate '" + folder / "corvella.desktop" +
                                    "' > '" + folder / "said.txt" + "' 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << shelltest::ReadFile(folder / "said.txt");
        EXPECT_EQ(shelltest::ReadFile(folder / "said.txt"), "") << text;
    }
}
