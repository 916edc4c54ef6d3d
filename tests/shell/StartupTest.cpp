#include "res/StringTable.h"
#include "shell/InstanceObjects.h"
#include "tests/platform/TestHelpers.h"
#include "tests/shell/ShellTestSupport.h"
#include "tests/support/ProcessRunner.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

const std::string kProgram = std::string(CORVELLA_BINARY_DIR) + "/corvella";

// The program runs offscreen with private settings and runtime folders, so tests never touch
// the user's settings nor meet a running player or each other's instance.
std::vector<std::string> TestEnvironment(const TempFolder& folder) {
    return {"QT_QPA_PLATFORM=offscreen", "XDG_CONFIG_HOME=" + folder.Path(),
            "XDG_RUNTIME_DIR=" + folder.Path(), "XDG_DATA_HOME=" + folder.Path() + "/data",
            "CORVELLA_NO_STARTUP_DIALOGS=1"};
}

} // namespace

TEST(Startup, TerminationSignalsEndTheProgramInOrderWithExitCodeZero) {
    for (int sig : {SIGTERM, SIGINT}) {
        TempFolder folder;
        testsupport::CChildProcess player;
        ASSERT_TRUE(player.Start(kProgram, {}, TestEnvironment(folder)));
        std::this_thread::sleep_for(700ms); // let it reach the event loop
        player.Signal(sig);
        EXPECT_EQ(player.WaitExit(2s), std::optional<int>(0)) << "signal " << sig;
    }
}

TEST(Startup, ASignalDuringStartUpIsNotLost) {
    TempFolder folder;
    testsupport::CChildProcess player;
    ASSERT_TRUE(player.Start(kProgram, {}, TestEnvironment(folder)));
    std::this_thread::sleep_for(1ms);
    player.Signal(SIGTERM);
    // Either the handler was in place (exit 0) or the default action ended it; it never hangs.
    auto code = player.WaitExit(5s);
    // Ended by the signal itself, it had no chance to remove its shared objects.
    shell::RemoveInstanceObjects(shell::MakeInstanceNames(res::LoadString(147), folder.Path()));
    ASSERT_TRUE(code.has_value());
    EXPECT_TRUE(*code == 0 || *code == 128 + SIGTERM) << *code;
}

TEST(Startup, RegistersThePlaylistTypeForTheRunningProgram) {
    TempFolder folder;
    testsupport::CChildProcess player;
    ASSERT_TRUE(player.Start(kProgram, {"--verbose"}, TestEnvironment(folder)));
    const std::string entry = folder.Path() + "/data/applications/corvella.desktop";
    const std::string classes = folder.Path() + "/corvella/classes.reg";
    // A build tree is on no search path: the entry starts this very program.
    const bool written = shelltest::WaitForText(entry, "Exec=\"" + kProgram + "\" %F") &&
                         shelltest::WaitForText(classes, "corvella \\\"%1\\\"");
    player.Signal(SIGTERM);
    player.WaitExit(5s);
    EXPECT_TRUE(written) << shelltest::ReadFile(classes);
    EXPECT_TRUE(
        std::filesystem::exists(folder.Path() + "/data/mime/packages/corvella-playlist.xml"));
}
