#pragma once

#include "Bundle.h"

#include <QByteArray>
#include <QMainWindow>
#include <QObject>
#include <QTabWidget>

#include <functional>
#include <memory>

namespace voltaro {

class GraphView;
class LogTextView;

// The main window, built at run time from MainWindow.ui in the bundle's resources, with the
// "log" and "history" tabs. Tells its delegate when it becomes active or is closed.
//
// The log view and the graph view exist from the start, because the controller writes to
// them from its launch on; the window around them is built the first time it is needed. A
// monitor that runs with its window hidden thus never loads fonts, styles or the widgets it
// does not show. The .ui file is read at the start, so a missing file is found at once.
class MainWindowShell final : public QObject {
    Q_OBJECT

public:
    explicit MainWindowShell(Bundle bundle);
    ~MainWindowShell() override;

    // Reads MainWindow.ui; on failure says why in `error`.
    bool readInterface(QString* error);
    // Builds the window now (reading the file first if that has not happened); on failure
    // says why in `error`. Does nothing once the window is there.
    bool load(QString* error);
    // Builds the window if it is not there yet; a failure goes to the console.
    bool ensureLoaded();

    // Null until the window is built.
    QMainWindow* window() const { return m_window.get(); }
    QTabWidget* tabView() const { return m_tabView; }
    QAction* action(const char* name) const;
    // Always there.
    LogTextView* logView() const { return m_logView; }
    GraphView* graphView() const { return m_graphView; }

    void setWindowDelegate(std::function<void()> didBecomeKey, std::function<void()> willClose);
    // Called once, right after the window is built.
    void setLoadedAction(std::function<void()> loaded);
    // Shows the window in front and gives it the keyboard, building it first if need be.
    void makeKeyAndOrderFront();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Bundle m_bundle;
    QByteArray m_description;
    // The views are ours until the window takes them.
    std::unique_ptr<LogTextView> m_ownedLogView;
    std::unique_ptr<GraphView> m_ownedGraphView;
    LogTextView* m_logView;
    GraphView* m_graphView;
    std::unique_ptr<QMainWindow> m_window;
    QTabWidget* m_tabView = nullptr;
    std::function<void()> m_didBecomeKey;
    std::function<void()> m_willClose;
    std::function<void()> m_loaded;
};

} // namespace voltaro
