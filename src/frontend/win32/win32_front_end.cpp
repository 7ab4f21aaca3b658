#include "frontend/win32/win32_front_end.h"

#include "frontend/win32/win32_controls.h"
#include "frontend/win32/win32_main_window_impl.h"
#include "frontend/win32/win32_notification_area.h"
#include "platform/screen.h"
#include "platform/win32/win32_single_instance.h"
#include "platform/win32/win32_text.h"
#include "tray/tray_icon.h"
#include "ui/form1.h"
#include "ui/form2.h"

#include <windows.h>
#include <commctrl.h>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

#include <cmath>
#include <optional>
#include <vector>

namespace korvane::win32front {

using platform::win32::Widen;

namespace {

const wchar_t* const kMainClass = L"KorvaneMain";

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// GetDpiForWindow (Windows 10 1607 and later), looked up as older systems lack it; 0 without it.
int DpiOfWindow(HWND window)
{
    using GetDpi = UINT(WINAPI*)(HWND);
    static const auto getDpi =
        reinterpret_cast<GetDpi>(reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    return getDpi != nullptr ? static_cast<int>(getDpi(window)) : 0;
}

void RegisterWindowClasses(HICON icon)
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    WNDCLASSEXW main{};
    main.cbSize = sizeof main;
    main.lpfnWndProc = MainWindowProc;
    main.hInstance = ::GetModuleHandleW(nullptr);
    main.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    main.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
    main.hIcon = icon;
    main.hIconSm = icon;
    main.lpszClassName = kMainClass;
    ::RegisterClassExW(&main);
    WNDCLASSEXW picker = main;
    picker.lpfnWndProc = PickerWindowProc;
    picker.lpszClassName = kPickerClass;
    // The picker drops a shadow as a menu does.
    picker.style = CS_DROPSHADOW;
    ::RegisterClassExW(&picker);
}

} // namespace


namespace {

Win32MainWindow::Impl* ImplOf(HWND window)
{
    return reinterpret_cast<Win32MainWindow::Impl*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Win32MainWindow::Impl* impl = ImplOf(window);
    if (impl == nullptr || impl->form == nullptr)
        return ::DefWindowProcW(window, message, wParam, lParam);
    ui::Form1& form = *impl->form;
    if (impl->instance != nullptr && message == platform::win32::Win32SingleInstance::ShowRequestMessage()) {
        impl->instance->NoteShowRequest();
        return 0;
    }
    switch (message) {
    case WM_COMMAND:
    case WM_VSCROLL:
        if (ControlBinder::Route(message, wParam, lParam))
            return 0;
        break;
    case WM_CLOSE:
        // The close box hides to the tray; the model decides.
        if (!form.Ended())
            form.Unload(ui::kUnloadControlMenu);
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        if (wParam != 0 && !form.Ended())
            form.Unload(ui::kUnloadAppWindows);
        return 0;
    case WM_GETMINMAXINFO:
        if (impl->limits) {
            impl->FillSizeLimits(reinterpret_cast<MINMAXINFO*>(lParam));
            return 0;
        }
        break;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
    case WM_THEMECHANGED:
        // High contrast switched, or the system's colours changed: drawn in them from now on.
        if (!form.Ended()) {
            form.SystemColorsChanged();
            ::RedrawWindow(window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
        }
        break;
    case WM_SIZE:
        if (!impl->applying) {
            forms::Window& model = form.Controls().Form;
            const forms::WindowState state = wParam == SIZE_MINIMIZED   ? forms::WindowState::Minimized
                                             : wParam == SIZE_MAXIMIZED ? forms::WindowState::Maximized
                                                                        : forms::WindowState::Normal;
            if (::IsWindowVisible(window) && state != model.State())
                model.SetState(state);
        }
        impl->SendGeometry();
        break;
    case WM_MOVE:
        impl->SendGeometry();
        break;
    case WM_DPICHANGED:
        impl->ChangeDpi(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_MOUSEWHEEL:
        form.MouseWheel(GET_WHEEL_DELTA_WPARAM(wParam));
        return 0;
    case kRunMenuItem: {
        const auto index = static_cast<std::size_t>(wParam);
        if (index >= 1 && index <= impl->menuItems.size()) {
            forms::MenuItem* item = impl->menuItems[index - 1];
            impl->menuItems.clear();
            item->UserClick();
        }
        return 0;
    }
    default:
        break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}


} // namespace

Win32MainWindow::Win32MainWindow(platform::Screen& screen, int dotsPerInch)
    : m_impl(std::make_unique<Impl>(screen, dotsPerInch))
{
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    // The program's icon resource (number 1) where the executable has one, else the drawn icon.
    HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
    if (icon == nullptr)
        icon = static_cast<HICON>(CreateIconOf(tray::DrawProgramIcon()));
    RegisterWindowClasses(icon);
    HWND window = ::CreateWindowExW(0, kMainClass, L"Korvane", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                                    CW_USEDEFAULT, 100, 100, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    m_window = window;
    m_impl->window = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(m_impl.get()));

    // Run elevated, the window would not hear a second, normal start asking it to show itself.
    ::ChangeWindowMessageFilterEx(window, platform::win32::Win32SingleInstance::ShowRequestMessage(), MSGFLT_ALLOW,
                                  nullptr);
    m_impl->tooltips = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0,
                                         0, window, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(m_impl->tooltips, WM_SETFONT, reinterpret_cast<WPARAM>(m_impl->fonts->normal), FALSE);
    m_impl->binder = std::make_unique<ControlBinder>(m_impl->tpp, *m_impl->fonts, m_impl->tooltips);
}

void Win32MainWindow::FollowOwnMonitor()
{
    RECT place{};
    ::GetWindowRect(static_cast<HWND>(m_window), &place);
    if (const int own = DpiOfWindow(static_cast<HWND>(m_window)); own > 0 && own != m_impl->dpi)
        m_impl->ChangeDpi(own, place);
}

Win32MainWindow::~Win32MainWindow()
{
    m_impl->binder->Unbind();
    m_impl->form = nullptr;
    ::SetWindowLongPtrW(static_cast<HWND>(m_window), GWLP_USERDATA, 0);
    ::DestroyWindow(static_cast<HWND>(m_window));
}

Win32FrontEnd::Win32FrontEnd(ui::Form1& form, Win32MainWindow& window, Win32NotificationArea& tray,
                             platform::win32::Win32SingleInstance* instance)
    : m_window(window)
{
    Win32MainWindow::Impl& impl = *window.m_impl;
    impl.form = &form;
    impl.instance = instance;
    impl.tray = &tray;
    HWND main = impl.window;
    ui::MainControls& c = form.Controls();
    ::SetWindowTextW(main, Widen(c.Form.Caption()).c_str());
    c.Form.SetChangedHandler([&impl] { impl.ApplyModel(); });
    c.Form.OnForeground = [main] {
        ::SetForegroundWindow(main);
        ::BringWindowToTop(main);
    };
    c.Form.OnPopupMenu = [&impl](const forms::Menu& menu) { impl.ShowMenu(menu); };
    impl.AddControls();

    tray.onMouseMessage = [&form](int message) {
        ui::MainControls& controls = form.Controls();
        if (controls.P2.OnMouseMove)
            controls.P2.OnMouseMove(0, 0, static_cast<float>(message), 0);
    };
    tray.onTrayCreated = [&form] { form.TaskbarCreated(); };
    tray.onTrayGone = [&form] { form.TaskbarGone(); };
    form.OnPickerCreated = [&impl](ui::Form2& picker) { impl.OpenPicker(picker); };
    form.EveryCpu().OnPickerCreated = [&impl](ui::CpuPicker& picker) { impl.OpenCpuPicker(picker); };
}

Win32FrontEnd::~Win32FrontEnd()
{
    Win32MainWindow::Impl& impl = *m_window.m_impl;
    for (auto& picker : impl.pickers)
        impl.ClosePicker(*picker);
    impl.binder->Unbind();
    if (impl.form != nullptr) {
        ui::MainControls& c = impl.form->Controls();
        c.Form.OnForeground = {};
        c.Form.OnPopupMenu = {};
        impl.form->OnPickerCreated = {};
        impl.form->EveryCpu().OnPickerCreated = {};
    }
    if (impl.tray != nullptr) {
        impl.tray->onMouseMessage = {};
        impl.tray->onTrayCreated = {};
        impl.tray->onTrayGone = {};
    }
    impl.form = nullptr;
}

void* Win32FrontEnd::WindowOf(const forms::Control* control) const
{
    if (void* found = m_window.m_impl->binder->WindowOf(control))
        return found;
    for (const auto& picker : m_window.m_impl->pickers) {
        if (void* found = picker->closed ? nullptr : picker->binder->WindowOf(control))
            return found;
    }
    return nullptr;
}

void Win32FrontEnd::ApplySizeLimits()
{
    Win32MainWindow::Impl& impl = *m_window.m_impl;
    impl.limits = impl.form->Layout().GetMinMaxInfo();
    impl.ApplyModel();
}

} // namespace korvane::win32front
