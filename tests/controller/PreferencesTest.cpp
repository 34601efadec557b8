#include "Preferences.h"

#include <gtest/gtest.h>

namespace voltaro {
namespace {

TEST(PreferencesTest, StoredValueWinsOverTheRegisteredDefaultWhichIsNeverWritten) {
    MemoryPreferenceStore store;
    Preferences preferences(store);
    EXPECT_FALSE(preferences.boolForKey("statisticsWindow")); // unknown and unregistered
    preferences.registerDefault("statisticsWindow", true);
    EXPECT_TRUE(preferences.boolForKey("statisticsWindow"));
    EXPECT_TRUE(store.values().empty());

    preferences.setBool("statisticsWindow", false);
    EXPECT_FALSE(preferences.boolForKey("statisticsWindow"));
    EXPECT_EQ(store.values().at("statisticsWindow"), false);
}

} // namespace
} // namespace voltaro
