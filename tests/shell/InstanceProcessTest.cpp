// The program started as a real process: the single instance, its own options, the playlist
// type registered at start-up, and termination signals. Each test has its own settings and
// runtime folders, so it meets only the instances it starts itself.
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
        shell::RemoveInstanceObjects(shell::MakeInstanceNames(res::LoadString(147), m_home.Path()));
    }

    std::vector<std::string> Env() const {
        return shelltest::PlayerEnvironment(m_home.Path(), "offscreen");
    }
    std::string Log(const std::string& name) const { return m_home.Path() + "/" + name + ".log"; }

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

    testsupport::ScratchFolder m_home;
};

} // namespace

// One running instance serves every later start: each hands its whole line over (a short one
// and one of 3,000 characters) and ends with zero without a window; --help and --version print
// and reach nobody. The instance registered the playlist type for this very program, and a
// clean end leaves no objects behind and stores the language.
TEST_F(InstanceProcessTest, LaterStartsHandTheirLinesOverAndOptionsPrintWithoutAHandOver) {
    testsupport::CChildProcess first;
    StartFirst(first, "first");
    const std::vector<std::string> args{"/music/my album/a.mp3", "-a", "/music/b.mp3"};
    EXPECT_EQ(RunSecond(args, "second"), std::optional<int>(0));
    EXPECT_TRUE(WaitForText(Log("first"), Forwarded(args))) << ReadFile(Log("first"));
    const std::string secondLog = ReadFile(Log("second"));
    EXPECT_EQ(secondLog.find(kShown), std::string::npos) << secondLog;
    EXPECT_NE(secondLog.find("handing the command line"), std::string::npos) << secondLog;

    std::vector<std::string> files;
    for (int i = 0; i < 20; ++i)
        files.push_back("/music/disc " + std::to_string(i) + "/" + std::string(140, char('a' + i)) +
                        ".flac");
    ASSERT_GT(Forwarded(files).size(), 3000u);
    EXPECT_EQ(RunSecond(files, "long"), std::optional<int>(0));
    EXPECT_TRUE(WaitForText(Log("first"), Forwarded(files)));
    for (const auto& e : platform::ListFolder(m_home.Path()))
        EXPECT_EQ(e.name.find("cmdline"), std::string::npos) << e.name;

    EXPECT_EQ(RunSecond({"--version"}, "version"), std::optional<int>(0));
    EXPECT_EQ(ReadFile(Log("version")), "Corvella " + res::LoadString(114) + "\n");
    EXPECT_EQ(RunSecond({"/h", "--help"}, "help"), std::optional<int>(0));
    const std::string help = ReadFile(Log("help"));
    for (const char* option : {"-a", "-x", "-n", "-m", "-r", "-f", "-s N", "-l N", "\"/\"",
                               "--verbose", "--help", "--version"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
    EXPECT_EQ(help.find(kShown), std::string::npos);

    // A build tree is on no search path: the entry starts this very program.
    EXPECT_TRUE(WaitForText(m_home.Path() + "/data/applications/corvella.desktop",
                            "Exec=\"" + kProgram + "\" %F"));
    EXPECT_TRUE(WaitForText(m_home.Path() + "/corvella/classes.reg", "corvella \\\"%1\\\""));
    EXPECT_TRUE(platform::FileExists(m_home.Path() + "/data/mime/packages/corvella-playlist.xml"));

    first.Signal(SIGTERM);
    EXPECT_EQ(first.WaitExit(20s), std::optional<int>(0));
    std::size_t received = 0;
    const std::string log = ReadFile(Log("first"));
    for (std::size_t at = log.find(kReceived); at != std::string::npos;
         at = log.find(kReceived, at + 1))
        ++received;
    EXPECT_EQ(received, 2u) << "the option starts reached nobody";
    EXPECT_FALSE(platform::FileExists(
        "/dev/shm" + shell::MakeInstanceNames(res::LoadString(147), m_home.Path()).strMapping));
    EXPECT_NE(ReadFile(m_home.Path() + "/corvella/user.reg").find("\"UILanguage\"=\"English\""),
              std::string::npos);
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
    // SIGINT ends it in order as SIGTERM does.
    next.Signal(SIGINT);
    EXPECT_EQ(next.WaitExit(20s), std::optional<int>(0));
}

TEST_F(InstanceProcessTest, ASignalDuringStartUpIsNotLostAndOptionsAloneMakeNoObjects) {
    testsupport::CChildProcess player;
    ASSERT_TRUE(player.Start(kProgram, {}, Env()));
    std::this_thread::sleep_for(1ms);
    player.Signal(SIGTERM);
    // Either the handler was in place (exit 0) or the default action ended it; it never hangs.
    const auto code = player.WaitExit(5s);
    ASSERT_TRUE(code.has_value());
    EXPECT_TRUE(*code == 0 || *code == 128 + SIGTERM) << *code;
    // Ended by the signal itself, it had no chance to remove its shared objects.
    shell::RemoveInstanceObjects(shell::MakeInstanceNames(res::LoadString(147), m_home.Path()));

    testsupport::ScratchFolder runtime;
    for (const char* option : {"--version", "--help"}) {
        testsupport::CChildProcess program;
        ASSERT_TRUE(program.Start(
            kProgram, {option}, {"QT_QPA_PLATFORM=offscreen", "XDG_RUNTIME_DIR=" + runtime.Path()},
            m_home.Path() + "/out.log"));
        EXPECT_EQ(program.WaitExit(20s), std::optional<int>(0));
    }
    EXPECT_TRUE(platform::ListFolder(runtime.Path()).empty());
}
