#include "LogindPowerNotifications.h"

#include "QtTestSupport.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QProcess>

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

// The real thing against a private bus: a dbus-daemon of the test's own stands in for the
// system bus, and python3-dbusmock's logind template for systemd-logind. Its Inhibit hands
// out one end of a pipe and lists the inhibitor until every copy of that end is closed, so
// ListInhibitors shows exactly what logind would wait for.

namespace voltaro {
namespace {

const QString kLogind = QStringLiteral("org.freedesktop.login1");
const QString kLogindPath = QStringLiteral("/org/freedesktop/login1");
const QString kMockInterface = QStringLiteral("org.freedesktop.DBus.Mock");

// A dbus-daemon of our own, killed with the test.
class PrivateBus {
public:
    bool start() {
        m_daemon.start(
            QStringLiteral("dbus-daemon"),
            {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
        if (!m_daemon.waitForStarted(5000) || !processEventsUntil([&] { return m_daemon.canReadLine(); }))
            return false;
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        return !m_address.isEmpty();
    }
    ~PrivateBus() { kill(); }
    void kill() {
        m_daemon.kill();
        m_daemon.waitForFinished(5000);
    }
    const QString& address() const { return m_address; }

private:
    QProcess m_daemon;
    QString m_address;
};

struct Inhibitor {
    QString what, who, mode;
};

// The mock logind on a private bus, and a connection of the test's own to drive it.
class FakeLogind {
public:
    explicit FakeLogind(const QString& busAddress)
        : m_busAddress(busAddress), m_connectionName(QStringLiteral("test-driver-%1").arg(++s_drivers)),
          m_bus(QDBusConnection::connectToBus(busAddress, m_connectionName)) {}
    ~FakeLogind() {
        stop();
        QDBusConnection::disconnectFromBus(m_connectionName);
    }

    bool start() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), m_busAddress);
        m_mock.setProcessEnvironment(environment);
        m_mock.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_mock.start(QStringLiteral("/usr/bin/python3"),
                     {QStringLiteral("-m"), QStringLiteral("dbusmock"), QStringLiteral("--system"),
                      QStringLiteral("--template"), QStringLiteral("logind")});
        return m_mock.waitForStarted(5000) && processEventsUntil([&] { return onBus(); });
    }
    void stop() {
        if (m_mock.state() == QProcess::NotRunning)
            return;
        m_mock.terminate();
        m_mock.waitForFinished(5000);
        processEventsUntil([&] { return !onBus(); });
    }
    bool onBus() { return m_bus.interface()->isServiceRegistered(kLogind).value(); }

    // PrepareForSleep with any signature, as logind (or something pretending) would send it.
    bool emitSignal(const QString& signature, const QVariantList& arguments) {
        QVariantList wrapped;
        for (const QVariant& argument : arguments)
            wrapped << QVariant::fromValue(QDBusVariant(argument));
        return call(QStringLiteral("EmitSignal"), {QStringLiteral("org.freedesktop.login1.Manager"),
                                                   QStringLiteral("PrepareForSleep"), signature, wrapped});
    }
    bool prepareForSleep(bool start) { return emitSignal(QStringLiteral("b"), {start}); }

    // Replaces Inhibit by a method that runs `code` (Python) and answers with `outSignature`.
    bool replaceInhibit(const QString& outSignature, const QString& code) {
        return call(QStringLiteral("AddMethod"),
                    {QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Inhibit"),
                     QStringLiteral("ssss"), outSignature, code});
    }

    std::vector<Inhibitor> inhibitors() {
        QDBusMessage reply = m_bus.call(QDBusMessage::createMethodCall(
            kLogind, kLogindPath, QStringLiteral("org.freedesktop.login1.Manager"),
            QStringLiteral("ListInhibitors")));
        std::vector<Inhibitor> result;
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1)
            return result;
        const QDBusArgument list = reply.arguments().front().value<QDBusArgument>();
        list.beginArray();
        while (!list.atEnd()) {
            Inhibitor inhibitor;
            QString why;
            uint uid = 0, pid = 0;
            list.beginStructure();
            list >> inhibitor.what >> inhibitor.who >> why >> inhibitor.mode >> uid >> pid;
            list.endStructure();
            result.push_back(inhibitor);
        }
        list.endArray();
        return result;
    }
    // Voltaro's sleep delay inhibitors that logind would wait for.
    int heldByVoltaro() {
        int count = 0;
        for (const Inhibitor& inhibitor : inhibitors())
            if (inhibitor.who == QStringLiteral("Voltaro") && inhibitor.what == QStringLiteral("sleep") &&
                inhibitor.mode == QStringLiteral("delay"))
                ++count;
        return count;
    }

private:
    bool call(const QString& method, const QVariantList& arguments) {
        QDBusMessage message = QDBusMessage::createMethodCall(kLogind, kLogindPath, kMockInterface, method);
        message.setArguments(arguments);
        const QDBusMessage reply = m_bus.call(message);
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        return reply.type() == QDBusMessage::ReplyMessage;
    }

