#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace voltaro {

// A repeating timer on the main event loop. Destroying it stops it.
class PollTimer {
public:
    virtual ~PollTimer() = default;
    virtual void invalidate() = 0;
    // A paused timer does not tick; resuming starts a whole new interval.
    virtual void setPaused(bool paused) = 0;
};

class TimerFactory {
public:
    virtual ~TimerFactory() = default;
    // A started repeating timer that calls `tick` every `interval`, or null when none can be made.
    virtual std::unique_ptr<PollTimer> scheduledTimer(std::chrono::milliseconds interval,
                                                      std::function<void()> tick) = 0;
};

} // namespace voltaro
