#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <memory>

namespace voltaro {

// Turns SIGTERM, SIGINT and SIGHUP (logout, Ctrl-C) into a normal quit through the event
// loop, so the termination sequence runs and the log is saved. The handler only writes a
// byte to a socket; everything else happens on the main thread.
class QuitSignals final : public QObject {
    Q_OBJECT

public:
    QuitSignals();
    ~QuitSignals() override;

    bool isInstalled() const { return m_notifier != nullptr; }

signals:
    void quitRequested(int signalNumber);

private:
    void drain();

    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace voltaro
