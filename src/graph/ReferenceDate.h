#pragma once

#include <chrono>
#include <cstdint>

namespace voltaro {

using Date = std::chrono::system_clock::time_point;

// 2001-01-01 00:00:00 UTC, the origin of sample times, in seconds after the Unix epoch.
inline constexpr std::int64_t kReferenceDateUnixSeconds = 978307200;

// Seconds from the reference date to `date`, as a 64-bit float.
double timeIntervalSinceReferenceDate(Date date);

// `seconds` truncated toward zero into the 32-bit unsigned range: earlier than the reference
// date (or not a number) gives 0, later than 2^32 - 1 seconds gives 2^32 - 1.
std::uint32_t sampleTimeFromInterval(double seconds);

} // namespace voltaro
