#include "shell/MprisService.h"

#include "core/AttribClip.h"
#include "platform/Log.h"
#include "platform/RegisteredMessages.h"
#include "playback/ControlCommand.h"
#include "playback/UIControl.h"
#include "shell/MprisArguments.h"
#include "skin/MainWnd.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusVariant>

#include <algorithm>
#include <filesystem>

namespace shell {

namespace {

const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

// The play/pause button shows "pause" (state 2) while a clip plays.
constexpr int kShowsPause = 2;

// The interfaces as the bus describes them to a caller that introspects the object.
constexpr const char* kIntrospection = R"(<interface name="org.mpris.MediaPlayer2">
  <method name="Raise"/>
  <method name="Quit"/>
  <property name="CanQuit" type="b" access="read"/>
  <property name="CanRaise" type="b" access="read"/>
  <property name="HasTrackList" type="b" access="read"/>
  <property name="Identity" type="s" access="read"/>
  <property name="DesktopEntry" type="s" access="read"/>
  <property name="SupportedUriSchemes" type="as" access="read"/>
  <property name="SupportedMimeTypes" type="as" access="read"/>
</interface>
<interface name="org.mpris.MediaPlayer2.Player">
  <method name="Next"/>
  <method name="Previous"/>
  <method name="Pause"/>
  <method name="PlayPause"/>
  <method name="Stop"/>
  <method name="Play"/>
  <method name="Seek"><arg name="Offset" type="x" direction="in"/></method>
  <method name="SetPosition">
    <arg name="TrackId" type="o" direction="in"/>
    <arg name="Position" type="x" direction="in"/>
  </method>
  <method name="OpenUri"><arg name="Uri" type="s" direction="in"/></method>
  <signal name="Seeked"><arg name="Position" type="x"/></signal>
  <property name="PlaybackStatus" type="s" access="read"/>
  <property name="LoopStatus" type="s" access="readwrite"/>
  <property name="Shuffle" type="b" access="readwrite"/>
  <property name="Rate" type="d" access="readwrite"/>
  <property name="Metadata" type="a{sv}" access="read"/>
  <property name="Volume" type="d" access="readwrite"/>
  <property name="Position" type="x" access="read"/>
  <property name="MinimumRate" type="d" access="read"/>
  <property name="MaximumRate" type="d" access="read"/>
  <property name="CanGoNext" type="b" access="read"/>
  <property name="CanGoPrevious" type="b" access="read"/>
  <property name="CanPlay" type="b" access="read"/>
  <property name="CanPause" type="b" access="read"/>
  <property name="CanSeek" type="b" access="read"/>
  <property name="CanControl" type="b" access="read"/>
</interface>
)";

QDBusMessage ErrorReply(const QDBusMessage& call, const MprisArguments& args) {
    return call.createErrorReply(args.m_strError, args.m_strMessage);
}

} // namespace

CMprisService::CMprisService(CMainWnd& main, CUIControl& control, MprisActions actions)
    : m_main(main), m_control(control), m_actions(std::move(actions)), m_state(control) {}

CMprisService::~CMprisService() {
    m_main.SetCommandWatcher({});
    if (!m_bStarted)
        return;
    m_bus.unregisterService(kMprisServiceName);
    m_bus.unregisterObject(kMprisObjectPath);
}

bool CMprisService::Start() {
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) {
        platform::LogVerbose("media controls: off, no session bus (DBUS_SESSION_BUS_ADDRESS)");
        return false;
    }
    m_bus = QDBusConnection::sessionBus();
    if (!m_bus.isConnected()) {
        platform::LogVerbose("media controls: off, the session bus is not reachable: " +
                             m_bus.lastError().message().toStdString());
        return false;
    }
    if (!m_bus.registerVirtualObject(kMprisObjectPath, this)) {
        platform::LogVerbose("media controls: off, the object path is taken");
        return false;
    }
    if (!m_bus.registerService(kMprisServiceName)) {
        m_bus.unregisterObject(kMprisObjectPath);
        platform::LogVerbose("media controls: off, the bus name is taken: " +
                             m_bus.lastError().message().toStdString());
        return false;
    }
    m_bStarted = true;
    m_published = m_state.PlayerProperties();
    m_published.remove("Position");
    m_main.SetCommandWatcher([this](const ControlCommand& cmd) { OnCommand(cmd); });
    platform::LogVerbose("media controls: " + kMprisServiceName.toStdString());
    return true;
}