    static inline int s_drivers = 0;
    QString m_busAddress;
    QString m_connectionName;
    QDBusConnection m_bus;
    QProcess m_mock;
};

// Records every message; acknowledges it at once unless told to hold on.
class RecordingHandler final : public PowerNotificationHandler {
public:
    explicit RecordingHandler(LogindPowerNotifications& source) : m_source(source) {}
    void callback(std::uint32_t messageType, std::uintptr_t messageArgument) override {
        types.push_back(messageType);
        arguments.push_back(messageArgument);
        if (acknowledge)
            m_source.allowPowerChange(messageArgument);
    }
    bool acknowledge = true;
    std::vector<std::uint32_t> types;
    std::vector<std::uintptr_t> arguments;

private:
    LogindPowerNotifications& m_source;
};

// What descriptor `fd` of this process refers to ("pipe:[1234]"), empty when it is closed.
std::string descriptorTarget(int fd) {
    char target[PATH_MAX];
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t length = ::readlink(link.c_str(), target, sizeof target);
    return length > 0 ? std::string(target, static_cast<std::size_t>(length)) : std::string();
}

// How many of this process's descriptors refer to `target`.
int descriptorsOpenOn(const std::string& target) {
    int count = 0;
    for (const QString& name : QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System))
        if (descriptorTarget(name.toInt()) == target)
            ++count;
    return count;
}

class LogindPowerNotificationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_bus.start()) << "cannot start dbus-daemon (scripts/setup-debian test installs it)";
        m_logind = std::make_unique<FakeLogind>(m_bus.address());
        ASSERT_TRUE(m_logind->start())
            << "cannot start python3-dbusmock's logind (scripts/setup-debian test)";
    }
    // Waits for the handler's n-th message.
    bool waitForMessages(const RecordingHandler& handler, std::size_t count) {
        return processEventsUntil([&] { return handler.types.size() >= count; });
    }

    PrivateBus m_bus;
    std::unique_ptr<FakeLogind> m_logind;
};

TEST_F(LogindPowerNotificationsTest, TheInhibitorIsReleasedForEachSleepAndTakenAgainAfterEachWake) {
    LogindPowerNotifications notifications(m_bus.address());
    RecordingHandler handler(notifications);
    ASSERT_TRUE(notifications.registerForSystemPower(handler));
    EXPECT_EQ(m_logind->heldByVoltaro(), 1) << "no delay inhibitor after registration";

    // Two rounds: the first inhibitor comes from the registration, the second from the wake.
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        ASSERT_TRUE(m_logind->prepareForSleep(true));
        ASSERT_TRUE(waitForMessages(handler, 2 * round - 1));
        EXPECT_EQ(handler.types.back(), kMessageSystemWillSleep);
        // A stray copy of the descriptor anywhere would keep logind waiting its full delay.
        EXPECT_TRUE(processEventsUntil([&] { return m_logind->heldByVoltaro() == 0; }, 1000))
            << "the inhibitor is still held after the sleep message was acknowledged";
        EXPECT_EQ(notifications.inhibitorDescriptor(), -1);

        ASSERT_TRUE(m_logind->prepareForSleep(false));
        ASSERT_TRUE(waitForMessages(handler, 2 * round));
        EXPECT_EQ(handler.types.back(), kMessageSystemHasPoweredOn);
        EXPECT_TRUE(processEventsUntil([&] { return m_logind->heldByVoltaro() == 1; }))
            << "no new inhibitor after the wake";
    }
    EXPECT_EQ(m_logind->heldByVoltaro(), 1);
    // Each message its own argument.
    EXPECT_EQ(std::set<std::uintptr_t>(handler.arguments.begin(), handler.arguments.end()).size(), 4u);
}

