#include "BatteryPowerInfo.h"

namespace voltaro {

namespace {

std::int32_t flagsOf(const BatteryRecord* record) {
    return GetNumberFromDictionary(record, "Flags");
}

} // namespace

std::int32_t GetNumberFromDictionary(const BatteryRecord* record, std::string_view key) {
    std::int32_t result = 0;
    if (record == nullptr)
        return result;
    if (auto value = record->value(key))
        result = static_cast<std::int32_t>(*value); // modular since C++20: keeps the low 32 bits
    return result;
}

std::optional<BatteryPowerInfo> BatteryPowerInfo::batteryPowerInfo(PowerService& service) {
    std::optional<BatteryList> list = service.copyBatteryInfo();
    if (!list)
        return std::nullopt;
    std::optional<BatteryRecord> primary;
    std::optional<BatteryRecord> secondary;
    if (list->size() >= 1)
        primary = std::move((*list)[0]);
    if (list->size() >= 2)
        secondary = std::move((*list)[1]);
    if (!primary && !secondary)
        return std::nullopt;
    return BatteryPowerInfo(std::move(primary), std::move(secondary));
}

BatteryPowerInfo::BatteryPowerInfo(std::optional<BatteryRecord> primary,
                                   std::optional<BatteryRecord> secondary)
    : m_primaryBattery(std::move(primary)), m_secondaryBattery(std::move(secondary)) {}

std::int32_t BatteryPowerInfo::batteryInstalled() const {
    std::int32_t count = 0;
    if (flagsOf(primaryBattery()) & kFlagBatteryInstalled)
        ++count;
    if (flagsOf(secondaryBattery()) & kFlagBatteryInstalled)
        ++count;
    return count;
}

std::int32_t BatteryPowerInfo::batteryCharging() const {
    constexpr std::int32_t installedAndCharging = kFlagBatteryInstalled | kFlagCharging;
    std::int32_t count = 0;
    if ((flagsOf(primaryBattery()) & installedAndCharging) == installedAndCharging)
        ++count;
    if ((flagsOf(secondaryBattery()) & installedAndCharging) == installedAndCharging)
        ++count;
    return count;
}

bool BatteryPowerInfo::chargerConnected() const {
    if (flagsOf(primaryBattery()) & kFlagChargerConnected)
        return true;
    return (flagsOf(secondaryBattery()) & kFlagChargerConnected) != 0;
}

std::int32_t BatteryPowerInfo::valueOfBatteryInUse(std::string_view key) const {
    if (flagsOf(primaryBattery()) & kFlagBatteryInstalled)
        return GetNumberFromDictionary(primaryBattery(), key);
    if (flagsOf(secondaryBattery()) & kFlagBatteryInstalled)
        return GetNumberFromDictionary(secondaryBattery(), key);
    return 0;
}

std::int32_t BatteryPowerInfo::currentCharge() const {
    return valueOfBatteryInUse("Current");
}
std::int32_t BatteryPowerInfo::capacity() const {
    return valueOfBatteryInUse("Capacity");
}
std::int32_t BatteryPowerInfo::voltage() const {
    return valueOfBatteryInUse("Voltage");
}
std::int32_t BatteryPowerInfo::amperage() const {
    return valueOfBatteryInUse("Amperage");
}

} // namespace voltaro
