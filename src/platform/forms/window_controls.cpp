#include "platform/forms/window_controls.h"

#include <algorithm>

namespace korvane::forms {

void MenuItem::SetChecked(bool value)
{
    if (value == m_checked)
        return;
    m_checked = value;
    NotifyChanged();
}

void MenuItem::UserClick()
{
    if (Enabled() && OnClick)
        OnClick();
}

void Window::SetState(WindowState state)
{
    if (state == m_state)
        return;
    m_state = state;
    NotifyChanged();
    if (OnResize)
        OnResize();
}

void Window::UserResize(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height)
{
    const bool sized = width != Width() || height != Height() || m_frameChanged;
    m_frameChanged = false;
    Move(left, top, width, height);
    if (sized && OnResize)
        OnResize();
}

void Window::SetUpdatesFrozen(bool frozen)
{
    if (frozen == m_frozen)
        return;
    m_frozen = frozen;
    NotifyChanged();
}

void Window::BringToForeground()
{
    ++m_foregroundRequests;
    if (OnForeground)
        OnForeground();
}

void Window::PopupMenu(const Menu& menu)
{
    m_lastPopup = menu.Name;
    if (OnPopupMenu)
        OnPopupMenu(menu);
}

} // namespace korvane::forms
