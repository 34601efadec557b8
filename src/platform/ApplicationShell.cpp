#include "ApplicationShell.h"

#include "Console.h"

#include <QAction>
#include <QApplication>
#include <QTimer>

namespace voltaro {

ApplicationShell::ApplicationShell()
    : m_bundle(Bundle::mainBundle()), m_powerService(SysfsPowerService::defaultRoot()),
      m_preferences(m_preferenceStore), m_mainWindow(m_bundle), m_dockIcon(m_bundle) {}

ApplicationShell::~ApplicationShell() = default;

int ApplicationShell::run() {
    if (!m_bundle.isValid()) {
        writeConsoleLine("Cannot find the application bundle (Voltaro.bundle) beside the executable");
        return 1;
    }
    QString error;
    if (!m_mainWindow.load(&error)) {
        writeConsoleLine("Cannot load the main window: " + error.toStdString());
        return 1;
    }

    m_application = std::make_unique<QtApplication>([this] { m_mainWindow.makeKeyAndOrderFront(); });
    m_logView = std::make_unique<QtLogView>(m_mainWindow.logView());

    // With a system tray the program lives on when its window closes; without one, closing
    // the window is the way out, so it quits.
    const bool trayAvailable = QSystemTrayIcon::isSystemTrayAvailable();
    QApplication::setQuitOnLastWindowClosed(!trayAvailable);
    m_trayIcon = std::make_unique<TrayIcon>([this] { m_mainWindow.makeKeyAndOrderFront(); },
                                            [] { QCoreApplication::quit(); });
    m_dockIcon.setTrayIcon(m_trayIcon->systemTrayIcon());
    m_trayIcon->systemTrayIcon()->setIcon(QtDockIcon::iconOf(m_dockIcon.standardIcon()));
    m_trayIcon->systemTrayIcon()->show();

    if (QAction* quit = m_mainWindow.action("actionQuit"))
        QObject::connect(quit, &QAction::triggered, [] { QCoreApplication::quit(); });

    AppController::initialize(m_preferences);
    m_controller = std::make_unique<AppController>(ControllerServices{
        m_powerService, m_clock, m_timerFactory, *m_logView, m_dockIcon, *m_application, m_preferences,
        m_mainWindow.graphView()->history()});
    m_mainWindow.setWindowDelegate([this] { m_controller->windowDidBecomeKey(); },
                                   [this] { m_controller->windowWillClose(); });

    if (!m_controller->awakeFromNib() || m_application->terminateRequested()) {
        m_controller->applicationWillTerminate();
        return 0;
    }
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, [this] { m_controller->applicationWillTerminate(); });
    QTimer::singleShot(0, [this] { m_controller->applicationDidFinishLaunching(); });
    return QApplication::exec();
}

} // namespace voltaro
