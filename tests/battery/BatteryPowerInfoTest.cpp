#include "BatteryPowerInfo.h"

#include "ScriptedPowerService.h"

#include <gtest/gtest.h>

#include <climits>

namespace voltaro {
namespace {

BatteryRecord record(std::int64_t flags, std::int64_t current = 0, std::int64_t capacity = 0,
                     std::int64_t voltage = 0, std::int64_t amperage = 0) {
    return BatteryRecord{{"Flags", flags},
                         {"Current", current},
                         {"Capacity", capacity},
                         {"Voltage", voltage},
                         {"Amperage", amperage}};
}

TEST(GetNumberFromDictionaryTest, ReadsKeysAsSigned32BitIntegers) {
    const BatteryRecord values{{"Small", 42},
                               {"Negative", -7},
                               {"Wide", (std::int64_t{1} << 32) + 5},
                               {"Max", INT32_MAX},
                               {"AboveMax", std::int64_t{INT32_MAX} + 1}};
    struct Case {
        const BatteryRecord* record;
        const char* key;
        std::int32_t expected;
    };
    const Case cases[] = {
        {nullptr, "Small", 0},  // no record
        {&values, "Absent", 0}, // no such key
        {&values, "Small", 42},      {&values, "Negative", -7},
        {&values, "Wide", 5}, // an inexact conversion keeps the low 32 bits
        {&values, "Max", INT32_MAX}, {&values, "AboveMax", INT32_MIN},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetNumberFromDictionary(c.record, c.key), c.expected) << c.key;
}

struct SnapshotCase {
    const char* name;
    BatteryList list;
    std::int32_t installed;
    std::int32_t charging;
    bool charger;
    std::int32_t current, capacity, voltage, amperage;
};

TEST(BatteryPowerInfoTest, AnswersFromTheBatteryInUse) {
    const SnapshotCase cases[] = {
        {"charger and battery, not charging",
         {record(5, 40, 80, 12000, -900)},
         1,
         0,
         true,
         40,
         80,
         12000,
         -900},
        {"empty bay with charger: no values", {record(1, 40, 80, 12000, 900)}, 0, 0, true, 0, 0, 0, 0},
        {"charging bit without installed bit", {record(3, 40, 80, 12000, 900)}, 0, 0, true, 0, 0, 0, 0},
        {"empty first bay, second installed",
         {record(0, 1, 2, 3, 4), record(4, 10, 20, 11000, -500)},
         1,
         0,
         false,
         10,
         20,
         11000,
         -500},
        {"two installed, first charging",
         {record(7, 30, 60, 12500, 1500), record(4, 10, 20, 11000, -500)},
         2,
         1,
         true,
         30,
         60,
         12500,
         1500},
        {"charger bit only on the second",
         {record(4, 10, 20, 11000, -5), record(1)},
         1,
         0,
         true,
         10,
         20,
         11000,
         -5},
        {"second slot without a record",
         {record(6, 50, 100, 12000, 700), std::nullopt},
         1,
         1,
         false,
         50,
         100,
         12000,
         700},
        {"first slot without a record",
         {std::nullopt, record(4, 7, 9, 10000, -1)},
         1,
         0,
         false,
         7,
         9,
         10000,
         -1},
        {"third record never counts",
         {record(4, 1, 2, 3, 4), record(0), record(7, 9, 9, 9, 9)},
         1,
         0,
         false,
         1,
         2,
         3,
         4},
    };
    for (const SnapshotCase& c : cases) {
        ScriptedPowerService service(c.list);
        const auto snapshot = BatteryPowerInfo::batteryPowerInfo(service);
        ASSERT_TRUE(snapshot) << c.name;
        EXPECT_EQ(snapshot->batteryInstalled(), c.installed) << c.name;
        EXPECT_EQ(snapshot->batteryCharging(), c.charging) << c.name;
        EXPECT_EQ(snapshot->chargerConnected(), c.charger) << c.name;
        EXPECT_EQ(snapshot->currentCharge(), c.current) << c.name;
        EXPECT_EQ(snapshot->capacity(), c.capacity) << c.name;
        EXPECT_EQ(snapshot->voltage(), c.voltage) << c.name;
        EXPECT_EQ(snapshot->amperage(), c.amperage) << c.name;
    }
}

TEST(BatteryPowerInfoTest, MissingKeysReadAsZero) {
    ScriptedPowerService service(BatteryList{BatteryRecord{{"Flags", 4}, {"Current", 10}, {"Capacity", 20}}});
    const auto snapshot = BatteryPowerInfo::batteryPowerInfo(service);
    ASSERT_TRUE(snapshot);
    EXPECT_EQ(snapshot->amperage(), 0);
    EXPECT_EQ(snapshot->voltage(), 0);
    EXPECT_EQ(snapshot->currentCharge(), 10);
}

TEST(BatteryPowerInfoTest, NoInformationIsNoSnapshotRatherThanZeros) {
    struct Case {
        const char* name;
        std::optional<BatteryList> answer;
    };
    const Case cases[] = {
        {"service failed", std::nullopt},
        {"empty list", BatteryList{}},
        {"first two slots without records", BatteryList{std::nullopt, std::nullopt, record(7)}},
    };
    for (const Case& c : cases) {
        ScriptedPowerService service(c.answer);
        EXPECT_FALSE(BatteryPowerInfo::batteryPowerInfo(service)) << c.name;
    }
    // An empty bay is still a snapshot: it says no battery is installed.
    ScriptedPowerService emptyBay(BatteryList{record(0)});
    const auto snapshot = BatteryPowerInfo::batteryPowerInfo(emptyBay);
    ASSERT_TRUE(snapshot);
    EXPECT_EQ(snapshot->batteryInstalled(), 0);
}

TEST(ScriptedPowerServiceTest, PlaysQueuedAnswersThenRepeatsTheLast) {
    ScriptedPowerService service(BatteryList{record(4)});
    service.queueAnswer(std::nullopt);
    service.queueAnswer(BatteryList{record(5)});
    EXPECT_FALSE(service.copyBatteryInfo());
    EXPECT_EQ(service.copyBatteryInfo()->at(0), record(5));
    EXPECT_EQ(service.copyBatteryInfo()->at(0), record(5));
    EXPECT_EQ(service.callCount(), 3);
}

} // namespace
} // namespace voltaro
