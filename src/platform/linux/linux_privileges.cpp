#include "platform/linux/linux_privileges.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace korvane::platform::linuxos {

bool LinuxPrivileges::AdjustPrivilege(std::int32_t processId, const std::string& privilegeName, bool enable)
{
    if (privilegeName != "SeDebugPrivilege" || processId != static_cast<std::int32_t>(::getpid()))
        return false;
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    if (::syscall(SYS_capget, &header, data) != 0)
        return false;
    const std::uint32_t wanted = (1U << CAP_SYS_NICE) | (1U << CAP_SYS_PTRACE);
    if (enable)
        data[0].effective |= data[0].permitted & wanted;
    else
        data[0].effective &= ~wanted;
    return ::syscall(SYS_capset, &header, data) == 0;
}

} // namespace korvane::platform::linuxos
