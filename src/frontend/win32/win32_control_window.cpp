#include "frontend/win32/win32_control_window.h"

#include "frontend/win32/win32_accessible.h"
#include "frontend/win32/win32_controls.h"
#include "platform/win32/win32_bitmap_info.h"
#include "platform/win32/win32_text.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <vector>

namespace korvane::win32front {

using platform::win32::Widen;

namespace {

int PointSize(int points, int dotsPerInch)
{
    return -::MulDiv(points, dotsPerInch, 72);
}

LRESULT CALLBACK InterceptingSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR /*id*/,
                                      DWORD_PTR data)
{
    if (auto* control = reinterpret_cast<ControlWindow*>(data)) {
        if (const std::optional<LRESULT> result = control->Intercept(message, wParam, lParam))
            return *result;
        // A screen reader asks: the model's rows and names.
        if (message == WM_GETOBJECT) {
            if (const LRESULT answer = AnswerGetObject(window, wParam, lParam); answer != 0)
                return answer;
        }
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

constexpr UINT_PTR kSubclassId = 1;

} // namespace

int Pixels(std::int32_t twips, double twipsPerPixel)
{
    return static_cast<int>(std::lround(twips / std::max(twipsPerPixel, 1.0)));
}

int ShiftState()
{
    return ((::GetKeyState(VK_SHIFT) & 0x8000) != 0 ? 1 : 0) | ((::GetKeyState(VK_CONTROL) & 0x8000) != 0 ? 2 : 0) |
           ((::GetKeyState(VK_MENU) & 0x8000) != 0 ? 4 : 0);
}

COLORREF ToColorRef(image::Color c)
{
    return RGB(image::RedOf(c), image::GreenOf(c), image::BlueOf(c));
}

void DrawSurface(HDC dc, int x, int y, const image::Surface& surface, int scaledTo)
{
    const int width = surface.Width();
    const int height = surface.Height();
    if (width <= 0 || height <= 0)
        return;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width * height));
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            const image::Color c = surface.Pixel(column, row);
            pixels[static_cast<std::size_t>(row * width + column)] =
                (static_cast<std::uint32_t>(image::RedOf(c)) << 16) |
                (static_cast<std::uint32_t>(image::GreenOf(c)) << 8) | static_cast<std::uint32_t>(image::BlueOf(c));
        }
    }
    BITMAPINFO info = platform::win32::TopDownBitmapInfo(width, height);
    if (scaledTo == kIconPixels) {
        ::SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                            static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
        return;
    }
    ::SetStretchBltMode(dc, COLORONCOLOR);
    ::StretchDIBits(dc, x, y, ::MulDiv(width, scaledTo, kIconPixels), ::MulDiv(height, scaledTo, kIconPixels), 0, 0,
                    width, height, pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
}

HWND CreateChild(const wchar_t* className, DWORD style, HWND parent)
{
    const DWORD extended = (style & WS_CLIPCHILDREN) != 0 ? WS_EX_CONTROLPARENT : 0;
    return ::CreateWindowExW(extended, className, L"", WS_CHILD | WS_CLIPSIBLINGS | style, 0, 0, 0, 0, parent, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
}

Fonts::Fonts(int dotsPerInch)
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        // The system's fonts are sized for its own DPI; the layout's may differ by a rounding.
        HDC screen = ::GetDC(nullptr);
        const int systemDpi = screen != nullptr ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
        ::ReleaseDC(nullptr, screen);
        if (systemDpi > 0 && systemDpi != dotsPerInch) {
            metrics.lfMessageFont.lfHeight = ::MulDiv(metrics.lfMessageFont.lfHeight, dotsPerInch, systemDpi);
            metrics.lfMenuFont.lfHeight = ::MulDiv(metrics.lfMenuFont.lfHeight, dotsPerInch, systemDpi);
        }
    } else {
        metrics.lfMessageFont.lfHeight = PointSize(8, dotsPerInch);
        std::wcscpy(metrics.lfMessageFont.lfFaceName, L"MS Shell Dlg 2");
        metrics.lfMenuFont = metrics.lfMessageFont;
    }
    normal = ::CreateFontIndirectW(&metrics.lfMessageFont);
    LOGFONTW boldFont = metrics.lfMessageFont;
    boldFont.lfWeight = FW_BOLD;
    bold = ::CreateFontIndirectW(&boldFont);
    LOGFONTW menuFont = metrics.lfMenuFont;
    menuFont.lfHeight = PointSize(8, dotsPerInch);
    menu = ::CreateFontIndirectW(&menuFont);
    // The list's rows are as tall as the model's: its font follows the user's text size (the
    // message font's share of its 9-point default) as far as a row holds it, measured.
    const int defaultHeight = PointSize(9, dotsPerInch);
    const double textScale = std::max(1.0, static_cast<double>(metrics.lfMessageFont.lfHeight) / defaultHeight);
    const int rowPixels = Pixels(kRowTwips, 1440.0 / dotsPerInch);
    HDC screen = ::GetDC(nullptr);
    for (int height = static_cast<int>(std::lround(PointSize(10, dotsPerInch) * textScale)); height < 0; ++height) {
        HFONT font = ::CreateFontW(height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                   CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, L"Courier New");
        TEXTMETRICW measured{};
        const HGDIOBJ old = ::SelectObject(screen, font);
        const bool read = ::GetTextMetricsW(screen, &measured) != 0;
        ::SelectObject(screen, old);
        if (!read || measured.tmHeight <= rowPixels || height == -1) {
            list = font;
            break;
        }
        ::DeleteObject(font);
    }
    ::ReleaseDC(nullptr, screen);
}

