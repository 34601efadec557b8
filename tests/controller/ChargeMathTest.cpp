#include "ChargeMath.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

namespace voltaro {
namespace {

constexpr float kInfinity = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(ComputeLevelTest, RoundsHalfDownAndClamps) {
    struct Case {
        float fraction;
        std::int32_t level;
    };
    const Case cases[] = {
        {0.0625f, 0},               // x = 0.5 exactly does not round up
        {0.07f, 1},   {0.5625f, 4}, // x = 4.5
        {0.57f, 5},   {0.9375f, 7}, // x = 7.5
        {0.94f, 8},   {1.0f, 8},    {1.2f, 8},      {0.0f, 0},       {-0.01f, 0},
        {-5.0f, 0},   {1e30f, 8},   {kInfinity, 8}, {-kInfinity, 0}, {kNaN, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ComputeLevel(c.fraction, 8), c.level) << c.fraction;
}

TEST(ChargePercentageTest, TruncatesTheWidenedFloatAndSaturates) {
    struct Case {
        std::int32_t current, capacity;
        std::int32_t percentage;
    };
    const Case cases[] = {
        {57, 100, 56}, // 0.57f is a little below 0.57
        {29, 100, 28},
        {50, 100, 50},
        {100, 100, 100},
        {45, 80, 56},
        {105, 100, 104}, // not clamped; 1.05f is a little below 1.05
        {150, 100, 150},
        {0, 100, 0},
        {-5, 100, -5},
        {1, 0, INT32_MAX},  // +inf
        {-1, 0, INT32_MIN}, // -inf
        {0, 0, INT32_MIN},  // NaN
        {INT32_MAX, 1, INT32_MAX},
        {INT32_MIN, 1, INT32_MIN},
    };
    for (const Case& c : cases)
        EXPECT_EQ(chargePercentage(chargeFraction(c.current, c.capacity)), c.percentage)
            << c.current << "/" << c.capacity;
}

TEST(ChargeFractionTest, DividesInSinglePrecision) {
    EXPECT_EQ(chargeFraction(45, 80), 0.5625f);
    EXPECT_EQ(chargeFraction(57, 100), 57.0f / 100.0f);
    EXPECT_TRUE(std::isinf(chargeFraction(3, 0)));
    EXPECT_TRUE(std::isnan(chargeFraction(0, 0)));
}

} // namespace
} // namespace voltaro
