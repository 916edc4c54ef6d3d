#include "tests/shell/BusSignalRecorder.h"

#include "shell/MprisService.h"

#include <QDBusArgument>

namespace shelltest {

bool CBusSignalRecorder::Listen(QDBusConnection& bus) {
    return bus.connect({}, shell::kMprisObjectPath, "org.freedesktop.DBus.Properties",
                       "PropertiesChanged", this, SLOT(OnPropertiesChanged(QDBusMessage))) &&
           bus.connect({}, shell::kMprisObjectPath, shell::kMprisPlayerInterface, "Seeked", this,
                       SLOT(OnSeeked(QDBusMessage)));
}

bool CBusSignalRecorder::Changed(const QString& name, const QVariant& value) const {
    for (const QVariantMap& change : m_changes)
        if (change.contains(name) && change.value(name) == value)
            return true;
    return false;
}

std::size_t CBusSignalRecorder::Count(const QString& name) const {
    std::size_t n = 0;
    for (const QVariantMap& change : m_changes)
        n += change.contains(name) ? 1 : 0;
    return n;
}

void CBusSignalRecorder::OnPropertiesChanged(const QDBusMessage& message) {
    const QList<QVariant> args = message.arguments();
    if (args.size() == 3 && args[0].toString() == shell::kMprisPlayerInterface)
        m_changes.push_back(qdbus_cast<QVariantMap>(args[1]));
}

void CBusSignalRecorder::OnSeeked(const QDBusMessage& message) {
    if (!message.arguments().isEmpty())
        m_seeks.push_back(message.arguments()[0].toLongLong());
}

} // namespace shelltest
