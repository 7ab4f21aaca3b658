#include "frontend/win32/win32_screen.h"

#include <windows.h>

namespace korvane::win32front {

namespace {

std::int32_t TwipsPerPixel(int capability)
{
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen != nullptr ? ::GetDeviceCaps(screen, capability) : 96;
    ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<std::int32_t>((1440 + dpi / 2) / dpi) : 15;
}

} // namespace

bool Win32Screen::WorkArea(platform::PixelRect* area)
{
    // A window on a second monitor stays there: its limits come from its own monitor.
    if (m_window != nullptr) {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        HMONITOR handle = ::MonitorFromWindow(static_cast<HWND>(m_window), MONITOR_DEFAULTTONEAREST);
        if (handle != nullptr && ::GetMonitorInfoW(handle, &monitor)) {
            *area = platform::PixelRect{monitor.rcWork.left, monitor.rcWork.top, monitor.rcWork.right,
                                        monitor.rcWork.bottom};
            return true;
        }
    }
    RECT rect;
    if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &rect, 0))
        return false;
    *area = platform::PixelRect{rect.left, rect.top, rect.right, rect.bottom};
    return true;
}

std::int32_t Win32Screen::ScreenWidthPixels()
{
    return ::GetSystemMetrics(SM_CXSCREEN);
}

std::int32_t Win32Screen::ScreenHeightPixels()
{
    return ::GetSystemMetrics(SM_CYSCREEN);
}

int Win32Screen::DotsPerInch()
{
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen != nullptr ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
    ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

std::int32_t Win32Screen::TwipsPerPixelX()
{
    return TwipsPerPixel(LOGPIXELSX);
}

std::int32_t Win32Screen::TwipsPerPixelY()
{
    return TwipsPerPixel(LOGPIXELSY);
}

std::uint32_t Win32Screen::WindowBackgroundColor()
{
    // COLORREF is 0x00BBGGRR, as the program's colours are.
    return static_cast<std::uint32_t>(::GetSysColor(COLOR_BTNFACE));
}

} // namespace korvane::win32front
