#include "frontend/win32/win32_screen.h"

#include "platform/win32/win32_text.h"

#include <windows.h>

#include <cmath>

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

double Win32Screen::SizeTwipsPerPixel()
{
    using GetDpi = UINT(WINAPI*)(HWND);
    static const auto getDpi = reinterpret_cast<GetDpi>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    const UINT dpi = getDpi != nullptr && m_window != nullptr ? getDpi(static_cast<HWND>(m_window)) : 0;
    return dpi > 0 ? 1440.0 / dpi : PlaceTwipsPerPixel();
}

double Win32Screen::PlaceTwipsPerPixel()
{
    return 1440.0 / DotsPerInch();
}

platform::TextExtent Win32Screen::MeasureText(const std::string& text)
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return Screen::MeasureText(text);
    // The metrics are at the system's DPI; the layout's pixels are 15 twips.
    const HFONT font = ::CreateFontIndirectW(&metrics.lfMessageFont);
    HDC screen = ::GetDC(nullptr);
    const HGDIOBJ old = ::SelectObject(screen, font);
    const std::wstring wide = platform::win32::Widen(text);
    SIZE size{};
    ::GetTextExtentPoint32W(screen, wide.empty() ? L" " : wide.c_str(), wide.empty() ? 1 : static_cast<int>(wide.size()),
                            &size);
    ::SelectObject(screen, old);
    ::ReleaseDC(nullptr, screen);
    ::DeleteObject(font);
    const double scale = PlaceTwipsPerPixel() / 15.0;
    return {static_cast<std::int32_t>(std::ceil((wide.empty() ? 0 : size.cx) * scale)),
            static_cast<std::int32_t>(std::ceil(size.cy * scale))};
}

std::optional<platform::SystemColors> Win32Screen::ContrastColors()
{
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    if (!::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) ||
        (contrast.dwFlags & HCF_HIGHCONTRASTON) == 0)
        return std::nullopt;
    // COLORREF is 0x00BBGGRR, as the program's colours are.
    return platform::SystemColors{static_cast<std::uint32_t>(::GetSysColor(COLOR_WINDOW)),
                                  static_cast<std::uint32_t>(::GetSysColor(COLOR_WINDOWTEXT)),
                                  static_cast<std::uint32_t>(::GetSysColor(COLOR_HIGHLIGHT)),
                                  static_cast<std::uint32_t>(::GetSysColor(COLOR_GRAYTEXT))};
}

std::uint32_t Win32Screen::WindowBackgroundColor()
{
    // COLORREF is 0x00BBGGRR, as the program's colours are.
    return static_cast<std::uint32_t>(::GetSysColor(COLOR_BTNFACE));
}

} // namespace korvane::win32front
