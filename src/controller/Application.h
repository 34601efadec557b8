#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace voltaro {

// What the controller asks of the application around it.
class Application {
public:
    virtual ~Application() = default;
    // A modal critical alert with one button; returns when it is pressed.
    virtual void runCriticalAlert(const std::string& title, const std::string& message,
                                  const std::string& button) = 0;
    // Quit: the event loop ends (or never starts), then the termination sequence runs.
    virtual void terminate() = 0;
    // Shows the main window in front and gives it the keyboard.
    virtual void showMainWindow() = 0;
    // Whether the main window is on screen.
    virtual bool isMainWindowVisible() const = 0;
    // Calls `call` once from the event loop, after the work in hand.
    virtual void performDeferred(std::function<void()> call) = 0;
    // One diagnostic line on the console.
    virtual void log(std::string_view message) = 0;
};

} // namespace voltaro
