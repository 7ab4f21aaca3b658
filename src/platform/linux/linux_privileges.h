#pragma once

#include "platform/privileges.h"

namespace korvane::platform::linuxos {

// "SeDebugPrivilege" stands for CAP_SYS_NICE and CAP_SYS_PTRACE: enabling raises them from the
// permitted into the effective set of the program's own process (granted, for instance, by
// setcap on the executable); any other name, or another process, gives false.
class LinuxPrivileges : public Privileges {
public:
    bool AdjustPrivilege(std::int32_t processId, const std::string& privilegeName, bool enable) override;
};

} // namespace korvane::platform::linuxos
