#pragma once

#include "Preferences.h"

#include <QSettings>

namespace voltaro {

// Preferences kept by QSettings: $XDG_CONFIG_HOME/Vesk/Voltaro.conf.
class QSettingsPreferenceStore final : public PreferenceStore {
public:
    QSettingsPreferenceStore();

    std::optional<bool> readBool(const std::string& key) const override;
    void writeBool(const std::string& key, bool value) override;

private:
    mutable QSettings m_settings;
};

} // namespace voltaro
