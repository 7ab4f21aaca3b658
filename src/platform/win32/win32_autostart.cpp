#include "platform/win32/win32_autostart.h"

#include "platform/win32/win32_registry.h"

namespace korvane::platform::win32 {

bool Win32Autostart::IsAutostartSet(const std::string& valueName)
{
    if (!ReadUserText(kRunKey, valueName).has_value())
        return false;
    // Switched off in Task Manager or Settings: the entry is there but Windows skips it.
    const std::optional<std::string> approved = ReadUserBinary(kStartupApprovedKey, valueName);
    return !approved || approved->empty() || (static_cast<unsigned char>(approved->front()) % 2) == 0;
}

void Win32Autostart::SetAutostart(const std::string& valueName, const std::string& executablePath, bool enable)
{
    // Quoted, or a path with spaces would start the program its first word names.
    if (enable)
        WriteUserText(kRunKey, valueName, "\"" + executablePath + "\"");
    else
        DeleteUserValue(kRunKey, valueName);
    // Ticked again here after being switched off there: the switch goes, or Windows would go on
    // skipping the entry.
    DeleteUserValue(kStartupApprovedKey, valueName);
}

} // namespace korvane::platform::win32
