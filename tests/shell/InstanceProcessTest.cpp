// The single instance and the program's own options with real processes: each test has its
// own settings and runtime folders, so it meets only the instances it starts itself.
#include "shell/CommandLineText.h"
#include "shell/InstanceObjects.h"
#include "tests/shell/ShellTestSupport.h"
#include "tests/support/ProcessRunner.h"

#include "platform/FileSystem.h"
#include "res/StringTable.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace std::chrono_literals;
using shelltest::kProgram;
using shelltest::ReadFile;
using shelltest::WaitForText;

namespace {

const std::string kShown = "main window shown";
const std::string kReceived = "command line from another start: ";

class InstanceProcessTest : public ::testing::Test {
protected:
    void TearDown() override {
        shell::RemoveInstanceObjects(
            shell::MakeInstanceNames(res::LoadString(147), m_runtime.Path()));
    }

    std::vector<std::string> Env() const {
        return {"QT_QPA_PLATFORM=offscreen", "XDG_RUNTIME_DIR=" + m_runtime.Path(),
                "XDG_CONFIG_HOME=" + m_config.Path(), "XDG_DATA_HOME=" + m_config.Path() + "/data",
                "CORVELLA_NO_STARTUP_DIALOGS=1"};
    }
    std::string Log(const std::string& name) const { return m_logs.Path() + "/" + name + ".log"; }

    // Starts a first instance and waits until its window is up.
    void StartFirst(testsupport::CChildProcess& player, const std::string& log) {
        ASSERT_TRUE(player.Start(kProgram, {"--verbose"}, Env(), Log(log)));
        ASSERT_TRUE(WaitForText(Log(log), kShown)) << ReadFile(Log(log));
    }

    // Runs a later start to its end; its exit code.
    std::optional<int> RunSecond(const std::vector<std::string>& args, const std::string& log) {
        testsupport::CChildProcess second;
        std::vector<std::string> all{"--verbose"};
        all.insert(all.end(), args.begin(), args.end());
        if (!second.Start(kProgram, all, Env(), Log(log)))
            return std::nullopt;
        return second.WaitExit(20s);
    }

    static std::string Forwarded(const std::vector<std::string>& args) {
        std::vector<std::string> all{"--verbose"};
        all.insert(all.end(), args.begin(), args.end());
        return kReceived + shell::JoinCommandLine(std::filesystem::canonical(kProgram), all) + "\n";
    }

    TempFolder m_runtime, m_config, m_logs;
};

} // namespace

TEST_F(InstanceProcessTest, ASecondStartHandsItsCommandLineOverEndsWithZeroAndShowsNoWindow) {
    testsupport::CChildProcess first;
    StartFirst(first, "first");
    const std::vector<std::string> args{"/music/my album/a.mp3", "-a", "/music/b.mp3"};
    EXPECT_EQ(RunSecond(args, "second"), std::optional<int>(0));
    EXPECT_TRUE(WaitForText(Log("first"), Forwarded(args))) << ReadFile(Log("first"));

    const std::string secondLog = ReadFile(Log("second"));
    EXPECT_EQ(secondLog.find(kShown), std::string::npos) << secondLog;
    EXPECT_NE(secondLog.find("handing the command line"), std::string::npos) << secondLog;

    first.Signal(SIGTERM);
    EXPECT_EQ(first.WaitExit(20s), std::optional<int>(0));
    // A clean end leaves no objects behind and stores the language.
    EXPECT_FALSE(platform::FileExists(
        "/dev/shm" + shell::MakeInstanceNames(res::LoadString(147), m_runtime.Path()).strMapping));
    EXPECT_NE(ReadFile(m_config.Path() + "/corvella/user.reg").find("\"UILanguage\"=\"English\""),
              std::string::npos);
}

TEST_F(InstanceProcessTest, ACommandLineOfThreeThousandCharactersArrivesWhole) {
    testsupport::CChildProcess first;
    StartFirst(first, "first");
    std::vector<std::string> files;
    for (int i = 0; i < 20; ++i)
        files.push_back("/music/disc " + std::to_string(i) + "/" + std::string(140, char('a' + i)) +
                        ".flac");
    ASSERT_GT(Forwarded(files).size(), 3000u);
    EXPECT_EQ(RunSecond(files, "second"), std::optional<int>(0));
    EXPECT_TRUE(WaitForText(Log("first"), Forwarded(files)));
    first.Signal(SIGTERM);
    EXPECT_EQ(first.WaitExit(20s), std::optional<int>(0));
    for (const auto& e : platform::ListFolder(m_runtime.Path()))
        EXPECT_EQ(e.name.find("cmdline"), std::string::npos) << e.name;
}

TEST_F(InstanceProcessTest, AFirstInstanceKilledOutrightDoesNotStopTheNextStart) {
    {
        testsupport::CChildProcess killed;
        StartFirst(killed, "killed");
        killed.Signal(SIGKILL);
        EXPECT_EQ(killed.WaitExit(20s), std::optional<int>(128 + SIGKILL));
    }
    testsupport::CChildProcess next;
    StartFirst(next, "next"); // it becomes the running instance and shows its window
    EXPECT_EQ(RunSecond({"/music/c.mp3"}, "later"), std::optional<int>(0));
    EXPECT_TRUE(WaitForText(Log("next"), Forwarded({"/music/c.mp3"})));
    next.Signal(SIGTERM);
    EXPECT_EQ(next.WaitExit(20s), std::optional<int>(0));
}

TEST_F(InstanceProcessTest, HelpAndVersionPrintAndEndWithoutWindowOrHandOver) {
    testsupport::CChildProcess first;
    StartFirst(first, "first");
    EXPECT_EQ(RunSecond({"--version"}, "version"), std::optional<int>(0));
    EXPECT_EQ(ReadFile(Log("version")), "Corvella " + res::LoadString(114) + "\n");
    EXPECT_EQ(RunSecond({"/h", "--help"}, "help"), std::optional<int>(0));
    const std::string help = ReadFile(Log("help"));
    for (const char* option : {"-a", "-x", "-n", "-m", "-r", "-f", "-s N", "-l N", "\"/\"",
                               "--verbose", "--help", "--version"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
    EXPECT_EQ(help.find(kShown), std::string::npos);

    // The running instance heard of neither start.
    first.Signal(SIGTERM);
    EXPECT_EQ(first.WaitExit(20s), std::optional<int>(0));
    EXPECT_EQ(ReadFile(Log("first")).find(kReceived), std::string::npos);
}

TEST(ProgramOptions, VersionAndHelpWithoutAnInstanceCreateNoRuntimeObjects) {
    TempFolder runtime, logs;
    for (const char* option : {"--version", "--help"}) {
        testsupport::CChildProcess program;
        ASSERT_TRUE(program.Start(
            kProgram, {option}, {"QT_QPA_PLATFORM=offscreen", "XDG_RUNTIME_DIR=" + runtime.Path()},
            logs.Path() + "/out.log"));
        EXPECT_EQ(program.WaitExit(20s), std::optional<int>(0));
    }
    EXPECT_TRUE(platform::ListFolder(runtime.Path()).empty());
}
