#include "SingleInstance.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace voltaro {

namespace {

constexpr char kShowRequest[] = "show";

// The socket address for `path`; false when the path is too long for one.
bool socketAddress(const QByteArray& path, sockaddr_un* address) {
    std::memset(address, 0, sizeof *address);
    address->sun_family = AF_UNIX;
    if (path.isEmpty() || std::size_t(path.size()) >= sizeof address->sun_path)
        return false;
    std::memcpy(address->sun_path, path.constData(), std::size_t(path.size()));
    return true;
}

// Sends the request to show the window; the running instance may be gone, which is fine.
void sendShowRequest(const QByteArray& socketPath) {
    sockaddr_un address;
    if (!socketAddress(socketPath, &address))
        return;
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return;
    ::sendto(fd, kShowRequest, sizeof kShowRequest - 1, MSG_NOSIGNAL,
             reinterpret_cast<const sockaddr*>(&address), sizeof address);
    ::close(fd);
}

} // namespace

SingleInstance::SingleInstance(QString runtimeDirectory)
    : m_directory(runtimeDirectory.isEmpty() ? defaultRuntimeDirectory() : std::move(runtimeDirectory)) {}

SingleInstance::~SingleInstance() {
    m_notifier.reset();
    if (m_socketFd >= 0)
        ::close(m_socketFd);
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
    const QByteArray socketPath = QFile::encodeName(m_directory + QStringLiteral("/voltaro.socket"));

    m_lockFd = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_lockFd < 0)
        return Role::Unavailable;
    if (::flock(m_lockFd, LOCK_EX | LOCK_NB) != 0) {
        ::close(m_lockFd);
        m_lockFd = -1;
        sendShowRequest(socketPath);
        return Role::Secondary;
    }
    listen(socketPath);
    return Role::Primary;
}

void SingleInstance::listen(const QByteArray& socketPath) {
    sockaddr_un address;
    if (!socketAddress(socketPath, &address))
        return; // a runtime folder this deep still gets the lock, only no second-launch request
    m_socketFd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_socketFd < 0)
        return;
    // We hold the lock: a socket file left there is from a run that ended without cleaning up.
    ::unlink(socketPath.constData());
    if (::bind(m_socketFd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(m_socketFd);
        m_socketFd = -1;
        return;
    }
    ::chmod(socketPath.constData(), S_IRUSR | S_IWUSR);
    m_notifier = std::make_unique<QSocketNotifier>(m_socketFd, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &SingleInstance::readRequests);
}

void SingleInstance::readRequests() {
    // Several launches in a row send several requests; one window raise answers them all.
    bool show = false;
    char buffer[64];
    for (;;) {
        const ssize_t count = ::recv(m_socketFd, buffer, sizeof buffer, 0);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            break; // EAGAIN: all read
        if (std::size_t(count) == sizeof kShowRequest - 1 &&
            std::memcmp(buffer, kShowRequest, sizeof kShowRequest - 1) == 0)
            show = true;
    }
    if (show)
        emit activationRequested();
}

} // namespace voltaro
