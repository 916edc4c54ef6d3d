// The whole program with real processes: files given on the command line, closing while a
// clip plays, a restart that brings back the windows and the playlist, a damaged skin, the
// single instance and the program's own options, and termination signals.
// Each test has its own settings, runtime and program folders; the clips are WAV files made
// here, played through a fake sink that keeps real time.
#include "core/AttribClip.h"
#include "core/PlaylistFile.h"
#include "core/RegObjectStore.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "res/StringTable.h"
#include "shell/CommandLineText.h"
#include "shell/InstanceObjects.h"
#include "shell/PlayerApp.h"
#include "tests/shell/ShellTestSupport.h"
#include "tests/support/ProcessRunner.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/WavWriter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sys/stat.h>
#include <thread>

using namespace std::chrono_literals;
using shelltest::kProgram;
using shelltest::ReadFile;
using shelltest::WaitForText;
using testsupport::WriteWav;

namespace {

const std::string kShown = "main window shown";
const std::string kReceived = "command line from another start: ";

// How often part occurs in text.
std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

std::int32_t Int32At(const std::string& blob, std::size_t offset) {
    std::int32_t v = 0;
    std::memcpy(&v, blob.data() + offset, 4);
    return v;
}

class PlayerEndToEndTest : public ::testing::Test {
protected:
    void TearDown() override {
        shell::RemoveInstanceObjects(shell::MakeInstanceNames(res::LoadString(147), m_home.Path()));
        CRegistry::Instance().Reset();
    }

    std::vector<std::string> Env() const {
        std::vector<std::string> env = shelltest::PlayerEnvironment(m_home.Path(), "offscreen");
        if (!m_programFolder.empty())
            env.push_back("CORVELLA_PROGRAM_FOLDER=" + m_programFolder);
        return env;
    }
    std::string Log(const std::string& name) const { return m_home.Path() + "/" + name + ".log"; }
    std::string Media(const std::string& name, int seconds) const {
        const std::string path = m_home.Path() + "/" + name;
        WriteWav(path, seconds);
        return path;
    }
    // Starts the player and waits until its windows are up.
    void Start(testsupport::CChildProcess& player, const std::vector<std::string>& files,
               const std::string& log) {
        std::vector<std::string> args{"--verbose"};
        args.insert(args.end(), files.begin(), files.end());
        ASSERT_TRUE(player.Start(kProgram, args, Env(), Log(log)));
        ASSERT_TRUE(WaitForText(Log(log), kShown, 30s)) << ReadFile(Log(log));
    }
    // Ends the player the way a desktop session does, and expects an orderly end.
    void Close(testsupport::CChildProcess& player, const std::string& log) {
        player.Signal(SIGTERM);
        EXPECT_EQ(player.WaitExit(60s), std::optional<int>(0)) << ReadFile(Log(log));
    }
    std::string SavedMainWnd() {
        CRegistry::Instance().Reset(m_home.Path() + "/corvella");
        return CRegistry::Instance()
            .QueryBinary(HKEY_LOCAL_MACHINE, kWindowStatePath, "MainWnd")
            .value_or("");
    }

