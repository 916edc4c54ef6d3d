// The player controlled as the desktop's media controls do it: a private session bus started
// here, the real player on it, and calls, properties and signals seen from the bus. (The
// end-to-end tests start it without a bus.)
#include "res/StringTable.h"
#include "shell/InstanceObjects.h"
#include "shell/MprisService.h"
#include "tests/playback/RadioStreamServer.h"
#include "tests/shell/BusSignalRecorder.h"
#include "tests/shell/ShellTestSupport.h"
#include "tests/support/EventLoopWait.h"
#include "tests/support/ProcessRunner.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/WavWriter.h"

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QUrl>
#include <cstdlib>
#include <taglib/attachedpictureframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/infotag.h>
#include <taglib/wavfile.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

using namespace std::chrono_literals;
using shell::kMprisPlayerInterface;
using shell::kMprisRootInterface;
using shelltest::ReadFile;
using shelltest::WaitForText;

namespace {

const QString kBusConnectionName = QStringLiteral("media-controls-test");

class MediaControlsTest : public ::testing::Test {
protected:
    void TearDown() override {
        m_player.Signal(SIGTERM);
        m_player.WaitExit(30s);
        QDBusConnection::disconnectFromBus(kBusConnectionName);
        m_daemon.Signal(SIGTERM);
        m_daemon.WaitExit(10s);
        shell::RemoveInstanceObjects(shell::MakeInstanceNames(res::LoadString(147), m_home.Path()));
    }

    // A session bus of the test's own; its address is the first line the daemon prints.
    void StartBus() {
        const std::string out = m_home.Path() + "/bus.log";
        ASSERT_TRUE(m_daemon.Start("/usr/bin/dbus-daemon",
                                   {"--session", "--print-address", "--nofork"}, {}, out));
        ASSERT_TRUE(WaitForText(out, "\n", 20s)) << ReadFile(out);
        const std::string text = ReadFile(out);
        m_address = text.substr(0, text.find('\n'));
        ASSERT_EQ(m_address.rfind("unix:", 0), 0u) << text;
        m_bus =
            QDBusConnection::connectToBus(QString::fromStdString(m_address), kBusConnectionName);
        ASSERT_TRUE(m_bus.isConnected()) << m_bus.lastError().message().toStdString();
        ASSERT_TRUE(m_recorder.Listen(m_bus));
    }
    void StartPlayer(const std::vector<std::string>& files, const std::string& busAddress) {
        std::vector<std::string> args{"--verbose"};
        args.insert(args.end(), files.begin(), files.end());
        std::vector<std::string> env = shelltest::PlayerEnvironment(m_home.Path(), "offscreen");
        env.push_back("DBUS_SESSION_BUS_ADDRESS=" + busAddress);
        ASSERT_TRUE(m_player.Start(shelltest::kProgram, args, env, Log()));
        ASSERT_TRUE(WaitForText(Log(), "main window shown", 30s)) << ReadFile(Log());
    }
    // The player on the test's bus, its media controls up.
    void StartControlledPlayer(const std::vector<std::string>& files) {
        ASSERT_NO_FATAL_FAILURE(StartBus());
        ASSERT_NO_FATAL_FAILURE(StartPlayer(files, m_address));
        ASSERT_TRUE(
            WaitForText(Log(), "media controls: " + shell::kMprisServiceName.toStdString(), 30s))
            << ReadFile(Log());
    }

