#include "QuitSignals.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <csignal>

namespace voltaro {
namespace {

TEST(QuitSignalsTest, TermIntAndHupBecomeQuitRequestsOnTheEventLoop) {
    QuitSignals quitSignals;
    ASSERT_TRUE(quitSignals.isInstalled());
    std::vector<int> received;
    QObject::connect(&quitSignals, &QuitSignals::quitRequested,
                     [&](int number) { received.push_back(number); });
    for (const int number : {SIGTERM, SIGINT, SIGHUP}) {
        ::raise(number); // the process lives on: the handler only records it
        EXPECT_TRUE(received.empty() || received.back() != number) << "handled inside the signal handler";
        QElapsedTimer elapsed;
        elapsed.start();
        while ((received.empty() || received.back() != number) && elapsed.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        ASSERT_FALSE(received.empty());
        EXPECT_EQ(received.back(), number);
    }
}

} // namespace
} // namespace voltaro
