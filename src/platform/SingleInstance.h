#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QString>

#include <memory>

namespace voltaro {

// One Voltaro per user. The first run holds a lock in the user's runtime folder and listens
// on a local datagram socket beside it; a later run finds the lock taken, sends the first one
// a request to bring its window forward, and leaves. The lock dies with its process, so a
// crashed run leaves nothing that blocks the next. Plain POSIX sockets: a networking library
// would cost an always-running monitor more memory than the rest of this class.
class SingleInstance final : public QObject {
    Q_OBJECT

public:
    // `runtimeDirectory` empty: $XDG_RUNTIME_DIR, or a private folder in /tmp without it.
    explicit SingleInstance(QString runtimeDirectory = QString());
    ~SingleInstance() override;

    enum class Role { Primary, Secondary, Unavailable };
    // Takes the lock, or, when another run holds it, sends it the request to show itself.
    Role claim();

    static QString defaultRuntimeDirectory();

signals:
    void activationRequested();

private:
    void listen(const QByteArray& socketPath);
    void readRequests();

    QString m_directory;
    int m_lockFd = -1;
    int m_socketFd = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace voltaro
