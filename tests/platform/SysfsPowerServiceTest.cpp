#include "SysfsPowerService.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include <stdlib.h>
#include <sys/stat.h>

namespace voltaro {
namespace {

namespace fs = std::filesystem;

constexpr std::nullopt_t kAbsent = std::nullopt;

// The five keys of one record as read back through value().
struct Values {
    std::optional<std::int64_t> flags, current, capacity, voltage, amperage;
    bool operator==(const Values&) const = default;
};
using Records = std::vector<Values>;

void printValue(std::ostream* os, const char* key, const std::optional<std::int64_t>& value) {
    *os << key << '=';
    if (value)
        *os << *value;
    else
        *os << "absent";
    *os << ' ';
}

void PrintTo(const Values& values, std::ostream* os) {
    *os << "{ ";
    printValue(os, "Flags", values.flags);
    printValue(os, "Current", values.current);
    printValue(os, "Capacity", values.capacity);
    printValue(os, "Voltage", values.voltage);
    printValue(os, "Amperage", values.amperage);
    *os << '}';
}

std::optional<Records> observe(const std::optional<BatteryList>& list) {
    if (!list)
        return std::nullopt;
    Records records;
    for (const std::optional<BatteryRecord>& slot : *list) {
        if (!slot) {
            ADD_FAILURE() << "a battery slot without a record";
            continue;
        }
        records.push_back({slot->value("Flags"), slot->value("Current"), slot->value("Capacity"),
                           slot->value("Voltage"), slot->value("Amperage")});
    }
    return records;
}

using Attributes = std::vector<std::pair<std::string, std::string>>;

struct Supply {
    std::string name;
    Attributes attributes;
};

Supply battery(std::string name, Attributes attributes) {
    attributes.insert(attributes.begin(), {"type", "Battery"});
    return {std::move(name), std::move(attributes)};
}

Supply bat0(Attributes attributes) {
    return battery("BAT0", std::move(attributes));
}

Values flagsOnly(std::int64_t flags) {
    return {flags, kAbsent, kAbsent, kAbsent, kAbsent};
}

Supply ac(const char* online) {
    return {"AC", {{"type", "Mains"}, {"online", online}}};
}

class SysfsPowerServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "voltaro-sysfs-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
    }

    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }

    // A fresh power_supply tree; attribute contents get the trailing newline sysfs writes.
    fs::path makeTree(const std::vector<Supply>& supplies) {
        const fs::path root = m_dir / ("tree" + std::to_string(m_treeCount++));
        fs::create_directory(root);
        for (const Supply& supply : supplies) {
            fs::create_directory(root / supply.name);
            for (const auto& [name, content] : supply.attributes)
                std::ofstream(root / supply.name / name) << content << '\n';
        }
        return root;
    }

    static std::optional<Records> readTree(const fs::path& root) {
        SysfsPowerService service(root.string());
        return observe(service.copyBatteryInfo());
    }

    fs::path m_dir;
    int m_treeCount = 0;
};

struct TreeCase {
    const char* name;
    std::vector<Supply> supplies;
    std::optional<Records> expected;
};

