#include "MainWindowShell.h"

#include "GraphView.h"
#include "LogTextView.h"

#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QUiLoader>

namespace voltaro {

namespace {

// Creates our own widgets named in .ui files; everything else comes from Qt.
class VoltaroUiLoader final : public QUiLoader {
public:
    using QUiLoader::QUiLoader;

    QWidget* createWidget(const QString& className, QWidget* parent, const QString& name) override {
        if (className == QLatin1String("GraphView")) {
            auto* view = new GraphView(parent);
            view->setObjectName(name);
            return view;
        }
        if (className == QLatin1String("LogTextView")) {
            auto* view = new LogTextView(parent);
            view->setObjectName(name);
            return view;
        }
        return QUiLoader::createWidget(className, parent, name);
    }
};

} // namespace

MainWindowShell::MainWindowShell(Bundle bundle) : m_bundle(std::move(bundle)) {}

MainWindowShell::~MainWindowShell() {
    if (m_window)
        m_window->removeEventFilter(this);
}

bool MainWindowShell::load(QString* error) {
    const QString path = m_bundle.pathForResource(QStringLiteral("MainWindow.ui"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot open %1: %2").arg(path, file.errorString());
        return false;
    }
    VoltaroUiLoader loader;
    QWidget* widget = loader.load(&file);
    auto* window = qobject_cast<QMainWindow*>(widget);
    if (!window) {
        delete widget;
        *error = QStringLiteral("%1 holds no main window: %2").arg(path, loader.errorString());
        return false;
    }
    m_window.reset(window);
    m_logView = window->findChild<LogTextView*>(QStringLiteral("logView"));
    m_graphView = window->findChild<GraphView*>(QStringLiteral("graphView"));
    m_tabView = window->findChild<QTabWidget*>(QStringLiteral("tabView"));
    if (!m_logView || !m_graphView || !m_tabView) {
        *error = QStringLiteral("%1 lacks the log view, the graph view or the tab view").arg(path);
        m_window.reset();
        return false;
    }
    m_window->installEventFilter(this);
    return true;
}

QAction* MainWindowShell::action(const char* name) const {
    return m_window ? m_window->findChild<QAction*>(QLatin1String(name)) : nullptr;
}

void MainWindowShell::setWindowDelegate(std::function<void()> didBecomeKey, std::function<void()> willClose) {
    m_didBecomeKey = std::move(didBecomeKey);
    m_willClose = std::move(willClose);
}

void MainWindowShell::makeKeyAndOrderFront() {
    if (!m_window)
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
