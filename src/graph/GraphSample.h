#pragma once

#include <cstdint>

namespace voltaro {

// One record of the charge history.
struct GraphSample {
    std::uint32_t time = 0;            // whole seconds since 2001-01-01 00:00:00 UTC
    std::uint8_t chargerConnected = 0; // non-zero when the charger was connected
    std::uint8_t charging = 0;         // non-zero when the battery was charging
    float charge = 0.0f;               // charge fraction, 1.0 is full; not clamped

    bool operator==(const GraphSample&) const = default;
};

} // namespace voltaro
