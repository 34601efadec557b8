#include "QSettingsPreferenceStore.h"

namespace voltaro {

QSettingsPreferenceStore::QSettingsPreferenceStore()
    : m_settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Vesk"),
                 QStringLiteral("Voltaro")) {}

std::optional<bool> QSettingsPreferenceStore::readBool(const std::string& key) const {
    const QString name = QString::fromStdString(key);
    if (!m_settings.contains(name))
        return std::nullopt;
    return m_settings.value(name).toBool();
}

void QSettingsPreferenceStore::writeBool(const std::string& key, bool value) {
    const QString name = QString::fromStdString(key);
    if (m_settings.contains(name) && m_settings.value(name).toBool() == value)
        return;
    m_settings.setValue(name, value);
    m_settings.sync();
}

} // namespace voltaro
