#include "BatteryRecord.h"

#include <algorithm>

namespace voltaro {

BatteryRecord::BatteryRecord(std::initializer_list<std::pair<std::string_view, std::int64_t>> values) {
    for (const auto& [key, value] : values)
        set(key, value);
}

void BatteryRecord::set(std::string_view key, std::int64_t value) {
    for (auto& entry : m_values) {
        if (entry.first == key) {
            entry.second = value;
            return;
        }
    }
    m_values.emplace_back(std::string(key), value);
}

void BatteryRecord::remove(std::string_view key) {
    std::erase_if(m_values, [key](const auto& entry) { return entry.first == key; });
}

std::optional<std::int64_t> BatteryRecord::value(std::string_view key) const {
    for (const auto& entry : m_values) {
        if (entry.first == key)
            return entry.second;
    }
    return std::nullopt;
}

} // namespace voltaro
