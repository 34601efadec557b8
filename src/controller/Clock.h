#pragma once

#include "ReferenceDate.h"

namespace voltaro {

// The current date and time.
class Clock {
public:
    virtual ~Clock() = default;
    virtual Date now() const = 0;
};

// The system's wall clock.
class SystemClock final : public Clock {
public:
    Date now() const override { return std::chrono::system_clock::now(); }
};

} // namespace voltaro
