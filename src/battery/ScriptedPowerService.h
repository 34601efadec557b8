#pragma once

#include "PowerService.h"

#include <deque>

namespace voltaro {

// A power service that answers from a script: each call takes the next queued answer, and
// once the queue is empty repeats the last one. An answer of nothing means "no battery
// information". Used by tests and by anything that wants a battery without hardware.
class ScriptedPowerService final : public PowerService {
public:
    ScriptedPowerService() = default;
    explicit ScriptedPowerService(std::optional<BatteryList> answer) { m_current = std::move(answer); }

    // The answer from now on (drops anything queued).
    void setAnswer(std::optional<BatteryList> answer);
    // An answer for one later call, after those already queued.
    void queueAnswer(std::optional<BatteryList> answer);

    std::optional<BatteryList> copyBatteryInfo() override;
    int callCount() const { return m_callCount; }

private:
    std::optional<BatteryList> m_current;
    std::deque<std::optional<BatteryList>> m_queue;
    int m_callCount = 0;
};

} // namespace voltaro
