#include "platform/win32/win32_privileges.h"

#include "platform/win32/win32_text.h"

#include <windows.h>

namespace korvane::platform::win32 {

bool Win32Privileges::AdjustPrivilege(std::int32_t processId, const std::string& privilegeName, bool enable)
{
    HANDLE process = ::OpenProcess(0x1F0FFF, FALSE, static_cast<DWORD>(processId));
    if (process == nullptr)
        return false;
    HANDLE token = nullptr;
    if (!::OpenProcessToken(process, TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        ::CloseHandle(process);
        return false;
    }
    bool result = false;
    TOKEN_PRIVILEGES privileges{};
    if (::LookupPrivilegeValueW(nullptr, Widen(privilegeName).c_str(), &privileges.Privileges[0].Luid)) {
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : 0;
        TOKEN_PRIVILEGES previous{};
        DWORD previousLength = 0;
        const BOOL adjusted =
            ::AdjustTokenPrivileges(token, FALSE, &privileges, sizeof previous, &previous, &previousLength);
        // Success with ERROR_NOT_ALL_ASSIGNED: the token lacks the privilege, nothing changed.
        result = adjusted != 0 && ::GetLastError() != ERROR_NOT_ALL_ASSIGNED;
    }
    ::CloseHandle(token);
    ::CloseHandle(process);
    return result;
}

} // namespace korvane::platform::win32
