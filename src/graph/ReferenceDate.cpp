#include "ReferenceDate.h"

#include <cmath>
#include <limits>

namespace voltaro {

double timeIntervalSinceReferenceDate(Date date) {
    const auto sinceEpoch = std::chrono::duration<double>(date.time_since_epoch()).count();
    return sinceEpoch - static_cast<double>(kReferenceDateUnixSeconds);
}

std::uint32_t sampleTimeFromInterval(double seconds) {
    constexpr double largest = std::numeric_limits<std::uint32_t>::max();
    if (!(seconds > 0.0)) // also catches NaN
        return 0;
    if (seconds >= largest)
        return std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(seconds);
}

} // namespace voltaro
