#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace voltaro {

// One battery slot as the power service reports it: numbers by key ("Flags", "Current",
// "Capacity", "Voltage", "Amperage"). A key that was never set is absent and reads as 0.
class BatteryRecord {
public:
    BatteryRecord() = default;
    BatteryRecord(std::initializer_list<std::pair<std::string_view, std::int64_t>> values);

    void set(std::string_view key, std::int64_t value);
    void remove(std::string_view key);
    std::optional<std::int64_t> value(std::string_view key) const;

    bool operator==(const BatteryRecord&) const = default;

private:
    std::vector<std::pair<std::string, std::int64_t>> m_values;
};

// Bits of "Flags".
inline constexpr std::int32_t kFlagChargerConnected = 1;
inline constexpr std::int32_t kFlagCharging = 2;
inline constexpr std::int32_t kFlagBatteryInstalled = 4;

// The ordered list of battery slots; a slot may hold no record at all.
using BatteryList = std::vector<std::optional<BatteryRecord>>;

} // namespace voltaro