    std::string Log() const { return m_home.Path() + "/player.log"; }
    std::string Media(const std::string& name, int seconds) const {
        const std::string path = m_home.Path() + "/" + name;
        testsupport::WriteWav(path, seconds);
        return path;
    }
    // A 9.98 s WAV whose INFO chunk names artist and title and whose ID3v2 chunk holds a cover.
    std::string TaggedMedia(const std::string& name) const {
        const std::string path = m_home.Path() + "/" + name;
        const std::string command = "gst-launch-1.0 -q audiotestsrc num-buffers=998 "
                                    "samplesperbuffer=441 ! wavenc ! filesink location='" +
                                    path + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0)
            return {};
        TagLib::RIFF::WAV::File file(path.c_str());
        file.InfoTag()->setArtist("The Artist");
        file.InfoTag()->setTitle("The Title");
        auto* pCover = new TagLib::ID3v2::AttachedPictureFrame;
        pCover->setType(TagLib::ID3v2::AttachedPictureFrame::FrontCover);
        pCover->setMimeType("image/png");
        pCover->setPicture(TagLib::ByteVector(kCover.data(), unsigned(kCover.size())));
        file.ID3v2Tag()->addFrame(pCover);
        return file.save(TagLib::RIFF::WAV::File::AllTags) ? path : std::string();
    }
    static constexpr std::string_view kCover{"\x89PNG\r\n\x1a\n not really a picture"};

    static QString UrlOf(const std::string& path) {
        return QUrl::fromLocalFile(QString::fromStdString(path)).toString(QUrl::FullyEncoded);
    }

    QDBusMessage Call(const QString& iface, const QString& method, const QVariantList& args = {}) {
        QDBusMessage call = QDBusMessage::createMethodCall(shell::kMprisServiceName,
                                                           shell::kMprisObjectPath, iface, method);
        call.setArguments(args);
        return m_bus.call(call, QDBus::Block, 20000);
    }
    QVariant Get(const QString& iface, const QString& name) {
        const QDBusMessage reply = Call("org.freedesktop.DBus.Properties", "Get", {iface, name});
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return {};
        return qvariant_cast<QDBusVariant>(reply.arguments()[0]).variant();
    }
    QVariantMap Metadata() {
        return qdbus_cast<QVariantMap>(Get(kMprisPlayerInterface, "Metadata"));
    }
    void Set(const QString& name, const QVariant& value) {
        const QDBusMessage reply =
            Call("org.freedesktop.DBus.Properties", "Set",
                 {kMprisPlayerInterface, name, QVariant::fromValue(QDBusVariant(value))});
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    }
    // A signal told of the change, and the property reads so now.
    bool Becomes(const QString& name, const QVariant& value) {
        return testsupport::WaitFor([&] { return m_recorder.Changed(name, value); }) &&
               Get(kMprisPlayerInterface, name) == value;
    }

    testsupport::ScratchFolder m_home;
    testsupport::CChildProcess m_daemon;
    testsupport::CChildProcess m_player;
    std::string m_address;
    QDBusConnection m_bus{QString()};
    shelltest::CBusSignalRecorder m_recorder;
};

} // namespace

