#include "frontend/win32/win32_notification_area.h"

#include "platform/win32/win32_bitmap_info.h"
#include "platform/win32/win32_text.h"
#include "tray/tray_image.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

namespace korvane::win32front {

namespace {

const wchar_t* const kClassName = L"KorvaneTray";
constexpr UINT kCallbackMessage = WM_APP + 1;

LRESULT CALLBACK TrayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (auto* area = reinterpret_cast<Win32NotificationArea*>(::GetWindowLongPtrW(window, GWLP_USERDATA)))
        area->Received(message, lParam);
    return ::DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

void* CreateIconOf(const image::Icon& icon)
{
    const int width = icon.color.Width();
    const int height = icon.color.Height();
    if (width <= 0 || height <= 0 || icon.mask.size() != static_cast<std::size_t>(width * height))
        return nullptr;
    BITMAPINFO info = platform::win32::TopDownBitmapInfo(width, height);
    void* bits = nullptr;
    HBITMAP color = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (color == nullptr)
        return nullptr;
    // The mask: one bit per pixel, rows in whole 16-bit words, set where the icon is see-through.
    const int stride = (width + 15) / 16 * 2;
    std::vector<BYTE> mask(static_cast<std::size_t>(stride * height), 0);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::size_t i = static_cast<std::size_t>(y * width + x);
            const bool transparent = icon.mask[i] != 0;
            const image::Color c = icon.color.Pixel(x, y);
            // A mask icon's see-through pixels are black in its colour image.
            pixels[i] = transparent ? 0 : (static_cast<std::uint32_t>(image::RedOf(c)) << 16) |
                                              (static_cast<std::uint32_t>(image::GreenOf(c)) << 8) |
                                              static_cast<std::uint32_t>(image::BlueOf(c));
            if (transparent)
                mask[static_cast<std::size_t>(y * stride + x / 8)] |= static_cast<BYTE>(0x80 >> (x % 8));
        }
    }
    HBITMAP maskBitmap = ::CreateBitmap(width, height, 1, 1, mask.data());
    ICONINFO iconInfo{};
    iconInfo.fIcon = TRUE;
    iconInfo.hbmMask = maskBitmap;
    iconInfo.hbmColor = color;
    HICON handle = maskBitmap != nullptr ? ::CreateIconIndirect(&iconInfo) : nullptr;
    ::DeleteObject(color);
    if (maskBitmap != nullptr)
        ::DeleteObject(maskBitmap);
    return handle;
}

Win32NotificationArea::Win32NotificationArea()
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = TrayWindowProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    ::RegisterClassW(&windowClass);
    // A hidden top-level window: a message-only one would not hear the TaskbarCreated broadcast.
    HWND window = ::CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"Korvane tray", WS_POPUP, 0, 0, 0, 0, nullptr,
                                    nullptr, windowClass.hInstance, nullptr);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_window = window;
    m_taskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");
    // Run elevated, the window would not hear Explorer (not elevated) say the taskbar is back.
    ::ChangeWindowMessageFilterEx(window, m_taskbarCreated, MSGFLT_ALLOW, nullptr);
}

Win32NotificationArea::~Win32NotificationArea()
{
    if (m_icon != nullptr) {
        NOTIFYICONDATAW remove{};
        remove.cbSize = sizeof remove;
        remove.hWnd = static_cast<HWND>(m_window);
        remove.uID = m_iconId;
        ::Shell_NotifyIconW(NIM_DELETE, &remove);
        ::DestroyIcon(static_cast<HICON>(m_icon));
    }
    ::SetWindowLongPtrW(static_cast<HWND>(m_window), GWLP_USERDATA, 0);
    ::DestroyWindow(static_cast<HWND>(m_window));
}

int TrayIconPixels()
{
    // The taskbar's own DPI, which may differ from the DPI of the sign-in that
    // GetSystemMetrics answers for (Windows 10 1607 and later tell it).
    using ForWindow = UINT(WINAPI*)(HWND);
    using MetricsForDpi = int(WINAPI*)(int, UINT);
    static const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    static const auto forWindow = reinterpret_cast<ForWindow>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "GetDpiForWindow")));
    static const auto metrics = reinterpret_cast<MetricsForDpi>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "GetSystemMetricsForDpi")));
    const HWND taskbar = ::FindWindowW(L"Shell_TrayWnd", nullptr);
    const UINT dpi = forWindow != nullptr && taskbar != nullptr ? forWindow(taskbar) : 0;
    const int pixels = metrics != nullptr && dpi != 0 ? metrics(SM_CXSMICON, dpi) : ::GetSystemMetrics(SM_CXSMICON);
    return std::clamp(pixels, 16, 256);
}