TEST_F(SysfsPowerServiceTest, BuildsOneRecordPerLaptopBattery) {
    const TreeCase cases[] = {
        {"energy pair preferred; discharging turns the driver's positive current negative",
         {ac("0"), bat0({{"scope", "System"},
                         {"status", "Discharging"},
                         {"present", "1"},
                         {"energy_now", "30000000"},
                         {"energy_full", "50000000"},
                         {"charge_now", "1"},
                         {"charge_full", "2"},
                         {"capacity", "60"},
                         {"voltage_now", "11400000"},
                         {"current_now", "1500000"}})},
         Records{{4, 30000000, 50000000, 11400, -1500}}},
        {"charge pair; charging on mains turns a negative driver current positive",
         {ac("1"), bat0({{"status", "Charging"},
                         {"charge_now", "2000000"},
                         {"charge_full", "4000000"},
                         {"capacity", "50"},
                         {"voltage_now", "12000000"},
                         {"current_now", "-800000"}})},
         Records{{7, 2000000, 4000000, 12000, 800}}},
        {"incomplete or garbled energy pair falls through to the charge pair",
         {bat0({{"status", "Discharging"},
                {"energy_now", "100"},
                {"energy_full", "12abc"},
                {"charge_now", "3000"},
                {"charge_full", "6000"},
                {"capacity", "50"}})},
         Records{{4, 3000, 6000, kAbsent, kAbsent}}},
        {"capacity percent only",
         {ac("1"), bat0({{"status", "Full"}, {"capacity", "97"}})},
         Records{{5, 97, 100, kAbsent, kAbsent}}},
        {"no charge files at all", {bat0({})}, Records{flagsOnly(4)}},
        {"a USB supply online while mains is offline",
         {ac("0"),
          {"ucsi-source-psy-USBC000:001", {{"type", "USB"}, {"online", "1"}}},
          bat0({{"status", "Charging"}, {"capacity", "40"}})},
         Records{{7, 40, 100, kAbsent, kAbsent}}},
        {"a programmable supply online (2)",
         {{"AC", {{"type", "Mains"}, {"online", "2"}}}, bat0({{"status", "Discharging"}})},
         Records{flagsOnly(5)}},
        {"a USB-C supply alone",
         {bat0({{"status", "Discharging"}}), {"port0", {{"type", "USB_C"}, {"online", "1"}}}},
         Records{flagsOnly(5)}},
        {"external supplies all offline: a charging status does not imply a charger",
         {ac("0"), {"usb", {{"type", "USB_PD"}, {"online", "0"}}}, bat0({{"status", "Charging"}})},
         Records{flagsOnly(6)}},
        {"two batteries in name order",
         {battery("BAT1", {{"status", "Unknown"}, {"energy_now", "30"}, {"energy_full", "40"}}),
          battery("BAT0", {{"status", "Discharging"}, {"energy_now", "10"}, {"energy_full", "20"}}), ac("0")},
         Records{{4, 10, 20, kAbsent, kAbsent}, {4, 30, 40, kAbsent, kAbsent}}},
        {"a peripheral's battery is not a laptop battery",
         {bat0({{"status", "Discharging"}, {"capacity", "80"}}),
          battery("hidpp_battery_0", {{"scope", "Device"}, {"status", "Discharging"}, {"capacity", "20"}})},
         Records{{4, 80, 100, kAbsent, kAbsent}}},
        {"only a peripheral's battery",
         {ac("1"), battery("hidpp_battery_0", {{"scope", "Device"}, {"capacity", "20"}})},
         std::nullopt},
        {"removed battery: the bay stays, without the installed bit",
         {ac("1"), bat0({{"present", "0"}})},
         Records{flagsOnly(1)}},
        {"not charging on mains keeps the driver's sign",
         {ac("1"), bat0({{"status", "Not charging"},
                         {"energy_now", "40"},
                         {"energy_full", "50"},
                         {"voltage_now", "12600000"},
                         {"current_now", "-5000"}})},
         Records{{5, 40, 50, 12600, -5}}},
        {"no external supply: Charging means a charger",
         {bat0({{"status", "Charging"}})},
         Records{flagsOnly(7)}},
        {"no external supply: Full means a charger", {bat0({{"status", "Full"}})}, Records{flagsOnly(5)}},
        {"no external supply: Not charging means a charger",
         {bat0({{"status", "Not charging"}})},
         Records{flagsOnly(5)}},
        {"no external supply: Discharging means none",
         {bat0({{"status", "Discharging"}})},
         Records{flagsOnly(4)}},
        {"no external supply: Unknown means none", {bat0({{"status", "Unknown"}})}, Records{flagsOnly(4)}},
        {"values beyond 32 bits clamp after unit conversion",
         {bat0({{"status", "Discharging"},
                {"energy_now", "-5000000000"},
                {"energy_full", "5000000000"},
                {"voltage_now", "3000000000000"},
                {"current_now", "-9223372036854775808"}})},
         Records{{4, INT32_MIN, INT32_MAX, INT32_MAX, INT32_MIN}}},
        {"charging at the most negative driver current clamps to the top",
         {bat0({{"status", "Charging"}, {"current_now", "-9223372036854775808"}})},
         Records{{7, kAbsent, kAbsent, kAbsent, INT32_MAX}}},
        {"amperage from power and voltage while discharging",
         {bat0({{"status", "Discharging"}, {"voltage_now", "12000000"}, {"power_now", "15000000"}})},
         Records{{4, kAbsent, kAbsent, 12000, -1250}}},
        {"amperage from power keeps the driver's sign when the status says nothing",
         {bat0({{"status", "Unknown"}, {"voltage_now", "12000000"}, {"power_now", "-15000000"}})},
         Records{{4, kAbsent, kAbsent, 12000, -1250}}},
        {"garbled current falls through to power",
         {ac("1"), bat0({{"status", "Charging"},
                         {"current_now", "1.5"},
                         {"voltage_now", "12000000"},
                         {"power_now", "-15000000"}})},
         Records{{7, kAbsent, kAbsent, 12000, 1250}}},
        {"current wins over power",
         {bat0({{"status", "Discharging"},
                {"current_now", "700000"},
                {"voltage_now", "12000000"},
                {"power_now", "15000000"}})},
         Records{{4, kAbsent, kAbsent, 12000, -700}}},
        {"zero voltage gives no amperage",
         {bat0({{"status", "Discharging"}, {"voltage_now", "0"}, {"power_now", "15000000"}})},
         Records{{4, kAbsent, kAbsent, 0, kAbsent}}},
        {"power without voltage gives no amperage",
         {bat0({{"status", "Discharging"}, {"power_now", "15000000"}})},
         Records{flagsOnly(4)}},
        {"power times 1000 beyond 64 bits: the quotient is still exact",
         {bat0({{"status", "Charging"},
                {"voltage_now", "3000000000000000000"},
                {"power_now", "5000000000000000000"}})},
         Records{{7, kAbsent, kAbsent, INT32_MAX, 1666}}},
        {"huge power over one volt clamps",
         {bat0({{"status", "Charging"}, {"voltage_now", "1000000"}, {"power_now", "9223372036854775807"}})},
         Records{{7, kAbsent, kAbsent, 1000, INT32_MAX}}},
        {"no supplies at all", {}, std::nullopt},
        {"mains only", {ac("1")}, std::nullopt},
    };
    for (const TreeCase& c : cases)
        EXPECT_EQ(readTree(makeTree(c.supplies)), c.expected) << c.name;

    EXPECT_EQ(readTree(m_dir / "missing"), std::nullopt) << "missing root";
}

