#pragma once

#include <optional>
#include <string>

namespace korvane::platform {

// Per-user text values under (application, section, key), kept across runs.
class SettingsStorage {
public:
    virtual ~SettingsStorage() = default;
    // The stored text; nullopt when the key does not exist.
    virtual std::optional<std::string> Get(const std::string& application, const std::string& section,
                                           const std::string& key) = 0;
    // Creates or replaces the value, creating the section as needed. False when it could not be kept.
    virtual bool Save(const std::string& application, const std::string& section, const std::string& key,
                      const std::string& value) = 0;
    // Removes the section with all its keys. False when there was nothing to remove or it failed.
    virtual bool DeleteSection(const std::string& application, const std::string& section) = 0;
};

} // namespace korvane::platform