void Win32NotificationArea::Received(unsigned message, std::intptr_t lParam)
{
    if (message == kCallbackMessage) {
        // From the keyboard (Win+B, the arrows, then Enter or Space) the icon does what a
        // double click does; Shift+F10 or the Menu key (WM_CONTEXTMENU) what a right click does.
        // A right click sends WM_CONTEXTMENU too, after its button-up: the menu opens once.
        int event = static_cast<int>(LOWORD(lParam));
        if (event == NIN_KEYSELECT)
            event = WM_LBUTTONDBLCLK;
        if (event == WM_CONTEXTMENU) {
            if (m_rightClickMenu) {
                m_rightClickMenu = false;
                return;
            }
            event = WM_RBUTTONUP;
        } else if (event == WM_RBUTTONUP) {
            m_rightClickMenu = true;
        } else if (event != WM_MOUSEMOVE) {
            m_rightClickMenu = false;
        }
        if (onMouseMessage)
            onMouseMessage(event);
    } else if (message == m_taskbarCreated && m_taskbarCreated != 0) {
        if (onTrayCreated)
            onTrayCreated();
    }
}

bool Win32NotificationArea::Notify(unsigned command, const platform::TrayIconData& data)
{
    NOTIFYICONDATAW notify{};
    notify.cbSize = sizeof notify; // the structure of this 64-bit build
    notify.hWnd = static_cast<HWND>(m_window);
    notify.uID = data.uID;
    notify.uFlags = NIF_MESSAGE | NIF_TIP | (data.hIcon ? NIF_ICON : 0);
    notify.uCallbackMessage = kCallbackMessage;
    // Made at the taskbar's own icon size here: the shell's scaling of the 32-pixel picture can
    // drop a digit's one-pixel stroke.
    HICON icon = data.hIcon ? static_cast<HICON>(CreateIconOf(tray::ShrinkIcon(*data.hIcon, TrayIconPixels())))
                            : nullptr;
    notify.hIcon = icon;
    const std::wstring tip = platform::win32::Widen(data.Tip());
    tip.copy(notify.szTip, std::min<std::size_t>(tip.size(), std::size(notify.szTip) - 1));
    const bool done = ::Shell_NotifyIconW(command, &notify) != 0;
    m_iconId = notify.uID;
    // The icon shown before goes now, or every tick would leak one.
    if (icon != nullptr) {
        if (m_icon != nullptr)
            ::DestroyIcon(static_cast<HICON>(m_icon));
        m_icon = icon;
    }
    return done;
}

bool Win32NotificationArea::Add(const platform::TrayIconData& data)
{
    m_added = Notify(NIM_ADD, data);
    // Explorer also says "TaskbarCreated" while it still holds the icon (on a change of DPI,
    // monitor or remote session): the add fails there, and the icon is there to be modified.
    if (!m_added)
        m_added = Notify(NIM_MODIFY, data);
    if (m_added) {
        // Version 3 tells of the keyboard (NIN_KEYSELECT) and keeps the mouse messages as they
        // were.
        NOTIFYICONDATAW version{};
        version.cbSize = sizeof version;
        version.hWnd = static_cast<HWND>(m_window);
        version.uID = m_iconId;
        version.uVersion = NOTIFYICON_VERSION;
        ::Shell_NotifyIconW(NIM_SETVERSION, &version);
    }
    return m_added;
}

bool Win32NotificationArea::Modify(const platform::TrayIconData& data)
{
    // At log-on the taskbar may not take the icon yet, and no "TaskbarCreated" follows when it
    // is ready; a taskbar that restarted may have lost it. Each new picture tries again.
    const bool had = m_added;
    if (m_added && Notify(NIM_MODIFY, data))
        return true;
    const bool added = Add(data);
    if (had && !added && !TrayAvailable() && onTrayGone)
        onTrayGone();
    return added;
}

bool Win32NotificationArea::TrayAvailable()
{
    return m_added || ::FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr;
}

bool Win32NotificationArea::Delete(const platform::TrayIconData& data)
{
    NOTIFYICONDATAW notify{};
    notify.cbSize = sizeof notify;
    notify.hWnd = static_cast<HWND>(m_window);
    notify.uID = data.uID;
    const bool done = ::Shell_NotifyIconW(NIM_DELETE, &notify) != 0;
    m_added = false;
    if (m_icon != nullptr) {
        ::DestroyIcon(static_cast<HICON>(m_icon));
        m_icon = nullptr;
    }
    return done;
}

} // namespace korvane::win32front
