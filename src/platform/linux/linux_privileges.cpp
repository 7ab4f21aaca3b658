#include "platform/linux/linux_privileges.h"

#include "platform/linux/capabilities.h"

#include <linux/capability.h>
#include <unistd.h>

namespace korvane::platform::linuxos {

bool LinuxPrivileges::AdjustPrivilege(std::int32_t processId, const std::string& privilegeName, bool enable)
{
    if (privilegeName != "SeDebugPrivilege" || processId != static_cast<std::int32_t>(::getpid()))
        return false;
    if (!enable)
        return true;
    const auto sets = ReadOwnCapabilities();
    const std::uint64_t wanted = CapabilityBit(CAP_SYS_NICE) | CapabilityBit(CAP_SYS_PTRACE);
    return sets && (sets->permitted & wanted) == wanted;
}

} // namespace korvane::platform::linuxos
