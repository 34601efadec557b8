#pragma once

#include "Bundle.h"

#include <QMainWindow>
#include <QObject>
#include <QTabWidget>

#include <functional>
#include <memory>

namespace voltaro {

class GraphView;
class LogTextView;

// The main window, loaded at run time from MainWindow.ui in the bundle's resources, with the
// "log" and "history" tabs. Tells its delegate when it becomes active or is closed.
class MainWindowShell final : public QObject {
    Q_OBJECT

public:
    explicit MainWindowShell(Bundle bundle);
    ~MainWindowShell() override;

    // Loads the window; on failure says why in `error`.
    bool load(QString* error);

    QMainWindow* window() const { return m_window.get(); }
    LogTextView* logView() const { return m_logView; }
    GraphView* graphView() const { return m_graphView; }
    QTabWidget* tabView() const { return m_tabView; }
    QAction* action(const char* name) const;

    void setWindowDelegate(std::function<void()> didBecomeKey, std::function<void()> willClose);
    // Shows the window in front and gives it the keyboard.
    void makeKeyAndOrderFront();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Bundle m_bundle;
    std::unique_ptr<QMainWindow> m_window;
    LogTextView* m_logView = nullptr;
    GraphView* m_graphView = nullptr;
    QTabWidget* m_tabView = nullptr;
    std::function<void()> m_didBecomeKey;
    std::function<void()> m_willClose;
};

} // namespace voltaro
