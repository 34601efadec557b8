#pragma once

#include "TabView.h"

#include <QPointer>
#include <QTabWidget>

#include <string>

namespace voltaro {

// The main window's QTabWidget as the controller sees it: a tab's identifier is the
// objectName of its page ("log", "history").
class QtTabView final : public TabView {
public:
    explicit QtTabView(QTabWidget* tabs) : m_tabs(tabs) {}

    std::string selectedTabIdentifier() const override {
        const QWidget* page = m_tabs ? m_tabs->currentWidget() : nullptr;
        return page ? page->objectName().toStdString() : std::string();
    }

private:
    QPointer<QTabWidget> m_tabs;
};

} // namespace voltaro
