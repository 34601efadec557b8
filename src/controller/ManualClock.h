#pragma once

#include "Clock.h"

namespace voltaro {

// A clock that shows whatever time it was set to, for tests and replays.
class ManualClock final : public Clock {
public:
    explicit ManualClock(Date now = Date{}) : m_now(now) {}
    Date now() const override { return m_now; }
    void set(Date now) { m_now = now; }
    void advance(std::chrono::seconds by) { m_now += by; }

private:
    Date m_now;
};

} // namespace voltaro
