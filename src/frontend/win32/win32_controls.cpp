#include "frontend/win32/win32_controls.h"

#include "frontend/win32/win32_control_kinds.h"
#include "frontend/win32/win32_control_window.h"
#include "frontend/win32/win32_list_windows.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>

namespace korvane::win32front {

namespace {

LRESULT CALLBACK ControlWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* pointed = reinterpret_cast<ControlWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    // A viewport's inner area points at its viewport only for the routing of its children.
    ControlWindow* control = pointed != nullptr && pointed->Window() == window ? pointed : nullptr;
    switch (message) {
    case WM_COMMAND:
    case WM_VSCROLL:
        if (ControlBinder::Route(message, wParam, lParam))
            return 0;
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(window, &paint);
        if (control != nullptr) {
            RECT rect;
            ::GetClientRect(window, &rect);
            control->Paint(dc, rect);
        } else {
            ::FillRect(dc, &paint.rcPaint, ::GetSysColorBrush(pointed != nullptr ? COLOR_WINDOW : COLOR_BTNFACE));
        }
        ::EndPaint(window, &paint);
        return 0;
    }
    case WM_MOUSEMOVE:
        if (control != nullptr)
            control->OnMouseMove(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        break;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        ControlWindow* list = ControlWindow::Of(item->hwndItem);
        if (item->CtlType == ODT_LISTBOX && list != nullptr && list->OnDrawItem(*item))
            return TRUE;
        break;
    }
    case WM_LBUTTONUP:
        if (control != nullptr && control->OnClick())
            return 0;
        break;
    default:
        break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

void RegisterControlClasses()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ControlWindowProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kControlClass;
    ::RegisterClassW(&windowClass);
}

ControlBinder::ControlBinder(double twipsPerPixel, const Fonts& fonts, void* tooltips)
    : m_tpp(std::max(twipsPerPixel, 1.0)), m_fonts(fonts), m_tooltips(tooltips)
{
    RegisterControlClasses();
}

ControlBinder::~ControlBinder()
{
    Unbind();
}

ControlWindow& ControlBinder::Bind(std::unique_ptr<ControlWindow> window)
{
    ControlWindow& w = *window;
    ::SetWindowLongPtrW(w.Window(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&w));
    w.Control().SetChangedHandler([&w] { w.Apply(); });
    m_bindings[&w.Control()] = std::move(window);
    w.Apply();
    return w;
}

void ControlBinder::Track(forms::Control& control, void* window)
{
    m_tracked[&control] = window;
}

void* ControlBinder::AddPanel(forms::PictureBox& panel, void* parent, bool raised)
{
    HWND window = CreateChild(kControlClass, WS_CLIPCHILDREN, static_cast<HWND>(parent));
    Bind(std::make_unique<PanelWindow>(panel, window, m_tpp, static_cast<HWND>(m_tooltips), raised));
    return window;
}

void* ControlBinder::AddLabel(forms::Label& label, void* parent, bool bold, bool menuFont, int indentPixels)
{
    HWND window = CreateChild(kControlClass, 0, static_cast<HWND>(parent));
    const HFONT font = static_cast<HFONT>(bold ? m_fonts.bold : menuFont ? m_fonts.menu : m_fonts.normal);
    Bind(std::make_unique<LabelWindow>(label, window, m_tpp, static_cast<HWND>(m_tooltips), font, indentPixels));
    return window;
}

void* ControlBinder::AddCheckBox(forms::CheckBox& box, void* parent, bool menuFont)
{
    HWND window = CreateChild(L"BUTTON", BS_CHECKBOX | WS_TABSTOP, static_cast<HWND>(parent));
    ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(menuFont ? m_fonts.menu : m_fonts.normal), FALSE);
    Bind(std::make_unique<CheckBoxWindow>(box, window, m_tpp, static_cast<HWND>(m_tooltips))).Subclass();
    return window;
}

