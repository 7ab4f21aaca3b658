#include "platform/win32/win32_program_location.h"

#include "platform/win32/win32_text.h"

#include <windows.h>

namespace korvane::platform::win32 {

namespace {

std::string Environment(const wchar_t* name)
{
    wchar_t value[32768];
    const DWORD length = ::GetEnvironmentVariableW(name, value, 32768);
    return length > 0 && length < 32768 ? Narrow(std::wstring_view(value, length)) : std::string();
}

} // namespace

bool IsInsideAnyFolder(const std::string& folder, const std::vector<std::string>& folders)
{
    const auto lower = [](std::string text) {
        for (char& c : text) {
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
            else if (c == '/')
                c = '\\';
        }
        while (text.size() > 3 && text.back() == '\\')
            text.pop_back();
        return text;
    };
    const std::string inside = lower(folder);
    for (const std::string& candidate : folders) {
        if (candidate.empty())
            continue;
        const std::string outer = lower(candidate);
        if (inside == outer ||
            (inside.size() > outer.size() && inside.compare(0, outer.size(), outer) == 0 &&
             (outer.back() == '\\' || inside[outer.size()] == '\\')))
            return true;
    }
    return false;
}

bool Win32ProgramLocation::Installed()
{
    return IsInsideAnyFolder(ExecutableFolder(), {Environment(L"ProgramFiles"), Environment(L"ProgramFiles(x86)"),
                                                  Environment(L"ProgramW6432"), WindowsFolder()});
}

std::string Win32ProgramLocation::ExecutablePath()
{
    std::wstring path(32768, L'\0');
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size())
        return {};
    path.resize(length);
    return Narrow(path);
}

std::string Win32ProgramLocation::ExecutableFolder()
{
    const std::string path = ExecutablePath();
    const auto separator = path.find_last_of("\\/");
    if (separator == std::string::npos)
        return {};
    // A program in the root of a drive: the folder is "C:\".
    return separator == 2 && path[1] == ':' ? path.substr(0, 3) : path.substr(0, separator);
}

std::string Win32ProgramLocation::UserDataFolder()
{
    std::string base = Environment(L"APPDATA");
    if (base.empty())
        base = Environment(L"USERPROFILE");
    return base.empty() ? std::string("Korvane") : base + "\\Korvane";
}

std::string Win32ProgramLocation::UserCacheFolder()
{
    const std::string base = Environment(L"LOCALAPPDATA");
    return base.empty() ? UserDataFolder() + "\\cache" : base + "\\Korvane\\cache";
}

std::string Win32ProgramLocation::WindowsFolder()
{
    wchar_t folder[MAX_PATH + 1];
    const UINT length = ::GetWindowsDirectoryW(folder, MAX_PATH + 1);
    return length > 0 && length <= MAX_PATH ? Narrow(std::wstring_view(folder, length)) : std::string();
}

} // namespace korvane::platform::win32
