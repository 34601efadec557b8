#include "ApplicationShell.h"

#include "Console.h"

#include <QAction>
#include <QApplication>
#include <QTimer>

namespace voltaro {

ApplicationShell::ApplicationShell()
    : m_bundle(Bundle::mainBundle()), m_powerService(SysfsPowerService::defaultRoot()),
      m_preferences(m_preferenceStore), m_mainWindow(m_bundle),
      m_welcomeWindow(m_bundle,
                      [this] { return m_mainWindow.ensureLoaded() ? m_mainWindow.window() : nullptr; }),
      m_dockIcon(m_bundle) {}

ApplicationShell::~ApplicationShell() = default;

int ApplicationShell::run() {
    if (!m_bundle.isValid()) {
        writeConsoleLine("Cannot find the application bundle (Voltaro.bundle) beside the executable");
        return 1;
    }
    // A second run only brings the first one's window forward; it touches nothing else.
    switch (m_singleInstance.claim()) {
    case SingleInstance::Role::Secondary:
        return 0;
    case SingleInstance::Role::Unavailable:
        writeConsoleLine("Cannot take the instance lock in " +
                         SingleInstance::defaultRuntimeDirectory().toStdString() + "; running anyway");
        break;
    case SingleInstance::Role::Primary:
        break;
    }
    QObject::connect(&m_singleInstance, &SingleInstance::activationRequested,
                     [this] { m_mainWindow.makeKeyAndOrderFront(); });
    QObject::connect(&m_quitSignals, &QuitSignals::quitRequested, [] { QtApplication::quitEventLoop(); });

    QString error;
    if (!m_mainWindow.readInterface(&error)) {
        writeConsoleLine("Cannot load the interface: " + error.toStdString());
        return 1;
    }

    m_application = std::make_unique<QtApplication>(
        [this] { m_mainWindow.makeKeyAndOrderFront(); },
        [this] { return m_mainWindow.window() != nullptr && m_mainWindow.window()->isVisible(); });

    // With a system tray the program lives on when its window closes; without one, closing
    // the window is the way out, so it quits.
    const bool trayAvailable = QSystemTrayIcon::isSystemTrayAvailable();
    QApplication::setQuitOnLastWindowClosed(!trayAvailable);
    m_trayIcon = std::make_unique<TrayIcon>(
        [this] { m_mainWindow.makeKeyAndOrderFront(); }, [] { QtApplication::quitEventLoop(); },
        [this] { return m_controller ? m_controller->applicationDockMenu() : std::nullopt; });
    m_dockIcon.setTrayIcon(m_trayIcon->systemTrayIcon());
    m_trayIcon->systemTrayIcon()->setIcon(QtDockIcon::iconOf(m_dockIcon.standardIcon()));
    m_trayIcon->systemTrayIcon()->show();

    m_tabView = std::make_unique<QtTabView>(m_mainWindow);
    m_printing = std::make_unique<QtPrinting>(nullptr, *m_mainWindow.logView(), *m_mainWindow.graphView());
    AppController::initialize(m_preferences);
    m_controller = std::make_unique<AppController>(
        ControllerServices{m_powerService, m_clock, m_timerFactory, *m_mainWindow.logView(), m_dockIcon,
                           *m_application, m_preferences, m_mainWindow.graphView()->history(), m_fileSystem,
                           m_welcomeWindow, m_powerNotifications, *m_tabView, *m_printing});
    // The menu bar and the print dialog's parent come with the window, when it is first shown.
    m_mainWindow.setLoadedAction([this] {
        m_printing->setDialogParent(m_mainWindow.window());
        m_mainMenu = std::make_unique<MainMenu>(
            m_mainWindow,
            MainMenu::Commands{[this] { m_controller->print(); }, [this] { m_controller->clearLog(); },
                               [this] { m_controller->clearGraph(); }, [] { QtApplication::quitEventLoop(); },
                               [this](MenuAction action) { return m_controller->validateMenuItem(action); }});
    });
    m_welcomeWindow.setDoneAction([this] { m_controller->doneWelcome(); });
    // Without a tray, closing the window quits: that is not a choice to start hidden next time,
    // which would leave Voltaro with nothing on screen at all.
    m_mainWindow.setWindowDelegate([this] { m_controller->windowDidBecomeKey(); },
                                   [this, trayAvailable] {
                                       if (trayAvailable)
                                           m_controller->windowWillClose();
                                   });

    if (!m_controller->awakeFromNib() || m_application->terminateRequested()) {
        m_controller->applicationWillTerminate();
        return 0;
    }
    QObject::connect(qApp, &QCoreApplication::aboutToQuit,
                     [this] { m_controller->applicationWillTerminate(); });
    // The launch finishes before the event loop's first pass, so a welcome window scheduled
    // during it comes up after the start lines, the first poll and the main window.
    m_controller->applicationDidFinishLaunching();
    return QApplication::exec();
}

} // namespace voltaro
