#pragma once

#include "BatteryRecord.h"
#include "PowerService.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace voltaro {

// The value of `key` in `record` as a signed 32-bit integer; 0 when there is no record or
// no such key. Values beyond 32 bits keep their low 32 bits, as an inexact conversion does.
std::int32_t GetNumberFromDictionary(const BatteryRecord* record, std::string_view key);

// One reading of up to two batteries. Every answer is computed afresh from the two records,
// so all answers of one snapshot agree with each other.
class BatteryPowerInfo {
public:
    // A new snapshot, or nothing when the service has no battery list, the list is empty or
    // its first two slots hold no record.
    static std::optional<BatteryPowerInfo> batteryPowerInfo(PowerService& service);

    BatteryPowerInfo(std::optional<BatteryRecord> primary, std::optional<BatteryRecord> secondary);

    // Number of slots (0 to 2) with a battery installed.
    std::int32_t batteryInstalled() const;
    // Number of slots (0 to 2) with a battery installed and charging.
    std::int32_t batteryCharging() const;
    // Whether either slot reports external power; an empty bay reports it too.
    bool chargerConnected() const;

    // Values of the battery in use (the first installed one), 0 when none is installed.
    std::int32_t currentCharge() const; // charge now, in the service's unit
    std::int32_t capacity() const;      // charge when full, same unit
    std::int32_t voltage() const;       // millivolts
    std::int32_t amperage() const;      // milliamperes, negative while discharging

    const BatteryRecord* primaryBattery() const { return m_primaryBattery ? &*m_primaryBattery : nullptr; }
    const BatteryRecord* secondaryBattery() const {
        return m_secondaryBattery ? &*m_secondaryBattery : nullptr;
    }

private:
    std::int32_t valueOfBatteryInUse(std::string_view key) const;

    std::optional<BatteryRecord> m_primaryBattery;
    std::optional<BatteryRecord> m_secondaryBattery;
};

} // namespace voltaro
