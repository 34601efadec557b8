#pragma once

#include <map>
#include <optional>
#include <string>

namespace voltaro {

// Where stored preferences live between runs.
class PreferenceStore {
public:
    virtual ~PreferenceStore() = default;
    virtual std::optional<bool> readBool(const std::string& key) const = 0;
    virtual void writeBool(const std::string& key, bool value) = 0;
};

// The user's preferences: a stored value wins over a registered default. Registered defaults
// live only in memory and are never written to the store.
class Preferences {
public:
    explicit Preferences(PreferenceStore& store) : m_store(store) {}

    void registerDefault(const std::string& key, bool value) { m_defaults[key] = value; }
    bool boolForKey(const std::string& key) const;
    void setBool(const std::string& key, bool value) { m_store.writeBool(key, value); }

private:
    PreferenceStore& m_store;
    std::map<std::string, bool> m_defaults;
};

// A store that keeps its values in memory, for tests and for runs without a settings file.
class MemoryPreferenceStore final : public PreferenceStore {
public:
    std::optional<bool> readBool(const std::string& key) const override;
    void writeBool(const std::string& key, bool value) override { m_values[key] = value; }
    const std::map<std::string, bool>& values() const { return m_values; }

private:
    std::map<std::string, bool> m_values;
};

} // namespace voltaro
