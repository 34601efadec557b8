#include "MainWindowShell.h"

#include "GraphView.h"
#include "LogTextView.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace voltaro {
namespace {

TEST(MainWindowShellTest, LoadsTheWindowWithItsTabsAndViews) {
    MainWindowShell shell{Bundle(QStringLiteral(VOLTARO_TEST_BUNDLE_DIR))};
    QString error;
    ASSERT_TRUE(shell.load(&error)) << error.toStdString();
    EXPECT_FALSE(shell.window()->isVisible()); // shown only when the launch says so
    ASSERT_EQ(shell.tabView()->count(), 2);
    EXPECT_EQ(shell.tabView()->widget(0)->objectName(), QStringLiteral("log"));
    EXPECT_EQ(shell.tabView()->widget(1)->objectName(), QStringLiteral("history"));
    // The log is our own line view, with the name the .ui gives it for assistive tools.
    EXPECT_EQ(shell.logView()->objectName(), QStringLiteral("logView"));
    EXPECT_EQ(shell.logView()->accessibleName(), QStringLiteral("Event log"));
    EXPECT_EQ(shell.logView()->focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(shell.graphView()->history().maxSampleCount(), 1024);
    ASSERT_NE(shell.action("actionQuit"), nullptr);
    EXPECT_EQ(shell.action("actionQuit")->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
}

TEST(MainWindowShellTest, ReportsAMissingOrBrokenInterfaceFile) {
    QTemporaryDir bundle;
    ASSERT_TRUE(QDir(bundle.path()).mkpath(QStringLiteral("Resources")));
    MainWindowShell missing{Bundle(bundle.path())};
    QString error;
    EXPECT_FALSE(missing.load(&error));
    EXPECT_TRUE(error.contains(QStringLiteral("MainWindow.ui"))) << error.toStdString();

    QFile broken(bundle.path() + QStringLiteral("/Resources/MainWindow.ui"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("<ui version=\"4.0\"><widget class=\"QWidget\" name=\"x\"/></ui>");
    broken.close();
    MainWindowShell wrong{Bundle(bundle.path())};
    EXPECT_FALSE(wrong.load(&error));
    EXPECT_EQ(wrong.window(), nullptr);

    // A main window that takes the log view but lacks the rest: the half-built window goes,
    // and the views the controller writes to stay whole.
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
    broken.write("<ui version=\"4.0\"><widget class=\"QMainWindow\" name=\"w\">"
                 "<widget class=\"LogTextView\" name=\"logView\"/></widget>"
                 "<customwidgets><customwidget><class>LogTextView</class><extends>QWidget</extends>"
                 "</customwidget></customwidgets></ui>");
    broken.close();
    MainWindowShell incomplete{Bundle(bundle.path())};
    EXPECT_FALSE(incomplete.load(&error));
    EXPECT_TRUE(error.contains(QStringLiteral("lacks"))) << error.toStdString();
    EXPECT_EQ(incomplete.window(), nullptr);
    EXPECT_EQ(incomplete.logView()->parent(), nullptr);
    incomplete.logView()->appendText("still here\r");
    EXPECT_EQ(incomplete.logView()->lineAt(0), QStringLiteral("still here"));
}

TEST(MainWindowShellTest, BuildsTheWindowAroundTheViewsWhenFirstShown) {
    MainWindowShell shell{Bundle(QStringLiteral(VOLTARO_TEST_BUNDLE_DIR))};
    QString error;
    ASSERT_TRUE(shell.readInterface(&error)) << error.toStdString();
    LogTextView* logView = shell.logView();
    GraphView* graphView = shell.graphView();
    EXPECT_EQ(shell.window(), nullptr);
    logView->appendText("written before there was a window\r");

    int loaded = 0;
    shell.setLoadedAction([&] { ++loaded; });
    shell.makeKeyAndOrderFront();
    ASSERT_NE(shell.window(), nullptr);
    EXPECT_TRUE(shell.window()->isVisible());
    EXPECT_TRUE(shell.window()->isAncestorOf(logView));
    EXPECT_TRUE(shell.window()->isAncestorOf(graphView));
    EXPECT_EQ(shell.logView(), logView);
    EXPECT_EQ(shell.graphView(), graphView);
    EXPECT_EQ(logView->lineAt(0), QStringLiteral("written before there was a window"));
    shell.makeKeyAndOrderFront();
    EXPECT_EQ(loaded, 1);
}

TEST(MainWindowShellTest, TellsItsDelegateAboutActivationAndClosing) {
    MainWindowShell shell{Bundle(QStringLiteral(VOLTARO_TEST_BUNDLE_DIR))};
    QString error;
    ASSERT_TRUE(shell.load(&error));
    int becameKey = 0;
    int willClose = 0;
    shell.setWindowDelegate([&] { ++becameKey; }, [&] { ++willClose; });

    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(shell.window(), &activate);
    EXPECT_EQ(becameKey, 1);

    shell.makeKeyAndOrderFront();
    EXPECT_TRUE(shell.window()->isVisible());
    EXPECT_TRUE(shell.window()->close());
    EXPECT_EQ(willClose, 1);
    EXPECT_FALSE(shell.window()->isVisible());
}

} // namespace
} // namespace voltaro
