#pragma once

#include "platform/program_location.h"

namespace korvane::platform::linuxos {

class LinuxProgramLocation : public ProgramLocation {
public:
    // installedFolder: the binary folder of the install prefix; a copy running from there is an
    // installed one (empty: never).
    explicit LinuxProgramLocation(std::string installedFolder = {}) : m_installedFolder(std::move(installedFolder)) {}

    std::string ExecutableFolder() override;
    std::string ExecutablePath() override;
    // $XDG_DATA_HOME/Korvane, by default ~/.local/share/Korvane.
    std::string UserDataFolder() override;
    // The executable's folder is the install prefix's binary folder (the same folder, however named).
    bool Installed() override;
    // $XDG_CACHE_HOME/Korvane, by default ~/.cache/Korvane.
    std::string UserCacheFolder() override;

private:
    std::string m_installedFolder;
};

} // namespace korvane::platform::linuxos
