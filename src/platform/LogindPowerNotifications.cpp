#include "LogindPowerNotifications.h"

#include "Console.h"

#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusUnixFileDescriptor>

#include <fcntl.h>
#include <unistd.h>

namespace voltaro {

namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kPath = QStringLiteral("/org/freedesktop/login1");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");
// Inhibit() is a quick call; a wedged logind must not hold the launch for long.
constexpr int kInhibitTimeoutMs = 5000;

void warn(const QString& message) {
    writeConsoleLine(message.toStdString());
}

QDBusMessage inhibitCall() {
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kManager, QStringLiteral("Inhibit"));
    call << QStringLiteral("sleep") << QStringLiteral("Voltaro")
         << QStringLiteral("Logs the battery charge before the system sleeps") << QStringLiteral("delay");
    return call;
}

} // namespace

LogindPowerNotifications::LogindPowerNotifications(QString busAddress)
    : m_busAddress(std::move(busAddress)) {}

LogindPowerNotifications::~LogindPowerNotifications() {
    deregisterForSystemPower();
}

bool LogindPowerNotifications::registerForSystemPower(PowerNotificationHandler& handler) {
    deregisterForSystemPower();

    // A connection of our own: the shared system-bus connection would keep its address for
    // the whole process, and deregistering must be able to let it go.
    static int connectionCount = 0;
    m_connectionName = QStringLiteral("voltaro-logind-%1").arg(++connectionCount);
    m_connection = std::make_unique<QDBusConnection>(
        m_busAddress.isEmpty() ? QDBusConnection::connectToBus(QDBusConnection::SystemBus, m_connectionName)
                               : QDBusConnection::connectToBus(m_busAddress, m_connectionName));
    if (!m_connection->isConnected()) {
        warn(QStringLiteral("No sleep and wake messages: cannot connect to the system bus (%1)")
                 .arg(m_connection->lastError().message()));
        dropConnection();
        return false;
    }
    QDBusConnectionInterface* bus = m_connection->interface();
    if (!bus || !bus->isServiceRegistered(kService).value()) {
        warn(QStringLiteral("No sleep and wake messages: systemd-logind is not on the system bus"));
        dropConnection();
        return false;
    }
    // Only PrepareForSleep(b) is delivered; a signal of another signature never reaches us.
    if (!m_connection->connect(kService, kPath, kManager, QStringLiteral("PrepareForSleep"),
                               QStringLiteral("b"), this, SLOT(prepareForSleep(bool)))) {
        warn(QStringLiteral("No sleep and wake messages: cannot subscribe to logind's PrepareForSleep (%1)")
                 .arg(m_connection->lastError().message()));
        dropConnection();
        return false;
    }
    m_connection->connect(QString(), QStringLiteral("/org/freedesktop/DBus/Local"),
                          QStringLiteral("org.freedesktop.DBus.Local"), QStringLiteral("Disconnected"), this,
                          SLOT(busDisconnected()));
    m_watcher = std::make_unique<QDBusServiceWatcher>(kService, *m_connection,
                                                      QDBusServiceWatcher::WatchForRegistration |
                                                          QDBusServiceWatcher::WatchForUnregistration);
    connect(m_watcher.get(), &QDBusServiceWatcher::serviceRegistered, this, [this] { logindAppeared(); });
    connect(m_watcher.get(), &QDBusServiceWatcher::serviceUnregistered, this, [this] { logindVanished(); });
    m_handler = &handler;

    // Taken before the launch goes on, so the first sleep already waits for its line.
    adoptInhibitor(m_connection->call(inhibitCall(), QDBus::Block, kInhibitTimeoutMs));
    return true;
}

void LogindPowerNotifications::deregisterForSystemPower() {
    releaseInhibitor();
    m_unacknowledged.clear();
    m_handler = nullptr;
    if (m_connection) {
        m_connection->disconnect(kService, kPath, kManager, QStringLiteral("PrepareForSleep"),
                                 QStringLiteral("b"), this, SLOT(prepareForSleep(bool)));
        m_connection->disconnect(QString(), QStringLiteral("/org/freedesktop/DBus/Local"),
                                 QStringLiteral("org.freedesktop.DBus.Local"), QStringLiteral("Disconnected"),
                                 this, SLOT(busDisconnected()));
    }
    dropConnection();
}