QString CMprisService::introspect(const QString& path) const {
    return path == kMprisObjectPath ? QString::fromLatin1(kIntrospection) : QString();
}

// Calls ----------------------------------------------------------------------------------------

bool CMprisService::handleMessage(const QDBusMessage& message, const QDBusConnection&) {
    if (message.type() != QDBusMessage::MethodCallMessage || message.path() != kMprisObjectPath)
        return false;
    const QString iface = message.interface();
    QDBusMessage reply;
    // Between the main window's end and the program's, nothing is left to control.
    if (!m_main.IsWindow() && (iface == kMprisRootInterface || iface == kMprisPlayerInterface))
        reply = message.createErrorReply(QDBusError::Failed, "the player is closing");
    else if (iface == kPropertiesInterface)
        reply = CallProperties(message);
    else if (iface == kMprisRootInterface)
        reply = CallRoot(message);
    else if (iface == kMprisPlayerInterface)
        reply = CallPlayer(message);
    else
        return false; // introspection and the bus's own interfaces
    m_bus.send(reply);
    return true;
}

QDBusMessage CMprisService::CallRoot(const QDBusMessage& call) {
    const QString method = call.member();
    if (method == "Raise") {
        if (m_actions.raise)
            m_actions.raise();
    } else if (method == "Quit") {
        m_main.PostMessage(WM_CLOSE); // the close button's way out
    } else {
        return call.createErrorReply(QDBusError::UnknownMethod, "no method " + method);
    }
    return call.createReply();
}

QDBusMessage CMprisService::CallPlayer(const QDBusMessage& call) {
    const QString method = call.member();
    const MprisArguments args = CheckPlayerCall(method, call.arguments());
    if (!args.Accepted())
        return ErrorReply(call, args);
    if (method == "Seek")
        SeekBy(args.m_offsetUs);
    else if (method == "SetPosition" && !args.m_bIgnore)
        SetPosition(args.m_strTrackId, args.m_positionUs);
    else if (method == "OpenUri")
        return OpenUri(call, args);
    else if (!RunTransport(method))
        return call.createErrorReply(QDBusError::UnknownMethod, "no method " + MprisShown(method));
    return call.createReply();
}

// Each does what its button does, and nothing when the button would be disabled.
bool CMprisService::RunTransport(const QString& method) {
    const bool bHasClips = m_control.GetClipList().GetCount() > 0;
    const int buttonState = m_main.GetPlayButtonState();
    if (method == "Play" && bHasClips && buttonState != kShowsPause)
        m_main.PlayPause();
    else if (method == "Pause" && buttonState == kShowsPause)
        m_main.PlayPause();
    else if (method == "PlayPause" && bHasClips)
        m_main.PlayPause();
    else if (method == "Stop" && m_control.CanStop())
        m_control.Stop();
    else if (method == "Next")
        Next();
    else if (method == "Previous" && m_control.CanPrevious())
        m_main.Previous();
    else
        return method == "Play" || method == "Pause" || method == "PlayPause" || method == "Stop" ||
               method == "Previous";
    return true;
}

void CMprisService::Next() {
    if (m_control.CanNext())
        m_main.Next();
}

void CMprisService::SeekBy(qlonglong offsetUs) {
    if (!m_control.CanSeek())
        return;
    const qlonglong target = std::max<qlonglong>(m_state.PositionUs() + offsetUs, 0);
    const qlonglong length = m_state.LengthUs();
    // Past the end means the next clip.
    if (length > 0 && target > length)
        Next();
    else
        SeekToUs(target);
}

void CMprisService::SetPosition(const QString& trackId, qlonglong positionUs) {
    // A position meant for a clip that is no longer current is ignored, as is one outside it.
    const qlonglong length = m_state.LengthUs();
    if (!m_control.CanSeek() || trackId != MprisTrackId(m_control, m_control.GetCurrentClip()) ||
        (length > 0 && positionUs > length))
        return;
    SeekToUs(positionUs);
}

