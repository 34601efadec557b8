#include "SysfsPowerService.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/types.h>
#include <unistd.h>

namespace voltaro {

namespace {

constexpr const char* kKernelRoot = "/sys/class/power_supply";

// Attribute files hold a word or a number. Reading at most this much keeps a stray huge file
// cheap; one spare byte in the buffer tells an over-long file (rejected) from a full one.
constexpr std::size_t kMaxAttributeBytes = 64;
using AttributeBuffer = std::array<char, kMaxAttributeBytes + 1>;

// Supply types that feed the laptop from outside.
constexpr std::array<std::string_view, 10> kExternalSupplyTypes = {
    "Mains", "USB", "USB_C", "USB_PD", "USB_PD_DRP", "USB_DCP", "USB_CDP", "USB_ACA", "BrickID", "Wireless",
};

enum class BatteryStatus { Other, Charging, Discharging, Full, NotCharging };

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

std::string_view trimmed(std::string_view text) {
    constexpr std::string_view kWhitespace = " \t\n\r\f\v";
    const std::size_t first = text.find_first_not_of(kWhitespace);
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(kWhitespace);
    return text.substr(first, last - first + 1);
}

// The trimmed content of `name` inside the directory `dirFd`, as a view into `buffer`; nothing
// when the file is missing, unreadable, not a plain file or longer than kMaxAttributeBytes.
std::optional<std::string_view> readAttribute(int dirFd, const char* name, AttributeBuffer& buffer) {
    // O_NONBLOCK: a FIFO planted where an attribute should be must not stall the poll.
    FileDescriptor file(::openat(dirFd, name, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!file.isValid())
        return std::nullopt;
    std::size_t length = 0;
    while (length < buffer.size()) {
        const ssize_t count = ::read(file.get(), buffer.data() + length, buffer.size() - length);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt; // EISDIR, EIO from a failing driver, EAGAIN from a FIFO...
        }
        if (count == 0)
            break;
        length += static_cast<std::size_t>(count);
        // A kernel attribute comes whole in one read; a short read is its end, and asking
        // again only to hear "end of file" would double the system calls of every poll.
        if (length < buffer.size())
            break;
    }
    if (length > kMaxAttributeBytes)
        return std::nullopt;
    return trimmed(std::string_view(buffer.data(), length));
}

// An optional '-' and decimal digits, within 64 bits; anything else is no number.
std::optional<std::int64_t> parseNumber(std::string_view text) {
    const bool negative = !text.empty() && text.front() == '-';
    if (negative)
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    const std::uint64_t limit =
        static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + (negative ? 1 : 0);
    std::uint64_t magnitude = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (magnitude > (limit - digit) / 10)
            return std::nullopt;
        magnitude = magnitude * 10 + digit;
    }
    // Unsigned negation then conversion is exact modular arithmetic in C++20, so INT64_MIN works.
    return negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
}

std::optional<std::int64_t> readNumber(int dirFd, const char* name) {
    AttributeBuffer buffer;
    const std::optional<std::string_view> text = readAttribute(dirFd, name, buffer);
    return text ? parseNumber(*text) : std::nullopt;
}

// Whether `name` holds exactly `expected`.
bool attributeIs(int dirFd, const char* name, std::string_view expected) {
    AttributeBuffer buffer;
    const std::optional<std::string_view> text = readAttribute(dirFd, name, buffer);
    return text && *text == expected;
}

BatteryStatus readStatus(int dirFd) {
    AttributeBuffer buffer;
    const std::optional<std::string_view> text = readAttribute(dirFd, "status", buffer);
    if (!text)
        return BatteryStatus::Other;
    if (*text == "Charging")
        return BatteryStatus::Charging;
    if (*text == "Discharging")
        return BatteryStatus::Discharging;
    if (*text == "Full")
        return BatteryStatus::Full;
    if (*text == "Not charging")
        return BatteryStatus::NotCharging;
    return BatteryStatus::Other;
}

// Both values of a now/full pair, or nothing when either is missing.
std::optional<std::pair<std::int64_t, std::int64_t>> readPair(int dirFd, const char* now, const char* full) {
    const std::optional<std::int64_t> nowValue = readNumber(dirFd, now);
    if (!nowValue)
        return std::nullopt;
    const std::optional<std::int64_t> fullValue = readNumber(dirFd, full);
    if (!fullValue)
        return std::nullopt;
    return std::pair(*nowValue, *fullValue);
}

std::int64_t clampToInt32(std::int64_t value) {
    return std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                    std::numeric_limits<std::int32_t>::max());
}

