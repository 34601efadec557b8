#include "QtPollTimer.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include "QtTestSupport.h"

#include <gtest/gtest.h>

namespace voltaro {
namespace {


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
