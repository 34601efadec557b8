#include "QtPollTimer.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace voltaro {
namespace {

// Runs the event loop until `done` or a generous deadline; never a fixed sleep.
template <typename Predicate> bool processEventsUntil(Predicate done) {
    QElapsedTimer elapsed;
    elapsed.start();
    while (!done() && elapsed.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    return done();
}

TEST(QtPollTimerTest, RepeatsUntilInvalidated) {
    QtTimerFactory factory;
    int ticks = 0;
    auto timer = factory.scheduledTimer(std::chrono::milliseconds(1), [&] { ++ticks; });
    ASSERT_NE(timer, nullptr);
    ASSERT_TRUE(processEventsUntil([&] { return ticks >= 3; }));
    timer->invalidate();
    const int stoppedAt = ticks;
    QCoreApplication::processEvents();
    EXPECT_EQ(ticks, stoppedAt);
}

} // namespace
} // namespace voltaro