std::uint64_t magnitudeOf(std::int64_t value) {
    return value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
}

// floor(numerator * 1000 / denominator) without overflow, saturated well above the 32-bit range
// (the caller clamps anyway). denominator must be non-zero.
std::uint64_t scaledQuotient(std::uint64_t numerator, std::uint64_t denominator) {
    constexpr std::uint64_t kSaturated = std::uint64_t{1} << 40;
    const std::uint64_t quotient = numerator / denominator;
    const std::uint64_t remainder = numerator % denominator;
    if (quotient >= kSaturated / 1000)
        return kSaturated;
    std::uint64_t fraction;
    if (remainder <= std::numeric_limits<std::uint64_t>::max() / 1000)
        fraction = remainder * 1000 / denominator;
    else // only for absurd voltages (> 1.8e16 µV); off by at most one there
        fraction = remainder / (denominator / 1000);
    return quotient * 1000 + fraction;
}

struct ExternalPower {
    bool supplyExists = false;
    bool supplyOnline = false;
};

BatteryRecord readBattery(int dirFd, const ExternalPower& external) {
    const BatteryStatus status = readStatus(dirFd);
    BatteryRecord record;

    // Laptops without a charger supply only tell through the battery's own status.
    const bool statusSaysCharger = status == BatteryStatus::Charging || status == BatteryStatus::Full ||
                                   status == BatteryStatus::NotCharging;
    const std::optional<std::int64_t> present = readNumber(dirFd, "present");
    std::int64_t flags = 0;
    if (external.supplyOnline || (!external.supplyExists && statusSaysCharger))
        flags |= kFlagChargerConnected;
    if (status == BatteryStatus::Charging)
        flags |= kFlagCharging;
    if (!present || *present == 1) // no `present` file: the battery is fixed in place
        flags |= kFlagBatteryInstalled;
    record.set("Flags", flags);

    auto charge = readPair(dirFd, "energy_now", "energy_full");
    if (!charge)
        charge = readPair(dirFd, "charge_now", "charge_full");
    if (!charge) {
        if (const std::optional<std::int64_t> percent = readNumber(dirFd, "capacity"))
            charge = std::pair<std::int64_t, std::int64_t>(*percent, 100);
    }
    if (charge) {
        record.set("Current", clampToInt32(charge->first));
        record.set("Capacity", clampToInt32(charge->second));
    }

    const std::optional<std::int64_t> microvolts = readNumber(dirFd, "voltage_now");
    if (microvolts)
        record.set("Voltage", clampToInt32(*microvolts / 1000));

    std::optional<std::int64_t> milliamps;
    if (const std::optional<std::int64_t> microamps = readNumber(dirFd, "current_now")) {
        milliamps = *microamps / 1000;
    } else if (microvolts && *microvolts != 0) {
        if (const std::optional<std::int64_t> microwatts = readNumber(dirFd, "power_now")) {
            // µW / µV is amperes; the result is below 2^40, so it fits int64 with its sign.
            const auto magnitude =
                static_cast<std::int64_t>(scaledQuotient(magnitudeOf(*microwatts), magnitudeOf(*microvolts)));
            milliamps = (*microwatts < 0) != (*microvolts < 0) ? -magnitude : magnitude;
        }
    }
    if (milliamps) {
        // Drivers disagree on the sign; the status does not. Other states keep the driver's sign.
        const std::int64_t magnitude = *milliamps < 0 ? -*milliamps : *milliamps;
        if (status == BatteryStatus::Discharging)
            milliamps = -magnitude;
        else if (status == BatteryStatus::Charging)
            milliamps = magnitude;
        record.set("Amperage", clampToInt32(*milliamps));
    }
    return record;
}

} // namespace

