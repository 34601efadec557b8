#include "TrayIcon.h"

namespace voltaro {

TrayIcon::TrayIcon(std::function<void()> showMainWindow, std::function<void()> quit, DockMenuSource dockMenu)
    : m_showAction(QStringLiteral("Show Voltaro")), m_quitAction(QStringLiteral("Quit")),
      m_dockMenu(std::move(dockMenu)) {
    m_trayIcon.setToolTip(QStringLiteral("Voltaro"));
    QObject::connect(&m_showAction, &QAction::triggered, showMainWindow);
    QObject::connect(&m_quitAction, &QAction::triggered, std::move(quit));
    rebuildMenu();
    QObject::connect(&m_menu, &QMenu::aboutToShow, this, &TrayIcon::rebuildMenu);
    m_trayIcon.setContextMenu(&m_menu);
    QObject::connect(&m_trayIcon, &QSystemTrayIcon::activated,
                     [showMainWindow = std::move(showMainWindow)](QSystemTrayIcon::ActivationReason reason) {
                         if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
                             showMainWindow();
                     });
}

void TrayIcon::rebuildMenu() {
    // clear() deletes the readings' actions, which the menu owns, and only detaches ours.
    m_menu.clear();
    const std::optional<std::vector<DockMenuItem>> readings = m_dockMenu ? m_dockMenu() : std::nullopt;
    if (readings) {
        for (const DockMenuItem& item : *readings) {
            if (item.isSeparator) {
                m_menu.addSeparator();
                continue;
            }
            // No action: the readings only inform, and choosing one does nothing. They stay
            // enabled so they read as clearly as the rest of the menu.
            m_menu.addAction(QString::fromStdString(item.title));
        }
        if (!readings->empty())
            m_menu.addSeparator();
    }
    m_menu.addAction(&m_showAction);
    m_menu.addAction(&m_quitAction);
}

} // namespace voltaro
