#pragma once

#include "Bundle.h"
#include "WelcomeWindow.h"

#include <QDialog>
#include <QPointer>

#include <functional>
#include <memory>

namespace voltaro {

// The first-run welcome window, built from WelcomeWindow.ui when it is first asked for (only
// a first run shows it). Its button calls `done`; closing it with the window's close button
// or Escape ends the session the same way.
class QtWelcomeWindow final : public WelcomeWindow {
public:
    // `parent` gives the window to keep it above when it is built.
    QtWelcomeWindow(Bundle bundle, std::function<QWidget*()> parent);
    ~QtWelcomeWindow() override;

    // Builds the window now; on failure says why in `error`. Does nothing once it is there.
    bool load(QString* error);
    void setDoneAction(std::function<void()> done);
    QDialog* dialog() const { return m_dialog.data(); }

    void center() override;
    void runModalSession() override;
    void stopModal() override;
    void close() override;

private:
    // Builds the window if it is not there yet; a failure goes to the console.
    bool ensureLoaded();

    Bundle m_bundle;
    std::function<QWidget*()> m_parent;
    // Owned here, or by the parent window should that go first.
    QPointer<QDialog> m_dialog;
    std::function<void()> m_done;
};

} // namespace voltaro
