#include "platform/fake/memory_settings_storage.h"

namespace korvane::platform::fake {

std::optional<std::string> MemorySettingsStorage::Get(const std::string& application, const std::string& section,
                                                      const std::string& key)
{
    const auto it = m_values.find({application, section, key});
    if (it == m_values.end())
        return std::nullopt;
    return it->second;
}

bool MemorySettingsStorage::Save(const std::string& application, const std::string& section,
                                 const std::string& key, const std::string& value)
{
    m_values[{application, section, key}] = value;
    ++m_saveCount;
    return true;
}

bool MemorySettingsStorage::DeleteSection(const std::string& application, const std::string& section)
{
    bool removed = false;
    for (auto it = m_values.begin(); it != m_values.end();) {
        if (std::get<0>(it->first) == application && std::get<1>(it->first) == section) {
            it = m_values.erase(it);
            removed = true;
        } else {
            ++it;
        }
    }
    return removed;
}

} // namespace korvane::platform::fake
