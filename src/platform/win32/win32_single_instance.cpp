#include "platform/win32/win32_single_instance.h"

#include "platform/win32/win32_text.h"

#include <windows.h>

namespace korvane::platform::win32 {

Win32SingleInstance::Win32SingleInstance(std::string name) : m_name(std::move(name)) {}

Win32SingleInstance::~Win32SingleInstance()
{
    if (m_mutex != nullptr)
        ::CloseHandle(static_cast<HANDLE>(m_mutex));
}

bool Win32SingleInstance::AnotherInstanceRunning()
{
    if (m_mutex != nullptr)
        return false;
    // "Local\" is the user's session: another user's copy on the same machine is no obstacle.
    HANDLE mutex = ::CreateMutexW(nullptr, FALSE, Widen("Local\\" + m_name + ".Instance").c_str());
    // An elevated instance's mutex denies a normal start access to it: that one runs too, and
    // two copies would write over each other's files.
    if (mutex == nullptr)
        return ::GetLastError() == ERROR_ACCESS_DENIED; // any other failure: better two copies than none
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(mutex);
        return true;
    }
    m_mutex = mutex;
    return false;
}

unsigned Win32SingleInstance::ShowRequestMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"Korvane.ShowWindow");
    return message;
}

void Win32SingleInstance::ShowRunningInstance(std::int64_t window)
{
    HWND hwnd = reinterpret_cast<HWND>(static_cast<std::intptr_t>(window));
    if (window == 0 || !::IsWindow(hwnd))
        return;
    // Only a process allowed by the foreground one may take the foreground.
    DWORD processId = 0;
    ::GetWindowThreadProcessId(hwnd, &processId);
    if (processId != 0)
        ::AllowSetForegroundWindow(processId);
    ::PostMessageW(hwnd, ShowRequestMessage(), 0, 0);
}

int Win32SingleInstance::TakeShowRequests()
{
    return m_showRequests.exchange(0);
}

} // namespace korvane::platform::win32
