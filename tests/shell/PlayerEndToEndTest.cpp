// The whole program as real processes, each test with its own settings and runtime folders;
// the clips are WAV files made here, played through a fake sink that keeps real time.
#include "core/AttribClip.h"
#include "core/PlaylistFile.h"
#include "core/RegObjectStore.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "res/StringTable.h"
#include "shell/CommandLineText.h"
#include "shell/InstanceObjects.h"
#include "tests/shell/ShellTestSupport.h"
#include "tests/support/ProcessRunner.h"
#include "tests/support/WavWriter.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <random>
#include <sys/stat.h>

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using shelltest::kProgram;
using shelltest::ReadFile;
using shelltest::WaitForText;
using testsupport::CChildProcess;

namespace {

const std::string kShown = "main window shown";
const std::string kReceived = "command line from another start: ";

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = 0; (at = text.find(part, at)) != std::string::npos; ++at)
        ++n;
    return n;
}

std::int32_t Int32At(const std::string& blob, std::size_t offset) {
    std::int32_t v = 0;
    std::memcpy(&v, blob.data() + offset, 4);
    return v;
}

unsigned Mode(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 0777 : 0;
}

std::vector<std::string> Verbose(std::vector<std::string> args) {
    args.insert(args.begin(), "--verbose");
    return args;
}

// What the running instance logs for a later start with these arguments.
std::string Forwarded(const std::vector<std::string>& args) {
    return kReceived + shell::JoinCommandLine(fs::canonical(kProgram), Verbose(args)) + "\n";
}

class PlayerEndToEndTest : public ::testing::Test {
protected:
    void TearDown() override {
        shell::RemoveInstanceObjects(shell::MakeInstanceNames(res::LoadString(147), m_home.Path()));
        CRegistry::Instance().Reset();
    }

    std::vector<std::string> Env(const std::vector<std::string>& extra = {}) const {
        std::vector<std::string> env = shelltest::PlayerEnvironment(m_home.Path(), "offscreen");
        if (!m_programFolder.empty())
            env.push_back("CORVELLA_PROGRAM_FOLDER=" + m_programFolder);
        env.insert(env.end(), extra.begin(), extra.end());
        return env;
    }
    std::string Log(const std::string& name) const { return m_home / (name + ".log"); }
    std::string Media(const std::string& name, int seconds) const {
        testsupport::WriteWav(m_home / name, seconds);
        return m_home / name;
    }
    // Starts the player and waits until its windows are up.
    void Start(CChildProcess& player, const std::vector<std::string>& args, const std::string& log,
               const std::vector<std::string>& env = {}) {
        ASSERT_TRUE(player.Start(kProgram, Verbose(args), Env(env), Log(log)));
        ASSERT_TRUE(WaitForText(Log(log), kShown, 30s)) << ReadFile(Log(log));
    }
    // Ends the player the way a desktop session does and expects an orderly end; its log.
    std::string Close(CChildProcess& player, const std::string& log, int sig = SIGTERM) {
        player.Signal(sig);
        EXPECT_EQ(player.WaitExit(60s), std::optional<int>(0)) << ReadFile(Log(log));
        return ReadFile(Log(log));
    }
    std::string RunOnce(const std::vector<std::string>& args, const std::string& log,
                        const std::vector<std::string>& env = {}) {
        CChildProcess player;
        Start(player, args, log, env);
        return Close(player, log);
    }
    // Runs a later start to its end; its exit code.
    std::optional<int> RunSecond(const std::vector<std::string>& args, const std::string& log) {
        CChildProcess second;
        if (!second.Start(kProgram, Verbose(args), Env(), Log(log)))
            return std::nullopt;
        return second.WaitExit(20s);
    }