    // A native playlist name.mpl of count clips, the first a real file; the clips' paths.
    std::vector<std::string> MakeList(const std::string& name, std::size_t count) {
        CObjListClip list;
        std::vector<std::string> paths;
        for (std::size_t i = 0; i < count; ++i) {
            paths.push_back(i == 0 ? Media(name + ".wav", 30)
                                   : m_home.Path() + "/" + name + std::to_string(i) + ".wav");
            auto clip = std::make_unique<CAttribClip>();
            clip->SetPath(paths.back());
            list.Add(std::move(clip));
        }
        EXPECT_TRUE(core::SavePlaylist(list, m_home.Path() + "/" + name + ".mpl",
                                       [](const std::string&, const std::string&) {}));
        return paths;
    }
    // The clips of the kept file the saved state names, which must be there and read whole.
    std::vector<std::string> KeptClips() {
        const std::string kept = KeptFileNamed(SavedMainWnd());
        CRegistry::Instance().Reset();
        CObjListClip read;
        EXPECT_FALSE(kept.empty());
        EXPECT_TRUE(core::LoadPlaylist(read, kept, [](const std::string&, const std::string&) {}))
            << kept;
        std::vector<std::string> paths;
        for (std::size_t i = 0; i < read.GetCount(); ++i)
            paths.push_back(read.GetAt(i)->GetPath());
        return paths;
    }
    // Those of clips the saved state holds, in the state itself or in the file it names.
    std::vector<std::string> SavedClips(const std::vector<std::string>& clips) {
        const std::string saved = SavedMainWnd();
        CRegistry::Instance().Reset();
        if (!KeptFileNamed(saved).empty())
            return KeptClips();
        std::vector<std::string> found;
        for (const std::string& clip : clips) // each path is written after its length byte
            if (saved.find(char(clip.size()) + clip) != std::string::npos)
                found.push_back(clip);
        return found;
    }
    // The settings and data folders, as a session left them, to start each try from.
    void Snapshot(const std::string& to) const {
        namespace fs = std::filesystem;
        for (const char* part : {"/corvella", "/data/corvella"}) {
            fs::remove_all(to + part);
            fs::create_directories(fs::path(to + part).parent_path());
            fs::copy(m_home.Path() + part, to + part, fs::copy_options::recursive);
        }
    }
    void Restore(const std::string& from) const {
        namespace fs = std::filesystem;
        for (const char* part : {"/corvella", "/data/corvella"}) {
            fs::remove_all(m_home.Path() + part);
            fs::copy(from + part, m_home.Path() + part, fs::copy_options::recursive);
        }
    }
    // Starts the player without windows' waiting, lets it come up, and ends it with SIGTERM.
    std::string RunOnce(const std::vector<std::string>& args, const std::string& log,
                        const std::vector<std::string>& extraEnv = {}) {
        std::vector<std::string> env = Env();
        env.insert(env.end(), extraEnv.begin(), extraEnv.end());
        std::vector<std::string> all{"--verbose"};
        all.insert(all.end(), args.begin(), args.end());
        testsupport::CChildProcess player;
        EXPECT_TRUE(player.Start(kProgram, all, env, Log(log)));
        EXPECT_TRUE(WaitForText(Log(log), kShown, 30s)) << ReadFile(Log(log));
        player.Signal(SIGTERM);
        EXPECT_EQ(player.WaitExit(60s), std::optional<int>(0)) << ReadFile(Log(log));
        return ReadFile(Log(log));
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
    // What the running instance logs for a later start with these arguments.
    static std::string Forwarded(const std::vector<std::string>& args) {
        std::vector<std::string> all{"--verbose"};
        all.insert(all.end(), args.begin(), args.end());
        return kReceived + shell::JoinCommandLine(std::filesystem::canonical(kProgram), all) + "\n";
    }

    // The kept playlist file a saved state names (saves use two names in turn), or "".
    std::string KeptFileNamed(const std::string& saved) const {
        const std::string folder = m_home.Path() + "/data/corvella/playlist";
        const std::size_t at = saved.find(folder);
        const std::size_t end = saved.find(".mpl", at);
        return at == std::string::npos || end == std::string::npos ? ""
                                                                   : saved.substr(at, end + 4 - at);
    }

    testsupport::ScratchFolder m_home;
    std::string m_programFolder;
};

} // namespace

// Files given on the command line are played, closing while a clip plays stops it first, and a
// restart without files brings back the window where the user had moved it and the playlist.
TEST_F(PlayerEndToEndTest, CommandLineFilesPlayClosingStopsFirstAndARestartBringsAllBack) {
    const std::string first = Media("first.wav", 30);
    const std::string second = Media("second.wav", 30);
    {
        testsupport::CChildProcess player;
        Start(player, {first, second}, "play");
        ASSERT_TRUE(WaitForText(Log("play"), "play state: playing (" + first + ")", 30s))
            << ReadFile(Log("play"));
        Close(player, "play");
    }
    const std::string log = ReadFile(Log("play"));
    // The clip was stopped before the program ended, and the second never started.
    const std::size_t playing = log.find("play state: playing (" + first + ")");
    EXPECT_NE(log.find("play state: stopped (" + first + ")", playing), std::string::npos) << log;
    EXPECT_EQ(log.find("clip opened: " + second), std::string::npos) << log;

    std::string saved = SavedMainWnd();
    ASSERT_GE(saved.size(), 28u);
    // The user had moved the window.
    const std::int32_t width = Int32At(saved, 8) - Int32At(saved, 0);
    const std::int32_t height = Int32At(saved, 12) - Int32At(saved, 4);
    const std::int32_t rect[4] = {40, 30, 40 + width, 30 + height};
    saved.replace(0, sizeof rect, reinterpret_cast<const char*>(rect), sizeof rect);
    ASSERT_TRUE(
        CRegistry::Instance().SetBinary(HKEY_LOCAL_MACHINE, kWindowStatePath, "MainWnd", saved));
    CRegistry::Instance().Reset();
    // Neither without a session bus (the first run) nor with one that cannot be reached do the
    // media controls keep the player from running.
    EXPECT_NE(log.find("media controls: off"), std::string::npos) << log;
    const std::string secondLog =
        RunOnce({}, "second", {"DBUS_SESSION_BUS_ADDRESS=unix:path=" + m_home.Path() + "/no-bus"});
    EXPECT_NE(secondLog.find("media controls: off"), std::string::npos) << secondLog;
    const std::string again = SavedMainWnd();
    ASSERT_GE(again.size(), 28u);
    EXPECT_EQ(Int32At(again, 0), 40);
    EXPECT_EQ(Int32At(again, 4), 30);
    EXPECT_EQ(Int32At(again, 8) - Int32At(again, 0), width);
    EXPECT_NE(again.find(first), std::string::npos);
    EXPECT_NE(again.find(second), std::string::npos);
}

// A FIFO that nobody writes to, listed in a playlist: its open never completes, and SIGTERM
// still ends the player promptly. The skin's main window file is damaged: the built-in skin
// takes its place.
TEST_F(PlayerEndToEndTest, SigtermEndsThePlayerPromptlyWhileAnOpenHangsAndABadSkinFallsBack) {
    namespace fs = std::filesystem;
    m_programFolder = m_home.Path() + "/program/";
    fs::create_directories(m_programFolder);
    for (const char* part : {"Test Skin", "language"})
        fs::copy(std::string(CORVELLA_BINARY_DIR) + "/" + part, m_programFolder + part,
                 fs::copy_options::recursive);
    const std::string description = m_programFolder + "Test Skin/MainWindow.txt";
    std::string text = ReadFile(description);
    ASSERT_FALSE(text.empty());
    text.resize(text.size() / 2); // cut off in the middle of its lines
    shelltest::WriteFile(description, text);

    const std::string fifo = m_home.Path() + "/silent.mp3";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string list = m_home.Path() + "/list.m3u";
    std::ofstream(list) << "#EXTM3U\n#EXTINF:5,Silent\nsilent.mp3\n";
    testsupport::CChildProcess player;
    Start(player, {list}, "fifo");
    EXPECT_TRUE(WaitForText(Log("fifo"), "skin: built-in", 30s)) << ReadFile(Log("fifo"));
    ASSERT_TRUE(WaitForText(Log("fifo"), "opening: " + fifo, 30s)) << ReadFile(Log("fifo"));
    std::this_thread::sleep_for(300ms);
    const auto signalled = std::chrono::steady_clock::now();
    player.Signal(SIGTERM);
    const std::optional<int> code = player.WaitExit(30s);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - signalled);
    EXPECT_EQ(code, std::optional<int>(0)) << ReadFile(Log("fifo"));
    EXPECT_LT(took, 5s) << "exit took " << took.count() << " ms";
}

