#pragma once

#include "platform/program_location.h"

#include <string>
#include <vector>

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
    // A copy under Program Files or the Windows folder: its data goes to the per-user folders
    // whether or not this run is elevated (an elevated run could write beside it, the next
    // normal one could not, and the two would drift apart).
    bool Installed() override;
    // An elevated and a plain run of one user would otherwise keep two data folders where only
    // administrators may write beside the executable.
    bool PortableByMarker() override { return true; }
};

// Whether the folder is one of the given folders or inside one, without regard to case; empty
// folders are skipped.
bool IsInsideAnyFolder(const std::string& folder, const std::vector<std::string>& folders);

} // namespace korvane::platform::win32
