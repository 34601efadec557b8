#pragma once

#include "PollTimer.h"

#include <vector>

namespace voltaro {

// Timers that tick only when told to: tests fire them by hand instead of sleeping.
class ManualTimerFactory final : public TimerFactory {
public:
    struct Timer {
        std::chrono::milliseconds interval{0};
        std::function<void()> tick;
        bool valid = true;
        bool paused = false;
    };

    std::unique_ptr<PollTimer> scheduledTimer(std::chrono::milliseconds interval,
                                              std::function<void()> tick) override;

    // When set, scheduledTimer() answers null, as a system out of timers would.
    void setFailing(bool failing) { m_failing = failing; }

    // Fires every valid timer `count` times.
    void fire(int count = 1);
    const std::vector<std::shared_ptr<Timer>>& timers() const { return m_timers; }

private:
    std::vector<std::shared_ptr<Timer>> m_timers;
    bool m_failing = false;
};

} // namespace voltaro
