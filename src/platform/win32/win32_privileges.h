#pragma once

#include "platform/privileges.h"

namespace korvane::platform::win32 {

// A privilege of a process's access token, adjusted through AdjustTokenPrivileges.
class Win32Privileges : public Privileges {
public:
    // False when the process or its token cannot be opened, the name is unknown, or the token does
    // not hold the privilege (AdjustTokenPrivileges then succeeds but assigns nothing).
    bool AdjustPrivilege(std::int32_t processId, const std::string& privilegeName, bool enable) override;
};

} // namespace korvane::platform::win32
