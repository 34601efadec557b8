#include "QtWelcomeWindow.h"

#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace voltaro {
namespace {

TEST(QtWelcomeWindowTest, IsBuiltAboveItsParentWhenFirstShownAndEndsThroughItsButton) {
    QWidget parent;
    int parentAsked = 0;
    QtWelcomeWindow window(Bundle(QStringLiteral(VOLTARO_TEST_BUNDLE_DIR)), [&] {
        ++parentAsked;
        return &parent;
    });
    EXPECT_EQ(window.dialog(), nullptr);
    EXPECT_EQ(parentAsked, 0);

    int done = 0;
    window.setDoneAction([&] {
        ++done;
        window.stopModal();
    });
    window.center();
    ASSERT_NE(window.dialog(), nullptr);
    EXPECT_EQ(window.dialog()->parentWidget(), &parent);
    QTimer::singleShot(
        0, [&] { window.dialog()->findChild<QPushButton*>(QStringLiteral("doneButton"))->click(); });
    window.runModalSession();
    EXPECT_EQ(done, 1);
    EXPECT_EQ(parentAsked, 1);
}

TEST(QtWelcomeWindowTest, AMissingInterfaceFileEndsTheSessionAtOnce) {
    QTemporaryDir bundle;
    ASSERT_TRUE(QDir(bundle.path()).mkpath(QStringLiteral("Resources")));
    QtWelcomeWindow window(Bundle(bundle.path()), [] { return nullptr; });
    QString error;
    EXPECT_FALSE(window.load(&error));
    EXPECT_TRUE(error.contains(QStringLiteral("WelcomeWindow.ui"))) << error.toStdString();
    // The launch goes on as after a dismissed window: nothing here may wait or crash.
    window.center();
    window.runModalSession();
    window.stopModal();
    window.close();
    EXPECT_EQ(window.dialog(), nullptr);
}

} // namespace
} // namespace voltaro
