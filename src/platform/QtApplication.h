#pragma once

#include "Application.h"

#include <functional>

namespace voltaro {

// The controller's view of the running Qt application: alerts, quitting, the main window
// and the console.
class QtApplication final : public Application {
public:
    explicit QtApplication(std::function<void()> showMainWindow, std::function<bool()> mainWindowVisible = {})
        : m_showMainWindow(std::move(showMainWindow)), m_mainWindowVisible(std::move(mainWindowVisible)) {}

    void runCriticalAlert(const std::string& title, const std::string& message,
                          const std::string& button) override;
    void terminate() override;
    void showMainWindow() override;
    bool isMainWindowVisible() const override;
    void performDeferred(std::function<void()> call) override;
    void log(std::string_view message) override;

    // Ends the event loop, which runs the termination sequence; windows stay as they are.
    static void quitEventLoop();

    // Set when a quit was asked for before the event loop ran.
    bool terminateRequested() const { return m_terminateRequested; }

private:
    std::function<void()> m_showMainWindow;
    std::function<bool()> m_mainWindowVisible;
    bool m_terminateRequested = false;
};

} // namespace voltaro
