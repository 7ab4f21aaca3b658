#pragma once

#include "platform/autostart.h"

namespace korvane::platform::win32 {

inline constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// A value under the per-user Run key, holding the quoted program path.
class Win32Autostart : public Autostart {
public:
    bool IsAutostartSet(const std::string& valueName) override;
    void SetAutostart(const std::string& valueName, const std::string& executablePath, bool enable) override;
};

} // namespace korvane::platform::win32
