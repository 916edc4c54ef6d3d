// The desktop entry's launch: an installed copy is started by its command, any other by its
// absolute path, written so the desktop's launcher and validator read it back as one argument.
#include "shell/DesktopLaunch.h"
#include "shell/FileAssociation.h"
#include "tests/shell/ShellTestSupport.h"
#include "tests/support/ProcessRunner.h"
#include "tests/support/ScratchFolder.h"

#include <QStandardPaths>
#include <filesystem>
#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

// desktop-file-validate's verdict on an entry: its exit code, with what it said.
std::pair<std::optional<int>, std::string> Validate(const testsupport::ScratchFolder& folder,
                                                    const std::string& entry) {
    const std::string validator =
        QStandardPaths::findExecutable("desktop-file-validate").toStdString();
    const std::string file = folder.Path() + "/corvella.desktop";
    shelltest::WriteFile(file, entry);
    testsupport::CChildProcess tool;
    if (validator.empty() || !tool.Start(validator, {file}, {}, folder.Path() + "/out.txt"))
        return {std::nullopt, "desktop-file-validate (desktop-file-utils) cannot be started"};
    const auto code = tool.WaitExit(20s);
    return {code, shelltest::ReadFile(folder.Path() + "/out.txt")};
}

} // namespace

TEST(DesktopLaunch, ExecArgumentsQuoteWhatTheLauncherWouldSplitOrExpand) {
    EXPECT_EQ(shell::ExecArgument("/opt/corvella/bin/corvella"), "\"/opt/corvella/bin/corvella\"");
    EXPECT_EQ(shell::ExecArgument("/home/a b/corvella"), "\"/home/a b/corvella\"");
    // '"' '`' '$' take one backslash inside the quotes; a backslash takes one, then the
    // entry's string escaping doubles every backslash.
    EXPECT_EQ(shell::ExecArgument("/x/\"q\"/$HOME/`c`/corvella"),
              "\"/x/\\\\\"q\\\\\"/\\\\$HOME/\\\\`c\\\\`/corvella\"");
    EXPECT_EQ(shell::ExecArgument("/x\\y/corvella"), "\"/x\\\\\\\\y/corvella\"");
    EXPECT_EQ(shell::ExecArgument("/100%/corvella"), "\"/100%%/corvella\"");
    // A line break would end the Exec line and start a line of the path's choosing.
    EXPECT_EQ(shell::ExecArgument("/x\n[Desktop Action]/corvella"), "");
    EXPECT_EQ(shell::ExecArgument(""), "");
}

TEST(DesktopLaunch, TheCommandOnTheSearchPathCountsAsInstalledOnlyWhenItIsThisProgram) {
    testsupport::ScratchFolder folder;
    const std::string program = folder.Path() + "/build/corvella";
    std::filesystem::create_directories(folder.Path() + "/build");
    std::filesystem::create_directories(folder.Path() + "/bin");
    shelltest::WriteFile(program, "");
    shelltest::WriteFile(folder.Path() + "/other", "");
    std::filesystem::create_symlink(program, folder.Path() + "/bin/corvella");

    const shell::DesktopLaunch installed =
        shell::LaunchFor(program, folder.Path() + "/bin/corvella", "/icons/corvella.png");
    EXPECT_EQ(installed.strExec, "corvella");
    EXPECT_EQ(installed.strIcon, "corvella");

    for (const std::string& found : {folder.Path() + "/other", std::string()}) {
        const shell::DesktopLaunch copy = shell::LaunchFor(program, found, "/icons/corvella.png");
        EXPECT_EQ(copy.strExec, "\"" + program + "\"") << found;
        EXPECT_EQ(copy.strIcon, "/icons/corvella.png") << found;
    }
    EXPECT_EQ(shell::LaunchFor(program, "", "").strIcon, "");
    // A path no entry can hold falls back on the command rather than breaking the entry.
    EXPECT_EQ(shell::LaunchFor("/x\n/corvella", "", "").strExec, "corvella");
}

TEST(DesktopLaunch, EntriesForBothKindsOfCopyAreValidAndTheInstalledOneIsThePackages) {
    testsupport::ScratchFolder folder;
    const std::string installed = shell::DesktopEntry(shell::InstalledLaunch());
    EXPECT_EQ(installed,
              shelltest::ReadFile(std::string(CORVELLA_SOURCE_DIR) + "/res/corvella.desktop"));
    const shell::DesktopLaunch copy =
        shell::LaunchFor("/home/a b/100% \"new\"/$dir\\x/corvella", "", "/a b/icon.png");
    for (const std::string& entry : {installed, shell::DesktopEntry(copy)}) {
        const auto [code, said] = Validate(folder, entry);
        EXPECT_EQ(code, std::optional<int>(0)) << said << entry;
        EXPECT_EQ(said, "") << entry;
    }
}
