#pragma once

#include "FileDescriptor.h"
#include "PowerService.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <dirent.h>
#include <sys/types.h>

namespace voltaro {

// Battery records from the kernel's power_supply class (one directory per supply, one small
// text file per attribute). Every poll reads the attributes afresh. What kind of supply a
// directory is does not change while it exists, so the supplies are sorted out once and their
// directories kept open; each poll only lists the root to notice supplies that came, went or
// were replaced (a new directory under the same name has a new inode).
class SysfsPowerService final : public PowerService {
public:
    explicit SysfsPowerService(std::string root);

    // $VOLTARO_POWER_SUPPLY_ROOT when set and non-empty (tests, demos), else the kernel's tree.
    static std::string defaultRoot();

    // One record per laptop battery, in supply-name order; nothing when the root cannot be
    // read or holds no laptop battery.
    std::optional<BatteryList> copyBatteryInfo() override;

private:
    enum class SupplyKind { Other, Battery, External };
    struct Supply {
        std::string name;
        ino_t inode = 0;
        FileDescriptor directory;
        SupplyKind kind = SupplyKind::Other;
    };
    struct Entry {
        std::string name;
        ino_t inode = 0;
    };

    static std::optional<SupplyKind> classifySupply(int dirFd);
    // Brings m_supplies in line with the root's entries; false when the root cannot be read.
    bool refreshSupplies();
    // Reads the root's entries into m_entries, sorted by name.
    void listRoot(DIR* root);

    std::string m_root;
    std::vector<Supply> m_supplies; // sorted by name
    // Kept between polls so that listing the root allocates nothing once it has settled.
    std::vector<Entry> m_entries;
};

} // namespace voltaro
