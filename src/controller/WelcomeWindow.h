#pragma once

namespace voltaro {

// The window shown once on a first run (when no log file could be read).
class WelcomeWindow {
public:
    virtual ~WelcomeWindow() = default;
    virtual void center() = 0;
    // Shows the window modally and returns once its session has ended: through stopModal(),
    // or because the person closed the window some other way. Waits for events; never spins.
    virtual void runModalSession() = 0;
    virtual void stopModal() = 0;
    virtual void close() = 0;
};

} // namespace voltaro
