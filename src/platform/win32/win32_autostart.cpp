#include "platform/win32/win32_autostart.h"

#include "platform/win32/win32_registry.h"

namespace korvane::platform::win32 {

bool Win32Autostart::IsAutostartSet(const std::string& valueName)
{
    return ReadUserText(kRunKey, valueName).has_value();
}

void Win32Autostart::SetAutostart(const std::string& valueName, const std::string& executablePath, bool enable)
{
    // Quoted, or a path with spaces would start the program its first word names.
    if (enable)
        WriteUserText(kRunKey, valueName, "\"" + executablePath + "\"");
    else
        DeleteUserValue(kRunKey, valueName);
}

} // namespace korvane::platform::win32
