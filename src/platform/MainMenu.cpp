#include "MainMenu.h"

#include "MainWindowShell.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>

namespace voltaro {

namespace {

struct ValidatedItem {
    const char* name;
    MenuAction action;
};
constexpr ValidatedItem kValidatedItems[] = {
    {"actionPrint", MenuAction::Print},
    {"actionClearLog", MenuAction::ClearLog},
    {"actionClearGraph", MenuAction::ClearGraph},
};

void connectItem(const MainWindowShell& window, const char* name, const std::function<void()>& command) {
    if (QAction* action = window.action(name); action && command)
        QObject::connect(action, &QAction::triggered, action, [command] { command(); });
}

} // namespace

MainMenu::MainMenu(MainWindowShell& window, Commands commands)
    : m_window(window), m_commands(std::move(commands)) {
    connectItem(m_window, "actionPrint", m_commands.print);
    connectItem(m_window, "actionClearLog", m_commands.clearLog);
    connectItem(m_window, "actionClearGraph", m_commands.clearGraph);
    connectItem(m_window, "actionQuit", m_commands.quit);
    if (QMainWindow* mainWindow = m_window.window()) {
        for (QMenu* menu : mainWindow->menuBar()->findChildren<QMenu*>())
            connect(menu, &QMenu::aboutToShow, this, &MainMenu::validateItems);
        mainWindow->installEventFilter(this);
    }
    validateItems();
}

MainMenu::~MainMenu() {
    if (QMainWindow* mainWindow = m_window.window())
        mainWindow->removeEventFilter(this);
}

void MainMenu::validateItems() {
    for (const ValidatedItem& item : kValidatedItems) {
        if (QAction* action = m_window.action(item.name))
            action->setEnabled(m_commands.validate && m_commands.validate(item.action));
    }
}

bool MainMenu::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window.window() && (event->type() == QEvent::Show || event->type() == QEvent::Hide))
        validateItems();
    return QObject::eventFilter(watched, event);
}

} // namespace voltaro
