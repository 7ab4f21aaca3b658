#pragma once

#include <windows.h>

#include <string>

namespace korvane::test {

// A child process started with CreateProcessW and ended when the object goes.
class Win32Child {
public:
    explicit Win32Child(const std::wstring& commandLine)
    {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring line = commandLine;
        if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &m_info))
            m_info = {};
        else
            ::CloseHandle(m_info.hThread);
    }
    Win32Child(const Win32Child&) = delete;
    Win32Child& operator=(const Win32Child&) = delete;
    ~Win32Child()
    {
        if (m_info.hProcess != nullptr) {
            ::TerminateProcess(m_info.hProcess, 0);
            ::WaitForSingleObject(m_info.hProcess, 5000);
            ::CloseHandle(m_info.hProcess);
        }
    }

    bool Started() const { return m_info.hProcess != nullptr; }
    HANDLE Handle() const { return m_info.hProcess; }
    std::int32_t Id() const { return static_cast<std::int32_t>(m_info.dwProcessId); }
    // The exit code once the child has ended within the time; STILL_ACTIVE otherwise.
    DWORD WaitForExit(DWORD milliseconds)
    {
        DWORD code = STILL_ACTIVE;
        if (::WaitForSingleObject(m_info.hProcess, milliseconds) == WAIT_OBJECT_0)
            ::GetExitCodeProcess(m_info.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION m_info{};
};

// The test child program (a Windows path), quoted, with its arguments.
inline std::wstring ChildCommand(const char* program, const std::wstring& arguments)
{
    return L"\"" + std::wstring(program, program + std::char_traits<char>::length(program)) + L"\" " + arguments;
}

} // namespace korvane::test
