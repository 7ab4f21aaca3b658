#include "frontend/win32/win32_main_window_impl.h"

#include "platform/win32/win32_text.h"

#include <commctrl.h>

namespace korvane::win32front {

using platform::win32::Widen;

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
    // Minimized is hidden to the tray; without a tray it stays in the taskbar, minimized.
    if (!model.Visible()) {
        ::ShowWindow(window, SW_HIDE);
    } else if (model.State() == forms::WindowState::Minimized) {
        if (!::IsWindowVisible(window) || !::IsIconic(window))
            ::ShowWindow(window, SW_SHOWMINNOACTIVE);
    } else if (model.State() == forms::WindowState::Maximized) {
        if (!::IsZoomed(window) || !::IsWindowVisible(window))
            ::ShowWindow(window, SW_SHOWMAXIMIZED);
    } else {
        if (!::IsWindowVisible(window) || ::IsIconic(window) || ::IsZoomed(window))
            ::ShowWindow(window, SW_SHOWNORMAL);
        ::SetWindowPos(window, nullptr, PlacePixels(model.Left()), PlacePixels(model.Top()),
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
    // Open pickers keep the fonts they were made with until their own monitor's scale changes.
    fonts = std::make_shared<Fonts>(dpi);
    binder = std::make_unique<ControlBinder>(tpp, *fonts, tooltips);
    ::SendMessageW(tooltips, WM_SETFONT, reinterpret_cast<WPARAM>(fonts->normal), FALSE);
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
    model.UserResize(PlaceTwips(outer.left), PlaceTwips(outer.top), width, height);
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

Picker& Win32MainWindow::Impl::NewPicker(forms::Window& form)
{
    // Pickers closed before, whose windows are gone by now.
    std::erase_if(pickers, [](const std::unique_ptr<Picker>& old) { return old->closed && !::IsWindow(old->window); });
    auto picker = std::make_unique<Picker>();
    Picker& p = *picker;
    p.form = &form;
    p.window = ::CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_CONTROLPARENT, kPickerClass, L"",
                                 WS_POPUP | WS_BORDER | WS_CLIPCHILDREN, 0, 0, 10, 10, window, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
    ::SetWindowLongPtrW(p.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&p));
    // No title bar, but a screen reader says the window's title.
    ::SetWindowTextW(p.window, platform::win32::Widen(form.AccessibleName()).c_str());
    p.owner = this;
    p.dpi = dpi;
    p.tpp = tpp;
    p.fonts = fonts;
    p.binder = std::make_unique<ControlBinder>(tpp, *fonts, tooltips);
    form.SetChangedHandler([this, &p] {
        const forms::Window& model = *p.form;
        if (!model.Visible()) {
            ClosePicker(p);
            return;
        }
        ::SetWindowPos(p.window, HWND_TOPMOST, PlacePixels(model.Left()), PlacePixels(model.Top()),
                       Pixels(model.Width(), p.tpp), Pixels(model.Height(), p.tpp), SWP_SHOWWINDOW);
        ::SetForegroundWindow(p.window);
    });
    pickers.push_back(std::move(picker));
    return p;
}

void Win32MainWindow::Impl::OpenPicker(ui::Form2& model)
{
    Picker& p = NewPicker(model.Form);
    p.addControls = [&p, &model] {
        p.binder->AddLabel(model.Label3, p.window, false, true);
        for (auto& box : model.Check1)
            p.binder->AddCheckBox(box, p.window, true);
        for (forms::Label* item : {&model.Label1, &model.Label2})
            p.binder->AddLabel(*item, p.window, false, true, 12);
        // Label3 is the background: the others stand in front of it.
        ::SetWindowPos(static_cast<HWND>(p.binder->WindowOf(&model.Label3)), HWND_BOTTOM, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    };
    p.addControls();
}

void Win32MainWindow::Impl::ChangePickerDpi(Picker& picker, int newDpi, const RECT& suggested)
{
    if (newDpi <= 0 || picker.closed || newDpi == picker.dpi)
        return;
    picker.binder->Unbind();
    while (HWND child = ::GetWindow(picker.window, GW_CHILD))
        ::DestroyWindow(child);
    picker.binder.reset();
    picker.dpi = newDpi;
    picker.tpp = 1440.0 / newDpi;
    picker.fonts = newDpi == dpi ? fonts : std::make_shared<Fonts>(newDpi);
    picker.binder = std::make_unique<ControlBinder>(picker.tpp, *picker.fonts, tooltips);
    if (picker.addControls)
        picker.addControls();
    ::SetWindowPos(picker.window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

MonitorLimits LimitsOnMonitor(int widthPixels, int minHeightPixels, int windowLeft, const RECT& monitor,
                              const RECT& work)
{
    MonitorLimits limits{};
    const LONG height = monitor.bottom - monitor.top;
    const LONG monitorWidth = monitor.right - monitor.left;
    limits.maxSize = {widthPixels, height};
    limits.maxPosition = {std::clamp<LONG>(windowLeft - monitor.left, 0, std::max<LONG>(monitorWidth - widthPixels, 0)), 0};
    limits.minTrack = {widthPixels, minHeightPixels};
    limits.maxTrack = {widthPixels, std::max<LONG>(work.bottom - monitor.top, minHeightPixels)};
    return limits;
}

void Win32MainWindow::Impl::FillSizeLimits(MINMAXINFO* info) const
{
    const ui::SizeLimits& l = *limits;
    // The width comes from twips, the heights from the window's own monitor, each time: the
    // window may have moved to another monitor since the last.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    RECT place{};
    ::GetWindowRect(window, &place);
    if (!::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) {
        monitor.rcMonitor = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
        monitor.rcWork = monitor.rcMonitor;
    }
    const MonitorLimits fitted = LimitsOnMonitor(Rescaled(l.maxSizeWidth), l.minTrackHeight, place.left,
                                                 monitor.rcMonitor, monitor.rcWork);
    info->ptMaxSize = fitted.maxSize;
    info->ptMaxPosition = fitted.maxPosition;
    info->ptMinTrackSize = fitted.minTrack;
    info->ptMaxTrackSize = fitted.maxTrack;
}

void Win32MainWindow::Impl::ClosePicker(Picker& picker)
{
    if (picker.closed)
        return;
    picker.closed = true;
    picker.binder->Unbind();
    picker.form->SetChangedHandler({});
    ::SetWindowLongPtrW(picker.window, GWLP_USERDATA, 0);
    // Destroyed from the message loop: this may run inside one of its own messages.
    ::PostMessageW(picker.window, WM_CLOSE, 0, 0);
}

LRESULT CALLBACK PickerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* picker = reinterpret_cast<Picker*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_COMMAND:
        // Escape, as the dialog navigation tells it: closes the picker without a change.
        if (LOWORD(wParam) == IDCANCEL && lParam == 0 && picker != nullptr && !picker->closed &&
            picker->form->OnDeactivate) {
            picker->form->OnDeactivate();
            return 0;
        }
        [[fallthrough]];
    case WM_VSCROLL:
        if (ControlBinder::Route(message, wParam, lParam))
            return 0;
        break;
    case WM_MOUSEWHEEL:
        if (picker != nullptr && !picker->closed && picker->onWheel) {
            picker->onWheel(GET_WHEEL_DELTA_WPARAM(wParam));
            return 0;
        }
        break;
    case WM_ACTIVATE:
        // Losing the activation closes the picker.
        if (LOWORD(wParam) == WA_INACTIVE && picker != nullptr && !picker->closed && picker->form->Visible() &&
            picker->form->OnDeactivate)
            picker->form->OnDeactivate();
        break;
    case WM_DPICHANGED_MESSAGE:
        if (picker != nullptr && picker->owner != nullptr)
            picker->owner->ChangePickerDpi(*picker, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_CLOSE:
        ::DestroyWindow(window);
        return 0;
    default:
        break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

} // namespace korvane::win32front
