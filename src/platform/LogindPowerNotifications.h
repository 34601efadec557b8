#pragma once

#include "PowerNotifications.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <cstdint>
#include <map>
#include <memory>

class QDBusError;
class QDBusMessage;
class QDBusServiceWatcher;

namespace voltaro {

// Sleep and wake messages from systemd-logind on the system bus.
//
// While registered, Voltaro holds one "delay" sleep inhibitor, so logind lets it write the
// sleep line before the machine goes down. PrepareForSleep(true) becomes a will-sleep
// message and PrepareForSleep(false) a has-powered-on message; acknowledging the first
// closes the inhibitor's descriptor (logind may sleep at once), acknowledging the second
// takes a new one for the next sleep.
//
// Registration needs the bus and logind on it. Without an inhibitor (logind refused it, or
// answered without a descriptor) the messages still come; logind just does not wait for us.
class LogindPowerNotifications final : public QObject, public PowerNotifications {
    Q_OBJECT

public:
    // `busAddress` empty: the system bus ($DBUS_SYSTEM_BUS_ADDRESS, or the standard socket).
    explicit LogindPowerNotifications(QString busAddress = QString());
    ~LogindPowerNotifications() override;

    bool registerForSystemPower(PowerNotificationHandler& handler) override;
    void allowPowerChange(std::uintptr_t messageArgument) override;
    void deregisterForSystemPower() override;

    bool isRegistered() const { return m_handler != nullptr; }
    // The inhibitor's descriptor, -1 when none is held.
    int inhibitorDescriptor() const { return m_inhibitorFd; }

private slots:
    void prepareForSleep(bool start);
    void inhibitorReceived(const QDBusMessage& reply);
    void inhibitorRefused(const QDBusError& error);
    void busDisconnected();

private:
    void requestInhibitor();
    void adoptInhibitor(const QDBusMessage& reply);
    void releaseInhibitor();
    void logindAppeared();
    void logindVanished();
    void dropConnection();

    QString m_busAddress;
    QString m_connectionName;
    std::unique_ptr<QDBusConnection> m_connection;
    std::unique_ptr<QDBusServiceWatcher> m_watcher;
    PowerNotificationHandler* m_handler = nullptr;
    // The only copy of the inhibitor's descriptor: logind waits as long as it is open.
    int m_inhibitorFd = -1;
    bool m_inhibitorRequested = false;
    std::uintptr_t m_lastMessageId = 0;
    // Messages delivered and not yet acknowledged, by id.
    std::map<std::uintptr_t, std::uint32_t> m_unacknowledged;
};

} // namespace voltaro
