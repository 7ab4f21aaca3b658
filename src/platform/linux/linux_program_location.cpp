#include "platform/linux/linux_program_location.h"

#include "platform/linux/xdg_paths.h"

#include <climits>
#include <sys/stat.h>
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

bool LinuxProgramLocation::Installed()
{
    if (m_installedFolder.empty())
        return false;
    struct stat installed {};
    struct stat running {};
    const std::string folder = ExecutableFolder();
    return !folder.empty() && ::stat(m_installedFolder.c_str(), &installed) == 0 &&
           ::stat(folder.c_str(), &running) == 0 && installed.st_dev == running.st_dev &&
           installed.st_ino == running.st_ino;
}

std::string LinuxProgramLocation::UserCacheFolder()
{
    return CacheHome() + "/Korvane";
}

} // namespace korvane::platform::linuxos
