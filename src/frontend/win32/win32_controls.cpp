#include "frontend/win32/win32_controls.h"

#include "platform/win32/win32_bitmap_info.h"
#include "platform/win32/win32_text.h"

#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace korvane::win32front {

using platform::win32::Widen;

namespace {

const wchar_t* const kControlClass = L"KorvaneControl";

enum Kind { kPlain, kPanel, kRaisedPanel, kLabel, kCheckBox, kButton, kPicture, kScrollBar, kList, kViewport };

// A list row is 240 twips in the model, its scroll steps included, and holds a 16-pixel icon.
constexpr std::int32_t kRowTwips = 240;
constexpr int kIconPixels = 16;

// The modifier state as the handlers receive it: 1 shift, 2 ctrl, 4 alt.
int ShiftState()
{
    return ((::GetKeyState(VK_SHIFT) & 0x8000) != 0 ? 1 : 0) | ((::GetKeyState(VK_CONTROL) & 0x8000) != 0 ? 2 : 0) |
           ((::GetKeyState(VK_MENU) & 0x8000) != 0 ? 4 : 0);
}

COLORREF ToColorRef(image::Color c)
{
    return RGB(image::RedOf(c), image::GreenOf(c), image::BlueOf(c));
}

// Draws a 32-bit surface at (x, y) of a device context, scaled from 16 to `scaledTo` pixels a
// side (the icon column, with a row of a list taller than its icon).
void DrawSurface(HDC dc, int x, int y, const image::Surface& surface, int scaledTo = kIconPixels)
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

int PointSize(int points, int dotsPerInch)
{
    return -::MulDiv(points, dotsPerInch, 72);
}

} // namespace

int Pixels(std::int32_t twips, int twipsPerPixel)
{
    return static_cast<int>(std::lround(twips / static_cast<double>(std::max(twipsPerPixel, 1))));
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
        wcscpy(metrics.lfMessageFont.lfFaceName, L"MS Shell Dlg 2");
        metrics.lfMenuFont = metrics.lfMessageFont;
    }
    normal = ::CreateFontIndirectW(&metrics.lfMessageFont);
    LOGFONTW boldFont = metrics.lfMessageFont;
    boldFont.lfWeight = FW_BOLD;
    bold = ::CreateFontIndirectW(&boldFont);
    LOGFONTW menuFont = metrics.lfMenuFont;
    menuFont.lfHeight = PointSize(8, dotsPerInch);
    menu = ::CreateFontIndirectW(&menuFont);
    list = ::CreateFontW(PointSize(10, dotsPerInch), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN,
                         L"Courier New");
}

Fonts::~Fonts()
{
    for (void* font : {normal, bold, menu, list}) {
        if (font != nullptr)
            ::DeleteObject(static_cast<HFONT>(font));
    }
}

struct ControlBinder::Binding {
    forms::Control* control = nullptr;
    int kind = kPlain;
    HWND window = nullptr;
    HWND inside = nullptr; // a viewport's inner area, which clips the scroll area
    HWND tooltips = nullptr;
    HFONT font = nullptr;
    HFONT listFont = nullptr;
    int tpp = 15;
    int rowPixels = 16;     // a list row, and the side of an icon drawn in the icon column
    bool iconColumn = false; // a picture of 16-pixel icons, one a row
    std::wstring tip;
    bool placed = false;
    bool sized = false; // since the label last fitted its window to its text
    bool lastEnabled = true;
    struct Placement {
        int left = 0, top = 0, width = 0, height = 0;
        bool operator==(const Placement&) const = default;
    } lastPlace;
    int indent = 0;
    std::wstring fittedCaption;

