#pragma once

#include "platform/program_location.h"

namespace korvane::platform::win32 {

// The executable's folder (GetModuleFileNameW), and per-user folders under %APPDATA% and
// %LOCALAPPDATA%.
class Win32ProgramLocation : public ProgramLocation {
public:
    std::string ExecutableFolder() override;
    std::string ExecutablePath() override;
    // %APPDATA%\Korvane.
    std::string UserDataFolder() override;
    // %LOCALAPPDATA%\Korvane\cache.
    std::string UserCacheFolder() override;
    // GetWindowsDirectoryW; empty when the call fails.
    std::string WindowsFolder() override;
};

} // namespace korvane::platform::win32
