#pragma once

#include "DockMenu.h"

#include <QObject>

#include <functional>

class QAction;

namespace voltaro {

class MainWindowShell;

// The main window's menu bar (laid out in MainWindow.ui):
//   File: Print… (Ctrl+P), Quit (Ctrl+Q)
//   Edit: Clear Log, Clear Graph
//   Help: About Voltaro
// Connects the items to their commands and keeps Print, Clear Log and Clear Graph enabled
// as `validate` says: each time a menu is about to show and whenever the window is shown or
// hidden, so their shortcuts follow too. About Voltaro stays as the .ui leaves it.
class MainMenu final : public QObject {
    Q_OBJECT

public:
    struct Commands {
        std::function<void()> print;
        std::function<void()> clearLog;
        std::function<void()> clearGraph;
        std::function<void()> quit;
        std::function<bool(MenuAction)> validate;
    };

    MainMenu(MainWindowShell& window, Commands commands);
    ~MainMenu() override;

    // Asks `validate` about each item again.
    void validateItems();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MainWindowShell& m_window;
    Commands m_commands;
};

} // namespace voltaro
