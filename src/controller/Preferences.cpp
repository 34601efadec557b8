#include "Preferences.h"

namespace voltaro {

bool Preferences::boolForKey(const std::string& key) const {
    if (auto stored = m_store.readBool(key))
        return *stored;
    auto registered = m_defaults.find(key);
    return registered != m_defaults.end() && registered->second;
}

std::optional<bool> MemoryPreferenceStore::readBool(const std::string& key) const {
    auto found = m_values.find(key);
    if (found == m_values.end())
        return std::nullopt;
    return found->second;
}

} // namespace voltaro
