// The whole program as real processes, each test with its own settings and runtime folders and
// WAV clips played through a fake sink that keeps real time. Only the media controls test has a
// session bus, of its own; the desktop tests use a private X server driven through xdotool.
#include "core/AttribClip.h"
#include "core/PlaylistFile.h"
#include "core/RegObjectStore.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "res/BuiltInSkinLayout.h"
#include "res/StringTable.h"
#include "shell/CommandLineText.h"
#include "shell/InstanceObjects.h"
#include "shell/MprisArguments.h"
#include "shell/MprisService.h"
#include "skin/SnapGeometry.h"
#include "tests/playback/MediaFixtures.h"
#include "tests/playback/RadioStreamServer.h"
#include "tests/shell/ShellTestSupport.h"
#include "tests/support/EventLoopWait.h"
#include "tests/support/ProcessRunner.h"
#include "tests/support/WavWriter.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QStandardPaths>
#include <QUrl>
#include <gtest/gtest.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/infotag.h>
#include <taglib/wavfile.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using shell::kMprisPlayerInterface;
using shell::kMprisRootInterface;
using shelltest::kProgram;
using shelltest::Poll;
using shelltest::ReadFile;
using shelltest::WaitForText;
using testsupport::CChildProcess;
using testsupport::WaitFor;

namespace {

const std::string kShown = "main window shown";
const std::string kReceived = "command line from another start: ";

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = 0; (at = text.find(part, at)) != std::string::npos; ++at)
        ++n;
    return n;
}

unsigned Mode(const fs::path& p) {
    return unsigned(fs::status(p).permissions() & fs::perms::all);
}

std::vector<std::string> Verbose(std::vector<std::string> args) {
    args.insert(args.begin(), "--verbose");
    return args;
}