void LogindPowerNotifications::dropConnection() {
    m_watcher.reset();
    if (m_connection) {
        m_connection.reset();
        QDBusConnection::disconnectFromBus(m_connectionName);
    }
    // An answer to an Inhibit() still on its way dies with the connection.
    m_inhibitorRequested = false;
}

void LogindPowerNotifications::prepareForSleep(bool start) {
    if (!m_handler)
        return;
    const std::uint32_t messageType = start ? kMessageSystemWillSleep : kMessageSystemHasPoweredOn;
    const std::uintptr_t id = ++m_lastMessageId;
    m_unacknowledged.emplace(id, messageType);
    m_handler->callback(messageType, id);
}

void LogindPowerNotifications::allowPowerChange(std::uintptr_t messageArgument) {
    const auto found = m_unacknowledged.find(messageArgument);
    if (found == m_unacknowledged.end())
        return;
    const std::uint32_t messageType = found->second;
    m_unacknowledged.erase(found);
    if (messageType == kMessageSystemWillSleep)
        releaseInhibitor(); // logind stops waiting for us
    else if (messageType == kMessageSystemHasPoweredOn && m_inhibitorFd < 0)
        requestInhibitor(); // ready for the next sleep
}

void LogindPowerNotifications::requestInhibitor() {
    if (!m_connection || !m_handler || m_inhibitorRequested)
        return;
    // Not blocking: after a wake or a logind restart the answer may take its time.
    m_inhibitorRequested =
        m_connection->callWithCallback(inhibitCall(), this, SLOT(inhibitorReceived(QDBusMessage)),
                                       SLOT(inhibitorRefused(QDBusError)), kInhibitTimeoutMs);
}

void LogindPowerNotifications::inhibitorReceived(const QDBusMessage& reply) {
    if (!m_inhibitorRequested)
        return; // an answer for a connection that is gone; its descriptor closes with it
    m_inhibitorRequested = false;
    adoptInhibitor(reply);
}

void LogindPowerNotifications::inhibitorRefused(const QDBusError& error) {
    if (!m_inhibitorRequested)
        return;
    m_inhibitorRequested = false;
    warn(QStringLiteral("Sleep is not delayed for the log: logind refused the inhibitor (%1)")
             .arg(error.message()));
}

void LogindPowerNotifications::adoptInhibitor(const QDBusMessage& reply) {
    if (reply.type() == QDBusMessage::ErrorMessage) {
        warn(QStringLiteral("Sleep is not delayed for the log: logind refused the inhibitor (%1)")
                 .arg(reply.errorMessage()));
        return;
    }
    const QList<QVariant> arguments = reply.arguments();
    if (reply.type() != QDBusMessage::ReplyMessage || arguments.size() != 1 ||
        arguments.front().metaType() != QMetaType::fromType<QDBusUnixFileDescriptor>()) {
        warn(
            QStringLiteral("Sleep is not delayed for the log: logind answered Inhibit without a descriptor"));
        return;
    }
    QDBusUnixFileDescriptor descriptor = arguments.front().value<QDBusUnixFileDescriptor>();
    if (!descriptor.isValid() || m_inhibitorFd >= 0 || !m_handler)
        return;
    // Copies of a QDBusUnixFileDescriptor share one descriptor: taking it out leaves none in
    // the message's copy, so ours is the only one, and closing it is what lets logind go on.
    m_inhibitorFd = descriptor.takeFileDescriptor();
}

void LogindPowerNotifications::releaseInhibitor() {
    if (m_inhibitorFd < 0)
        return;
    ::close(m_inhibitorFd);
    m_inhibitorFd = -1;
}

void LogindPowerNotifications::logindAppeared() {
    // A restarted logind knows nothing of the inhibitor we held.
    requestInhibitor();
}

void LogindPowerNotifications::logindVanished() {
    releaseInhibitor();
}

void LogindPowerNotifications::busDisconnected() {
    // No message can come any more: hold nothing open.
    releaseInhibitor();
    m_inhibitorRequested = false;
}

} // namespace voltaro
