#include "platform/linux/linux_program_location.h"

#include "platform/linux/xdg_paths.h"

#include <climits>
#include <unistd.h>

namespace korvane::platform::linuxos {

std::string LinuxProgramLocation::ExecutablePath()
{
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return {};
    return std::string(buffer, static_cast<std::size_t>(n));
}

std::string LinuxProgramLocation::ExecutableFolder()
{
    const std::string path = ExecutablePath();
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string LinuxProgramLocation::UserDataFolder()
{
    return DataHome() + "/Korvane";
}

} // namespace korvane::platform::linuxos