class PlayerEndToEndTest : public ::testing::Test {
protected:
    void TearDown() override {
        m_player.Signal(SIGTERM);
        m_player.WaitExit(30s);
        m_server.Signal(SIGTERM); // the session bus or the X server
        m_server.WaitExit(10s);
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
    std::string Log(const std::string& name = "player") const { return m_home / (name + ".log"); }
    std::string Media(const std::string& name, int seconds) const {
        testsupport::WriteWav(m_home / name, seconds);
        return m_home / name;
    }
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
    std::optional<int> RunSecond(const std::vector<std::string>& args, const std::string& log) {
        CChildProcess second;
        return second.Start(kProgram, Verbose(args), Env(), Log(log)) ? second.WaitExit(20s)
                                                                      : std::nullopt;
    }

    std::string SavedMainWnd() {
        CRegistry& registry = CRegistry::Instance();
        registry.Reset(m_home / "corvella");
        const auto saved = registry.QueryBinary(HKEY_LOCAL_MACHINE, kWindowStatePath, "MainWnd");
        registry.Reset();
        return saved.value_or("");
    }
    // The kept playlist file a saved state names (saves use two names in turn), or "".
    std::string KeptFileNamed(const std::string& saved) const {
        const std::size_t at = saved.find(m_home / "data/corvella/playlist");
        const std::size_t end = saved.find(".mpl", at);
        return at == std::string::npos || end == std::string::npos ? ""
                                                                   : saved.substr(at, end + 4 - at);
    }
    // A native playlist name.mpl of count clips, the first two real files; the clips' paths.
    std::vector<std::string> MakeList(const std::string& name, std::size_t count) {
        CObjListClip list;
        std::vector<std::string> paths;
        for (std::size_t i = 0; i < count; ++i) {
            paths.push_back(i < 2 ? Media(name + std::to_string(i) + ".wav", 30)
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
    static void CopyState(const std::string& from, const std::string& to) {
        for (const char* part : {"/corvella", "/data/corvella"}) {
            fs::remove_all(to + part);
            fs::create_directories(fs::path(to + part).parent_path());
            fs::copy(from + part, to + part, fs::copy_options::recursive);
        }
    }

    testsupport::ScratchFolder m_home;
    std::string m_programFolder;
    CChildProcess m_player, m_server;
};

} // namespace

// A signal before the event loop, in a message box's loop or in an open that never completes (a
// FIFO) ends the player in order; a box closed by a signal is followed by no other.
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

// Closing stops the clip playing. Killed at random moments (a fixed seed) while it starts, plays
// or saves, the player leaves the old or the new playlist whole. A restart brings it back, with
// the built-in skin when the skin's file is damaged, without a session bus it could reach.
TEST_F(PlayerEndToEndTest, AKillAtAnyMomentLeavesTheOldOrTheNewPlaylistWholeForTheRestart) {
    const std::vector<std::string> lists[] = {MakeList("old", 10000), MakeList("new", 10000)};
    CChildProcess player;
    Start(player, {m_home / "old.mpl"}, "play");
    const std::string playing = "play state: playing (" + lists[0][0] + ")";
    ASSERT_TRUE(WaitForText(Log("play"), playing, 30s));
    const std::string log = Close(player, "play");
    EXPECT_NE(log.find("play state: stopped (" + lists[0][0] + ")", log.find(playing)),
              std::string::npos)
        << log;
    EXPECT_EQ(log.find("clip opened: " + lists[0][1]), std::string::npos) << log;
    EXPECT_NE(log.find("media framework starts beside the windows"), std::string::npos) << log;
    EXPECT_NE(log.find("media controls: off"), std::string::npos) << log;
    std::mt19937 random(17);
    for (int kill = 1; kill <= 51; ++kill) {
        const std::vector<std::string> paths = KeptClips();
        ASSERT_TRUE(paths == lists[0] || paths == lists[1]) << "before kill " << kill;
        if (kill == 51)
            break;
        const std::string name = "kill" + std::to_string(kill);
        CChildProcess killed;
        ASSERT_TRUE(killed.Start(kProgram,
                                 {"--verbose", m_home / (kill % 2 ? "new.mpl" : "old.mpl")}, Env(),
                                 Log(name)));
        if (random() % 2) { // while starting or playing
            std::this_thread::sleep_for(std::chrono::milliseconds(random() % 1500));
        } else { // while saving on the way out
            ASSERT_TRUE(WaitForText(Log(name), kShown, 30s)) << ReadFile(Log(name));
            killed.Signal(SIGTERM);
            std::this_thread::sleep_for(std::chrono::milliseconds(random() % 300));
        }
        killed.Signal(SIGKILL);
        killed.WaitExit(10s);
    }
    EXPECT_TRUE(platform::ListFolder(m_home / "corvella", "*.damaged-*").empty());

    m_programFolder = m_home / "program/";
    fs::create_directories(m_programFolder);
    for (const char* part : {"Test Skin", "language"})
        fs::copy(std::string(CORVELLA_BINARY_DIR) + "/" + part, m_programFolder + part,
                 fs::copy_options::recursive);
    const std::string skinFile = m_programFolder + "Test Skin/MainWindow.txt";
    const std::string skin = ReadFile(skinFile);
    shelltest::WriteFile(skinFile, skin.substr(0, skin.size() / 2)); // cut in mid-line
    const std::vector<std::string> before = KeptClips();
    const std::string again =
        RunOnce({}, "again", {"DBUS_SESSION_BUS_ADDRESS=unix:path=" + m_home / "no-bus"});
    EXPECT_NE(again.find("media controls: off"), std::string::npos) << again;
    EXPECT_NE(again.find("skin: built-in"), std::string::npos) << again;
    EXPECT_EQ(KeptClips(), before);
}

// A damaged stored file is told and kept beside as it was; nothing else is lost. A save whose
// every write in turn fails leaves the old state and playlist or writes both, and says why.
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
        EXPECT_NE(log.find(path, log.find("notice: ")), std::string::npos) << log;
        const fs::path folder = fs::path(path).parent_path();
        const auto aside =
            platform::ListFolder(folder, fs::path(path).filename().string() + ".damaged-*");
        ASSERT_EQ(aside.size(), 1u);
        EXPECT_EQ(ReadFile(folder / aside[0].name), bytes) << "the damaged copy is kept as it was";
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

// Each later start's line arrives once, through a hand-over file when long: five at once in mode
// x (the last one wins), then seventy that append. Options print and reach nobody. Without a
// umask the player's files stay private; a clean end (SIGINT) leaves no objects behind.
TEST_F(PlayerEndToEndTest, LaterStartsHandTheirLinesOverOnceAndOptionsPrintWithoutAHandOver) {
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
    CChildProcess first;
    Start(first, {}, "first");
    EXPECT_EQ(ReadFile(Log("first")).find("media framework starts"), std::string::npos);
    const std::vector<std::string> args{"/music/my album/a.mp3", "-a", "/music/b.mp3"};
    EXPECT_EQ(RunSecond(args, "second"), std::optional<int>(0));
    const std::string line = shell::JoinCommandLine(fs::canonical(kProgram), Verbose(args));
    EXPECT_TRUE(WaitForText(Log("first"), kReceived + line + "\n")) << ReadFile(Log("first"));
    EXPECT_NE(ReadFile(Log("second")).find("handing the command line"), std::string::npos);
    EXPECT_EQ(ReadFile(Log("second")).find(kShown), std::string::npos);
    EXPECT_EQ(RunSecond({"/h", "--help"}, "help"), std::optional<int>(0));
    const std::string help = ReadFile(Log("help"));
    for (const char* option : {"-a", "-x", "-n", "-m", "-r", "-f", "-s N", "-l N", "\"/\"",
                               "--verbose", "--help", "--version"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
    EXPECT_EQ(help.find(kShown), std::string::npos);
    // A build tree is on no search path: the entry starts this very program.
    EXPECT_TRUE(
        WaitForText(m_home / "data/applications/corvella.desktop", "Exec=\"" + kProgram + "\" %F"));

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
    const std::string log = Close(first, "first", SIGINT);

    EXPECT_EQ(Count(log, kReceived), 76u) << "--help reached nobody";
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
    EXPECT_EQ(Mode(m_home / "data/corvella"), 0700u);
    for (const char* folder : {"corvella", "data/corvella"})
        for (const auto& entry : fs::recursive_directory_iterator(m_home / folder))
            EXPECT_EQ(Mode(entry.path()), entry.is_directory() ? 0700u : 0600u) << entry.path();
    EXPECT_FALSE(platform::FileExists(
        "/dev/shm" + shell::MakeInstanceNames(res::LoadString(147), m_home.Path()).strMapping));
    EXPECT_NE(ReadFile(m_home / "corvella/user.reg").find("\"UILanguage\"=\"English\""),
              std::string::npos);
}

namespace {

const QString kBusConnectionName = QStringLiteral("media-controls-test");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
constexpr std::string_view kCover{"\x89PNG\r\n\x1a\n not really a picture"};

QString UrlOf(const std::string& path) {
    return QUrl::fromLocalFile(QString::fromStdString(path)).toString(QUrl::FullyEncoded);
}

class CBusSignalRecorder : public QObject {
    Q_OBJECT

public:
    std::vector<QDBusMessage> m_signals;
    // How many property changes set name (to value, when given).
    long Count(const QString& name, const QVariant& value = {}) const {
        return std::count_if(m_signals.begin(), m_signals.end(), [&](const QDBusMessage& m) {
            const QVariantMap change = qdbus_cast<QVariantMap>(m.arguments().value(1));
            return change.contains(name) && (!value.isValid() || change.value(name) == value);
        });
    }
    std::vector<qlonglong> Seeks() const {
        std::vector<qlonglong> seeks;
        for (const QDBusMessage& m : m_signals)
            if (m.member() == "Seeked")
                seeks.push_back(m.arguments().value(0).toLongLong());
        return seeks;
    }

public slots:
    void OnSignal(const QDBusMessage& message) { m_signals.push_back(message); }
};

class MediaControlsTest : public PlayerEndToEndTest {
protected:
    void TearDown() override {
        QDBusConnection::disconnectFromBus(kBusConnectionName);
        PlayerEndToEndTest::TearDown();
    }

    QDBusMessage Call(const QString& iface, const QString& method, const QVariantList& args = {}) {
        QDBusMessage call = QDBusMessage::createMethodCall(shell::kMprisServiceName,
                                                           shell::kMprisObjectPath, iface, method);
        call.setArguments(args);
        return m_bus.call(call, QDBus::Block, 20000);
    }
    QVariant Get(const QString& iface, const QString& name) {
        const QDBusMessage reply = Call(kProperties, "Get", {iface, name});
        return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()
                   ? qvariant_cast<QDBusVariant>(reply.arguments()[0]).variant()
                   : QVariant();
    }
    QVariantMap Metadata() {
        return qdbus_cast<QVariantMap>(Get(kMprisPlayerInterface, "Metadata"));
    }
    QString Row() { return Metadata().value("mpris:trackid").value<QDBusObjectPath>().path(); }
    QDBusMessage Set(const QString& name, const QVariant& value) {
        return Call(kProperties, "Set",
                    {kMprisPlayerInterface, name, QVariant::fromValue(QDBusVariant(value))});
    }
    // The property was set, a signal told of the change, and the property reads so now.
    bool Becomes(const QString& name, const QVariant& value, bool set = true) {
        return (!set || Set(name, value).type() == QDBusMessage::ReplyMessage) &&
               WaitFor([&] { return m_recorder.Count(name, value) > 0; }) &&
               Get(kMprisPlayerInterface, name) == value;
    }
    bool Plays(const std::string& clip) {
        return WaitForText(Log(), "play state: playing (" + clip + ")", 30s);
    }

    QDBusConnection m_bus{QString()};
    CBusSignalRecorder m_recorder;
};

} // namespace

// Every call and property on a private session bus, from open to quit: metadata, play state,
// volume, the playlist of a later start, loop status and shuffle kept, a radio station.
TEST_F(MediaControlsTest, EveryCallAndPropertyReachesThePlayerAndItsChangesAreSignalled) {
    // A session bus of the test's own; its address is the first line the daemon prints.
    ASSERT_TRUE(m_server.Start("/usr/bin/dbus-daemon", {"--session", "--print-address", "--nofork"},
                               {}, Log("bus")));
    ASSERT_TRUE(WaitForText(Log("bus"), "\n", 20s)) << ReadFile(Log("bus"));
    const std::string address = ReadFile(Log("bus")).substr(0, ReadFile(Log("bus")).find('\n'));
    m_bus = QDBusConnection::connectToBus(QString::fromStdString(address), kBusConnectionName);
    ASSERT_TRUE(m_bus.isConnected()) << m_bus.lastError().message().toStdString();
    for (const auto& [iface, name] :
         {std::pair(kProperties, "PropertiesChanged"), std::pair(kMprisPlayerInterface, "Seeked")})
        ASSERT_TRUE(m_bus.connect({}, shell::kMprisObjectPath, iface, name, &m_recorder,
                                  SLOT(OnSignal(QDBusMessage))));
    const std::vector<std::string> env = Env({"DBUS_SESSION_BUS_ADDRESS=" + address});
    ASSERT_TRUE(m_player.Start(kProgram, {"--verbose"}, env, Log()));
    ASSERT_TRUE(
        WaitForText(Log(), "media controls: " + shell::kMprisServiceName.toStdString(), 30s))
        << ReadFile(Log());

    EXPECT_EQ(Get(kMprisRootInterface, "Identity").toString(), "Corvella");
    EXPECT_EQ(Get(kMprisRootInterface, "SupportedUriSchemes").toStringList(),
              (QStringList{"file", "http", "https"}));
    EXPECT_TRUE(
        Get(kMprisRootInterface, "SupportedMimeTypes").toStringList().contains("audio/x-wav"));
    EXPECT_EQ(Get(kMprisPlayerInterface, "PlaybackStatus").toString(), "Stopped");
    EXPECT_EQ(Call(kMprisPlayerInterface, "OpenUri", {UrlOf(m_home / "missing.wav")}).type(),
              QDBusMessage::ErrorMessage);
    EXPECT_EQ(Call(kMprisPlayerInterface, "OpenUri", {"ftp://example.invalid/a.wav"}).errorName(),
              "org.freedesktop.DBus.Error.NotSupported");

    // 9.98 s, with artist and title in the INFO chunk and a cover in the ID3v2 chunk.
    const std::string clip = m_home / "clip.wav";
    const std::string make = "gst-launch-1.0 -q audiotestsrc num-buffers=998 samplesperbuffer=441 "
                             "! wavenc ! filesink location='" +
                             clip + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(make.c_str()), 0);
    TagLib::RIFF::WAV::File file(clip.c_str());
    file.InfoTag()->setArtist("The Artist");
    file.InfoTag()->setTitle("The Title");
    auto* pCover = new TagLib::ID3v2::AttachedPictureFrame;
    pCover->setType(TagLib::ID3v2::AttachedPictureFrame::FrontCover);
    pCover->setMimeType("image/png");
    pCover->setPicture(TagLib::ByteVector(kCover.data(), unsigned(kCover.size())));
    file.ID3v2Tag()->addFrame(pCover);
    ASSERT_TRUE(file.save(TagLib::RIFF::WAV::File::AllTags));
    EXPECT_EQ(Call(kMprisPlayerInterface, "OpenUri", {UrlOf(clip)}).type(),
              QDBusMessage::ReplyMessage);
    ASSERT_TRUE(Becomes("PlaybackStatus", "Playing", false)) << ReadFile(Log());
    ASSERT_TRUE(Plays(clip));
    // The length rounded as the playlist rounds it; the embedded cover as a private file.
    QVariantMap metadata = Metadata();
    EXPECT_EQ(metadata.value("xesam:url").toString(), UrlOf(clip));
    EXPECT_EQ(metadata.value("xesam:title").toString(), "The Title");
    EXPECT_EQ(metadata.value("xesam:artist").toStringList(), QStringList{"The Artist"});
    EXPECT_EQ(metadata.value("mpris:length").toLongLong(), 10'000'000);
    const QUrl cover(metadata.value("mpris:artUrl").toString());
    EXPECT_TRUE(cover.isLocalFile());
    EXPECT_EQ(ReadFile(cover.toLocalFile().toStdString()), kCover);
    Call(kMprisPlayerInterface, "Pause");
    ASSERT_TRUE(Becomes("PlaybackStatus", "Paused", false)) << ReadFile(Log());
    Call(kMprisPlayerInterface, "PlayPause");
    EXPECT_TRUE(WaitFor([&] { return Get(kMprisPlayerInterface, "PlaybackStatus") == "Playing"; }));
    Call(kMprisPlayerInterface, "Stop");
    ASSERT_TRUE(Becomes("PlaybackStatus", "Stopped", false)) << ReadFile(Log());

    // The volume goes through the volume bar to the player, and out of range is full volume.
    EXPECT_TRUE(Becomes("Volume", 0.3));
    Set("Volume", 7.0);
    EXPECT_TRUE(Becomes("Volume", 1.0, false));

    const std::string first = Media("first.wav", 30);
    const std::string second = Media("second.wav", 30);
    testsupport::CChildProcess later;
    ASSERT_TRUE(later.Start(kProgram, {first, second}, env, m_home / "later.log"));
    EXPECT_EQ(later.WaitExit(30s), std::optional<int>(0));
    ASSERT_TRUE(Plays(first)) << ReadFile(Log());
    const QString firstRow = Row();
    EXPECT_TRUE(Get(kMprisPlayerInterface, "CanGoNext").toBool());
    // A position for a clip that is not current is ignored; for the current one it seeks.
    std::vector<qlonglong> seeks = m_recorder.Seeks(); // stopping went back to the start

    Call(kMprisPlayerInterface, "SetPosition",
         {QVariant::fromValue(QDBusObjectPath("/org/corvella/Playlist/Row9")), qlonglong(20e6)});
    Call(kMprisPlayerInterface, "SetPosition",
         {QVariant::fromValue(QDBusObjectPath(firstRow)), qlonglong(12e6)});
    ASSERT_TRUE(WaitFor([&] { return m_recorder.Seeks().size() > seeks.size(); }));
    seeks.push_back(qlonglong(12e6));
    EXPECT_EQ(m_recorder.Seeks(), seeks);
    // The engine seeks asynchronously: the position gets there a moment after the signal.
    EXPECT_TRUE(WaitFor([&] {
        return Get(kMprisPlayerInterface, "Position").toLongLong() >= qlonglong(12e6);
    })) << Get(kMprisPlayerInterface, "Position").toLongLong();
    const long metadataChanges = m_recorder.Count("Metadata");
    Call(kMprisPlayerInterface, "Next");
    ASSERT_TRUE(Plays(second)) << ReadFile(Log());
    ASSERT_TRUE(WaitFor([&] { return Metadata().value("xesam:url") == UrlOf(second); }));
    EXPECT_NE(Row(), firstRow);
    EXPECT_TRUE(WaitFor([&] { return m_recorder.Count("Metadata") > metadataChanges; }));
    Call(kMprisPlayerInterface, "Previous");
    ASSERT_TRUE(WaitFor([&] { return Metadata().value("xesam:url") == UrlOf(first); }));
    EXPECT_EQ(Row(), firstRow);

    EXPECT_TRUE(Becomes("LoopStatus", "Track"));
    EXPECT_TRUE(Becomes("Shuffle", true));
    EXPECT_TRUE(Becomes("LoopStatus", "None"));
    EXPECT_EQ(Set("LoopStatus", QString("Sometimes")).errorName(),
              "org.freedesktop.DBus.Error.InvalidArgs");
    EXPECT_TRUE(Becomes("LoopStatus", "Track"));

    // The stream's title reaches the metadata (the rest of a station is the engine test's).
    CRadioStreamServer radio(ReadFile(Media("radio.wav", 30)), "audio/x-wav", "Test Radio",
                             {"First Song"}, 1, 20);
    const QString url = QString::fromStdString(radio.Url("/radio"));
    EXPECT_EQ(Call(kMprisPlayerInterface, "OpenUri", {url}).type(), QDBusMessage::ReplyMessage);
    ASSERT_TRUE(Plays(url.toStdString())) << ReadFile(Log());
    EXPECT_TRUE(WaitFor([&] {
        return Metadata().value("xesam:title").toString().endsWith("First Song");
    })) << Metadata().value("xesam:title").toString().toStdString();
    EXPECT_EQ(Metadata().value("xesam:url").toString(), url);

    Call(kMprisRootInterface, "Quit");
    ASSERT_EQ(m_player.WaitExit(60s), std::optional<int>(0)) << ReadFile(Log());
    const std::string stored = ReadFile(m_home / "corvella/user.reg");
    EXPECT_NE(stored.find("\"Shuffle\"=dword:00000001"), std::string::npos) << stored;
    EXPECT_NE(stored.find("\"RepeatOne\"=dword:00000001"), std::string::npos) << stored;
}

// Wrong types and huge or hidden-byte texts are refused; overflowing numbers are bounded.
TEST(MediaControlsArgumentsTest, WrongTypesAndHugeOrHiddenByteTextsAreRefusedNumbersBounded) {
    EXPECT_EQ(shell::CheckPlayerCall("Seek", {std::numeric_limits<qlonglong>::max()}).m_offsetUs,
              shell::kMprisMaxOffsetUs);
    const QVariant row = QVariant::fromValue(QDBusObjectPath("/org/corvella/Playlist/Row0"));
    EXPECT_TRUE(shell::CheckPlayerCall("SetPosition", {row, qlonglong(-1)}).m_bIgnore);
    EXPECT_EQ(shell::CheckPlayerCall("OpenUri", {"file:///tmp/a.wav"}).m_strOpen, "/tmp/a.wav");
    EXPECT_EQ(shell::CheckPropertySet("Volume", 0.3).m_volume, 30);
    const shell::MprisArguments huge =
        shell::CheckPlayerCall("OpenUri", {"file:///" + QString(10'000'000, 'a')});
    EXPECT_LT(huge.m_strMessage.size(), 100);
    const shell::MprisArguments refused[] = {
        huge,
        shell::CheckPlayerCall("OpenUri", {"file:///tmp/a%00b"}),
        shell::CheckPlayerCall("Seek", {1.5}),
        shell::CheckPropertySet("Volume", QByteArray("0.5")),
        shell::CheckPropertySet("Volume", true),
        shell::CheckPropertySet("LoopStatus", QByteArray("Track")),
        shell::CheckPropertySet("Rate", QString("fast")),
    };
    for (const shell::MprisArguments& args : refused)
        EXPECT_EQ(args.m_strError, "org.freedesktop.DBus.Error.InvalidArgs") << &args - refused;
}

namespace {

struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
    CRect Rect() const { return {x, y, x + width, y + height}; }
    friend std::ostream& operator<<(std::ostream& out, const Geometry& g) {
        return out << g.x << "," << g.y;
    }
};

// The private X server's screen; with no window manager all of it is available.
constexpr int kScreenWidth = 800, kScreenHeight = 600;

std::string Output(const std::string& command) {
    std::string out;
    const std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    for (int c; pipe && (c = std::fgetc(pipe.get())) != EOF;)
        out += char(c);
    return out;
}

class PlayerDesktopTest : public PlayerEndToEndTest {
protected:
    void SetUp() override {
        const std::string xvfb = QStandardPaths::findExecutable("Xvfb").toStdString();
        if (xvfb.empty() || QStandardPaths::findExecutable("xdotool").isEmpty())
            GTEST_SKIP() << "Xvfb or xdotool is not installed";
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        // Xvfb picks a free display number and writes it to the pipe once it accepts clients.
        const bool started = m_server.Start(xvfb,
                                            {"-displayfd", std::to_string(fds[1]), "-screen", "0",
                                             "800x600x24", "-nolisten", "tcp"},
                                            {}, m_home / "xvfb.log");
        ::close(fds[1]);
        std::string number;
        for (char c = 0; started && ::read(fds[0], &c, 1) == 1 && c != '\n';)
            number += c;
        ::close(fds[0]);
        ASSERT_FALSE(number.empty()) << ReadFile(m_home / "xvfb.log");
        m_display = ":" + number;
    }
    std::string XDo(const std::string& args) const {
        return Output("DISPLAY=" + m_display + " xdotool " + args + " 2>&1");
    }
    std::vector<std::string> Env(bool startupDialogs = false) const {
        std::vector<std::string> env = shelltest::PlayerEnvironment(m_home.Path(), "xcb");
        env.push_back("DISPLAY=" + m_display);
        std::erase_if(env, [&](const std::string& e) {
            return startupDialogs && e.starts_with(shell::kNoStartupDialogsVariable);
        });
        return env;
    }
    void Start(const std::vector<std::string>& files, bool startupDialogs = false) {
        // The old log's lines must not pass for a restart's before the child truncates the file.
        std::filesystem::remove(Log());
        ASSERT_TRUE(m_player.Start(kProgram, Verbose(files), Env(startupDialogs), Log()));
        ASSERT_TRUE(WaitForText(Log(), kShown, 30s)) << ReadFile(Log());
        // Bounded by time: a loaded machine can take many seconds to map a restart's windows.
        ASSERT_TRUE(Poll([&] { return FindWindows(); }, 45s))
            << XDo("search --class .") << ReadFile(Log());
    }
    // The player's windows (the main one by its width); true when main and playlist are found.
    bool FindWindows() {
        std::stringstream ids(XDo("search --onlyvisible --class ."));
        m_main.clear();
        m_playlist.clear();
        for (std::string id; ids >> id;) {
            const std::string name = XDo("getwindowname " + id);
            if (name.find("Playlist") != std::string::npos)
                m_playlist = id;
            else if (name.find("PlayWnd") != std::string::npos)
                m_play = id;
            else if (Geom(id).width == 312)
                m_main = id;
        }
        return !m_main.empty() && !m_playlist.empty();
    }
    Geometry Geom(const std::string& window) const {
        Geometry g;
        std::sscanf(XDo("getwindowgeometry --shell " + window).c_str(),
                    "WINDOW=%*d X=%d Y=%d WIDTH=%d HEIGHT=%d", &g.x, &g.y, &g.width, &g.height);
        return g;
    }
    template <typename Check> bool WaitForGeometry(const std::string& window, Check check) {
        return Poll([&] { return check(Geom(window)); });
    }
    bool At(const std::string& window, int x, int y) {
        return WaitForGeometry(window, [&](const Geometry& g) { return g.x == x && g.y == y; });
    }
    void ClickMain(const std::string& control) {
        for (const builtin::ControlLine& line : builtin::kMainControls)
            if (line.pszName == control)
                XDo("mousemove --window " + m_main + " " +
                    std::to_string(line.n[0] + line.n[2] / 2) + " " +
                    std::to_string(line.n[1] + line.n[3] / 2) +
                    " sleep 0.2 mousedown 1 sleep 0.1 mouseup 1");
    }
    // Drags the playlist by its title bar so that its top-left lands at (x, y).
    void DragPlaylist(int x, int y) {
        const Geometry from = Geom(m_playlist);
        auto point = [](int px, int py) {
            return " mousemove " + std::to_string(px + 60) + " " + std::to_string(py + 6);
        };
        XDo(point(from.x, from.y) + " mousedown 1 sleep 0.1" +
            point((from.x + x) / 2, (from.y + y) / 2) + " sleep 0.1" + point(x, y) +
            " sleep 0.1 mouseup 1");
    }
    // Waits until a screenshot passes check, which reads pixels as 0xRRGGBB through at(x, y).
    template <typename Check> bool WaitForScreen(Check check) const {
        return Poll(
            [&] {
                const std::string ppm = Output("xwd -root -silent -display " + m_display +
                                               " | xwdtopnm 2>/dev/null | pnmdepth 255");
                int width = 0, height = 0, maxValue = 0, start = 0;
                auto at = [&](int x, int y) {
                    const auto* p = reinterpret_cast<const unsigned char*>(ppm.data()) + start +
                                    (std::size_t(y) * std::size_t(width) + std::size_t(x)) * 3;
                    return std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2];
                };
                return std::sscanf(ppm.c_str(), "P6 %d %d %d%n", &width, &height, &maxValue,
                                   &start) == 3 &&
                       maxValue == 255 && width >= kScreenWidth &&
                       ppm.size() >= std::size_t(++start + width * height * 3) && check(at);
            },
            15s);
    }

    std::string m_display, m_main, m_playlist, m_play;
};

} // namespace

// Without a window manager nothing else keeps the start-up dialog above the player's windows.
TEST_F(PlayerDesktopTest, AVideoOpenedAtTheFirstStartGrowsThePlayWindowWhereItWasPlaced) {
    ASSERT_TRUE(mediatest::CMediaFolder::Instance().Ok());
    Start({mediatest::CMediaFolder::Instance() / "clip.avi"}, true);
    ASSERT_FALSE(m_play.empty());
    // The 320-pixel picture at its own size makes the window wider than its first size.
    ASSERT_TRUE(WaitForGeometry(m_play, [](const Geometry& g) { return g.width > 320; }))
        << ReadFile(Log());
    const CRect main = Geom(m_main).Rect();
    const CRect play = Geom(m_play).Rect();
    EXPECT_EQ(play.left, main.right);
    EXPECT_EQ(play.top, main.top);
    EXPECT_TRUE(CRect::Intersect(Geom(m_playlist).Rect(), play).IsRectEmpty());

    std::string dialog;
    ASSERT_TRUE(Poll([&] {
        std::stringstream(XDo("search --onlyvisible --name \"^" + res::LoadString(2701) + "$\"")) >>
            dialog;
        return !dialog.empty();
    })) << XDo("search --onlyvisible --name .");
    EXPECT_TRUE(Poll([&] {
        std::vector<std::string> order; // xwininfo lists the top of the stack first
        std::stringstream lines(Output("xwininfo -root -children -display " + m_display));
        for (std::string line; std::getline(lines, line);)
            if (unsigned long id = 0; std::sscanf(line.c_str(), " 0x%lx", &id) == 1)
                order.push_back(std::to_string(id));
        auto at = [&](const std::string& id) { return std::find(order.begin(), order.end(), id); };
        return at(dialog) < at(m_main) && at(dialog) < at(m_playlist) && at(dialog) < at(m_play);
    })) << "the dialog is under a player window";
}

// The first start docks the windows mid-screen; shading pulls the docked playlist along; -x
// leaves one row drawn; the playlist snaps, and comes back where it was dragged after a restart.
TEST_F(PlayerDesktopTest, ASecondStartThatReplacesAndThePlaylistPlaceAfterARestart) {
    const std::string clips[] = {Media("a.wav", 30), Media("b.wav", 30), Media("c.wav", 30)};
    Start({clips[0], clips[1]});
    ASSERT_FALSE(m_play.empty());
    const Geometry main = Geom(m_main);
    const Geometry docked = Geom(m_playlist);
    const CRect rects[] = {main.Rect(), docked.Rect(), Geom(m_play).Rect()};
    for (const auto& [a, b] : {std::pair(0, 1), std::pair(0, 2), std::pair(1, 2)})
        EXPECT_TRUE(CRect::Intersect(rects[a], rects[b]).IsRectEmpty()) << a << b;
    ASSERT_EQ(docked.y, main.y + main.height) << "the playlist starts docked below";
    EXPECT_TRUE(snap::Touches(rects[0], rects[2]) || snap::Touches(rects[1], rects[2]));
    CRect all = rects[0];
    for (const CRect& r : rects)
        all = {std::min(all.left, r.left), std::min(all.top, r.top), std::max(all.right, r.right),
               std::max(all.bottom, r.bottom)};
    EXPECT_NEAR((all.left + all.right) / 2, kScreenWidth / 2, 2);
    EXPECT_NEAR((all.top + all.bottom) / 2, kScreenHeight / 2, 2);

    for (const auto& [control, height] : {std::pair("button Shade Mode", builtin::kShadeHeight),
                                          std::pair("button Expand Mode", main.height)}) {
        ClickMain(control);
        ASSERT_TRUE(WaitForGeometry(m_main, [&](const Geometry& g) { return g.height == height; }));
        EXPECT_TRUE(At(m_playlist, docked.x, docked.y - (main.height - height)))
            << Geom(m_playlist);
    }

    ASSERT_TRUE(WaitForText(Log(), "play state: playing (" + clips[0], 30s)) << ReadFile(Log());
    // The play window says "Audio Only" in white while the clip plays: it is not left black.
    const Geometry play = Geom(m_play);
    EXPECT_TRUE(WaitForScreen([&](auto at) {
        for (int y = play.y + 20; y < play.y + play.height - 30; ++y)
            for (int x = play.x + 8; x < play.x + play.width - 8; ++x)
                if (at(x, y) == 0xFFFFFF)
                    return true;
        return false;
    })) << "the play window is black";

    testsupport::CChildProcess again;
    ASSERT_TRUE(again.Start(kProgram, {"-x", clips[2]}, Env(), m_home / "again.log"));
    EXPECT_EQ(again.WaitExit(30s), std::optional<int>(0));
    ASSERT_TRUE(WaitForText(Log(), "play state: playing (" + clips[2], 30s)) << ReadFile(Log());
    // Below the one row the list shows its bare background: the rows of before are gone.
    const Geometry list = Geom(m_playlist);
    EXPECT_TRUE(WaitForScreen([&](auto at) {
        const std::uint32_t background = at(list.x + 11, list.y + list.height - 29);
        for (int y = list.y + 19 + 17; y < list.y + list.height - 29; ++y)
            for (int x = list.x + 11; x < list.x + list.width - 26; ++x)
                if (at(x, y) != background)
                    return false;
        return true;
    })) << "old rows are still drawn below the first";

    const int awayX = main.x + 200, awayY = main.y + main.height + 150;
    DragPlaylist(awayX, awayY);
    ASSERT_TRUE(At(m_playlist, awayX, awayY)) << "no drag: " << Geom(m_playlist);
    // Back to 6 pixels right of and 7 below the docked place: it snaps flush below.
    DragPlaylist(main.x + 6, main.y + main.height + 7);
    EXPECT_TRUE(At(m_playlist, main.x, main.y + main.height)) << Geom(m_playlist);
    DragPlaylist(awayX, awayY);
    ASSERT_TRUE(At(m_playlist, awayX, awayY));
    m_player.Signal(SIGTERM);
    ASSERT_EQ(m_player.WaitExit(60s), std::optional<int>(0)) << ReadFile(Log());
    Start({});
    EXPECT_TRUE(At(m_playlist, awayX, awayY)) << Geom(m_playlist);
}

#include "PlayerEndToEndTest.moc"
