#include "SampleHistory.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace voltaro {
namespace {

Date referencePlus(double seconds) {
    const auto sinceEpoch = std::chrono::duration<double>(double(kReferenceDateUnixSeconds) + seconds);
    return Date(std::chrono::duration_cast<Date::duration>(sinceEpoch));
}

class SampleHistoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        history.setRedrawRequest([this] { ++redraws; });
    }
    // Adds a sample whose time is its sequence number, so records can be told apart.
    void add(int count, int firstTime = 0) {
        for (int i = 0; i < count; ++i)
            history.addSampleWithTime(referencePlus(firstTime + i), 0.5f, 12000, -900, 0, 0);
    }
    std::vector<std::uint32_t> timesInOrder() const {
        std::vector<std::uint32_t> times;
        for (int i = 0; i < history.sampleCount(); ++i)
            times.push_back(history.sampleAt((history.startIndex() + i) % history.maxSampleCount()).time);
        return times;
    }

    SampleHistory history;
    int redraws = 0;
};

TEST_F(SampleHistoryTest, NewHistoryIsEmptyWithRoomFor1024) {
    EXPECT_EQ(history.sampleCount(), 0);
    EXPECT_EQ(history.maxSampleCount(), 1024);
    EXPECT_EQ(history.nextSampleIndex(), 0);
    EXPECT_EQ(history.startIndex(), 0);
    EXPECT_EQ(history.endIndex(), 0);
}

TEST_F(SampleHistoryTest, FillsThenWrapsAroundOverwritingTheOldest) {
    history.setMaxSampleCount(2880);
    add(1);
    EXPECT_EQ(history.sampleCount(), 1);
    EXPECT_EQ(history.nextSampleIndex(), 1);
    EXPECT_EQ(history.startIndex(), 0);
    EXPECT_EQ(history.endIndex(), 0);

    add(2879, 1);
    EXPECT_EQ(history.sampleCount(), 2880);
    EXPECT_EQ(history.nextSampleIndex(), 0);
    EXPECT_EQ(history.startIndex(), 0);
    EXPECT_EQ(history.endIndex(), 2879);

    add(1, 2880);
    EXPECT_EQ(history.sampleCount(), 2880);
    EXPECT_EQ(history.nextSampleIndex(), 1);
    EXPECT_EQ(history.startIndex(), 1);
    EXPECT_EQ(history.endIndex(), 0);
    EXPECT_EQ(history.sampleAt(0).time, 2880u);
    EXPECT_EQ(timesInOrder().front(), 1u);
    EXPECT_EQ(timesInOrder().back(), 2880u);
}

TEST_F(SampleHistoryTest, StoresTheRecordAsGiven) {
    history.addSampleWithTime(referencePlus(100.9), 1.05f, 12000, -900, 1, 2);
    history.addSampleWithTime(referencePlus(100.9), 1.05f, 9000, 1500, 1, 2);
    const GraphSample expected{100, 1, 2, 1.05f};
    EXPECT_EQ(history.sampleAt(0), expected);
    EXPECT_EQ(history.sampleAt(1), expected); // voltage and amperage leave no trace
}

TEST_F(SampleHistoryTest, TimesOutsideTheFieldClamp) {
    struct Case {
        double seconds;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {100.9, 100},
        {-0.5, 0},
        {-1e9, 0},
        {2147483648.0, 2147483648u},
        {4294967295.0, 4294967295u},
        {4294967296.5, 4294967295u},
        {1e30, 4294967295u},
        {std::numeric_limits<double>::infinity(), 4294967295u},
        {-std::numeric_limits<double>::infinity(), 0},
        {std::numeric_limits<double>::quiet_NaN(), 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sampleTimeFromInterval(c.seconds), c.expected) << c.seconds;
    // Dates before the reference date reach the record as 0.
    history.addSampleWithTime(referencePlus(-3600), 0.5f, 0, 0, 0, 0);
    EXPECT_EQ(history.sampleAt(0).time, 0u);
}

TEST_F(SampleHistoryTest, RemoveAllSamplesKeepsTheCapacity) {
    history.setMaxSampleCount(2880);
    add(2881);
    history.removeAllSamples();
    EXPECT_EQ(history.sampleCount(), 0);
    EXPECT_EQ(history.nextSampleIndex(), 0);
    EXPECT_EQ(history.maxSampleCount(), 2880);
    add(1, 7);
    EXPECT_EQ(history.startIndex(), 0);
    EXPECT_EQ(history.endIndex(), 0);
    EXPECT_EQ(history.sampleAt(0).time, 7u);
}

TEST_F(SampleHistoryTest, NonPositiveCapacityIsIgnoredWithoutRedraw) {
    add(3);
    const int before = redraws;
    history.setMaxSampleCount(0);
    history.setMaxSampleCount(-5);
    EXPECT_EQ(history.maxSampleCount(), 1024);
    EXPECT_EQ(history.sampleCount(), 3);
    EXPECT_EQ(redraws, before);
}

TEST_F(SampleHistoryTest, ShrinkingKeepsTheOldestAsAFullRing) {
    add(10);
    history.setMaxSampleCount(4);
    EXPECT_EQ(history.sampleCount(), 4);
    EXPECT_EQ(history.nextSampleIndex(), 0);
    EXPECT_EQ(history.startIndex(), 0);
    EXPECT_EQ(history.endIndex(), 3);
    EXPECT_EQ(timesInOrder(), (std::vector<std::uint32_t>{0, 1, 2, 3}));
    add(1, 100);
    EXPECT_EQ(history.sampleAt(0).time, 100u);
}

TEST_F(SampleHistoryTest, GrowingKeepsArrivalOrder) {
    // A filling history grows in place.
    add(3);
    history.setMaxSampleCount(8);
    EXPECT_EQ(timesInOrder(), (std::vector<std::uint32_t>{0, 1, 2}));
    // A full, wrapped ring is laid out oldest first, so no unwritten slot is ever counted.
    history.setMaxSampleCount(4);
    add(6, 10); // fills with 10, then wraps round twice: holds 12..15
    ASSERT_EQ(history.sampleCount(), 4);
    const auto before = timesInOrder();
    history.setMaxSampleCount(6);
    EXPECT_EQ(history.sampleCount(), 4);
    EXPECT_EQ(history.startIndex(), 0);
    EXPECT_EQ(history.nextSampleIndex(), 4);
    EXPECT_EQ(timesInOrder(), before);
    add(2, 50);
    auto expected = before;
    expected.push_back(50);
    expected.push_back(51);
    EXPECT_EQ(timesInOrder(), expected);
    add(1, 60); // full again: the oldest goes
    expected.erase(expected.begin());
    expected.push_back(60);
    EXPECT_EQ(timesInOrder(), expected);
}

TEST_F(SampleHistoryTest, EveryChangeAsksForOneRedraw) {
    history.setMaxSampleCount(16);
    EXPECT_EQ(redraws, 1);
    add(3);
    EXPECT_EQ(redraws, 4);
    history.removeAllSamples();
    EXPECT_EQ(redraws, 5);
}

} // namespace
} // namespace voltaro