TEST_F(LogindPowerNotificationsTest, OnlyTheAcknowledgementOfTheSleepMessageReleasesTheInhibitor) {
    LogindPowerNotifications notifications(m_bus.address());
    RecordingHandler handler(notifications);
    handler.acknowledge = false;
    ASSERT_TRUE(notifications.registerForSystemPower(handler));

    ASSERT_TRUE(m_logind->prepareForSleep(true));
    ASSERT_TRUE(waitForMessages(handler, 1));
    const int held = notifications.inhibitorDescriptor();
    ASSERT_GE(held, 0);
    // Unknown ids change nothing.
    notifications.allowPowerChange(handler.arguments[0] + 1000);
    notifications.allowPowerChange(0);
    EXPECT_EQ(notifications.inhibitorDescriptor(), held);
    EXPECT_EQ(m_logind->heldByVoltaro(), 1);

    notifications.allowPowerChange(handler.arguments[0]);
    EXPECT_EQ(notifications.inhibitorDescriptor(), -1);
    EXPECT_TRUE(processEventsUntil([&] { return m_logind->heldByVoltaro() == 0; }, 1000));

    // The wake, acknowledged twice: still one inhibitor, not two.
    ASSERT_TRUE(m_logind->prepareForSleep(false));
    ASSERT_TRUE(waitForMessages(handler, 2));
    notifications.allowPowerChange(handler.arguments[1]);
    notifications.allowPowerChange(handler.arguments[1]);
    ASSERT_TRUE(processEventsUntil([&] { return notifications.inhibitorDescriptor() >= 0; }));
    EXPECT_EQ(m_logind->heldByVoltaro(), 1);
    // A late acknowledgement of the old sleep message does not drop the new inhibitor.
    notifications.allowPowerChange(handler.arguments[0]);
    EXPECT_GE(notifications.inhibitorDescriptor(), 0);
}

TEST_F(LogindPowerNotificationsTest, RegistrationFailsWithoutABusOrWithoutLogind) {
    m_logind->stop();
    const struct {
        const char* name;
        QString address;
    } cases[] = {
        {"no bus at all", QStringLiteral("unix:path=/nonexistent/voltaro-test-bus")},
        {"a bus without logind", m_bus.address()},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        LogindPowerNotifications notifications(testCase.address);
        RecordingHandler handler(notifications);
        EXPECT_FALSE(notifications.registerForSystemPower(handler));
        EXPECT_FALSE(notifications.isRegistered());
        EXPECT_EQ(notifications.inhibitorDescriptor(), -1);
        notifications.deregisterForSystemPower(); // harmless
    }
}

TEST_F(LogindPowerNotificationsTest, SignalsOfAnotherSignatureAreIgnored) {
    LogindPowerNotifications notifications(m_bus.address());
    RecordingHandler handler(notifications);
    ASSERT_TRUE(notifications.registerForSystemPower(handler));

    ASSERT_TRUE(m_logind->emitSignal(QStringLiteral("s"), {QStringLiteral("true")}));
    ASSERT_TRUE(m_logind->emitSignal(QStringLiteral("u"), {1u}));
    ASSERT_TRUE(m_logind->emitSignal(QStringLiteral("bb"), {true, true}));
    ASSERT_TRUE(m_logind->emitSignal(QString(), {}));
    // The bus keeps the order: once this one is here, the others were passed over.
    ASSERT_TRUE(m_logind->prepareForSleep(false));
    ASSERT_TRUE(waitForMessages(handler, 1));
    EXPECT_EQ(handler.types, std::vector<std::uint32_t>{kMessageSystemHasPoweredOn});
    EXPECT_EQ(m_logind->heldByVoltaro(), 1);
}

TEST_F(LogindPowerNotificationsTest, WithoutAnInhibitorSleepAndWakeStillArrive) {
    const struct {
        const char* name;
        QString outSignature;
        QString code;
    } cases[] = {
        {"Inhibit answers an error", QStringLiteral("h"),
         QStringLiteral("raise dbus.exceptions.DBusException('not now', "
                        "name='org.freedesktop.DBus.Error.AccessDenied')")},
        {"Inhibit answers a string", QStringLiteral("s"), QStringLiteral("ret = 'no descriptor'")},
        {"Inhibit answers nothing", QString(), QString()},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        ASSERT_TRUE(m_logind->replaceInhibit(testCase.outSignature, testCase.code));
        LogindPowerNotifications notifications(m_bus.address());
        RecordingHandler handler(notifications);
        ASSERT_TRUE(notifications.registerForSystemPower(handler));
        EXPECT_EQ(notifications.inhibitorDescriptor(), -1);

        ASSERT_TRUE(m_logind->prepareForSleep(true));
        ASSERT_TRUE(m_logind->prepareForSleep(false));
        ASSERT_TRUE(waitForMessages(handler, 2));
        EXPECT_EQ(handler.types,
                  (std::vector<std::uint32_t>{kMessageSystemWillSleep, kMessageSystemHasPoweredOn}));
        // The wake tried again and got nothing either; the next sleep still comes through.
        ASSERT_TRUE(m_logind->prepareForSleep(true));
        ASSERT_TRUE(waitForMessages(handler, 3));
        EXPECT_EQ(notifications.inhibitorDescriptor(), -1);
        EXPECT_EQ(m_logind->heldByVoltaro(), 0);
    }
}