    std::string SavedMainWnd() {
        CRegistry::Instance().Reset(m_home / "corvella");
        const std::string saved = CRegistry::Instance()
                                      .QueryBinary(HKEY_LOCAL_MACHINE, kWindowStatePath, "MainWnd")
                                      .value_or("");
        CRegistry::Instance().Reset();
        return saved;
    }
    // The kept playlist file a saved state names (saves use two names in turn), or "".
    std::string KeptFileNamed(const std::string& saved) const {
        const std::size_t at = saved.find(m_home / "data/corvella/playlist");
        const std::size_t end = saved.find(".mpl", at);
        return at == std::string::npos || end == std::string::npos ? ""
                                                                   : saved.substr(at, end + 4 - at);
    }
    // A native playlist name.mpl of count clips, the first a real file; the clips' paths.
    std::vector<std::string> MakeList(const std::string& name, std::size_t count) {
        CObjListClip list;
        std::vector<std::string> paths;
        for (std::size_t i = 0; i < count; ++i) {
            paths.push_back(i == 0 ? Media(name + ".wav", 30)
                                   : m_home / (name + std::to_string(i) + ".wav"));
            list.Add(std::make_unique<CAttribClip>());
            list.GetAt(i)->SetPath(paths.back());
        }
        EXPECT_TRUE(core::SavePlaylist(list, m_home / (name + ".mpl"), nullptr));
        return paths;
    }
    // The clips of the file the saved state names (or of file), which must read whole.
    std::vector<std::string> KeptClips(std::string file = {}) {
        if (file.empty())
            file = KeptFileNamed(SavedMainWnd());
        CObjListClip read;
        EXPECT_TRUE(core::LoadPlaylist(read, file, nullptr)) << file;
        std::vector<std::string> paths;
        for (std::size_t i = 0; i < read.GetCount(); ++i)
            paths.push_back(read.GetAt(i)->GetPath());
        return paths;
    }
    // Copies the settings and data folders from one home to another, to start each try alike.
    static void CopyState(const std::string& from, const std::string& to) {
        for (const char* part : {"/corvella", "/data/corvella"}) {
            fs::remove_all(to + part);
            fs::create_directories(fs::path(to + part).parent_path());
            fs::copy(from + part, to + part, fs::copy_options::recursive);
        }
    }

    testsupport::ScratchFolder m_home;
    std::string m_programFolder;
};

} // namespace

// A restart without files brings back the window where the user had moved it and the playlist,
// with the built-in skin when the skin's main window file is damaged.
TEST_F(PlayerEndToEndTest, CommandLineFilesPlayClosingStopsFirstAndARestartBringsAllBack) {
    const std::string first = Media("first.wav", 30);
    const std::string second = Media("second.wav", 30);
    CChildProcess player;
    Start(player, {first, second}, "play");
    ASSERT_TRUE(WaitForText(Log("play"), "play state: playing (" + first + ")", 30s));
    const std::string log = Close(player, "play");
    const std::size_t playing = log.find("play state: playing (" + first + ")");
    EXPECT_NE(log.find("play state: stopped (" + first + ")", playing), std::string::npos) << log;
    EXPECT_EQ(log.find("clip opened: " + second), std::string::npos) << log;
    EXPECT_NE(log.find("media framework starts beside the windows"), std::string::npos) << log;
    // Without a session bus, or one that cannot be reached (below), the player still runs.
    EXPECT_NE(log.find("media controls: off"), std::string::npos) << log;

    std::string saved = SavedMainWnd();
    ASSERT_GE(saved.size(), 28u);
    const std::int32_t width = Int32At(saved, 8) - Int32At(saved, 0); // the user moved it
    const std::int32_t rect[4] = {40, 30, 40 + width, 30 + Int32At(saved, 12) - Int32At(saved, 4)};
    saved.replace(0, sizeof rect, reinterpret_cast<const char*>(rect), sizeof rect);
    CRegistry::Instance().Reset(m_home / "corvella");
    ASSERT_TRUE(
        CRegistry::Instance().SetBinary(HKEY_LOCAL_MACHINE, kWindowStatePath, "MainWnd", saved));
    CRegistry::Instance().Reset();
    m_programFolder = m_home / "program/";
    fs::create_directories(m_programFolder);
    for (const char* part : {"Test Skin", "language"})
        fs::copy(std::string(CORVELLA_BINARY_DIR) + "/" + part, m_programFolder + part,
                 fs::copy_options::recursive);
    const std::string skinFile = m_programFolder + "Test Skin/MainWindow.txt";
    const std::string skin = ReadFile(skinFile);
    shelltest::WriteFile(skinFile, skin.substr(0, skin.size() / 2)); // cut in mid-line

    const std::string again =
        RunOnce({}, "again", {"DBUS_SESSION_BUS_ADDRESS=unix:path=" + m_home / "no-bus"});
    EXPECT_NE(again.find("media controls: off"), std::string::npos) << again;
    EXPECT_NE(again.find("skin: built-in"), std::string::npos) << again;
    saved = SavedMainWnd();
    ASSERT_GE(saved.size(), 28u);
    EXPECT_EQ(std::vector({Int32At(saved, 0), Int32At(saved, 4), Int32At(saved, 8)}),
              std::vector({40, 30, 40 + width}));
    EXPECT_NE(saved.find(first), std::string::npos);
    EXPECT_NE(saved.find(second), std::string::npos);
}

