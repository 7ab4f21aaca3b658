#pragma once

#include "platform/autostart.h"

namespace korvane::platform::win32 {

inline constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// Where Task Manager's Startup tab and Settings keep their switch for each Run entry: a first
// byte that is even means on.
inline constexpr const char* kStartupApprovedKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

// A value under the per-user Run key, holding the quoted program path.
class Win32Autostart : public Autostart {
public:
    bool IsAutostartSet(const std::string& valueName) override;
    void SetAutostart(const std::string& valueName, const std::string& executablePath, bool enable) override;
};

} // namespace korvane::platform::win32
