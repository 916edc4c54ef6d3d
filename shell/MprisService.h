// The player on the session bus as a media player the desktop can control (its media keys,
// sound menu and lock screen): the root and player interfaces and their properties, with a
// PropertiesChanged signal whenever one of them changes. Every call does what the main
// window's buttons and bars do, through the same window operations, so the windows show the
// same state as the desktop.
#pragma once

#include "shell/MprisPlayerState.h"

#include <QDBusConnection>
#include <QDBusVirtualObject>

#include <functional>
#include <string>

class CMainWnd;
class CUIControl;
struct ControlCommand;

namespace shell {

struct MprisArguments;

inline const QString kMprisServiceName = QStringLiteral("org.mpris.MediaPlayer2.corvella");
inline const QString kMprisObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");

// What the service asks of the application beyond its windows.
struct MprisActions {
    std::function<void()> raise;                           // bring the windows forward
    std::function<void(const std::string& path)> openFile; // what the open dialog does
};

class CMprisService : public QDBusVirtualObject {
public:
    CMprisService(CMainWnd& main, CUIControl& control, MprisActions actions);
    ~CMprisService() override;
    CMprisService(const CMprisService&) = delete;
    CMprisService& operator=(const CMprisService&) = delete;

    // Connects to the session bus and takes the name. False without a bus, or when the name
    // or object cannot be had; the verbose log says which, in one line.
    bool Start();

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;
    QString introspect(const QString& path) const override;

private:
    // Each answers the call: a reply, or an error reply for what it cannot do.
    QDBusMessage CallRoot(const QDBusMessage& call);
    QDBusMessage CallPlayer(const QDBusMessage& call);
    QDBusMessage CallProperties(const QDBusMessage& call);
    QDBusMessage GetProperty(const QDBusMessage& call, const QString& iface, const QString& name);
    QDBusMessage SetProperty(const QDBusMessage& call, const QString& name, const QVariant& value);
    QDBusMessage OpenUri(const QDBusMessage& call, const MprisArguments& args);

    // False for a method the player interface does not have.
    bool RunTransport(const QString& method);
    void Next();
    void SeekBy(qlonglong offsetUs);
    void SetPosition(const QString& trackId, qlonglong positionUs);
    void SeekToUs(qlonglong positionUs);
    QVariantMap InterfaceProperties(const QString& iface);

    // After every command the windows handled: signals what changed since last time.
    void OnCommand(const ControlCommand& cmd);
    void EmitChanged(const QVariantMap& changed);

    CMainWnd& m_main;
    CUIControl& m_control;
    MprisActions m_actions;
    CMprisPlayerState m_state;
    QDBusConnection m_bus{QString()};
    bool m_bStarted = false;
    QVariantMap m_published; // the player properties last signalled, Position left out
};

} // namespace shell
