// The player controlled as the desktop's media controls do it: a private session bus started
// here, the real player on it, and calls, properties and signals seen from the bus. (The
// end-to-end tests start it without a bus.)
#include "res/StringTable.h"
#include "shell/InstanceObjects.h"
#include "shell/MprisService.h"
#include "tests/playback/RadioStreamServer.h"
#include "tests/shell/ShellTestSupport.h"
#include "tests/support/EventLoopWait.h"
#include "tests/support/ProcessRunner.h"
#include "tests/support/WavWriter.h"

#include <QDBusArgument>
#include <QDBusMessage>
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
using testsupport::WaitFor;

namespace {

const QString kBusConnectionName = QStringLiteral("media-controls-test");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
constexpr std::string_view kCover{"\x89PNG\r\n\x1a\n not really a picture"};

QString UrlOf(const std::string& path) {
    return QUrl::fromLocalFile(QString::fromStdString(path)).toString(QUrl::FullyEncoded);
}

// Records the signals the player sends on the bus.
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

    std::string Log() const { return m_home / "player.log"; }
    std::string Media(const std::string& name) const {
        testsupport::WriteWav(m_home / name, 30);
        return m_home / name;
    }
    // A 9.98 s WAV whose INFO chunk names artist and title and whose ID3v2 chunk holds a cover.
    std::string TaggedMedia(const std::string& name) const {
        const std::string path = m_home / name;
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

    QDBusMessage Call(const QString& iface, const QString& method, const QVariantList& args = {}) {
        QDBusMessage call = QDBusMessage::createMethodCall(shell::kMprisServiceName,
                                                           shell::kMprisObjectPath, iface, method);
        call.setArguments(args);
        return m_bus.call(call, QDBus::Block, 20000);
    }
    QVariant Get(const QString& iface, const QString& name) {
        const QDBusMessage reply = Call(kProperties, "Get", {iface, name});
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return {};
        return qvariant_cast<QDBusVariant>(reply.arguments()[0]).variant();
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

    testsupport::ScratchFolder m_home;
    testsupport::CChildProcess m_daemon;
    testsupport::CChildProcess m_player;
    QDBusConnection m_bus{QString()};
    CBusSignalRecorder m_recorder;
};

} // namespace

// Started without files (GStreamer stays unloaded until a clip comes), the player answers the
// root properties, opens files by their address and refuses what it cannot open, reports
// metadata, plays, pauses and stops, takes the volume, moves through a playlist handed over by a
// later start, keeps loop status and shuffle for the next start, opens a radio station, and
// quits, all by calls.
TEST_F(MediaControlsTest, EveryCallAndPropertyReachesThePlayerAndItsChangesAreSignalled) {
    // A session bus of the test's own; its address is the first line the daemon prints.
    const std::string busLog = m_home / "bus.log";
    ASSERT_TRUE(m_daemon.Start("/usr/bin/dbus-daemon", {"--session", "--print-address", "--nofork"},
                               {}, busLog));
    ASSERT_TRUE(WaitForText(busLog, "\n", 20s)) << ReadFile(busLog);
    const std::string address = ReadFile(busLog).substr(0, ReadFile(busLog).find('\n'));
    ASSERT_TRUE(address.starts_with("unix:")) << address;
    m_bus = QDBusConnection::connectToBus(QString::fromStdString(address), kBusConnectionName);
    ASSERT_TRUE(m_bus.isConnected()) << m_bus.lastError().message().toStdString();
    for (const auto& [iface, name] :
         {std::pair(kProperties, "PropertiesChanged"), std::pair(kMprisPlayerInterface, "Seeked")})
        ASSERT_TRUE(m_bus.connect({}, shell::kMprisObjectPath, iface, name, &m_recorder,
                                  SLOT(OnSignal(QDBusMessage))));
    std::vector<std::string> env = shelltest::PlayerEnvironment(m_home.Path(), "offscreen");
    env.push_back("DBUS_SESSION_BUS_ADDRESS=" + address);
    ASSERT_TRUE(m_player.Start(shelltest::kProgram, {"--verbose"}, env, Log()));
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

    const std::string clip = TaggedMedia("clip.wav");
    ASSERT_FALSE(clip.empty());
    EXPECT_EQ(Call(kMprisPlayerInterface, "OpenUri", {UrlOf(clip)}).type(),
              QDBusMessage::ReplyMessage);
    ASSERT_TRUE(Becomes("PlaybackStatus", "Playing", false)) << ReadFile(Log());
    ASSERT_TRUE(Plays(clip));
    // Title and artist each in their own field, the length rounded as the playlist rounds it,
    // the embedded cover as a private file.
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
    EXPECT_TRUE(WaitForText(Log(), "play state: paused (" + clip + ")"));
    Call(kMprisPlayerInterface, "PlayPause");
    EXPECT_TRUE(WaitFor([&] { return Get(kMprisPlayerInterface, "PlaybackStatus") == "Playing"; }));
    Call(kMprisPlayerInterface, "Stop");
    ASSERT_TRUE(Becomes("PlaybackStatus", "Stopped", false)) << ReadFile(Log());
    EXPECT_TRUE(WaitForText(Log(), "play state: stopped (" + clip + ")"));

    // The volume goes through the volume bar to the player, and out of range is full volume.
    EXPECT_TRUE(Becomes("Volume", 0.3));
    Set("Volume", 7.0);
    EXPECT_TRUE(Becomes("Volume", 1.0, false));
    EXPECT_EQ(Set("Volume", QString("loud")).errorName(), "org.freedesktop.DBus.Error.InvalidArgs");
    EXPECT_EQ(Get(kMprisPlayerInterface, "Volume"), 1.0);

    const std::string first = Media("first.wav");
    const std::string second = Media("second.wav");
    testsupport::CChildProcess later;
    ASSERT_TRUE(later.Start(shelltest::kProgram, {first, second}, env, m_home / "later.log"));
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

    // Loop status (with "Track") and shuffle are read and written.
    EXPECT_TRUE(Becomes("LoopStatus", "Track"));
    EXPECT_TRUE(Becomes("Shuffle", true));
    EXPECT_TRUE(Becomes("LoopStatus", "None"));
    EXPECT_EQ(Set("LoopStatus", QString("Sometimes")).errorName(),
              "org.freedesktop.DBus.Error.InvalidArgs");
    EXPECT_TRUE(Becomes("LoopStatus", "Track"));

    // A radio station opens by its address and its row and metadata take the stream's title
    // (the station's name and a live length are the engine test's).
    CRadioStreamServer radio(ReadFile(Media("radio.wav")), "audio/x-wav", "Test Radio",
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

#include "MediaControlsTest.moc"