TEST_F(MediaControlsTest, OpenPlayPauseStopVolumeAndQuitByCalls) {
    ASSERT_NO_FATAL_FAILURE(StartControlledPlayer({}));
    EXPECT_EQ(ReadFile(Log()).find("media framework starts"), std::string::npos);
    EXPECT_EQ(Get(kMprisRootInterface, "Identity").toString(), "Corvella");
    EXPECT_EQ(Get(kMprisRootInterface, "SupportedUriSchemes").toStringList(),
              (QStringList{"file", "http", "https"}));
    EXPECT_TRUE(
        Get(kMprisRootInterface, "SupportedMimeTypes").toStringList().contains("audio/x-wav"));
    EXPECT_EQ(Get(kMprisPlayerInterface, "PlaybackStatus").toString(), "Stopped");
    // A missing file and a foreign scheme are refused with a reason.
    const std::string missing = m_home.Path() + "/missing.wav";
    EXPECT_EQ(Call(kMprisPlayerInterface, "OpenUri", {UrlOf(missing)}).type(),
              QDBusMessage::ErrorMessage);
    EXPECT_EQ(Call(kMprisPlayerInterface, "OpenUri", {"ftp://example.invalid/a.wav"}).errorName(),
              "org.freedesktop.DBus.Error.NotSupported");

    const std::string clip = TaggedMedia("clip.wav");
    ASSERT_FALSE(clip.empty());
    EXPECT_EQ(Call(kMprisPlayerInterface, "OpenUri", {UrlOf(clip)}).type(),
              QDBusMessage::ReplyMessage);
    ASSERT_TRUE(Becomes("PlaybackStatus", "Playing")) << ReadFile(Log());
    ASSERT_TRUE(WaitForText(Log(), "play state: playing (" + clip + ")"));
    // Title and artist each in their own field, the length rounded as the playlist rounds it,
    // the embedded cover as a private file.
    const QVariantMap metadata = Metadata();
    EXPECT_EQ(metadata.value("xesam:url").toString(), UrlOf(clip));
    EXPECT_EQ(metadata.value("xesam:title").toString(), "The Title");
    EXPECT_EQ(metadata.value("xesam:artist").toStringList(), QStringList{"The Artist"});
    EXPECT_EQ(metadata.value("mpris:length").toLongLong(), 10'000'000);
    const QUrl cover(metadata.value("mpris:artUrl").toString());
    EXPECT_TRUE(cover.isLocalFile());
    EXPECT_EQ(ReadFile(cover.toLocalFile().toStdString()), kCover);

    Call(kMprisPlayerInterface, "Pause");
    ASSERT_TRUE(Becomes("PlaybackStatus", "Paused")) << ReadFile(Log());
    EXPECT_TRUE(WaitForText(Log(), "play state: paused (" + clip + ")"));
    Call(kMprisPlayerInterface, "PlayPause");
    EXPECT_TRUE(testsupport::WaitFor(
        [&] { return Get(kMprisPlayerInterface, "PlaybackStatus") == "Playing"; }));
    Call(kMprisPlayerInterface, "Stop");
    ASSERT_TRUE(Becomes("PlaybackStatus", "Stopped")) << ReadFile(Log());
    EXPECT_TRUE(WaitForText(Log(), "play state: stopped (" + clip + ")"));

    // The volume goes through the volume bar to the player, and out of range is full volume.
    Set("Volume", 0.3);
    EXPECT_TRUE(Becomes("Volume", 0.3));
    Set("Volume", 7.0);
    EXPECT_TRUE(Becomes("Volume", 1.0));
    const QDBusMessage text =
        Call("org.freedesktop.DBus.Properties", "Set",
             {kMprisPlayerInterface, "Volume", QVariant::fromValue(QDBusVariant(QString("loud")))});
    EXPECT_EQ(text.errorName(), "org.freedesktop.DBus.Error.InvalidArgs");
    EXPECT_EQ(Get(kMprisPlayerInterface, "Volume"), 1.0);

    // A radio station opens by its address and its row and metadata take the stream's title
    // (the station's name and a live length are the engine test's).
    CRadioStreamServer radio(ReadFile(Media("radio.wav", 30)), "audio/x-wav", "Test Radio",
                             {"First Song"}, 1, 20);
    const QString url = QString::fromStdString(radio.Url("/radio"));
    EXPECT_EQ(Call(kMprisPlayerInterface, "OpenUri", {url}).type(), QDBusMessage::ReplyMessage);
    ASSERT_TRUE(WaitForText(Log(), "play state: playing (" + url.toStdString() + ")"))
        << ReadFile(Log());
    EXPECT_TRUE(testsupport::WaitFor([&] {
        return Metadata().value("xesam:title").toString().endsWith("First Song");
    })) << Metadata().value("xesam:title").toString().toStdString();
    EXPECT_EQ(Metadata().value("xesam:url").toString(), url);

    Call(kMprisRootInterface, "Quit");
    EXPECT_EQ(m_player.WaitExit(60s), std::optional<int>(0)) << ReadFile(Log());
}

