#pragma once

#include "platform/program_location.h"

namespace korvane::platform::linuxos {

class LinuxProgramLocation : public ProgramLocation {
public:
    std::string ExecutableFolder() override;
    std::string ExecutablePath() override;
    // $XDG_DATA_HOME/Korvane, by default ~/.local/share/Korvane.
    std::string UserDataFolder() override;
};

} // namespace korvane::platform::linuxos
