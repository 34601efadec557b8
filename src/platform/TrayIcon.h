#pragma once

#include <QMenu>
#include <QSystemTrayIcon>

#include <functional>

namespace voltaro {

// The icon in the desktop's system tray: a click shows the main window; its menu offers
// "Show Voltaro" and "Quit".
class TrayIcon final : public QObject {
    Q_OBJECT

public:
    TrayIcon(std::function<void()> showMainWindow, std::function<void()> quit);

    QSystemTrayIcon* systemTrayIcon() { return &m_trayIcon; }
    QMenu* menu() { return &m_menu; }

private:
    QSystemTrayIcon m_trayIcon;
    QMenu m_menu;
};

} // namespace voltaro