// A signal before the event loop, or while a message box waits in its own loop, ends the player
// in order with the command line's playlist saved; a box closed by a signal lets the start-up
// finish its work without showing another.
TEST_F(PlayerEndToEndTest, ASignalBeforeTheEventLoopOrWithAMessageBoxOpenSavesThePlaylist) {
    const std::string bad = m_home.Path() + "/bad.pls";
    std::ofstream(bad) << "not a playlist\n";
    for (int sig : {SIGTERM, SIGHUP}) {
        for (bool box : {false, true}) {
            SCOPED_TRACE(std::to_string(sig) + (box ? " box" : " early"));
            const std::string log = (box ? "box" : "early") + std::to_string(sig);
            const std::string clip = Media(log + ".wav", 30);
            testsupport::CChildProcess player;
            std::vector<std::string> args{"--verbose", clip};
            if (box)
                args.insert(args.end(), {bad, bad});
            else // held back until the program takes it: it arrives before any start-up work
                player.BlockInChild(sig);
            ASSERT_TRUE(player.Start(kProgram, args, Env(), Log(log)));
            if (box)
                ASSERT_TRUE(WaitForText(Log(log), "message box: ", 30s)) << ReadFile(Log(log));
            const auto signalled = std::chrono::steady_clock::now();
            player.Signal(sig);
            EXPECT_EQ(player.WaitExit(60s), std::optional<int>(0)) << ReadFile(Log(log));
            if (box)
                EXPECT_LT(std::chrono::steady_clock::now() - signalled, 5s);
            const std::string text = ReadFile(Log(log));
            const std::size_t first = text.find("message box: ");
            EXPECT_EQ(text.find("message box: ", first + 1), std::string::npos) << "one box only";
            EXPECT_NE(SavedMainWnd().find(clip), std::string::npos) << text;
            CRegistry::Instance().Reset();
        }
    }
}