TEST_F(SysfsPowerServiceTest, AcceptsOnlyOptionalMinusAndDigitsWithin64Bits) {
    struct NumberCase {
        const char* text;
        std::optional<std::int64_t> value; // as "Current"; "Capacity" is 100 whenever it is there
    };
    const NumberCase cases[] = {
        {"57", 57},
        {"  57\t", 57},
        {"-3", -3},
        {"", kAbsent},
        {"abc", kAbsent},
        {"12abc", kAbsent},
        {"+12", kAbsent},
        {"1.5", kAbsent},
        {"0x10", kAbsent},
        {"-", kAbsent},
        {"--5", kAbsent},
        {"1 2", kAbsent},
        {"2147483647", INT32_MAX},
        {"2147483648", INT32_MAX},
        {"-2147483649", INT32_MIN},
        {"9223372036854775807", INT32_MAX},
        {"9223372036854775808", kAbsent},
        {"-9223372036854775808", INT32_MIN},
        {"-9223372036854775809", kAbsent},
        {"18446744073709551617", kAbsent},  // 2^64 + 1: wraps to 1 without a range check
        {"184467440737095516160", kAbsent}, // 10 * 2^64: wraps to 0 without a range check
    };
    for (const NumberCase& c : cases) {
        const fs::path root = makeTree({bat0({{"capacity", c.text}})});
        const std::optional<std::int64_t> capacity = c.value ? std::optional<std::int64_t>(100) : kAbsent;
        const Values expected{4, c.value, capacity, kAbsent, kAbsent};
        EXPECT_EQ(readTree(root), Records{expected}) << '"' << c.text << '"';
    }
}

TEST_F(SysfsPowerServiceTest, SurvivesOddEntriesWithoutLeakingDescriptors) {
    const fs::path root = makeTree({
        bat0({{"charge_now", "5"}, {"charge_full", "10"}, {"current_now", "700000"}}),
        {"BAT1", {}},                 // no type file
        {"BAT2", {{"present", "1"}}}, // type is a directory, below
        {"BAT3", {}},                 // type is 1 MB, below
        {"usb", {{"type", "USB"}, {"online", "1"}}},
    });
    const std::string megabyteOfDigits(1 << 20, '7');
    fs::create_directory(root / "BAT0" / "status");
    fs::create_directory(root / "BAT0" / "energy_now");
    std::ofstream(root / "BAT0" / "energy_full") << megabyteOfDigits;
    ASSERT_EQ(::mkfifo((root / "BAT0" / "voltage_now").c_str(), 0600), 0); // no writer: must not block
    fs::create_directory(root / "BAT2" / "type");
    std::ofstream(root / "BAT3" / "type") << "Battery" << std::string(1 << 20, ' ');
    fs::create_directory_symlink(root / "gone", root / "BAT4"); // a supply that vanished
    std::ofstream(root / "BAT5") << "Battery\n";                // a file where a supply should be

    // Status unreadable: no charging bit, but the online USB supply still counts.
    const Records expected{{5, 5, 10, kAbsent, 700}};
    EXPECT_EQ(readTree(root), expected);

    // A poll every few seconds for weeks: the supplies' folders stay open between polls, but
    // polling adds nothing to them, and the service closes everything it opened.
    const auto openDescriptors = [] {
        return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator{});
    };
    const auto before = openDescriptors();
    {
        SysfsPowerService service(root.string());
        SysfsPowerService missing((m_dir / "missing").string());
        ASSERT_TRUE(service.copyBatteryInfo().has_value());
        const auto kept = openDescriptors();
        EXPECT_LE(kept - before, 2); // BAT0 and usb
        for (int poll = 0; poll < 50; ++poll) {
            EXPECT_TRUE(service.copyBatteryInfo().has_value());
            EXPECT_FALSE(missing.copyBatteryInfo().has_value());
        }
        EXPECT_EQ(openDescriptors(), kept);
    }
    EXPECT_EQ(openDescriptors(), before);
}

