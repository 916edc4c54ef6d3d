// Records the property changes and seeks a media player announces on a bus, for tests that
// control the player from outside.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QVariantMap>

#include <vector>

namespace shelltest {

class CBusSignalRecorder : public QObject {
    Q_OBJECT

public:
    // Listens on bus to every sender at the player's object; false when the bus refused.
    bool Listen(QDBusConnection& bus);
    // Some recorded PropertiesChanged set name to value.
    bool Changed(const QString& name, const QVariant& value) const;
    // How many recorded PropertiesChanged named name.
    std::size_t Count(const QString& name) const;
    const std::vector<qlonglong>& Seeks() const { return m_seeks; }

public slots:
    void OnPropertiesChanged(const QDBusMessage& message);
    void OnSeeked(const QDBusMessage& message);

private:
    std::vector<QVariantMap> m_changes;
    std::vector<qlonglong> m_seeks;
};

} // namespace shelltest