// What the supply in `dirFd` is, or nothing while its type cannot be read.
std::optional<SysfsPowerService::SupplyKind> SysfsPowerService::classifySupply(int dirFd) {
    AttributeBuffer buffer;
    const std::optional<std::string_view> type = readAttribute(dirFd, "type", buffer);
    if (!type)
        return std::nullopt;
    if (*type == "Battery") {
        // A mouse or headset reports its own battery with scope "Device": not ours.
        return attributeIs(dirFd, "scope", "Device") ? SupplyKind::Other : SupplyKind::Battery;
    }
    if (std::find(kExternalSupplyTypes.begin(), kExternalSupplyTypes.end(), *type) !=
        kExternalSupplyTypes.end())
        return SupplyKind::External;
    return SupplyKind::Other;
}

SysfsPowerService::SysfsPowerService(std::string root) : m_root(std::move(root)) {}

std::string SysfsPowerService::defaultRoot() {
    const char* fromEnvironment = std::getenv("VOLTARO_POWER_SUPPLY_ROOT");
    if (fromEnvironment != nullptr && *fromEnvironment != '\0')
        return fromEnvironment;
    return kKernelRoot;
}

void SysfsPowerService::listRoot(DIR* root) {
    // The entries' strings are reused from poll to poll, so a settled folder allocates nothing.
    std::size_t count = 0;
    while (const dirent* entry = ::readdir(root)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        if (count == m_entries.size())
            m_entries.emplace_back();
        m_entries[count].name.assign(name);
        m_entries[count].inode = entry->d_ino;
        ++count;
    }
    m_entries.resize(count);
    std::sort(m_entries.begin(), m_entries.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });
}

bool SysfsPowerService::refreshSupplies() {
    const std::unique_ptr<DIR, DirCloser> root(::opendir(m_root.c_str()));
    if (!root) {
        m_supplies.clear();
        return false;
    }
    listRoot(root.get());
    const auto sameSupply = [](const Entry& entry, const Supply& supply) {
        return entry.name == supply.name && entry.inode == supply.inode;
    };
    if (std::equal(m_entries.begin(), m_entries.end(), m_supplies.begin(), m_supplies.end(), sameSupply))
        return true;

    // Both lists are sorted by name: walk them together, keeping the supplies still there.
    std::vector<Supply> supplies;
    supplies.reserve(m_entries.size());
    auto known = m_supplies.begin();
    for (const Entry& entry : m_entries) {
        while (known != m_supplies.end() && known->name < entry.name)
            ++known;
        if (known != m_supplies.end() && sameSupply(entry, *known)) {
            supplies.push_back(std::move(*known));
            ++known;
            continue;
        }
        // Entries are symlinks to the device; a supply that vanished simply fails to open. An
        // entry that cannot be sorted out yet (no type file so far) is looked at next poll.
        FileDescriptor directory(
            ::openat(::dirfd(root.get()), entry.name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!directory.isValid())
            continue;
        const std::optional<SupplyKind> kind = classifySupply(directory.get());
        if (!kind)
            continue;
        if (*kind == SupplyKind::Other)
            directory = FileDescriptor(); // nothing will be read from it
        supplies.push_back({entry.name, entry.inode, std::move(directory), *kind});
    }
    m_supplies = std::move(supplies);
    return true;
}

std::optional<BatteryList> SysfsPowerService::copyBatteryInfo() {
    if (!refreshSupplies())
        return std::nullopt;

    // The charger state needs every supply before any battery record can be written.
    ExternalPower external;
    std::size_t batteryCount = 0;
    for (const Supply& supply : m_supplies) {
        if (supply.kind == SupplyKind::Battery) {
            ++batteryCount;
        } else if (supply.kind == SupplyKind::External) {
            external.supplyExists = true;
            // 1 is "online, fixed", 2 "online, programmable"; both supply power.
            if (!external.supplyOnline && readNumber(supply.directory.get(), "online").value_or(0) > 0)
                external.supplyOnline = true;
        }
    }
    if (batteryCount == 0)
        return std::nullopt;

    BatteryList list;
    list.reserve(batteryCount);
    for (const Supply& supply : m_supplies) {
        if (supply.kind == SupplyKind::Battery)
            list.emplace_back(readBattery(supply.directory.get(), external));
    }
    return list;
}

} // namespace voltaro
