#pragma once

#include "BatteryRecord.h"

#include <optional>

namespace voltaro {

// Where battery records come from. The real one reads the kernel's power_supply class;
// tests and demos hand in a scripted one.
class PowerService {
public:
    virtual ~PowerService() = default;

    // The battery slots in order, or nothing when the service has no battery information.
    virtual std::optional<BatteryList> copyBatteryInfo() = 0;
};

} // namespace voltaro