TEST_F(MediaControlsTest, NextPreviousAndSeekingMoveThroughThePlaylist) {
    const std::string first = Media("first.wav", 30);
    const std::string second = Media("second.wav", 30);
    ASSERT_NO_FATAL_FAILURE(StartControlledPlayer({first, second}));
    ASSERT_TRUE(WaitForText(Log(), "play state: playing (" + first + ")", 30s)) << ReadFile(Log());
    EXPECT_NE(ReadFile(Log()).find("media framework starts beside the windows"), std::string::npos);
    const QString firstRow = Metadata().value("mpris:trackid").value<QDBusObjectPath>().path();
    EXPECT_TRUE(Get(kMprisPlayerInterface, "CanGoNext").toBool());

    // A position for a clip that is not current is ignored; for the current one it seeks.
    Call(kMprisPlayerInterface, "SetPosition",
         {QVariant::fromValue(QDBusObjectPath("/org/corvella/Playlist/Row9")), qlonglong(20e6)});
    Call(kMprisPlayerInterface, "SetPosition",
         {QVariant::fromValue(QDBusObjectPath(firstRow)), qlonglong(12e6)});
    ASSERT_TRUE(testsupport::WaitFor([&] { return !m_recorder.Seeks().empty(); }));
    EXPECT_EQ(m_recorder.Seeks(), std::vector<qlonglong>{qlonglong(12e6)});
    // The engine seeks asynchronously: the position gets there a moment after the signal.
    EXPECT_TRUE(testsupport::WaitFor([&] {
        return Get(kMprisPlayerInterface, "Position").toLongLong() >= qlonglong(12e6);
    })) << Get(kMprisPlayerInterface, "Position").toLongLong();

    const std::size_t metadataChanges = m_recorder.Count("Metadata");
    Call(kMprisPlayerInterface, "Next");
    ASSERT_TRUE(WaitForText(Log(), "play state: playing (" + second + ")", 30s)) << ReadFile(Log());
    ASSERT_TRUE(
        testsupport::WaitFor([&] { return Metadata().value("xesam:url") == UrlOf(second); }));
    const QString secondRow = Metadata().value("mpris:trackid").value<QDBusObjectPath>().path();
    EXPECT_NE(secondRow, firstRow);
    EXPECT_TRUE(
        testsupport::WaitFor([&] { return m_recorder.Count("Metadata") > metadataChanges; }));

    Call(kMprisPlayerInterface, "Previous");
    ASSERT_TRUE(
        testsupport::WaitFor([&] { return Metadata().value("xesam:url") == UrlOf(first); }));
    EXPECT_EQ(Metadata().value("mpris:trackid").value<QDBusObjectPath>().path(), firstRow);

    // Loop status (with "Track") and shuffle are read and written, and kept for the next start.
    Set("LoopStatus", "Track");
    EXPECT_TRUE(Becomes("LoopStatus", "Track"));
    Set("Shuffle", true);
    EXPECT_TRUE(Becomes("Shuffle", true));
    Set("LoopStatus", "None");
    EXPECT_TRUE(Becomes("LoopStatus", "None"));
    EXPECT_EQ(Call("org.freedesktop.DBus.Properties", "Set",
                   {kMprisPlayerInterface, "LoopStatus",
                    QVariant::fromValue(QDBusVariant(QString("Sometimes")))})
                  .errorName(),
              "org.freedesktop.DBus.Error.InvalidArgs");
    Set("LoopStatus", "Track");
    EXPECT_TRUE(Becomes("LoopStatus", "Track"));
    Call(kMprisRootInterface, "Quit");
    ASSERT_EQ(m_player.WaitExit(60s), std::optional<int>(0)) << ReadFile(Log());
    std::string stored;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(m_home.Path()))
        if (entry.path().filename() == "user.reg")
            stored += ReadFile(entry.path().string());
    EXPECT_NE(stored.find("\"Shuffle\"=dword:00000001"), std::string::npos) << stored;
    EXPECT_NE(stored.find("\"RepeatOne\"=dword:00000001"), std::string::npos) << stored;
}