// A signal before the event loop, while a message box waits in its own loop, or while an open
// never completes (a FIFO nobody writes to) ends the player promptly and in order, with the
// command line's playlist saved; a box closed by a signal lets the start-up finish its work
// without showing another.
TEST_F(PlayerEndToEndTest, ASignalAtAnyStageEndsThePlayerPromptlyWithThePlaylistSaved) {
    const std::string bad = m_home / "bad.pls";
    shelltest::WriteFile(bad, "not a playlist\n");
    const std::string fifo = m_home / "silent.mp3";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string list = m_home / "list.m3u";
    shelltest::WriteFile(list, "#EXTM3U\n#EXTINF:5,Silent\nsilent.mp3\n");
    const struct {
        int sig;
        std::vector<std::string> more; // after the clip
        std::string waitFor;           // empty: the signal is held back until the program runs
    } cases[] = {{SIGTERM, {}, ""},
                 {SIGHUP, {bad, bad}, "message box: "},
                 {SIGTERM, {}, "opening: " + fifo}};
    int run = 0;
    for (const auto& c : cases) {
        const std::string log = "run" + std::to_string(++run);
        SCOPED_TRACE(log);
        const std::string clip = Media(log + ".wav", 30);
        std::vector<std::string> args = Verbose(c.more);
        args.insert(args.begin() + 1, clip);
        if (c.waitFor.starts_with("opening"))
            args.insert(args.begin() + 1, list); // its FIFO is the first clip
        CChildProcess player;
        if (c.waitFor.empty())
            player.BlockInChild(c.sig);
        ASSERT_TRUE(player.Start(kProgram, args, Env(), Log(log)));
        if (!c.waitFor.empty()) {
            ASSERT_TRUE(WaitForText(Log(log), c.waitFor, 30s)) << ReadFile(Log(log));
            std::this_thread::sleep_for(300ms); // well inside the box's loop or the open
        }
        const auto signalled = std::chrono::steady_clock::now();
        player.Signal(c.sig);
        EXPECT_EQ(player.WaitExit(60s), std::optional<int>(0)) << ReadFile(Log(log));
        EXPECT_TRUE(c.waitFor.empty() || std::chrono::steady_clock::now() - signalled < 5s);
        const std::string text = ReadFile(Log(log));
        EXPECT_LE(Count(text, "message box: "), 1u) << text;
        EXPECT_NE(SavedMainWnd().find(clip), std::string::npos) << text;
    }
}

// Killed at random moments while it starts, plays or saves, the player always leaves settings
// and a playlist the next start reads whole: the previous session's or the new one, never a
// damaged, short or empty one. The seed is fixed, so a failure can be run again.
TEST_F(PlayerEndToEndTest, AKillAtAnyMomentLeavesTheOldOrTheNewPlaylistWhole) {
    const std::vector<std::string> lists[] = {MakeList("old", 10000), MakeList("new", 10000)};
    auto expectWhole = [&](int kill) {
        const std::vector<std::string> paths = KeptClips();
        EXPECT_TRUE(paths == lists[0] || paths == lists[1]) << "kill " << kill;
    };
    RunOnce({m_home / "old.mpl"}, "first");
    expectWhole(0);
    std::mt19937 random(17);
    for (int kill = 1; kill <= 50; ++kill) {
        const std::string log = "kill" + std::to_string(kill);
        CChildProcess player;
        const std::string list = m_home / (kill % 2 ? "new.mpl" : "old.mpl");
        ASSERT_TRUE(player.Start(kProgram, {"--verbose", list}, Env(), Log(log)));
        if (random() % 2) { // while starting or playing
            std::this_thread::sleep_for(std::chrono::milliseconds(random() % 1500));
        } else { // while saving on the way out
            ASSERT_TRUE(WaitForText(Log(log), kShown, 30s)) << ReadFile(Log(log));
            player.Signal(SIGTERM);
            std::this_thread::sleep_for(std::chrono::milliseconds(random() % 300));
        }
        player.Signal(SIGKILL);
        player.WaitExit(10s);
        expectWhole(kill);
    }
    // No damaged hive was set aside on the way.
    for (const auto& entry : fs::directory_iterator(m_home / "corvella"))
        EXPECT_EQ(entry.path().string().find(".damaged-"), std::string::npos) << entry.path();
}

