#include "MainMenu.h"

#include "MainWindowShell.h"

#include "QtTestSupport.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <gtest/gtest.h>

namespace voltaro {
namespace {

class MainMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        QString error;
        ASSERT_TRUE(shell.load(&error)) << error.toStdString();
    }

    // The controller's rule, so that the wiring can be watched: the three window commands
    // follow the window's visibility.
    MainMenu::Commands commands() {
        return {[this] { ran.push_back("print"); }, [this] { ran.push_back("clearLog"); },
                [this] { ran.push_back("clearGraph"); }, [this] { ran.push_back("quit"); },
                [this](MenuAction action) {
                    ++validations;
                    return action == MenuAction::Other || shell.window()->isVisible();
                }};
    }

    std::vector<bool> enabledStates() const {
        return {shell.action("actionPrint")->isEnabled(), shell.action("actionClearLog")->isEnabled(),
                shell.action("actionClearGraph")->isEnabled()};
    }

    MainWindowShell shell{Bundle(QStringLiteral(VOLTARO_TEST_BUNDLE_DIR))};
    std::vector<std::string> ran;
    int validations = 0;
};

TEST_F(MainMenuTest, MenuBarHasFileEditAndHelp) {
    MainMenu menu(shell, commands());
    std::vector<std::string> layout;
    for (const QAction* title : shell.window()->menuBar()->actions()) {
        layout.push_back(title->text().toStdString() + ":");
        for (const QAction* item : title->menu()->actions())
            layout.push_back(item->isSeparator() ? "---"
                                                 : item->text().toStdString() + " " +
                                                       item->shortcut().toString().toStdString());
    }
    EXPECT_EQ(layout, (std::vector<std::string>{"&File:", "&Print… Ctrl+P", "---", "&Quit Ctrl+Q",
                                                "&Edit:", "Clear &Log ", "Clear &Graph ",
                                                "&Help:", "&About Voltaro "}));
    // No About panel yet: its item stays off whatever the window does.
    shell.makeKeyAndOrderFront();
    EXPECT_FALSE(shell.action("actionAbout")->isEnabled());
}

TEST_F(MainMenuTest, WindowCommandsFollowTheWindowAndRunOnlyWhileEnabled) {
    MainMenu menu(shell, commands());
    EXPECT_EQ(enabledStates(), (std::vector<bool>{false, false, false})); // hidden at launch

    shell.makeKeyAndOrderFront();
    EXPECT_EQ(enabledStates(), (std::vector<bool>{true, true, true}));
    for (const char* name : {"actionPrint", "actionClearLog", "actionClearGraph", "actionQuit"})
        shell.action(name)->trigger();
    EXPECT_EQ(ran, (std::vector<std::string>{"print", "clearLog", "clearGraph", "quit"}));

    shell.window()->hide();
    EXPECT_EQ(enabledStates(), (std::vector<bool>{false, false, false}));
    ran.clear();
    shell.action("actionPrint")->trigger(); // as its shortcut would
    EXPECT_TRUE(ran.empty());

    // Each menu asks again as it opens.
    const int before = validations;
    QMenu* file = shell.window()->menuBar()->findChild<QMenu*>(QStringLiteral("menuFile"));
    ASSERT_NE(file, nullptr);
    Q_EMIT file->aboutToShow();
    EXPECT_EQ(validations, before + 3);
}

} // namespace
} // namespace voltaro
