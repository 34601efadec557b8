#include "SingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include "QtTestSupport.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace voltaro {
namespace {

TEST(SingleInstanceTest, SecondClaimAsksTheFirstToShowItself) {
    QTemporaryDir runtime;
    SingleInstance first(runtime.path());
    ASSERT_EQ(first.claim(), SingleInstance::Role::Primary);
    int activations = 0;
    QObject::connect(&first, &SingleInstance::activationRequested, [&] { ++activations; });

    // The second claim comes from another process, as a second launch would.
    const pid_t child = ::fork();
    if (child == 0) {
        SingleInstance second(runtime.path());
        ::_exit(second.claim() == SingleInstance::Role::Secondary ? 0 : 1);
    }
    EXPECT_TRUE(processEventsUntil([&] { return activations == 1; }));
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(SingleInstanceTest, ALockLeftByAKilledRunDoesNotBlock) {
    QTemporaryDir runtime;
    const pid_t child = ::fork();
    if (child == 0) {
        SingleInstance crashed(runtime.path());
        crashed.claim();
        ::kill(::getpid(), SIGKILL); // no clean-up: lock file and socket file stay behind
    }
    ::waitpid(child, nullptr, 0);
    ASSERT_TRUE(QFile::exists(runtime.path() + QStringLiteral("/voltaro.lock")));
    SingleInstance next(runtime.path());
    EXPECT_EQ(next.claim(), SingleInstance::Role::Primary);
}

TEST(SingleInstanceTest, AFolderTooDeepForASocketStillHoldsTheLock) {
    QTemporaryDir runtime;
    const QString deep = runtime.path() + QStringLiteral("/") + QString(120, QLatin1Char('d'));
    ASSERT_TRUE(QDir().mkpath(deep));
    SingleInstance first(deep);
    EXPECT_EQ(first.claim(), SingleInstance::Role::Primary);
    SingleInstance second(deep);
    EXPECT_EQ(second.claim(), SingleInstance::Role::Secondary);
}

TEST(SingleInstanceTest, AnUnusableRuntimeFolderIsReported) {
    SingleInstance nowhere(QStringLiteral("/proc/voltaro-cannot-be-here"));
    EXPECT_EQ(nowhere.claim(), SingleInstance::Role::Unavailable);
}

} // namespace
} // namespace voltaro
