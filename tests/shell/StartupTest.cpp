#include "tests/support/ProcessRunner.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

const std::string kProgram = std::string(CORVELLA_BINARY_DIR) + "/corvella";

// The program runs offscreen with a private settings folder, so tests never touch the user's.
std::vector<std::string> TestEnvironment() {
    return {"QT_QPA_PLATFORM=offscreen", "XDG_CONFIG_HOME=" + ::testing::TempDir() + "corvella-e2e"};
}

} // namespace

TEST(Startup, TerminationSignalsEndTheProgramInOrderWithExitCodeZero) {
    for (int sig : {SIGTERM, SIGINT}) {
        testsupport::CChildProcess player;
        ASSERT_TRUE(player.Start(kProgram, {}, TestEnvironment()));
        std::this_thread::sleep_for(700ms); // let it reach the event loop
        player.Signal(sig);
        EXPECT_EQ(player.WaitExit(2s), std::optional<int>(0)) << "signal " << sig;
    }
}

TEST(Startup, ASignalDuringStartUpIsNotLost) {
    testsupport::CChildProcess player;
    ASSERT_TRUE(player.Start(kProgram, {}, TestEnvironment()));
    std::this_thread::sleep_for(1ms);
    player.Signal(SIGTERM);
    // Either the handler was in place (exit 0) or the default action ended it; it never hangs.
    auto code = player.WaitExit(5s);
    ASSERT_TRUE(code.has_value());
    EXPECT_TRUE(*code == 0 || *code == 128 + SIGTERM) << *code;
}
