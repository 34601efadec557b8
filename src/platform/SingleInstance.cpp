#include "SingleInstance.h"

#include <QDir>
#include <QLocalSocket>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace voltaro {

namespace {

constexpr char kShowRequest[] = "show\n";

} // namespace

SingleInstance::SingleInstance(QString runtimeDirectory)
    : m_directory(runtimeDirectory.isEmpty() ? defaultRuntimeDirectory() : std::move(runtimeDirectory)) {}

SingleInstance::~SingleInstance() {
    m_server.reset();
    if (m_lockFd >= 0)
        ::close(m_lockFd);
}

QString SingleInstance::defaultRuntimeDirectory() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        return runtime;
    return QDir::tempPath() + QStringLiteral("/voltaro-") + QString::number(::getuid());
}

SingleInstance::Role SingleInstance::claim() {
    if (!QDir(m_directory).exists()) {
        // Only the fallback folder in /tmp is ours to make; keep it private.
        if (!QDir().mkpath(m_directory))
            return Role::Unavailable;
        QFile::setPermissions(m_directory,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    const QByteArray lockPath = QFile::encodeName(m_directory + QStringLiteral("/voltaro.lock"));
    const QString socketPath = m_directory + QStringLiteral("/voltaro.socket");

    m_lockFd = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_lockFd < 0)
        return Role::Unavailable;
    if (::flock(m_lockFd, LOCK_EX | LOCK_NB) != 0) {
        ::close(m_lockFd);
        m_lockFd = -1;
        QLocalSocket socket;
        socket.connectToServer(socketPath);
        if (socket.waitForConnected(2000)) {
            socket.write(kShowRequest);
            socket.waitForBytesWritten(2000);
            socket.disconnectFromServer();
        }
        return Role::Secondary;
    }

    // We hold the lock: a socket file left there is from a run that ended without cleaning up.
    QLocalServer::removeServer(socketPath);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (m_server->listen(socketPath)) {
        connect(m_server.get(), &QLocalServer::newConnection, this, [this] {
            while (QLocalSocket* client = m_server->nextPendingConnection()) {
                connect(client, &QLocalSocket::readyRead, this, [this, client] {
                    if (client->readAll().contains("show"))
                        emit activationRequested();
                    client->disconnectFromServer();
                });
                connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
            }
        });
    }
    return Role::Primary;
}

} // namespace voltaro
