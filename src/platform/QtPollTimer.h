#pragma once

#include "PollTimer.h"

namespace voltaro {

// Repeating timers on the Qt event loop. The poll needs no precision, so the timers are
// coarse: the system may batch their wake-ups with others.
class QtTimerFactory final : public TimerFactory {
public:
    std::unique_ptr<PollTimer> scheduledTimer(std::chrono::milliseconds interval,
                                              std::function<void()> tick) override;
};

} // namespace voltaro