    // Only what changed goes to the window: a caption changes twice a second, and every call
    // here is a round trip to the window system.
    void Place()
    {
        const forms::Control& c = *control;
        const Placement place{Pixels(c.Left(), tpp), Pixels(c.Top(), tpp), Pixels(c.Width(), tpp),
                              Pixels(c.Height(), tpp)};
        if (!placed || !(place == lastPlace)) {
            ::SetWindowPos(window, nullptr, place.left, place.top, place.width, place.height,
                           SWP_NOZORDER | SWP_NOACTIVATE);
            if (inside != nullptr) {
                const int border = Pixels(static_cast<forms::PictureBox*>(control)->BorderTwips(), tpp);
                ::SetWindowPos(inside, nullptr, border, border, std::max(place.width - 2 * border, 0),
                               std::max(place.height - 2 * border, 0), SWP_NOZORDER | SWP_NOACTIVATE);
            }
            lastPlace = place;
            sized = true;
        }
        if (!placed || c.Enabled() != lastEnabled) {
            ::EnableWindow(window, c.Enabled() ? TRUE : FALSE);
            lastEnabled = c.Enabled();
        }
        const bool visible = c.Visible();
        if (((::GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0) != visible)
            ::ShowWindow(window, visible ? SW_SHOWNA : SW_HIDE);
        placed = true;
        const std::wstring newTip = Widen(c.ToolTipText());
        if (tooltips != nullptr && newTip != tip) {
            tip = newTip;
            TOOLINFOW tool{};
            tool.cbSize = sizeof tool;
            tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            tool.hwnd = ::GetParent(window);
            tool.uId = reinterpret_cast<UINT_PTR>(window);
            tool.lpszText = tip.data();
            ::SendMessageW(tooltips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
            if (!tip.empty())
                ::SendMessageW(tooltips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }

    void SetText(const std::string& caption)
    {
        const std::wstring text = Widen(caption);
        wchar_t current[512] = {};
        ::GetWindowTextW(window, current, 512);
        if (text != current)
            ::SetWindowTextW(window, text.c_str());
    }

    void Apply()
    {
        Place();
        switch (kind) {
        case kLabel:
            SetText(static_cast<forms::Label*>(control)->Caption());
            FitToText();
            ::InvalidateRect(window, nullptr, TRUE);
            break;
        case kCheckBox: {
            auto* box = static_cast<forms::CheckBox*>(control);
            SetText(box->Caption());
            ::SendMessageW(window, BM_SETCHECK, box->Value() == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
            break;
        }
        case kButton:
            SetText(static_cast<forms::Button*>(control)->Caption());
            break;
        case kScrollBar: {
            auto* bar = static_cast<forms::ScrollBar*>(control);
            SCROLLINFO info{};
            info.cbSize = sizeof info;
            info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
            info.nMin = 0;
            // The bar's largest value is Max; a page of LargeChange adds its size to the range.
            const int page = std::max(bar->LargeChange(), 1);
            info.nMax = std::max(bar->Max(), 0) + page - 1;
            info.nPage = static_cast<UINT>(page);
            info.nPos = bar->Value();
            ::SetScrollInfo(window, SB_CTL, &info, TRUE);
            break;
        }
        case kList: {
            // A list box without data of its own: the model's rows are drawn on WM_DRAWITEM.
            const auto count = static_cast<WPARAM>(static_cast<forms::ListBox*>(control)->ListCount());
            if (static_cast<WPARAM>(::SendMessageW(window, LB_GETCOUNT, 0, 0)) != count)
                ::SendMessageW(window, LB_SETCOUNT, count, 0);
            ::InvalidateRect(window, nullptr, FALSE);
            break;
        }
        case kRaisedPanel:
            if (control->Visible())
                ::SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            ::InvalidateRect(window, nullptr, TRUE);
            break;
        default:
            ::InvalidateRect(window, nullptr, FALSE);
            if (inside != nullptr)
                ::InvalidateRect(inside, nullptr, FALSE);
            break;
        }
    }

    // A label's window covers only the lines of its caption: the rest of its rectangle stays the
    // parent's, as for a transparent label, so a tall label never hides what lies below its text.
    void FitToText()
    {
        auto* label = static_cast<forms::Label*>(control);
        // The region depends on the caption's lines only, which a new number seldom changes.
        const std::wstring caption = Widen(label->Caption());
        const std::wstring key = caption + (label->Look() == forms::LabelLook::Normal ? L"n" : L"h");
        if (!sized && key == fittedCaption)
            return;
        fittedCaption = key;
        sized = false;
        RECT rect;
        ::GetClientRect(window, &rect);
        int height = rect.bottom;
        if (label->Look() == forms::LabelLook::Normal && !label->Caption().empty()) {
            HDC dc = ::GetDC(window);
            HGDIOBJ old = ::SelectObject(dc, font);
            RECT text = rect;
            ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                        DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
            ::SelectObject(dc, old);
            ::ReleaseDC(window, dc);
            height = std::min<int>(rect.bottom, text.bottom + 1);
        }
        ::SetWindowRgn(window, ::CreateRectRgn(0, 0, rect.right, std::max(height, 1)), TRUE);
    }

    void OnCommand(int code)
    {
        if (code != BN_CLICKED)
            return;
        if (kind == kButton) {
            static_cast<forms::Button*>(control)->UserClick();
        } else if (kind == kCheckBox) {
            auto* box = static_cast<forms::CheckBox*>(control);
            box->UserClick();
            ::SendMessageW(window, BM_SETCHECK, box->Value() == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
        }
    }

    void OnScroll(int code)
    {
        auto* bar = static_cast<forms::ScrollBar*>(control);
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        ::GetScrollInfo(window, SB_CTL, &info);
        const int max = std::max(bar->Max(), 0);
        int value = bar->Value();
        bool dragging = false;
        switch (code) {
        case SB_LINEUP: value -= std::max(bar->SmallChange(), 1); break;
        case SB_LINEDOWN: value += std::max(bar->SmallChange(), 1); break;
        case SB_PAGEUP: value -= std::max(bar->LargeChange(), 1); break;
        case SB_PAGEDOWN: value += std::max(bar->LargeChange(), 1); break;
        case SB_TOP: value = 0; break;
        case SB_BOTTOM: value = max; break;
        case SB_THUMBTRACK: value = info.nTrackPos; dragging = true; break;
        case SB_THUMBPOSITION: value = info.nTrackPos; break;
        default: return;
        }
        bar->UserScroll(std::clamp(value, 0, max), dragging);
    }
};

namespace {

void PaintLabel(ControlBinder::Binding& b, HDC dc, const RECT& rect)
{
    auto* label = static_cast<forms::Label*>(b.control);
    const bool highlighted = label->Look() == forms::LabelLook::Highlighted;
    const bool enabled = label->Enabled();
    ::FillRect(dc, &rect, ::GetSysColorBrush(highlighted ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(!enabled ? COLOR_GRAYTEXT : highlighted ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT));
    HGDIOBJ old = ::SelectObject(dc, b.font);
    RECT text = rect;
    text.left += b.indent;
    const std::wstring caption = Widen(label->Caption());
    ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
    ::SelectObject(dc, old);
}

// One row of a list as the model has it: its text, and the selection the model keeps.
void DrawListRow(ControlBinder::Binding& b, const DRAWITEMSTRUCT& item)
{
    auto* list = static_cast<forms::ListBox*>(b.control);
    RECT line = item.rcItem;
    const int row = static_cast<int>(item.itemID);
    const bool exists = item.itemID != static_cast<UINT>(-1) && row < list->ListCount();
    const bool selected = exists && list->Selected(row);
    ::FillRect(item.hDC, &line, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (!exists)
        return;
    ::SetBkMode(item.hDC, TRANSPARENT);
    ::SetTextColor(item.hDC, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    HGDIOBJ old = ::SelectObject(item.hDC, b.listFont);
    const std::wstring text = Widen(list->List(row));
    line.left += 2;
    ::DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &line,
                DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    ::SelectObject(item.hDC, old);
}

void Paint(ControlBinder::Binding& b, HDC dc)
{
    RECT rect;
    ::GetClientRect(b.window, &rect);
    switch (b.kind) {
    case kLabel:
        PaintLabel(b, dc, rect);
        break;
    case kPicture: {
        auto* picture = static_cast<forms::PictureBox*>(b.control);
        HBRUSH back = ::CreateSolidBrush(ToColorRef(picture->BackColor()));
        ::FillRect(dc, &rect, back);
        ::DeleteObject(back);
        DrawSurface(dc, 0, 0, picture->Picture(), b.iconColumn ? b.rowPixels : kIconPixels);
        break;
    }
    case kViewport:
        ::FillRect(dc, &rect, ::GetSysColorBrush(COLOR_WINDOW));
        ::DrawEdge(dc, &rect, EDGE_SUNKEN, BF_RECT);
        break;
    case kRaisedPanel:
        ::FillRect(dc, &rect, ::GetSysColorBrush(COLOR_BTNFACE));
        ::DrawEdge(dc, &rect, EDGE_RAISED, BF_RECT);
        break;
    default:
        ::FillRect(dc, &rect, ::GetSysColorBrush(COLOR_BTNFACE));
        break;
    }
}

LRESULT CALLBACK ControlWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* b = reinterpret_cast<ControlBinder::Binding*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    // A viewport's inner area carries its viewport's binding only for the routing of children.
    const bool inner = b != nullptr && b->window != window;
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
        if (b != nullptr && !inner && b->control != nullptr) {
            Paint(*b, dc);
        } else {
            ::FillRect(dc, &paint.rcPaint, ::GetSysColorBrush(inner ? COLOR_WINDOW : COLOR_BTNFACE));
        }
        ::EndPaint(window, &paint);
        return 0;
    }
    case WM_MOUSEMOVE:
        if (b != nullptr && !inner && b->kind == kLabel)
            static_cast<forms::Label*>(b->control)->UserMouseMove();
        break;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        auto* list = reinterpret_cast<ControlBinder::Binding*>(::GetWindowLongPtrW(item->hwndItem, GWLP_USERDATA));
        if (item->CtlType == ODT_LISTBOX && list != nullptr && list->kind == kList && list->window == item->hwndItem) {
            DrawListRow(*list, *item);
            return TRUE;
        }
        break;
    }
    case WM_LBUTTONUP:
        if (b != nullptr && !inner) {
            if (b->kind == kLabel) {
                static_cast<forms::Label*>(b->control)->UserClick();
                return 0;
            }
            if (b->kind == kPicture || b->kind == kViewport) {
                auto* picture = static_cast<forms::PictureBox*>(b->control);
                if (picture->OnClick)
                    picture->OnClick();
                return 0;
            }
        }
        break;
    default:
        break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// A scroll bar or check box gets the focus: scroll bars tell their model.
LRESULT CALLBACK ScrollBarSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR /*id*/,
                                   DWORD_PTR data)
{
    auto* b = reinterpret_cast<ControlBinder::Binding*>(data);
    if (message == WM_SETFOCUS && b != nullptr && b->kind == kScrollBar) {
        auto* bar = static_cast<forms::ScrollBar*>(b->control);
        if (bar->OnGotFocus)
            bar->OnGotFocus();
    }
    if (message == WM_MOUSEMOVE && b != nullptr && b->kind == kCheckBox)
        static_cast<forms::CheckBox*>(b->control)->UserMouseMove();
    return ::DefSubclassProc(window, message, wParam, lParam);
}

// What the user does to a list goes to the model, which keeps the rows and their selection; the
// list box itself never selects, scrolls or searches.
LRESULT CALLBACK ListSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR /*id*/,
                              DWORD_PTR data)
{
    auto* b = reinterpret_cast<ControlBinder::Binding*>(data);
    if (b == nullptr || b->control == nullptr || b->kind != kList)
        return ::DefSubclassProc(window, message, wParam, lParam);
    auto* list = static_cast<forms::ListBox*>(b->control);
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        ::SetFocus(window);
        list->UserClickRow(GET_Y_LPARAM(lParam) / std::max(b->rowPixels, 1), (wParam & MK_CONTROL) != 0,
                           (wParam & MK_SHIFT) != 0);
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        list->UserMouseUp(message == WM_RBUTTONUP ? forms::kRightButton : forms::kLeftButton, ShiftState(),
                          static_cast<float>(GET_X_LPARAM(lParam) * b->tpp),
                          static_cast<float>(GET_Y_LPARAM(lParam) * b->tpp));
        return 0;
    case WM_RBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_CHAR:
        return 0;
    case WM_KEYDOWN:
        list->UserKeyDown(static_cast<int>(wParam), ShiftState());
        return 0;
    case WM_SETFOCUS:
        list->UserGotFocus();
        break;
    case WM_MOUSEWHEEL:
        // The window scrolls the list the wheel is for.
        return ::SendMessageW(::GetAncestor(window, GA_ROOT), message, wParam, lParam);
    default:
        break;
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

HWND CreateChild(const wchar_t* className, DWORD style, void* parent)
{
    // Containers (panels, list viewports) let Tab move into the controls they hold.
    const DWORD extended = (style & WS_CLIPCHILDREN) != 0 ? WS_EX_CONTROLPARENT : 0;
    return ::CreateWindowExW(extended, className, L"", WS_CHILD | WS_CLIPSIBLINGS | style, 0, 0, 0, 0,
                             static_cast<HWND>(parent), nullptr, ::GetModuleHandleW(nullptr), nullptr);
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

ControlBinder::ControlBinder(int twipsPerPixel, const Fonts& fonts, void* tooltips)
    : m_tpp(std::max(twipsPerPixel, 1)), m_fonts(fonts), m_tooltips(tooltips)
{
    RegisterControlClasses();
}

ControlBinder::~ControlBinder()
{
    Unbind();
}

ControlBinder::Binding& ControlBinder::Bind(forms::Control& control, void* window, int kind)
{
    auto binding = std::make_unique<Binding>();
    Binding& b = *binding;
    b.control = &control;
    b.kind = kind;
    b.window = static_cast<HWND>(window);
    b.tooltips = static_cast<HWND>(m_tooltips);
    b.font = static_cast<HFONT>(m_fonts.normal);
    b.listFont = static_cast<HFONT>(m_fonts.list);
    b.tpp = m_tpp;
    b.rowPixels = Pixels(kRowTwips, m_tpp);
    ::SetWindowLongPtrW(b.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&b));
    m_bindings[&control] = std::move(binding);
    control.SetChangedHandler([&b] { b.Apply(); });
    return b;
}

void ControlBinder::Track(forms::Control& control, void* window)
{
    auto binding = std::make_unique<Binding>();
    binding->control = &control;
    binding->window = static_cast<HWND>(window);
    m_bindings[&control] = std::move(binding);
}

void* ControlBinder::AddPanel(forms::PictureBox& panel, void* parent, bool raised)
{
    HWND window = CreateChild(kControlClass, WS_CLIPCHILDREN, parent);
    Bind(panel, window, raised ? kRaisedPanel : kPanel).Apply();
    return window;
}

void* ControlBinder::AddLabel(forms::Label& label, void* parent, bool bold, bool menuFont, int indentPixels)
{
    HWND window = CreateChild(kControlClass, 0, parent);
    Binding& b = Bind(label, window, kLabel);
    b.indent = indentPixels;
    b.font = static_cast<HFONT>(bold ? m_fonts.bold : menuFont ? m_fonts.menu : m_fonts.normal);
    b.Apply();
    return window;
}

void* ControlBinder::AddCheckBox(forms::CheckBox& box, void* parent, bool menuFont)
{
    // BS_CHECKBOX, not BS_AUTOCHECKBOX: the model decides the tick.
    HWND window = CreateChild(L"BUTTON", BS_CHECKBOX | WS_TABSTOP, parent);
    ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(menuFont ? m_fonts.menu : m_fonts.normal), FALSE);
    Binding& b = Bind(box, window, kCheckBox);
    ::SetWindowSubclass(window, ScrollBarSubclass, 1, reinterpret_cast<DWORD_PTR>(&b));
    b.Apply();
    return window;
}

void* ControlBinder::AddButton(forms::Button& button, void* parent)
{
    HWND window = CreateChild(L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, parent);
    ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(m_fonts.normal), FALSE);
    Bind(button, window, kButton).Apply();
    return window;
}

void* ControlBinder::AddPicture(forms::PictureBox& picture, void* parent)
{
    HWND window = CreateChild(kControlClass, 0, parent);
    Bind(picture, window, kPicture).Apply();
    return window;
}

void* ControlBinder::AddScrollBar(forms::ScrollBar& bar, void* parent)
{
    HWND window = CreateChild(L"SCROLLBAR", SBS_VERT, parent);
    Binding& b = Bind(bar, window, kScrollBar);
    ::SetWindowSubclass(window, ScrollBarSubclass, 1, reinterpret_cast<DWORD_PTR>(&b));
    b.Apply();
    return window;
}

void ControlBinder::AddScrollingList(forms::PictureBox& viewportModel, forms::PictureBox& scrollAreaModel,
                                     forms::ListBox& list, void* parent)
{
    HWND viewport = CreateChild(kControlClass, WS_CLIPCHILDREN, parent);
    Binding& v = Bind(viewportModel, viewport, kViewport);
    v.inside = CreateChild(kControlClass, WS_CLIPCHILDREN | WS_VISIBLE, viewport);
    ::SetWindowLongPtrW(v.inside, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&v));
    v.Apply();
    HWND scrollArea = CreateChild(kControlClass, WS_CLIPCHILDREN, v.inside);
    Binding& area = Bind(scrollAreaModel, scrollArea, kPicture);
    area.iconColumn = true;
    area.Apply();
    // Owner-drawn without data and without LBS_SORT: the model orders the rows, and the system's
    // order by locale would disagree with its indexes.
    HWND listWindow = CreateChild(L"LISTBOX",
                                  WS_TABSTOP | LBS_OWNERDRAWFIXED | LBS_NODATA | LBS_NOINTEGRALHEIGHT |
                                      (list.Kind() == forms::ListBoxKind::MultiSelect ? LBS_EXTENDEDSEL : 0),
                                  scrollArea);
    // Rows as tall as the model's: the wheel, the scroll bar and the icons step by the same.
    ::SendMessageW(listWindow, LB_SETITEMHEIGHT, 0, Pixels(kRowTwips, m_tpp));
    Binding& l = Bind(list, listWindow, kList);
    ::SetWindowSubclass(listWindow, ListSubclass, 2, reinterpret_cast<DWORD_PTR>(&l));
    l.Apply();
}

void* ControlBinder::WindowOf(const forms::Control* control) const
{
    const auto it = m_bindings.find(control);
    return it == m_bindings.end() ? nullptr : it->second->window;
}

void ControlBinder::Unbind()
{
    for (auto& [control, binding] : m_bindings) {
        binding->control->SetChangedHandler({});
        if (binding->window != nullptr && ::IsWindow(binding->window) &&
            ::GetWindowLongPtrW(binding->window, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(binding.get()))
            ::SetWindowLongPtrW(binding->window, GWLP_USERDATA, 0);
        if (binding->inside != nullptr && ::IsWindow(binding->inside))
            ::SetWindowLongPtrW(binding->inside, GWLP_USERDATA, 0);
        if (binding->window != nullptr && ::IsWindow(binding->window)) {
            ::RemoveWindowSubclass(binding->window, ScrollBarSubclass, 1);
            ::RemoveWindowSubclass(binding->window, ListSubclass, 2);
        }
    }
    m_bindings.clear();
}

bool ControlBinder::Route(unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    HWND child = reinterpret_cast<HWND>(lParam);
    if (child == nullptr)
        return false;
    auto* b = reinterpret_cast<Binding*>(::GetWindowLongPtrW(child, GWLP_USERDATA));
    if (b == nullptr || b->window != child)
        return false;
    if (message == WM_COMMAND && (b->kind == kButton || b->kind == kCheckBox)) {
        b->OnCommand(HIWORD(wParam));
        return true;
    }
    if (message == WM_VSCROLL && b->kind == kScrollBar) {
        b->OnScroll(LOWORD(wParam));
        return true;
    }
    return false;
}

} // namespace korvane::win32front
