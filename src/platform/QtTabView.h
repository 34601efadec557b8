#pragma once

#include "MainWindowShell.h"
#include "TabView.h"

#include <string>

namespace voltaro {

// The main window's QTabWidget as the controller sees it: a tab's identifier is the
// objectName of its page ("log", "history"). No tab is selected before the window is built.
class QtTabView final : public TabView {
public:
    explicit QtTabView(const MainWindowShell& window) : m_window(window) {}

    std::string selectedTabIdentifier() const override {
        const QTabWidget* tabs = m_window.tabView();
        const QWidget* page = tabs ? tabs->currentWidget() : nullptr;
        return page ? page->objectName().toStdString() : std::string();
    }

private:
    const MainWindowShell& m_window;
};

} // namespace voltaro
