#pragma once

#include <cstdint>
#include <string>

namespace korvane::platform {

class Privileges {
public:
    virtual ~Privileges() = default;
    // Turns a named privilege of the process on or off; true when the platform accepted it.
    // "SeDebugPrivilege" is the right to inspect and change other users' processes.
    virtual bool AdjustPrivilege(std::int32_t processId, const std::string& privilegeName, bool enable) = 0;
};

} // namespace korvane::platform