Fonts::~Fonts()
{
    for (void* font : {normal, bold, menu, list}) {
        if (font != nullptr)
            ::DeleteObject(static_cast<HFONT>(font));
    }
}

ControlWindow::ControlWindow(forms::Control& control, HWND window, double twipsPerPixel, HWND tooltips)
    : m_control(control), m_window(window), m_tooltips(tooltips), m_tpp(std::max(twipsPerPixel, 1.0))
{
}

ControlWindow* ControlWindow::Of(HWND window)
{
    auto* control = reinterpret_cast<ControlWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    return control != nullptr && control->m_window == window ? control : nullptr;
}

void ControlWindow::Apply()
{
    Place();
    ShowValue();
}

void ControlWindow::Detach()
{
    if (m_window == nullptr || !::IsWindow(m_window))
        return;
    if (::GetWindowLongPtrW(m_window, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this))
        ::SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
    if (m_subclassed)
        ::RemoveWindowSubclass(m_window, InterceptingSubclass, kSubclassId);
    m_subclassed = false;
}

void ControlWindow::Subclass()
{
    m_subclassed = ::SetWindowSubclass(m_window, InterceptingSubclass, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

void ControlWindow::Paint(HDC dc, const RECT& rect)
{
    ::FillRect(dc, &rect, ::GetSysColorBrush(COLOR_BTNFACE));
}

void ControlWindow::SetText(const std::string& caption)
{
    const std::wstring text = Widen(caption);
    wchar_t current[512] = {};
    ::GetWindowTextW(m_window, current, 512);
    if (text != current)
        ::SetWindowTextW(m_window, text.c_str());
}

bool ControlWindow::TakeResized()
{
    const bool resized = m_resized;
    m_resized = false;
    return resized;
}

void ControlWindow::Place()
{
    const forms::Control& c = m_control;
    const Placement place{Pixels(c.Left(), m_tpp), Pixels(c.Top(), m_tpp), Pixels(c.Width(), m_tpp),
                          Pixels(c.Height(), m_tpp)};
    if (!m_placed || !(place == m_lastPlace)) {
        ::SetWindowPos(m_window, nullptr, place.left, place.top, place.width, place.height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        Placed(place.width, place.height);
        m_lastPlace = place;
        m_resized = true;
    }
    if (!m_placed || c.Enabled() != m_lastEnabled) {
        ::EnableWindow(m_window, c.Enabled() ? TRUE : FALSE);
        m_lastEnabled = c.Enabled();
    }
    const bool visible = c.Visible();
    if (((::GetWindowLongW(m_window, GWL_STYLE) & WS_VISIBLE) != 0) != visible)
        ::ShowWindow(m_window, visible ? SW_SHOWNA : SW_HIDE);
    m_placed = true;
    const std::wstring tip = Widen(c.ToolTipText());
    if (m_tooltips != nullptr && tip != m_tip) {
        m_tip = tip;
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = ::GetParent(m_window);
        tool.uId = reinterpret_cast<UINT_PTR>(m_window);
        tool.lpszText = m_tip.data();
        ::SendMessageW(m_tooltips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        if (!m_tip.empty())
            ::SendMessageW(m_tooltips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

} // namespace korvane::win32front
