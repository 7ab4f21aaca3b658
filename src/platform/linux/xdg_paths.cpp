#include "platform/linux/xdg_paths.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace korvane::platform::linuxos {

namespace {

std::string AbsoluteEnv(const char* name)
{
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] != '/')
        return {};
    return value;
}

} // namespace

std::string HomeFolder()
{
    std::string home = AbsoluteEnv("HOME");
    if (!home.empty())
        return home;
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr)
        return entry->pw_dir;
    return "/";
}

std::string ConfigHome()
{
    std::string value = AbsoluteEnv("XDG_CONFIG_HOME");
    return value.empty() ? HomeFolder() + "/.config" : value;
}

std::string DataHome()
{
    std::string value = AbsoluteEnv("XDG_DATA_HOME");
    return value.empty() ? HomeFolder() + "/.local/share" : value;
}

std::string CacheHome()
{
    std::string value = AbsoluteEnv("XDG_CACHE_HOME");
    return value.empty() ? HomeFolder() + "/.cache" : value;
}

std::string DataDirs()
{
    const char* value = std::getenv("XDG_DATA_DIRS");
    return (value == nullptr || value[0] == '\0') ? "/usr/local/share:/usr/share" : value;
}

} // namespace korvane::platform::linuxos
