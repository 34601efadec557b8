#include "MainWindowShell.h"

#include "Console.h"
#include "GraphView.h"
#include "LogTextView.h"
#include "UiFile.h"

#include <QAction>
#include <QCloseEvent>

namespace voltaro {

MainWindowShell::MainWindowShell(Bundle bundle)
    : m_bundle(std::move(bundle)), m_ownedLogView(std::make_unique<LogTextView>()),
      m_ownedGraphView(std::make_unique<GraphView>()), m_logView(m_ownedLogView.get()),
      m_graphView(m_ownedGraphView.get()) {}

MainWindowShell::~MainWindowShell() {
    if (m_window)
        m_window->removeEventFilter(this);
}

bool MainWindowShell::readInterface(QString* error) {
    if (m_description.isEmpty())
        m_description = readUiFile(m_bundle.pathForResource(QStringLiteral("MainWindow.ui")), error);
    return !m_description.isEmpty();
}

bool MainWindowShell::load(QString* error) {
    if (m_window)
        return true;
    if (!readInterface(error))
        return false;
    const QString path = m_bundle.pathForResource(QStringLiteral("MainWindow.ui"));
    QWidget* widget = buildUi(m_description, path, nullptr, {m_logView, m_graphView}, error);
    if (!widget)
        return false;
    std::unique_ptr<QWidget> built(widget);
    auto* window = qobject_cast<QMainWindow*>(widget);
    auto* tabs = window ? window->findChild<QTabWidget*>(QStringLiteral("tabView")) : nullptr;
    const bool hasViews = window && window->isAncestorOf(m_logView) && window->isAncestorOf(m_graphView);
    if (!window || !tabs || !hasViews) {
        // Take the views back before the half-built window goes, with them in it.
        m_logView->setParent(nullptr);
        m_graphView->setParent(nullptr);
        *error = window ? QStringLiteral("%1 lacks the log view, the graph view or the tab view").arg(path)
                        : QStringLiteral("%1 holds no main window").arg(path);
        return false;
    }
    m_window.reset(window);
    built.release();
    m_ownedLogView.release();
    m_ownedGraphView.release();
    m_tabView = tabs;
    m_window->installEventFilter(this);
    if (m_loaded)
        m_loaded();
    return true;
}

bool MainWindowShell::ensureLoaded() {
    QString error;
    if (load(&error))
        return true;
    writeConsoleLine("Cannot load the main window: " + error.toStdString());
    return false;
}

void MainWindowShell::setLoadedAction(std::function<void()> loaded) {
    m_loaded = std::move(loaded);
}

QAction* MainWindowShell::action(const char* name) const {
    return m_window ? m_window->findChild<QAction*>(QLatin1String(name)) : nullptr;
}

void MainWindowShell::setWindowDelegate(std::function<void()> didBecomeKey, std::function<void()> willClose) {
    m_didBecomeKey = std::move(didBecomeKey);
    m_willClose = std::move(willClose);
}

void MainWindowShell::makeKeyAndOrderFront() {
    if (!ensureLoaded())
        return;
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

bool MainWindowShell::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window.get()) {
        if (event->type() == QEvent::WindowActivate && m_didBecomeKey)
            m_didBecomeKey();
        else if (event->type() == QEvent::Close && m_willClose)
            m_willClose();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace voltaro