// Five starts at once in mode x (the line taken last wins), then twenty and fifty that append.
// Each line goes through a hand-over file, the playlist is kept apart in the data folder, and
// with no umask to help, everything the player makes there stays private.
TEST_F(PlayerEndToEndTest, SimultaneousStartsEachHandTheirFileOverExactlyOnce) {
    struct NoUmask {
        mode_t old = ::umask(0);
        ~NoUmask() { ::umask(old); }
    } noUmask;
    std::string deep;
    for (char c : {'p', 'q', 'r', 's'})
        deep += std::string(220, c) + "/";
    fs::create_directories(m_home / deep);
    fs::create_directories(m_home / "data/corvella"); // as an older version left it
    ::chmod((m_home / "data/corvella").c_str(), 0755);
    CChildProcess player;
    Start(player, {}, "first");
    auto startAtOnce = [&](const std::string& name, int count, const std::string& mode) {
        std::vector<std::string> files;
        std::vector<CChildProcess> starts(static_cast<std::size_t>(count));
        for (std::size_t i = 0; i < starts.size(); ++i) {
            files.push_back(Media(deep + name + std::to_string(i) + ".wav", 1));
            EXPECT_TRUE(
                starts[i].Start(kProgram, {mode, files[i]}, Env(), Log(name + std::to_string(i))));
        }
        for (std::size_t i = 0; i < starts.size(); ++i)
            EXPECT_EQ(starts[i].WaitExit(60s), std::optional<int>(0))
                << ReadFile(Log(name + std::to_string(i)));
        return files;
    };
    const std::vector<std::string> replacing = startAtOnce("x", 5, "-x");
    std::vector<std::string> appended = startAtOnce("t", 20, "-a");
    const std::vector<std::string> more = startAtOnce("u", 50, "-a");
    appended.insert(appended.end(), more.begin(), more.end());
    ASSERT_TRUE(WaitForText(Log("first"), "-a " + appended.back(), 30s));
    const std::string log = Close(player, "first");

    EXPECT_EQ(Count(log, kReceived), 75u);
    const std::string playlist = m_home / "data/corvella/playlist.mpl";
    const std::string saved = SavedMainWnd() + ReadFile(playlist);
    for (const std::string& file : appended) {
        EXPECT_EQ(Count(log, "\" -a " + file + "\n"), 1u) << file;
        EXPECT_NE(saved.find(file), std::string::npos) << file;
    }
    std::vector<std::pair<std::size_t, std::string>> order; // mode x: when each line came
    for (const std::string& file : replacing)
        order.emplace_back(log.find("\" -x " + file + "\n"), file);
    std::sort(order.begin(), order.end());
    for (const auto& [at, file] : order)
        EXPECT_EQ(saved.find(file) != std::string::npos, file == order.back().second) << file;
    EXPECT_EQ(Mode(playlist), 0600u);
    EXPECT_EQ(Mode(m_home / "data/corvella"), 0700u);
    for (const char* folder : {"corvella", "data/corvella"})
        for (const auto& entry : fs::recursive_directory_iterator(m_home / folder))
            EXPECT_EQ(Mode(entry.path()), entry.is_directory() ? 0700u : 0600u) << entry.path();
}

