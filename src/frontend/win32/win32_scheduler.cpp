#include "frontend/win32/win32_scheduler.h"

#include <windows.h>

namespace korvane::win32front {

namespace {

const wchar_t* const kClassName = L"KorvaneTimers";

LRESULT CALLBACK TimerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER) {
        if (auto* scheduler = reinterpret_cast<Win32Scheduler*>(::GetWindowLongPtrW(window, GWLP_USERDATA)))
            scheduler->Tick(static_cast<int>(wParam));
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

Win32Scheduler::Win32Scheduler()
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = TimerWindowProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    ::RegisterClassW(&windowClass);
    HWND window = ::CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, windowClass.hInstance,
                                    nullptr);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_window = window;
}

Win32Scheduler::~Win32Scheduler()
{
    HWND window = static_cast<HWND>(m_window);
    for (const auto& [handle, tick] : m_ticks)
        ::KillTimer(window, static_cast<UINT_PTR>(handle));
    ::DestroyWindow(window);
}

int Win32Scheduler::Arm(std::chrono::milliseconds interval, std::function<void()> tick)
{
    const int handle = m_nextHandle++;
    m_ticks[handle] = std::move(tick);
    const auto ms = interval.count() < USER_TIMER_MINIMUM ? USER_TIMER_MINIMUM : interval.count();
    ::SetTimer(static_cast<HWND>(m_window), static_cast<UINT_PTR>(handle), static_cast<UINT>(ms), nullptr);
    return handle;
}

void Win32Scheduler::Disarm(int handle)
{
    if (m_ticks.erase(handle) != 0)
        ::KillTimer(static_cast<HWND>(m_window), static_cast<UINT_PTR>(handle));
}

void Win32Scheduler::Tick(int handle)
{
    const auto it = m_ticks.find(handle);
    if (it == m_ticks.end())
        return;
    // A copy: the tick may disarm itself.
    const std::function<void()> tick = it->second;
    tick();
}

void Win32Scheduler::DoEvents()
{
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

} // namespace korvane::win32front