// One service polls a tree that changes between polls, as supplies come and go on a laptop.
TEST_F(SysfsPowerServiceTest, FollowsSuppliesThatComeGoOrAreReplacedBetweenPolls) {
    const fs::path root = makeTree({ac("0"), bat0({{"status", "Discharging"}, {"capacity", "50"}})});
    const auto write = [&](const fs::path& file, const std::string& content) {
        std::ofstream(root / file) << content << '\n';
    };
    const Values bat0Half{4, 50, 100, kAbsent, kAbsent};
    const Values bat1Full{5, 100, 100, kAbsent, kAbsent};

    struct Step {
        const char* what;
        std::function<void()> change;
        std::optional<Records> expected;
    };
    const std::vector<Step> steps = {
        {"as built", [] {}, Records{bat0Half}},
        {"charger plugged", [&] { write("AC/online", "1"); }, Records{{5, 50, 100, kAbsent, kAbsent}}},
        {"charger unplugged", [&] { write("AC/online", "0"); }, Records{bat0Half}},
        {"second battery's folder appears before its type file", [&] { fs::create_directory(root / "BAT1"); },
         Records{bat0Half}},
        {"its type and charge are written",
         [&] {
             write("BAT1/capacity", "100");
             write("BAT1/type", "Battery");
         },
         Records{bat0Half, {4, 100, 100, kAbsent, kAbsent}}},
        {"first battery unregistered", [&] { fs::remove_all(root / "BAT0"); },
         Records{{4, 100, 100, kAbsent, kAbsent}}},
        {"charger replaced by a USB supply under the same name",
         [&] {
             fs::remove_all(root / "AC");
             fs::create_directory(root / "AC");
             write("AC/type", "USB");
             write("AC/online", "1");
         },
         Records{bat1Full}},
        {"second battery replaced by a headset's under the same name",
         [&] {
             fs::remove_all(root / "BAT1");
             fs::create_directory(root / "BAT1");
             write("BAT1/type", "Battery");
             write("BAT1/scope", "Device");
         },
         std::nullopt},
        {"whole tree moved away and another put in its place",
         [&] {
             fs::rename(root, m_dir / "old-tree");
             fs::create_directory(root);
             fs::create_directory(root / "BAT0");
             write("BAT0/type", "Battery");
             write("BAT0/capacity", "50");
         },
         Records{bat0Half}},
        {"root removed", [&] { fs::remove_all(root); }, std::nullopt},
        {"root back",
         [&] {
             fs::create_directory(root);
             fs::create_directory(root / "BAT9");
             write("BAT9/type", "Battery");
             write("BAT9/capacity", "50");
         },
         Records{bat0Half}},
    };
    SysfsPowerService service(root.string());
    for (const Step& step : steps) {
        step.change();
        EXPECT_EQ(observe(service.copyBatteryInfo()), step.expected) << step.what;
    }
}

TEST(SysfsPowerServiceDefaultRootTest, UsesTheEnvironmentOnlyWhenSetAndNonEmpty) {
    constexpr const char* kVariable = "VOLTARO_POWER_SUPPLY_ROOT";
    const char* saved = std::getenv(kVariable);
    const std::optional<std::string> previous = saved ? std::optional<std::string>(saved) : std::nullopt;

    ::unsetenv(kVariable);
    EXPECT_EQ(SysfsPowerService::defaultRoot(), "/sys/class/power_supply");
    ::setenv(kVariable, "", 1);
    EXPECT_EQ(SysfsPowerService::defaultRoot(), "/sys/class/power_supply");
    ::setenv(kVariable, "/tmp/demo-power", 1);
    EXPECT_EQ(SysfsPowerService::defaultRoot(), "/tmp/demo-power");

    if (previous)
        ::setenv(kVariable, previous->c_str(), 1);
    else
        ::unsetenv(kVariable);
}

} // namespace
} // namespace voltaro
