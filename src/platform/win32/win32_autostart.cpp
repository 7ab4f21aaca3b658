#include "platform/win32/win32_autostart.h"

#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_text.h"

#include <windows.h>

#include <utility>


namespace korvane::platform::win32 {

namespace {

std::string XmlEscaped(const std::string& text)
{
    std::string escaped;
    for (const char c : text) {
        switch (c) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        case '"': escaped += "&quot;"; break;
        case '\'': escaped += "&apos;"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

bool Elevated()
{
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    const bool read = ::GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) != 0;
    ::CloseHandle(token);
    return read && elevation.TokenIsElevated != 0;
}

// The signed-in user as DOMAIN\name.
std::string CurrentUser()
{
    wchar_t name[257] = {};
    DWORD length = 257;
    if (!::GetUserNameW(name, &length))
        return {};
    wchar_t domain[257] = {};
    const DWORD domainLength = ::GetEnvironmentVariableW(L"USERDOMAIN", domain, 257);
    const std::string user = Narrow(name);
    return domainLength > 0 && domainLength < 257 ? Narrow(domain) + "\\" + user : user;
}

std::wstring Quoted(const std::wstring& argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos)
        return argument;
    std::wstring quoted = L"\"";
    for (const wchar_t c : argument) {
        if (c == L'"')
            quoted += L'\\';
        quoted += c;
    }
    return quoted + L"\"";
}

// schtasks.exe from the system folder, never one found on the search path, without a window.
int RunSchtasks(const std::vector<std::string>& arguments)
{
    wchar_t system[MAX_PATH + 1] = {};
    const UINT length = ::GetSystemDirectoryW(system, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH)
        return -1;
    const std::wstring program = std::wstring(system, length) + L"\\schtasks.exe";
    std::wstring command = Quoted(program);
    for (const std::string& argument : arguments)
        command += L" " + Quoted(Widen(argument));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                          &startup, &process))
        return -1;
    ::CloseHandle(process.hThread);
    DWORD code = static_cast<DWORD>(-1);
    if (::WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(process.hProcess, &code);
    else
        ::TerminateProcess(process.hProcess, 1);
    ::CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

// The task definition in a file of its own for schtasks /XML, which reads UTF-16.
std::string WriteTaskFile(const std::string& xml)
{
    wchar_t folder[MAX_PATH + 1] = {};
    wchar_t file[MAX_PATH + 1] = {};
    if (::GetTempPathW(MAX_PATH + 1, folder) == 0 || ::GetTempFileNameW(folder, L"kvt", 0, file) == 0)
        return {};
    const std::wstring text = L"\xFEFF" + Widen(xml);
    const HANDLE out = ::CreateFileW(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return {};
    DWORD written = 0;
    const DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    const bool whole = ::WriteFile(out, text.data(), bytes, &written, nullptr) && written == bytes;
    ::CloseHandle(out);
    if (!whole)
        ::DeleteFileW(file);
    return whole ? Narrow(file) : std::string();
}

} // namespace

std::string LogonTaskXml(const std::string& user, const std::string& executablePath)
{
    const std::string who = XmlEscaped(user);
    return "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"
           "<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\r\n"
           "  <RegistrationInfo><Description>Starts Korvane when " + who + " logs on.</Description></RegistrationInfo>\r\n"
           "  <Triggers><LogonTrigger><Enabled>true</Enabled><UserId>" + who + "</UserId></LogonTrigger></Triggers>\r\n"
           "  <Principals><Principal id=\"Author\"><UserId>" + who + "</UserId>"
           "<LogonType>InteractiveToken</LogonType><RunLevel>HighestAvailable</RunLevel></Principal></Principals>\r\n"
           "  <Settings><MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>"
           "<DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>"
           "<StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>"
           "<ExecutionTimeLimit>PT0S</ExecutionTimeLimit><Priority>7</Priority></Settings>\r\n"
           "  <Actions Context=\"Author\"><Exec><Command>" + XmlEscaped(executablePath) + "</Command></Exec></Actions>\r\n"
           "</Task>\r\n";
}

Win32Autostart::Win32Autostart() : Win32Autostart(Elevated(), RunSchtasks) {}

Win32Autostart::Win32Autostart(bool elevated, TaskCommand schtasks)
    : m_elevated(elevated), m_schtasks(std::move(schtasks))
{
}

bool Win32Autostart::IsAutostartSet(const std::string& valueName)
{
    if (ReadUserText(kRunKey, valueName).has_value()) {
        // Switched off in Task Manager or Settings: the entry is there but Windows skips it.
        const std::optional<std::string> approved = ReadUserBinary(kStartupApprovedKey, valueName);
        if (!approved || approved->empty() || (static_cast<unsigned char>(approved->front()) % 2) == 0)
            return true;
    }
    return m_schtasks({"/Query", "/TN", valueName}) == 0;
}

void Win32Autostart::SetAutostart(const std::string& valueName, const std::string& executablePath, bool enable)
{
    bool asTask = false;
    if (enable && m_elevated) {
        const std::string file = WriteTaskFile(LogonTaskXml(CurrentUser(), executablePath));
        asTask = !file.empty() && m_schtasks({"/Create", "/TN", valueName, "/XML", file, "/F"}) == 0;
        if (!file.empty())
            ::DeleteFileW(Widen(file).c_str());
    } else if (!enable) {
        // Without administrator's rights the task stays: only an elevated run may remove it.
        m_schtasks({"/Delete", "/TN", valueName, "/F"});
    }
    // Quoted, or a path with spaces would start the program its first word names. Beside a task
    // it would start a second, plain copy.
    if (enable && !asTask)
        WriteUserText(kRunKey, valueName, "\"" + executablePath + "\"");
    else
        DeleteUserValue(kRunKey, valueName);
    // Ticked again here after being switched off there: the switch goes, or Windows would go on
    // skipping the entry.
    DeleteUserValue(kStartupApprovedKey, valueName);
}

} // namespace korvane::platform::win32