void CMprisService::SeekToUs(qlonglong positionUs) {
    // The position bar moves in whole seconds.
    m_main.SeekTo(int(std::min<qlonglong>(positionUs / 1000000, INT32_MAX)));
}

QDBusMessage CMprisService::OpenUri(const QDBusMessage& call, const MprisArguments& args) {
    std::error_code error;
    if (!args.m_bStream && !std::filesystem::is_regular_file(args.m_strOpen, error))
        return call.createErrorReply(QDBusError::InvalidArgs,
                                     "no such file: " +
                                         MprisShown(QString::fromStdString(args.m_strOpen)));
    if (m_actions.openFile)
        m_actions.openFile(args.m_strOpen);
    return call.createReply();
}

// Properties -----------------------------------------------------------------------------------

QVariantMap CMprisService::InterfaceProperties(const QString& iface) {
    if (iface == kMprisRootInterface)
        return CMprisPlayerState::RootProperties();
    if (iface == kMprisPlayerInterface)
        return m_state.PlayerProperties();
    return {};
}

QDBusMessage CMprisService::CallProperties(const QDBusMessage& call) {
    const QString method = call.member();
    const MprisArguments args = CheckPropertiesCall(method, call.arguments());
    if (!args.Accepted())
        return ErrorReply(call, args);
    if (method == "GetAll") {
        if (args.m_strInterface != kMprisRootInterface &&
            args.m_strInterface != kMprisPlayerInterface)
            return call.createErrorReply(QDBusError::InvalidArgs,
                                         "no interface " + MprisShown(args.m_strInterface));
        return call.createReply(InterfaceProperties(args.m_strInterface));
    }
    if (method == "Get")
        return GetProperty(call, args.m_strInterface, args.m_strProperty);
    if (args.m_strInterface != kMprisPlayerInterface)
        return call.createErrorReply(QDBusError::PropertyReadOnly, "read only");
    return SetProperty(call, args.m_strProperty, args.m_value);
}

QDBusMessage CMprisService::GetProperty(const QDBusMessage& call, const QString& iface,
                                        const QString& name) {
    const QVariantMap properties = InterfaceProperties(iface);
    const auto found = properties.find(name);
    if (found == properties.end())
        return call.createErrorReply(QDBusError::UnknownProperty,
                                     "no property " + MprisShown(name));
    return call.createReply(QVariant::fromValue(QDBusVariant(found.value())));
}

QDBusMessage CMprisService::SetProperty(const QDBusMessage& call, const QString& name,
                                        const QVariant& value) {
    const MprisArguments args = CheckPropertySet(name, value);
    if (!args.Accepted())
        return ErrorReply(call, args);
    if (name == "Volume") {
        m_control.SetVolume(args.m_volume);
    } else if (name == "LoopStatus") {
        const bool bTrack = args.m_strLoop == "Track";
        // "Track" keeps the list's repeat as it was: it comes back when the clip repeat ends.
        m_control.ChooseRepeat(bTrack ? m_control.GetRepeat() : args.m_strLoop == "Playlist",
                               bTrack);
    } else if (name == "Shuffle") {
        m_control.ChooseShuffle(args.m_bShuffle);
    }
    return call.createReply();
}

// Signals --------------------------------------------------------------------------------------

void CMprisService::OnCommand(const ControlCommand& cmd) {
    QVariantMap now = m_state.PlayerProperties();
    now.remove("Position"); // clients follow the position from the rate; only jumps are told
    QVariantMap changed;
    for (auto it = now.cbegin(); it != now.cend(); ++it)
        if (m_published.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    m_published = std::move(now);
    if (!changed.isEmpty())
        EmitChanged(changed);
    if (cmd.code == CmdSeek) {
        QDBusMessage seeked =
            QDBusMessage::createSignal(kMprisObjectPath, kMprisPlayerInterface, "Seeked");
        seeked << qlonglong(std::uint32_t(cmd.param1)) * 1000000;
        m_bus.send(seeked);
    }
}

void CMprisService::EmitChanged(const QVariantMap& changed) {
    QDBusMessage signal =
        QDBusMessage::createSignal(kMprisObjectPath, kPropertiesInterface, "PropertiesChanged");
    signal << kMprisPlayerInterface << changed << QStringList();
    m_bus.send(signal);
}

} // namespace shell
