#pragma once

#include <cstdint>

namespace voltaro {

// currentCharge / capacity, both as 32-bit floats, divided in 32-bit float arithmetic.
// Not clamped: a capacity of 0 gives an infinity or NaN.
float chargeFraction(std::int32_t currentCharge, std::int32_t capacity);

// The fraction widened to double, times 100, truncated toward zero; saturates, so +inf gives
// INT32_MAX and -inf or NaN give INT32_MIN. 57/100 gives 56.
std::int32_t chargePercentage(float fraction);

// The fraction scaled to `levels` and rounded (a remainder of exactly .5 rounds down), then
// clamped into 0..levels. NaN gives 0.
std::int32_t ComputeLevel(float fraction, std::int32_t levels);

} // namespace voltaro
