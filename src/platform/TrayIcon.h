#pragma once

#include "DockMenu.h"

#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>

#include <functional>
#include <optional>
#include <vector>

namespace voltaro {

// The icon in the desktop's system tray: a click shows the main window. Its menu is built
// afresh each time it is about to show: the live readings of the dock menu (items with no
// action, so they only inform), a separator, then "Show Voltaro" and "Quit". Without
// readings it holds only the last two.
class TrayIcon final : public QObject {
    Q_OBJECT

public:
    using DockMenuSource = std::function<std::optional<std::vector<DockMenuItem>>()>;

    TrayIcon(std::function<void()> showMainWindow, std::function<void()> quit, DockMenuSource dockMenu = {});

    QSystemTrayIcon* systemTrayIcon() { return &m_trayIcon; }
    QMenu* menu() { return &m_menu; }

private:
    void rebuildMenu();

    QSystemTrayIcon m_trayIcon;
    QMenu m_menu;
    QAction m_showAction;
    QAction m_quitAction;
    DockMenuSource m_dockMenu;
};

} // namespace voltaro
