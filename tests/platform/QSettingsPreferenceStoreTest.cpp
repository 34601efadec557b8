#include "QSettingsPreferenceStore.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace voltaro {
namespace {

TEST(QSettingsPreferenceStoreTest, KeepsValuesBetweenRunsInTheUsersConfigFolder) {
    QTemporaryDir config;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
    {
        QSettingsPreferenceStore store;
        EXPECT_EQ(store.readBool("statisticsWindow"), std::nullopt);
        store.writeBool("statisticsWindow", false);
    }
    QFile file(config.path() + QStringLiteral("/Vesk/Voltaro.conf"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("statisticsWindow=false"));

    QSettingsPreferenceStore again;
    EXPECT_EQ(again.readBool("statisticsWindow"), false);
    again.writeBool("statisticsWindow", true);
    EXPECT_EQ(QSettingsPreferenceStore().readBool("statisticsWindow"), true);
}

} // namespace
} // namespace voltaro
