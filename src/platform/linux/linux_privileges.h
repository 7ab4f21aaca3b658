#pragma once

#include "platform/privileges.h"

namespace korvane::platform::linuxos {

// "SeDebugPrivilege" stands for CAP_SYS_NICE and CAP_SYS_PTRACE, which only root's window holds:
// enabling tells whether they are permitted. They stay out of the effective set and are raised
// only around the one call that needs them (LinuxProcesses); any other name, or another
// process, gives false.
class LinuxPrivileges : public Privileges {
public:
    bool AdjustPrivilege(std::int32_t processId, const std::string& privilegeName, bool enable) override;
};

} // namespace korvane::platform::linuxos