// Killed at random moments while it starts, plays or saves, the player always leaves settings
// and a playlist the next start reads whole: the previous session's or the new one, never a
// damaged, short or empty one. The seed is fixed, so a failure can be run again.
TEST_F(PlayerEndToEndTest, AKillAtAnyMomentLeavesTheOldOrTheNewPlaylistWhole) {
    constexpr std::size_t kClips = 10000;
    constexpr int kKills = 50;
    const std::vector<std::string> lists[] = {MakeList("old", kClips), MakeList("new", kClips)};
    // What the next start finds: the state names a kept file, which holds one list whole.
    auto expectWhole = [&](int kill) {
        SCOPED_TRACE(kill);
        const std::vector<std::string> paths = KeptClips();
        EXPECT_TRUE(paths == lists[0] || paths == lists[1]) << "kill " << kill;
    };
    {
        testsupport::CChildProcess player;
        Start(player, {m_home.Path() + "/old.mpl"}, "first");
        Close(player, "first");
    }
    expectWhole(0);

    std::mt19937 random(17);
    for (int kill = 1; kill <= kKills; ++kill) {
        const std::string log = "kill" + std::to_string(kill);
        testsupport::CChildProcess player;
        const std::string list = m_home.Path() + (kill % 2 ? "/new.mpl" : "/old.mpl");
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
    // The settings folder holds no damaged hive set aside on the way.
    for (const auto& entry : std::filesystem::directory_iterator(m_home.Path() + "/corvella"))
        EXPECT_EQ(entry.path().string().find(".damaged-"), std::string::npos) << entry.path();
}

// Many starts at once, one file each, all reach the one running player, each exactly once:
// five in mode x (the line taken last wins), then twenty and fifty that append. The files lie
// deep enough that each line goes through a hand-over file and the playlist is kept apart in
// the data folder; with no umask to help, everything the player makes there stays private.
TEST_F(PlayerEndToEndTest, SimultaneousStartsEachHandTheirFileOverExactlyOnce) {
    struct NoUmask {
        mode_t old = ::umask(0);
        ~NoUmask() { ::umask(old); }
    } noUmask;
    std::string deep;
    for (char c : {'p', 'q', 'r', 's'})
        deep += std::string(220, c) + "/";
    std::filesystem::create_directories(m_home.Path() + "/" + deep);
    std::filesystem::create_directories(m_home.Path() +
                                        "/data/corvella"); // as an older one left it
    ::chmod((m_home.Path() + "/data/corvella").c_str(), 0755);
    testsupport::CChildProcess player;
    Start(player, {}, "first");
    auto startAtOnce = [&](const std::string& name, int count, const std::string& mode) {
        std::vector<std::string> files;
        std::vector<testsupport::CChildProcess> starts(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i)
            files.push_back(Media(deep + name + std::to_string(i) + ".wav", 1));
        for (int i = 0; i < count; ++i)
            EXPECT_TRUE(starts[std::size_t(i)].Start(kProgram, {mode, files[std::size_t(i)]}, Env(),
                                                     Log(name + std::to_string(i))));
        for (int i = 0; i < count; ++i)
            EXPECT_EQ(starts[std::size_t(i)].WaitExit(60s), std::optional<int>(0))
                << ReadFile(Log(name + std::to_string(i)));
        return files;
    };
    const std::vector<std::string> replacing = startAtOnce("x", 5, "-x");
    std::vector<std::string> appended = startAtOnce("t", 20, "-a");
    const std::vector<std::string> more = startAtOnce("u", 50, "-a");
    appended.insert(appended.end(), more.begin(), more.end());
    ASSERT_TRUE(WaitForText(Log("first"), "-a " + appended.back(), 30s));
    Close(player, "first");

    const std::string log = ReadFile(Log("first"));
    EXPECT_EQ(Count(log, kReceived), 75u);
    const std::string saved =
        SavedMainWnd() + ReadFile(m_home.Path() + "/data/corvella/playlist.mpl");
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
    for (const std::string& folder :
         {m_home.Path() + "/corvella", m_home.Path() + "/data/corvella"})
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
            struct stat st {};
            ASSERT_EQ(::stat(entry.path().c_str(), &st), 0);
            EXPECT_EQ(st.st_mode & 0777, entry.is_directory() ? 0700u : 0600u) << entry.path();
        }
    struct stat st {};
    ASSERT_EQ(::stat((m_home.Path() + "/data/corvella/playlist.mpl").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat((m_home.Path() + "/data/corvella").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

// A save whose every write in turn fails (a full disk, an I/O error) leaves the state and the
// playlist file it names as they were, or writes them both: the next start reads the old or the
// new playlist whole, and the user was told which file could not be written and why.
TEST_F(PlayerEndToEndTest, AWriteFailingAnywhereInASaveKeepsTheOldOrTheNewStateAndIsTold) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "a library preloaded before the address sanitizer's runtime is not supported";
#endif
    const std::vector<std::string> old = MakeList("old", 3000);
    RunOnce({m_home.Path() + "/old.mpl"}, "first");
    const std::string snapshot = m_home.Path() + "/snapshot";
    Snapshot(snapshot);
    const std::string added = Media("added.wav", 30);
    std::vector<std::string> grown = old;
    grown.push_back(added);
    const std::vector<std::string> faults{"LD_PRELOAD=" + std::string(CORVELLA_BINARY_DIR) +
                                              "/libwrite_faults.so",
                                          "CORVELLA_FAULT_PREFIXES=" + m_home.Path() +
                                              "/corvella/:" + m_home.Path() + "/data/corvella/"};
    int injected = 0;
    for (int n = 1; n < 50; ++n) {
        SCOPED_TRACE(n);
        Restore(snapshot);
        const int error = n % 2 ? ENOSPC : EIO;
        std::vector<std::string> env = faults;
        env.push_back("CORVELLA_FAULT_AT=" + std::to_string(n));
        env.push_back("CORVELLA_FAULT_ERRNO=" + std::to_string(error));
        const std::string log = RunOnce({"-a", added}, "fault" + std::to_string(n), env);
        const std::vector<std::string> paths = KeptClips();
        EXPECT_TRUE(paths == old || paths == grown) << paths.size() << " clips";
        if (log.find("write fault injected") == std::string::npos) {
            EXPECT_EQ(paths, grown) << log;
            break;
        }
        ++injected;
        EXPECT_NE(log.find("could not save "), std::string::npos) << log;
        EXPECT_NE(log.find(std::strerror(error)), std::string::npos) << log;
    }
    EXPECT_GE(injected, 6) << "the playlist file and the hive, each made, written, synced, renamed";
    std::printf("save faults injected: %d\n", injected);
}

// Each stored file damaged in its own way: the player starts, tells the user once its windows
// are up, keeps the damaged copy beside the file, and loses nothing that was elsewhere.
TEST_F(PlayerEndToEndTest, ADamagedStoredFileIsSetAsideToldAndNothingElseIsLost) {
    const std::vector<std::string> clips = MakeList("kept", 3000);
    RunOnce({m_home.Path() + "/kept.mpl"}, "first");
    const std::string snapshot = m_home.Path() + "/snapshot";
    Snapshot(snapshot);
    const std::string keptFile = KeptFileNamed(SavedMainWnd());
    CRegistry::Instance().Reset();
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
        const std::string logName = "damaged" + std::to_string(++run);
        Restore(snapshot);
        const std::string path = name.starts_with("/") ? name : m_home.Path() + "/corvella/" + name;
        std::string bytes = ReadFile(path);
        ASSERT_GT(bytes.size(), 20u);
        if (damage == Cut)
            bytes.resize(10 + random() % (bytes.size() - 20));
        for (char& c : bytes)
            c = damage == Zeroed ? '\0' : damage == Random ? char(random()) : c;
        shelltest::WriteFile(path, bytes);
        const std::string log = RunOnce({}, logName);
        EXPECT_NE(log.find("notice: "), std::string::npos) << log;
        EXPECT_NE(log.find(path), std::string::npos) << log;
        std::vector<std::string> aside;
        for (const auto& entry :
             std::filesystem::directory_iterator(std::filesystem::path(path).parent_path()))
            if (entry.path().string().starts_with(path + ".damaged-"))
                aside.push_back(entry.path().string());
        ASSERT_EQ(aside.size(), 1u);
        EXPECT_EQ(ReadFile(aside[0]), bytes) << "the damaged copy is kept as it was";
        if (name == keptFile) {
            // The clips before the damage were kept, in order.
            const std::vector<std::string> read = SavedClips(clips);
            EXPECT_LT(read.size(), clips.size());
            EXPECT_TRUE(std::equal(read.begin(), read.end(), clips.begin())) << read.size();
        } else if (name == "system.reg") {
            // The state still names the playlist file, or the file it named is still there.
            const std::string named = KeptFileNamed(SavedMainWnd());
            CRegistry::Instance().Reset();
            CObjListClip read;
            EXPECT_TRUE(core::LoadPlaylist(read, named.empty() ? keptFile : named, nullptr));
            EXPECT_EQ(read.GetCount(), clips.size());
        } else {
            EXPECT_EQ(KeptClips(), clips);
        }
    }
}

// One running instance serves every later start: each hands its whole line over (a short one
// and one of 3,000 characters) and ends with zero without a window; --help and --version print
// and reach nobody. The instance registered the playlist type for this very program, and a
// clean end leaves no objects behind and stores the language.
TEST_F(PlayerEndToEndTest, LaterStartsHandTheirLinesOverAndOptionsPrintWithoutAHandOver) {
    testsupport::CChildProcess first;
    Start(first, {}, "first");
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
    EXPECT_EQ(Count(ReadFile(Log("first")), kReceived), 2u) << "the option starts reached nobody";
    EXPECT_FALSE(platform::FileExists(
        "/dev/shm" + shell::MakeInstanceNames(res::LoadString(147), m_home.Path()).strMapping));
    EXPECT_NE(ReadFile(m_home.Path() + "/corvella/user.reg").find("\"UILanguage\"=\"English\""),
              std::string::npos);
}

TEST_F(PlayerEndToEndTest, AFirstInstanceKilledOutrightDoesNotStopTheNextStart) {
    {
        testsupport::CChildProcess killed;
        Start(killed, {}, "killed");
        killed.Signal(SIGKILL);
        EXPECT_EQ(killed.WaitExit(20s), std::optional<int>(128 + SIGKILL));
    }
    testsupport::CChildProcess next;
    Start(next, {}, "next"); // it becomes the running instance and shows its window
    EXPECT_EQ(RunSecond({"/music/c.mp3"}, "later"), std::optional<int>(0));
    EXPECT_TRUE(WaitForText(Log("next"), Forwarded({"/music/c.mp3"})));
    // SIGINT ends it in order as SIGTERM does.
    next.Signal(SIGINT);
    EXPECT_EQ(next.WaitExit(20s), std::optional<int>(0));
}

TEST_F(PlayerEndToEndTest, ASignalDuringStartUpIsNotLostAndOptionsAloneMakeNoObjects) {
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