// A damaged stored file is told once the windows are up and kept beside as it was, and nothing
// else is lost. A save whose every write in turn fails (a full disk, an I/O error) leaves the
// old state and playlist or writes both, and tells which file could not be written and why.
TEST_F(PlayerEndToEndTest, ADamagedStoredFileOrAFailingWriteLosesNothingAndIsTold) {
    const std::vector<std::string> clips = MakeList("kept", 3000);
    RunOnce({m_home / "kept.mpl"}, "first");
    const std::string snapshot = m_home / "snapshot";
    CopyState(m_home.Path(), snapshot);
    const std::string keptFile = KeptFileNamed(SavedMainWnd());
    ASSERT_FALSE(keptFile.empty());
    std::mt19937 random(26);
    enum Damage { Cut, Zeroed, Random };
    const std::pair<std::string, Damage> cases[] = {
        {"system.reg", Cut},    {"user.reg", Zeroed}, {"classes.reg", Random},
        {"system.reg", Random}, {keptFile, Cut},      {keptFile, Zeroed},
    };
    int run = 0;
    for (const auto& [name, damage] : cases) {
        SCOPED_TRACE(name + " " + std::to_string(damage));
        CopyState(snapshot, m_home.Path());
        const std::string path = name.starts_with("/") ? name : m_home / ("corvella/" + name);
        std::string bytes = ReadFile(path);
        ASSERT_GT(bytes.size(), 20u);
        if (damage == Cut)
            bytes.resize(10 + random() % (bytes.size() - 20));
        for (char& c : bytes)
            c = damage == Zeroed ? '\0' : damage == Random ? char(random()) : c;
        shelltest::WriteFile(path, bytes);
        const std::string log = RunOnce({}, "damaged" + std::to_string(++run));
        EXPECT_NE(log.find("notice: "), std::string::npos) << log;
        EXPECT_NE(log.find(path), std::string::npos) << log;
        std::vector<std::string> aside;
        for (const auto& entry : fs::directory_iterator(fs::path(path).parent_path()))
            if (entry.path().string().starts_with(path + ".damaged-"))
                aside.push_back(entry.path().string());
        ASSERT_EQ(aside.size(), 1u);
        EXPECT_EQ(ReadFile(aside[0]), bytes) << "the damaged copy is kept as it was";
        const std::string saved = SavedMainWnd();
        const std::string named = KeptFileNamed(saved);
        if (name == keptFile) { // the clips before the damage were kept, in order
            std::vector<std::string> read;
            if (!named.empty())
                read = KeptClips(named);
            for (const std::string& clip : clips) // else in the state, each after its length
                if (named.empty() && saved.find(char(clip.size()) + clip) != std::string::npos)
                    read.push_back(clip);
            EXPECT_LT(read.size(), clips.size());
            EXPECT_TRUE(std::equal(read.begin(), read.end(), clips.begin())) << read.size();
        } else { // a damaged state may have lost the name; the file it named is still there
            EXPECT_EQ(KeptClips(name == "system.reg" && named.empty() ? keptFile : named), clips);
        }
    }
#ifndef __SANITIZE_ADDRESS__ // a library preloaded before the sanitizer's runtime fails
    const std::string added = Media("added.wav", 30);
    std::vector<std::string> grown = clips;
    grown.push_back(added);
    int injected = 0;
    for (int n = 1; n < 50; ++n) {
        SCOPED_TRACE(n);
        CopyState(snapshot, m_home.Path());
        const int error = n % 2 ? ENOSPC : EIO;
        const std::string log =
            RunOnce({"-a", added}, "fault" + std::to_string(n),
                    {"LD_PRELOAD=" + std::string(CORVELLA_BINARY_DIR) + "/libwrite_faults.so",
                     "CORVELLA_FAULT_PREFIXES=" + m_home / "corvella/:" + m_home / "data/corvella/",
                     "CORVELLA_FAULT_AT=" + std::to_string(n),
                     "CORVELLA_FAULT_ERRNO=" + std::to_string(error)});
        const std::vector<std::string> paths = KeptClips();
        EXPECT_TRUE(paths == clips || paths == grown) << paths.size() << " clips";
        if (log.find("write fault injected") == std::string::npos) {
            EXPECT_EQ(paths, grown) << log;
            break;
        }
        ++injected;
        EXPECT_NE(log.find("could not save "), std::string::npos) << log;
        EXPECT_NE(log.find(std::strerror(error)), std::string::npos) << log;
    }
    EXPECT_GE(injected, 6) << "the playlist file and the hive, each made, written, synced, renamed";
#endif
}

