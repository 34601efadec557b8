#pragma once

#include "AppController.h"
#include "Bundle.h"
#include "GraphView.h"
#include "LogindPowerNotifications.h"
#include "LogTextView.h"
#include "MainMenu.h"
#include "MainWindowShell.h"
#include "PosixFileSystem.h"
#include "QSettingsPreferenceStore.h"
#include "QtApplication.h"
#include "QtDockIcon.h"
#include "QtPollTimer.h"
#include "QtPrinting.h"
#include "QtTabView.h"
#include "QtWelcomeWindow.h"
#include "QuitSignals.h"
#include "SingleInstance.h"
#include "SysfsPowerService.h"
#include "TrayIcon.h"

#include <memory>

namespace voltaro {

// Puts Voltaro together on Linux: the sysfs battery reader, the Qt timer, the main window
// from its .ui file, the window and tray icon, QSettings preferences, and the controller
// that drives them.
class ApplicationShell {
public:
    ApplicationShell();
    ~ApplicationShell();

    // Runs the launch, the event loop and the termination; the process's exit status.
    int run();

private:
    Bundle m_bundle;
    SysfsPowerService m_powerService;
    SystemClock m_clock;
    QtTimerFactory m_timerFactory;
    QSettingsPreferenceStore m_preferenceStore;
    Preferences m_preferences;
    PosixFileSystem m_fileSystem;
    MainWindowShell m_mainWindow;
    QtWelcomeWindow m_welcomeWindow;
    SingleInstance m_singleInstance;
    QuitSignals m_quitSignals;
    LogindPowerNotifications m_powerNotifications;
    QtDockIcon m_dockIcon;
    std::unique_ptr<TrayIcon> m_trayIcon;
    std::unique_ptr<QtApplication> m_application;
    std::unique_ptr<QtTabView> m_tabView;
    std::unique_ptr<QtPrinting> m_printing;
    std::unique_ptr<AppController> m_controller;
    std::unique_ptr<MainMenu> m_mainMenu;
};

} // namespace voltaro
