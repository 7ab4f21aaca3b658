#pragma once

#include "platform/settings_storage.h"

#include <map>
#include <tuple>

namespace korvane::platform::fake {

class MemorySettingsStorage : public SettingsStorage {
public:
    std::optional<std::string> Get(const std::string& application, const std::string& section,
                                   const std::string& key) override;
    bool Save(const std::string& application, const std::string& section, const std::string& key,
              const std::string& value) override;
    bool DeleteSection(const std::string& application, const std::string& section) override;

    int SaveCount() const { return m_saveCount; }
    std::size_t KeyCount() const { return m_values.size(); }

private:
    std::map<std::tuple<std::string, std::string, std::string>, std::string> m_values;
    int m_saveCount = 0;
};

} // namespace korvane::platform::fake
