#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>

namespace voltaro {

// Runs the event loop until `done` holds or a generous deadline passes; tests wait for
// events this way instead of sleeping for a fixed time.
template <typename Predicate> bool processEventsUntil(Predicate done, int deadlineMs = 10000) {
    QElapsedTimer elapsed;
    elapsed.start();
    while (!done() && elapsed.elapsed() < deadlineMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return done();
}

} // namespace voltaro
