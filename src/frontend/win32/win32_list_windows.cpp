#include "frontend/win32/win32_list_windows.h"

#include "core/list_row.h"
#include "platform/win32/win32_text.h"

#include <windowsx.h>

#include <algorithm>
#include <string>
#include <vector>

namespace korvane::win32front {

bool ScrollBarWindow::OnScroll(int code)
{
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    ::GetScrollInfo(Window(), SB_CTL, &info);
    const int max = std::max(m_bar.Max(), 0);
    int value = m_bar.Value();
    bool dragging = false;
    switch (code) {
    case SB_LINEUP: value -= std::max(m_bar.SmallChange(), 1); break;
    case SB_LINEDOWN: value += std::max(m_bar.SmallChange(), 1); break;
    case SB_PAGEUP: value -= std::max(m_bar.LargeChange(), 1); break;
    case SB_PAGEDOWN: value += std::max(m_bar.LargeChange(), 1); break;
    case SB_TOP: value = 0; break;
    case SB_BOTTOM: value = max; break;
    case SB_THUMBTRACK: value = info.nTrackPos; dragging = true; break;
    case SB_THUMBPOSITION: value = info.nTrackPos; break;
    default: return true;
    }
    m_bar.UserScroll(std::clamp(value, 0, max), dragging);
    return true;
}

std::optional<LRESULT> ScrollBarWindow::Intercept(UINT message, WPARAM /*wParam*/, LPARAM /*lParam*/)
{
    if (message == WM_SETFOCUS && m_bar.OnGotFocus)
        m_bar.OnGotFocus();
    return std::nullopt;
}

void ScrollBarWindow::ShowValue()
{
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMin = 0;
    // The bar's largest value is Max; a page of LargeChange adds its size to the range.
    const int page = std::max(m_bar.LargeChange(), 1);
    info.nMax = std::max(m_bar.Max(), 0) + page - 1;
    info.nPage = static_cast<UINT>(page);
    info.nPos = m_bar.Value();
    ::SetScrollInfo(Window(), SB_CTL, &info, TRUE);
}

bool ListWindow::OnDrawItem(const DRAWITEMSTRUCT& item)
{
    RECT line = item.rcItem;
    const int row = static_cast<int>(item.itemID);
    const bool exists = item.itemID != static_cast<UINT>(-1) && row < m_list.ListCount();
    const bool selected = exists && m_list.Selected(row);
    ::FillRect(item.hDC, &line, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (!exists)
        return true;
    ::SetBkMode(item.hDC, TRANSPARENT);
    ::SetTextColor(item.hDC, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    HGDIOBJ old = ::SelectObject(item.hDC, m_font);
    const std::wstring text = platform::win32::Widen(m_list.List(row));
    line.left += 2;
    ::DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &line,
                DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    ::SelectObject(item.hDC, old);
    // The keyboard's place, while the list has the focus.
    if ((item.itemState & ODS_FOCUS) != 0)
        ::DrawFocusRect(item.hDC, &item.rcItem);
    return true;
}

std::optional<LRESULT> ListWindow::Intercept(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        ::SetFocus(Window());
        m_list.UserClickRow(GET_Y_LPARAM(lParam) / std::max(m_rowPixels, 1), (wParam & MK_CONTROL) != 0,
                            (wParam & MK_SHIFT) != 0);
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        m_list.UserMouseUp(message == WM_RBUTTONUP ? forms::kRightButton : forms::kLeftButton, ShiftState(),
                           static_cast<float>(GET_X_LPARAM(lParam) * TwipsPerPixel()),
                           static_cast<float>(GET_Y_LPARAM(lParam) * TwipsPerPixel()));
        return 0;
    case WM_RBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_CHAR:
        return 0;
    case WM_KEYDOWN:
        m_list.UserKeyDown(static_cast<int>(wParam), ShiftState());
        return 0;
    case WM_SETFOCUS:
        m_list.UserGotFocus();
        return std::nullopt;
    case WM_MOUSEWHEEL:
        // The window scrolls the list the wheel is for.
        return ::SendMessageW(::GetAncestor(Window(), GA_ROOT), message, wParam, lParam);
    default:
        return std::nullopt;
    }
}

void ListWindow::ShowValue()
{
    // The list box holds each row as a screen reader says it (the rows are drawn from the model),
    // and the model's selection, so that the system's accessibility reads both.
    const HWND list = Window();
    const int count = m_list.ListCount();
    // Made again only when a row changed: selecting a row changes none.
    bool same = ::SendMessageW(list, LB_GETCOUNT, 0, 0) == count && m_shown.size() == static_cast<std::size_t>(count);
    for (int row = 0; row < count && same; ++row)
        same = m_shown[static_cast<std::size_t>(row)] == m_list.List(row);
    if (!same) {
        m_shown.clear();
        ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
        ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
        for (int row = 0; row < count; ++row) {
            m_shown.push_back(m_list.List(row));
            const std::wstring spoken = platform::win32::Widen(core::ListRow(m_shown.back()).Spoken());
            ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(spoken.c_str()));
        }
        ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    }
    const int current = m_list.ListIndex();
    if (m_list.Kind() == forms::ListBoxKind::MultiSelect) {
        for (int row = 0; row < count; ++row) {
            const bool selected = m_list.Selected(row);
            if ((::SendMessageW(list, LB_GETSEL, static_cast<WPARAM>(row), 0) > 0) != selected)
                ::SendMessageW(list, LB_SETSEL, selected ? TRUE : FALSE, row);
        }
        if (current >= 0 && current < count)
            ::SendMessageW(list, LB_SETCARETINDEX, static_cast<WPARAM>(current), FALSE);
    } else {
        int selected = -1;
        for (int row = 0; row < count && selected < 0; ++row) {
            if (m_list.Selected(row))
                selected = row;
        }
        if (::SendMessageW(list, LB_GETCURSEL, 0, 0) != selected)
            ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    }
    ::InvalidateRect(list, nullptr, FALSE);
}

} // namespace korvane::win32front
