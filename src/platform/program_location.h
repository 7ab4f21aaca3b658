#pragma once

#include <string>

namespace korvane::platform {

// Where the program lives and where a user's data may go.
class ProgramLocation {
public:
    virtual ~ProgramLocation() = default;
    // Folder of the running executable, without a trailing separator; empty when unknown.
    virtual std::string ExecutableFolder() = 0;
    // Full path of the running executable; empty when unknown.
    virtual std::string ExecutablePath() = 0;
    // The per-user folder for the program's data, without a trailing separator.
    virtual std::string UserDataFolder() = 0;
    // True for a copy installed by a package or `cmake --install`: its files never go beside it.
    virtual bool Installed() { return false; }
    // Whether a marker file beside the executable, rather than whether this run may write there,
    // decides that the data files are kept beside it (where one user may run the program with
    // and without administrator's rights, which a folder's rights tell apart).
    virtual bool PortableByMarker() { return false; }
    // The per-user folder for files that can be made again (the icon cache), without a separator.
    virtual std::string UserCacheFolder() { return UserDataFolder() + "/cache"; }
    // The Windows folder, which stands for "\\SystemRoot\\" in system paths; empty elsewhere.
    virtual std::string WindowsFolder() { return {}; }
};

} // namespace korvane::platform