void* ControlBinder::AddButton(forms::Button& button, void* parent)
{
    HWND window = CreateChild(L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, static_cast<HWND>(parent));
    ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(m_fonts.normal), FALSE);
    Bind(std::make_unique<ButtonWindow>(button, window, m_tpp, static_cast<HWND>(m_tooltips)));
    return window;
}

void* ControlBinder::AddTextBox(forms::TextBox& field, void* parent)
{
    HWND window = CreateChild(L"EDIT", WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, static_cast<HWND>(parent));
    ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(m_fonts.normal), FALSE);
    Bind(std::make_unique<TextBoxWindow>(field, window, m_tpp, static_cast<HWND>(m_tooltips))).Subclass();
    return window;
}

void* ControlBinder::AddPicture(forms::PictureBox& picture, void* parent)
{
    HWND window = CreateChild(kControlClass, 0, static_cast<HWND>(parent));
    Bind(std::make_unique<PictureWindow>(picture, window, m_tpp, static_cast<HWND>(m_tooltips)));
    return window;
}

void* ControlBinder::AddScrollBar(forms::ScrollBar& bar, void* parent)
{
    HWND window = CreateChild(L"SCROLLBAR", SBS_VERT, static_cast<HWND>(parent));
    Bind(std::make_unique<ScrollBarWindow>(bar, window, m_tpp, static_cast<HWND>(m_tooltips))).Subclass();
    return window;
}

void ControlBinder::AddScrollingList(forms::PictureBox& viewportModel, forms::PictureBox& scrollAreaModel,
                                     forms::ListBox& list, void* parent)
{
    const HWND tooltips = static_cast<HWND>(m_tooltips);
    HWND viewport = CreateChild(kControlClass, WS_CLIPCHILDREN, static_cast<HWND>(parent));
    auto& v = static_cast<ViewportWindow&>(Bind(std::make_unique<ViewportWindow>(viewportModel, viewport, m_tpp, tooltips)));
    // Rows as tall as the model's: the wheel, the scroll bar and the icons step by the same.
    const int rowPixels = Pixels(kRowTwips, m_tpp);
    HWND scrollArea = CreateChild(kControlClass, WS_CLIPCHILDREN, v.Inside());
    Bind(std::make_unique<PictureWindow>(scrollAreaModel, scrollArea, m_tpp, tooltips, rowPixels));
    // Owner-drawn, its strings the rows as a screen reader says them, and without LBS_SORT: the
    // model orders the rows, and the system's order by locale would disagree with its indexes.
    HWND listWindow = CreateChild(L"LISTBOX",
                                  WS_TABSTOP | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT |
                                      (list.Kind() == forms::ListBoxKind::MultiSelect ? LBS_EXTENDEDSEL : 0),
                                  scrollArea);
    ::SendMessageW(listWindow, LB_SETITEMHEIGHT, 0, rowPixels);
    Bind(std::make_unique<ListWindow>(list, listWindow, m_tpp, tooltips, static_cast<HFONT>(m_fonts.list), rowPixels))
        .Subclass();
}

void* ControlBinder::WindowOf(const forms::Control* control) const
{
    if (const auto tracked = m_tracked.find(control); tracked != m_tracked.end())
        return tracked->second;
    const auto it = m_bindings.find(control);
    return it == m_bindings.end() ? nullptr : it->second->Window();
}

void ControlBinder::Unbind()
{
    for (auto& [control, window] : m_bindings) {
        window->Control().SetChangedHandler({});
        window->Detach();
    }
    m_bindings.clear();
    m_tracked.clear();
}

bool ControlBinder::Route(unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    HWND child = reinterpret_cast<HWND>(lParam);
    ControlWindow* control = child != nullptr ? ControlWindow::Of(child) : nullptr;
    if (control == nullptr)
        return false;
    if (message == WM_COMMAND)
        return control->OnCommand(HIWORD(wParam));
    if (message == WM_VSCROLL)
        return control->OnScroll(LOWORD(wParam));
    return false;
}

} // namespace korvane::win32front
