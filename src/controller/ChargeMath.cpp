#include "ChargeMath.h"

#include <cmath>
#include <limits>

namespace voltaro {

float chargeFraction(std::int32_t currentCharge, std::int32_t capacity) {
    return static_cast<float>(currentCharge) / static_cast<float>(capacity);
}

std::int32_t chargePercentage(float fraction) {
    const double percent = static_cast<double>(fraction) * 100.0;
    if (!(percent > -2147483649.0)) // below the range, -inf or NaN
        return std::numeric_limits<std::int32_t>::min();
    if (percent >= 2147483648.0)
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(percent);
}

std::int32_t ComputeLevel(float fraction, std::int32_t levels) {
    const float x = fraction * static_cast<float>(levels);
    if (!(x >= 0.0f)) // negative or NaN
        return 0;
    if (x > static_cast<float>(levels)) // includes +inf
        return levels;
    const float whole = std::trunc(x);
    std::int32_t n = static_cast<std::int32_t>(whole);
    if (x - whole > 0.5f)
        ++n;
    if (n < 0)
        return 0;
    return n > levels ? levels : n;
}

} // namespace voltaro
