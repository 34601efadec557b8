#pragma once

#include "PowerService.h"

#include <optional>
#include <string>

namespace voltaro {

// Battery records from the kernel's power_supply class (one directory per supply, one small
// text file per attribute). Plain POSIX reads, no caching: each poll sees the current state.
class SysfsPowerService final : public PowerService {
public:
    explicit SysfsPowerService(std::string root);

    // $VOLTARO_POWER_SUPPLY_ROOT when set and non-empty (tests, demos), else the kernel's tree.
    static std::string defaultRoot();

    // One record per laptop battery, in supply-name order; nothing when the root cannot be
    // read or holds no laptop battery.
    std::optional<BatteryList> copyBatteryInfo() override;

private:
    std::string m_root;
};

} // namespace voltaro
