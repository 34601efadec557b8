#pragma once

#include "Bundle.h"
#include "WelcomeWindow.h"

#include <QDialog>
#include <QPointer>

#include <functional>
#include <memory>

namespace voltaro {

// The first-run welcome window, loaded from WelcomeWindow.ui. Its button calls `done`;
// closing it with the window's close button or Escape ends the session the same way.
class QtWelcomeWindow final : public WelcomeWindow {
public:
    explicit QtWelcomeWindow(Bundle bundle);
    ~QtWelcomeWindow() override;

    // Loads the window, kept above `parent`; on failure says why in `error`.
    bool load(QWidget* parent, QString* error);
    void setDoneAction(std::function<void()> done);
    QDialog* dialog() const { return m_dialog.data(); }

    void center() override;
    void runModalSession() override;
    void stopModal() override;
    void close() override;

private:
    Bundle m_bundle;
    // Owned here, or by the parent window should that go first.
    QPointer<QDialog> m_dialog;
    std::function<void()> m_done;
};

} // namespace voltaro
