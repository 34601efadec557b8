#include "TrayIcon.h"

namespace voltaro {

TrayIcon::TrayIcon(std::function<void()> showMainWindow, std::function<void()> quit) {
    m_trayIcon.setToolTip(QStringLiteral("Voltaro"));
    m_menu.addAction(QStringLiteral("Show Voltaro"), showMainWindow);
    m_menu.addAction(QStringLiteral("Quit"), std::move(quit));
    m_trayIcon.setContextMenu(&m_menu);
    QObject::connect(&m_trayIcon, &QSystemTrayIcon::activated,
                     [showMainWindow = std::move(showMainWindow)](QSystemTrayIcon::ActivationReason reason) {
                         if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
                             showMainWindow();
                     });
}

} // namespace voltaro
