#pragma once

#include "platform/settings_storage.h"

namespace korvane::platform::win32 {

// The per-user registry: (application, section) is the key HKCU\Software\application\section,
// every value REG_SZ text.
class Win32SettingsStorage : public SettingsStorage {
public:
    std::optional<std::string> Get(const std::string& application, const std::string& section,
                                   const std::string& key) override;
    bool Save(const std::string& application, const std::string& section, const std::string& key,
              const std::string& value) override;
    bool DeleteSection(const std::string& application, const std::string& section) override;
};

} // namespace korvane::platform::win32