TEST_F(LogindPowerNotificationsTest, ALogindThatRestartsGetsANewInhibitor) {
    LogindPowerNotifications notifications(m_bus.address());
    RecordingHandler handler(notifications);
    ASSERT_TRUE(notifications.registerForSystemPower(handler));
    ASSERT_EQ(m_logind->heldByVoltaro(), 1);

    m_logind->stop();
    EXPECT_TRUE(processEventsUntil([&] { return notifications.inhibitorDescriptor() == -1; }))
        << "the gone logind's inhibitor is still held";
    ASSERT_TRUE(m_logind->start());
    EXPECT_TRUE(processEventsUntil([&] { return m_logind->heldByVoltaro() == 1; }))
        << "no inhibitor from the restarted logind";

    // And its signals arrive.
    ASSERT_TRUE(m_logind->prepareForSleep(true));
    ASSERT_TRUE(waitForMessages(handler, 1));
    EXPECT_TRUE(processEventsUntil([&] { return m_logind->heldByVoltaro() == 0; }, 1000));
}

TEST_F(LogindPowerNotificationsTest, DeregistrationReleasesTheInhibitorAndStopsTheMessages) {
    LogindPowerNotifications leaving(m_bus.address());
    RecordingHandler leavingHandler(leaving);
    LogindPowerNotifications staying(m_bus.address());
    RecordingHandler stayingHandler(staying);
    ASSERT_TRUE(leaving.registerForSystemPower(leavingHandler));
    ASSERT_TRUE(staying.registerForSystemPower(stayingHandler));
    ASSERT_EQ(m_logind->heldByVoltaro(), 2);

    leaving.deregisterForSystemPower();
    EXPECT_FALSE(leaving.isRegistered());
    EXPECT_EQ(leaving.inhibitorDescriptor(), -1);
    EXPECT_TRUE(processEventsUntil([&] { return m_logind->heldByVoltaro() == 1; }, 1000));

    // The one still registered sees the signal; by then the other would have too.
    ASSERT_TRUE(m_logind->prepareForSleep(true));
    ASSERT_TRUE(waitForMessages(stayingHandler, 1));
    QCoreApplication::processEvents();
    EXPECT_TRUE(leavingHandler.types.empty());

    // Registering again works as the first time did.
    ASSERT_TRUE(leaving.registerForSystemPower(leavingHandler));
    ASSERT_TRUE(m_logind->prepareForSleep(false));
    ASSERT_TRUE(waitForMessages(leavingHandler, 1));
    EXPECT_EQ(leavingHandler.types, std::vector<std::uint32_t>{kMessageSystemHasPoweredOn});
}

TEST_F(LogindPowerNotificationsTest, ABusThatGoesAwayLeavesNothingOpen) {
    LogindPowerNotifications notifications(m_bus.address());
    RecordingHandler handler(notifications);
    ASSERT_TRUE(notifications.registerForSystemPower(handler));
    const int fd = notifications.inhibitorDescriptor();
    ASSERT_GE(fd, 0);
    const std::string pipe = descriptorTarget(fd);
    ASSERT_EQ(pipe.rfind("pipe:", 0), 0u) << pipe;

    // The bus library lets go of the answer's own copy once it is done with the message.
    ASSERT_TRUE(processEventsUntil([&] { return descriptorsOpenOn(pipe) == 1; }, 2000))
        << descriptorsOpenOn(pipe) << " descriptors on the inhibitor's pipe";

    m_bus.kill();
    EXPECT_TRUE(processEventsUntil([&] { return notifications.inhibitorDescriptor() == -1; }));
    EXPECT_EQ(descriptorsOpenOn(pipe), 0) << "the inhibitor's pipe is still open";

    // Nothing more arrives, acknowledging and leaving are harmless.
    notifications.allowPowerChange(1);
    notifications.deregisterForSystemPower();
    EXPECT_TRUE(handler.types.empty());
}

} // namespace
} // namespace voltaro
