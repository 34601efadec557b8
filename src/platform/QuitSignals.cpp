#include "QuitSignals.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace voltaro {

namespace {

int g_signalSockets[2] = {-1, -1};
constexpr int kQuitSignals[] = {SIGTERM, SIGINT, SIGHUP};

void onQuitSignal(int signalNumber) {
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(g_signalSockets[0], &byte, 1);
    errno = savedErrno;
}

} // namespace

QuitSignals::QuitSignals() {
    if (g_signalSockets[0] >= 0)
        return; // one instance per process
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_signalSockets) != 0)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(g_signalSockets[1], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &QuitSignals::drain);
    struct sigaction action {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : kQuitSignals)
        ::sigaction(signalNumber, &action, nullptr);
}

QuitSignals::~QuitSignals() {
    if (!m_notifier)
        return;
    for (const int signalNumber : kQuitSignals)
        ::signal(signalNumber, SIG_DFL);
    m_notifier.reset();
    ::close(g_signalSockets[0]);
    ::close(g_signalSockets[1]);
    g_signalSockets[0] = g_signalSockets[1] = -1;
}

void QuitSignals::drain() {
    unsigned char byte = 0;
    int last = 0;
    while (::read(g_signalSockets[1], &byte, 1) == 1)
        last = byte;
    if (last != 0)
        emit quitRequested(last);
}

} // namespace voltaro
