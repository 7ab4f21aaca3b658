#include "frontend/win32/win32_control_kinds.h"

#include "frontend/win32/win32_controls.h"
#include "platform/win32/win32_text.h"

#include <algorithm>

namespace korvane::win32front {

using platform::win32::Widen;

void PanelWindow::Paint(HDC dc, const RECT& rect)
{
    ::FillRect(dc, &rect, ::GetSysColorBrush(COLOR_BTNFACE));
    if (m_raised)
        ::DrawEdge(dc, const_cast<RECT*>(&rect), EDGE_RAISED, BF_RECT);
}

void PanelWindow::ShowValue()
{
    if (m_raised && Control().Visible())
        ::SetWindowPos(Window(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::InvalidateRect(Window(), nullptr, m_raised ? TRUE : FALSE);
}

void LabelWindow::Paint(HDC dc, const RECT& rect)
{
    const bool highlighted = m_label.Look() == forms::LabelLook::Highlighted;
    ::FillRect(dc, &rect, ::GetSysColorBrush(highlighted ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(!m_label.Enabled() ? COLOR_GRAYTEXT
                                     : highlighted      ? COLOR_HIGHLIGHTTEXT
                                                        : COLOR_BTNTEXT));
    HGDIOBJ old = ::SelectObject(dc, m_font);
    RECT text = rect;
    text.left += m_indent;
    const std::wstring caption = Widen(m_label.Caption());
    ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
    ::SelectObject(dc, old);
}

bool LabelWindow::OnClick()
{
    m_label.UserClick();
    return true;
}

void LabelWindow::ShowValue()
{
    SetText(m_label.Caption());
    FitToText();
    ::InvalidateRect(Window(), nullptr, TRUE);
}

void LabelWindow::FitToText()
{
    // The region depends on the caption's lines only, which a new number seldom changes.
    const std::wstring caption = Widen(m_label.Caption());
    const std::wstring key = caption + (m_label.Look() == forms::LabelLook::Normal ? L"n" : L"h");
    if (!TakeResized() && key == m_fittedCaption)
        return;
    m_fittedCaption = key;
    RECT rect;
    ::GetClientRect(Window(), &rect);
    int height = rect.bottom;
    if (m_label.Look() == forms::LabelLook::Normal && !m_label.Caption().empty()) {
        HDC dc = ::GetDC(Window());
        HGDIOBJ old = ::SelectObject(dc, m_font);
        RECT text = rect;
        ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                    DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
        ::SelectObject(dc, old);
        ::ReleaseDC(Window(), dc);
        height = std::min<int>(rect.bottom, text.bottom + 1);
    }
    ::SetWindowRgn(Window(), ::CreateRectRgn(0, 0, rect.right, std::max(height, 1)), TRUE);
}

bool CheckBoxWindow::OnCommand(int code)
{
    if (code != BN_CLICKED)
        return false;
    m_box.UserClick();
    ::SendMessageW(Window(), BM_SETCHECK, m_box.Value() == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
    return true;
}

std::optional<LRESULT> CheckBoxWindow::Intercept(UINT message, WPARAM /*wParam*/, LPARAM /*lParam*/)
{
    if (message == WM_MOUSEMOVE)
        m_box.UserMouseMove();
    return std::nullopt;
}

void CheckBoxWindow::ShowValue()
{
    SetText(m_box.Caption());
    ::SendMessageW(Window(), BM_SETCHECK, m_box.Value() == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TextBoxWindow::OnCommand(int code)
{
    if (code != EN_CHANGE)
        return false;
    const int length = ::GetWindowTextLengthW(Window());
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(Window(), text.data(), length + 1)));
    std::string narrow;
    // A CPU list is plain ASCII; anything else stands as '?' and is named as not part of a list.
    for (const wchar_t c : text)
        narrow.push_back(c < 128 ? static_cast<char>(c) : '?');
    m_field.UserType(narrow);
    return true;
}

std::optional<LRESULT> TextBoxWindow::Intercept(UINT message, WPARAM wParam, LPARAM /*lParam*/)
{
    // Enter belongs to the field, not to the dialog navigation, and does not beep.
    if (message == WM_GETDLGCODE && wParam == VK_RETURN)
        return DLGC_WANTALLKEYS;
    if (message == WM_KEYDOWN && wParam == VK_RETURN) {
        m_field.UserEnter();
        return 0;
    }
    if (message == WM_CHAR && wParam == L'\r')
        return 0;
    return std::nullopt;
}

bool ButtonWindow::OnCommand(int code)
{
    if (code != BN_CLICKED)
        return false;
    m_button.UserClick();
    return true;
}

void PictureWindow::Paint(HDC dc, const RECT& rect)
{
    HBRUSH back = ::CreateSolidBrush(ToColorRef(m_picture.BackColor()));
    ::FillRect(dc, &rect, back);
    ::DeleteObject(back);
    DrawSurface(dc, 0, 0, m_picture.Picture(), m_iconPixels);
}

bool PictureWindow::OnClick()
{
    if (m_picture.OnClick)
        m_picture.OnClick();
    return true;
}

ViewportWindow::ViewportWindow(forms::PictureBox& viewport, HWND window, double tpp, HWND tooltips)
    : ControlWindow(viewport, window, tpp, tooltips), m_viewport(viewport),
      m_inside(CreateChild(kControlClass, WS_CLIPCHILDREN | WS_VISIBLE, window))
{
    // The inner area points here too, for the routing of its children's messages.
    ::SetWindowLongPtrW(m_inside, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void ViewportWindow::Paint(HDC dc, const RECT& rect)
{
    ::FillRect(dc, &rect, ::GetSysColorBrush(COLOR_WINDOW));
    ::DrawEdge(dc, const_cast<RECT*>(&rect), EDGE_SUNKEN, BF_RECT);
}

bool ViewportWindow::OnClick()
{
    if (m_viewport.OnClick)
        m_viewport.OnClick();
    return true;
}

void ViewportWindow::Detach()
{
    if (m_inside != nullptr && ::IsWindow(m_inside))
        ::SetWindowLongPtrW(m_inside, GWLP_USERDATA, 0);
    ControlWindow::Detach();
}

void ViewportWindow::ShowValue()
{
    ::InvalidateRect(Window(), nullptr, FALSE);
    ::InvalidateRect(m_inside, nullptr, FALSE);
}

void ViewportWindow::Placed(int width, int height)
{
    const int border = Pixels(m_viewport.BorderTwips(), TwipsPerPixel());
    ::SetWindowPos(m_inside, nullptr, border, border, std::max(width - 2 * border, 0), std::max(height - 2 * border, 0),
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace korvane::win32front
