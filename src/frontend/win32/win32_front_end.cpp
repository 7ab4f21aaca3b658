#include "frontend/win32/win32_front_end.h"

#include "frontend/win32/win32_controls.h"
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
const wchar_t* const kPickerClass = L"KorvanePicker";
// Runs the menu item chosen in the pop-up menu once the menu's own messages are done.
constexpr UINT kRunMenuItem = WM_APP + 10;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// GetDpiForWindow (Windows 10 1607 and later), looked up as older systems lack it; 0 without it.
int DpiOfWindow(HWND window)
{
    using GetDpi = UINT(WINAPI*)(HWND);
    static const auto getDpi =
        reinterpret_cast<GetDpi>(reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    return getDpi != nullptr ? static_cast<int>(getDpi(window)) : 0;
}
LRESULT CALLBACK PickerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

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

// The affinity picker as a pop-up window of its own.
struct Picker {
    ui::Form2* model = nullptr;
    HWND window = nullptr;
    std::unique_ptr<ControlBinder> binder;
    bool closed = false;
};

struct Win32MainWindow::Impl {
    Impl(platform::Screen& screen, int dotsPerInch)
        : screen(screen), modelTpp(std::max(screen.TwipsPerPixelX(), 1)),
          dpi(dotsPerInch > 0 ? dotsPerInch : 1440 / modelTpp), tpp(1440.0 / dpi), fonts(std::make_unique<Fonts>(dpi))
    {
    }

    // Makes the native controls of the model's main window (again, after a change of DPI).
    void AddControls();
    // The window moved to a monitor of another scale (WM_DPICHANGED): fonts, controls and size
    // are made anew at it, so that text stays sharp.
    void ChangeDpi(int newDpi, const RECT& suggested);

    // Twips of the model from pixels of the window, at the window's exact scale.
    std::int32_t Twips(int pixels) const { return static_cast<std::int32_t>(std::lround(pixels * tpp)); }
    // Pixels the model counted at its whole twips per pixel, at the window's exact scale: the two
    // differ where the DPI does not divide 1440 (175, 200, 225 %).
    LONG Rescaled(std::int32_t modelPixels) const
    {
        return static_cast<LONG>(std::lround(modelPixels * static_cast<double>(modelTpp) / tpp));
    }

    void ApplyModel();
    void SendGeometry();
    void ShowMenu(const forms::Menu& menu);
    void OpenPicker(ui::Form2& model);
    void ClosePicker(Picker& picker);

    platform::Screen& screen;
    int modelTpp; // the model's twips per pixel, a whole number
    int dpi;      // the window's dots per inch
    double tpp;   // the window's twips per pixel: 1440 / dpi, exactly
    std::unique_ptr<Fonts> fonts;
    HWND window = nullptr;
    HWND tooltips = nullptr;
    std::unique_ptr<ControlBinder> binder;
    ui::Form1* form = nullptr;
    platform::win32::Win32SingleInstance* instance = nullptr;
    Win32NotificationArea* tray = nullptr;
    std::optional<ui::SizeLimits> limits;
    bool applying = false;
    bool frozen = false;
    bool redrawOff = false; // WM_SETREDRAW FALSE sent, and WS_VISIBLE cleared with it
    std::vector<forms::MenuItem*> menuItems;
    std::vector<std::unique_ptr<Picker>> pickers;
};

void Win32MainWindow::Impl::ApplyModel()
{
    if (applying || form == nullptr)
        return;
    const forms::Window& model = form->Controls().Form;
    // WM_SETREDRAW also clears and sets WS_VISIBLE: it is sent only when the freeze changes, and
    // the window's state waits for the thaw, which applies it.
    if (model.UpdatesFrozen() != frozen) {
        frozen = model.UpdatesFrozen();
        // A window hidden in the tray is not frozen at all: the thaw would make it visible.
        if (frozen && ::IsWindowVisible(window)) {
            ::SendMessageW(window, WM_SETREDRAW, FALSE, 0);
            redrawOff = true;
        } else if (!frozen && redrawOff) {
            ::SendMessageW(window, WM_SETREDRAW, TRUE, 0);
            redrawOff = false;
            ::RedrawWindow(window, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
        }
    }
    if (frozen)
        return;
    applying = true;
    // Minimized is hidden to the tray.
    if (!model.Visible() || model.State() == forms::WindowState::Minimized) {
        ::ShowWindow(window, SW_HIDE);
    } else if (model.State() == forms::WindowState::Maximized) {
        if (!::IsZoomed(window) || !::IsWindowVisible(window))
            ::ShowWindow(window, SW_SHOWMAXIMIZED);
    } else {
        if (!::IsWindowVisible(window) || ::IsIconic(window) || ::IsZoomed(window))
            ::ShowWindow(window, SW_SHOWNORMAL);
        ::SetWindowPos(window, nullptr, Pixels(model.Left(), tpp), Pixels(model.Top(), tpp),
                       Pixels(model.Width(), tpp), Pixels(model.Height(), tpp), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    applying = false;
    // The frame is known once the window is shown: the model lays out the inside for it.
    if (model.Visible() && model.State() != forms::WindowState::Minimized)
        SendGeometry();
}

void Win32MainWindow::Impl::AddControls()
{
    ControlBinder& b = *binder;
    HWND main = window;
    ui::MainControls& c = form->Controls();
    b.Track(c.Form, main);
    b.AddScrollingList(c.MainBox, c.ScrollBox, c.List1, main);
    b.AddScrollingList(c.MainBox2, c.ScrollBox2, c.List2, main);
    b.AddScrollBar(c.Vs1, main);
    b.AddScrollBar(c.Vs2, main);
    for (forms::Label* label : {&c.Label2, &c.Label3, &c.Label5, &c.Label4})
        b.AddLabel(*label, main, true);
    ui::MainControls::AddPanelParts(b, c.CommandStripParts(), b.AddPanel(c.Picture1, main, false));
    ui::MainControls::AddPanelParts(b, c.OptionsPanelParts(), b.AddPanel(c.Picture2, main, true));
    ui::MainControls::AddPanelParts(b, c.UsagePanelParts(), b.AddPanel(c.cpuOptions, main, true));
}

void Win32MainWindow::Impl::ChangeDpi(int newDpi, const RECT& suggested)
{
    if (newDpi <= 0)
        return;
    dpi = newDpi;
    tpp = 1440.0 / dpi;
    if (form != nullptr) {
        binder->Unbind();
        // The controls' windows go with their binder; the tooltips window is a pop-up, not a child.
        while (HWND child = ::GetWindow(window, GW_CHILD))
            ::DestroyWindow(child);
    }
    binder.reset();
    fonts = std::make_unique<Fonts>(dpi);
    binder = std::make_unique<ControlBinder>(tpp, *fonts, tooltips);
    if (form != nullptr)
        AddControls();
    applying = true;
    ::SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    applying = false;
    SendGeometry();
}

void Win32MainWindow::Impl::SendGeometry()
{
    if (applying || form == nullptr || !::IsWindowVisible(window) || ::IsIconic(window))
        return;
    RECT outer;
    RECT client;
    ::GetWindowRect(window, &outer);
    ::GetClientRect(window, &client);
    forms::Window& model = form->Controls().Form;
    const std::int32_t frame = Twips((outer.bottom - outer.top) - (client.bottom - client.top));
    const std::int32_t width = Twips(outer.right - outer.left);
    const std::int32_t height = Twips(outer.bottom - outer.top);
    // A new frame with the same outer size still changes the room inside.
    const bool onlyFrame = frame != model.Height() - model.InnerHeight() && width == model.Width() &&
                           height == model.Height();
    model.SetFrameHeight(frame);
    applying = true;
    model.UserResize(Twips(outer.left), Twips(outer.top), width, height);
    if (onlyFrame && model.OnResize)
        model.OnResize();
    applying = false;
}

void Win32MainWindow::Impl::ShowMenu(const forms::Menu& menu)
{
    HMENU popup = ::CreatePopupMenu();
    std::vector<forms::MenuItem*> items;
    for (forms::MenuItem* item : menu.Items) {
        if (item == nullptr) {
            ::AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        items.push_back(item);
        const UINT flags = MF_STRING | (item->Checked() ? MF_CHECKED : 0) | (item->Enabled() ? 0 : MF_GRAYED);
        ::AppendMenuW(popup, flags, items.size(), Widen(item->Caption()).c_str());
    }
    POINT at;
    ::GetCursorPos(&at);
    // Without the foreground the menu would not close on a click elsewhere; WM_NULL lets it go.
    ::SetForegroundWindow(window);
    const int chosen = ::TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0,
                                        window, nullptr);
    ::PostMessageW(window, WM_NULL, 0, 0);
    ::DestroyMenu(popup);
    if (chosen > 0 && static_cast<std::size_t>(chosen) <= items.size()) {
        menuItems = items;
        ::PostMessageW(window, kRunMenuItem, static_cast<WPARAM>(chosen), 0);
    }
}

void Win32MainWindow::Impl::OpenPicker(ui::Form2& model)
{
    // Pickers closed before, whose windows are gone by now.
    std::erase_if(pickers, [](const std::unique_ptr<Picker>& old) { return old->closed && !::IsWindow(old->window); });
    auto picker = std::make_unique<Picker>();
    Picker& p = *picker;
    p.model = &model;
    p.window = ::CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kPickerClass, L"", WS_POPUP | WS_BORDER | WS_CLIPCHILDREN,
                                 0, 0, 10, 10, window, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SetWindowLongPtrW(p.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&p));
    p.binder = std::make_unique<ControlBinder>(tpp, *fonts, tooltips);
    p.binder->AddLabel(model.Label3, p.window, false, true);
    for (auto& box : model.Check1)
        p.binder->AddCheckBox(box, p.window, true);
    for (forms::Label* item : {&model.Label1, &model.Label2})
        p.binder->AddLabel(*item, p.window, false, true, 12);
    // Label3 is the background: the others stand in front of it.
    ::SetWindowPos(static_cast<HWND>(p.binder->WindowOf(&model.Label3)), HWND_BOTTOM, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    model.Form.SetChangedHandler([this, &p] {
        if (!p.model->Form.Visible()) {
            ClosePicker(p);
            return;
        }
        const forms::Window& form = p.model->Form;
        ::SetWindowPos(p.window, HWND_TOPMOST, Pixels(form.Left(), tpp), Pixels(form.Top(), tpp),
                       Pixels(form.Width(), tpp), Pixels(form.Height(), tpp), SWP_SHOWWINDOW);
        ::SetForegroundWindow(p.window);
    });
    pickers.push_back(std::move(picker));
}

void Win32MainWindow::Impl::ClosePicker(Picker& picker)
{
    if (picker.closed)
        return;
    picker.closed = true;
    picker.binder->Unbind();
    picker.model->Form.SetChangedHandler({});
    ::SetWindowLongPtrW(picker.window, GWLP_USERDATA, 0);
    // Destroyed from the message loop: this may run inside one of its own messages.
    ::PostMessageW(picker.window, WM_CLOSE, 0, 0);
}

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
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            const ui::SizeLimits& l = *impl->limits;
            // The widths and the left edge come from twips, the heights from the screen's pixels.
            info->ptMaxSize = {impl->Rescaled(l.maxSizeWidth), l.maxSizeHeight};
            info->ptMaxPosition = {impl->Rescaled(l.maxPositionX), l.maxPositionY};
            // The maximized place is given as on the primary monitor, which Windows moves to
            // the window's own: the limits are of that monitor, so its origin comes off.
            MONITORINFO monitor{};
            monitor.cbSize = sizeof monitor;
            if (::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) {
                info->ptMaxPosition.x -= monitor.rcMonitor.left;
                info->ptMaxPosition.y -= monitor.rcMonitor.top;
            }
            info->ptMinTrackSize = {impl->Rescaled(l.minTrackWidth), l.minTrackHeight};
            info->ptMaxTrackSize = {impl->Rescaled(l.maxTrackWidth), l.maxTrackHeight};
            return 0;
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

LRESULT CALLBACK PickerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* picker = reinterpret_cast<Picker*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_COMMAND:
        if (ControlBinder::Route(message, wParam, lParam))
            return 0;
        break;
    case WM_ACTIVATE:
        // Losing the activation closes the picker.
        if (LOWORD(wParam) == WA_INACTIVE && picker != nullptr && !picker->closed && !picker->model->Closed() &&
            picker->model->Form.OnDeactivate)
            picker->model->Form.OnDeactivate();
        break;
    case WM_CLOSE:
        ::DestroyWindow(window);
        return 0;
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
    form.OnPickerCreated = [&impl](ui::Form2& picker) { impl.OpenPicker(picker); };
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
    }
    if (impl.tray != nullptr) {
        impl.tray->onMouseMessage = {};
        impl.tray->onTrayCreated = {};
    }
    impl.form = nullptr;
}

void* Win32FrontEnd::WindowOf(const forms::Control* control) const
{
    return m_window.m_impl->binder->WindowOf(control);
}

void Win32FrontEnd::ApplySizeLimits()
{
    Win32MainWindow::Impl& impl = *m_window.m_impl;
    impl.limits = impl.form->Layout().GetMinMaxInfo();
    impl.ApplyModel();
}

} // namespace korvane::win32front