// One running instance serves every later start, even after an instance killed outright left
// its objects; options print and reach nobody. A clean end (SIGINT as SIGTERM) leaves no
// objects behind and stores the language.
TEST_F(PlayerEndToEndTest, LaterStartsHandTheirLinesOverAndOptionsPrintWithoutAHandOver) {
    { // A signal a moment after the start is never lost: the handler was in place (exit 0) or
        // the default action ended the player, which then could not remove its objects.
        CChildProcess early;
        ASSERT_TRUE(early.Start(kProgram, {}, Env()));
        std::this_thread::sleep_for(1ms);
        early.Signal(SIGTERM);
        const auto code = early.WaitExit(5s);
        EXPECT_TRUE(code == 0 || code == 128 + SIGTERM) << code.value_or(-1);
        shell::RemoveInstanceObjects(shell::MakeInstanceNames(res::LoadString(147), m_home.Path()));
    }
    testsupport::ScratchFolder runtime;
    CChildProcess version;
    ASSERT_TRUE(version.Start(kProgram, {"--version"}, Env({"XDG_RUNTIME_DIR=" + runtime.Path()}),
                              Log("version")));
    EXPECT_EQ(version.WaitExit(20s), std::optional<int>(0));
    EXPECT_EQ(ReadFile(Log("version")), "Corvella " + res::LoadString(114) + "\n");
    EXPECT_TRUE(platform::ListFolder(runtime.Path()).empty());
    {
        CChildProcess killed;
        Start(killed, {}, "killed");
        killed.Signal(SIGKILL);
        EXPECT_EQ(killed.WaitExit(20s), std::optional<int>(128 + SIGKILL));
    }
    CChildProcess first;
    Start(first, {}, "first");
    EXPECT_EQ(ReadFile(Log("first")).find("media framework starts"), std::string::npos);
    const std::vector<std::string> args{"/music/my album/a.mp3", "-a", "/music/b.mp3"};
    EXPECT_EQ(RunSecond(args, "second"), std::optional<int>(0));
    EXPECT_TRUE(WaitForText(Log("first"), Forwarded(args))) << ReadFile(Log("first"));
    const std::string secondLog = ReadFile(Log("second"));
    EXPECT_EQ(secondLog.find(kShown), std::string::npos) << secondLog;
    EXPECT_NE(secondLog.find("handing the command line"), std::string::npos) << secondLog;
    const std::vector<std::string> files{"/music/my disc/" + std::string(3000, 'a') + ".flac",
                                         "-n"};
    EXPECT_EQ(RunSecond(files, "long"), std::optional<int>(0));
    EXPECT_TRUE(WaitForText(Log("first"), Forwarded(files)));
    for (const auto& e : platform::ListFolder(m_home.Path()))
        EXPECT_EQ(e.name.find("cmdline"), std::string::npos) << e.name;

    EXPECT_EQ(RunSecond({"/h", "--help"}, "help"), std::optional<int>(0));
    const std::string help = ReadFile(Log("help"));
    for (const char* option : {"-a", "-x", "-n", "-m", "-r", "-f", "-s N", "-l N", "\"/\"",
                               "--verbose", "--help", "--version"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
    EXPECT_EQ(help.find(kShown), std::string::npos);
    // A build tree is on no search path: the entry starts this very program.
    EXPECT_TRUE(
        WaitForText(m_home / "data/applications/corvella.desktop", "Exec=\"" + kProgram + "\" %F"));
    EXPECT_TRUE(WaitForText(m_home / "corvella/classes.reg", "corvella \\\"%1\\\""));
    EXPECT_TRUE(platform::FileExists(m_home / "data/mime/packages/corvella-playlist.xml"));

    EXPECT_EQ(Count(Close(first, "first", SIGINT), kReceived), 2u) << "--help reached nobody";
    EXPECT_FALSE(platform::FileExists(
        "/dev/shm" + shell::MakeInstanceNames(res::LoadString(147), m_home.Path()).strMapping));
    EXPECT_NE(ReadFile(m_home / "corvella/user.reg").find("\"UILanguage\"=\"English\""),
              std::string::npos);
}
