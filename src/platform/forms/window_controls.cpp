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
    const bool sized = width != Width() || height != Height();
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

void PictureBox::SetBackColor(image::Color color)
{
    if (color == m_backColor)
        return;
    m_backColor = color;
    NotifyChanged();
}

void PictureBox::SetPicture(image::Surface picture)
{
    m_picture = std::move(picture);
    NotifyChanged();
}

void PictureBox::ClearPicture()
{
    m_picture = image::Surface();
    NotifyChanged();
}

void ScrollBar::SetValue(std::int32_t value)
{
    value = std::clamp(value, 0, std::max(m_max, 0));
    if (value == m_value)
        return;
    m_value = value;
    NotifyChanged();
    if (OnChange)
        OnChange();
}

void ScrollBar::SetMax(std::int32_t value)
{
    if (value == m_max)
        return;
    m_max = value;
    if (m_value > std::max(m_max, 0))
        m_value = std::max(m_max, 0);
    NotifyChanged();
}

void ScrollBar::SetLargeChange(std::int32_t value)
{
    if (value == m_largeChange)
        return;
    m_largeChange = value;
    NotifyChanged();
}

void ScrollBar::UserScroll(std::int32_t value, bool dragging)
{
    value = std::clamp(value, 0, std::max(m_max, 0));
    if (dragging) {
        m_value = value;
        NotifyChanged();
        if (OnScroll)
            OnScroll();
        return;
    }
    if (value != m_value) {
        m_value = value;
        NotifyChanged();
    }
    if (OnChange)
        OnChange();
}

} // namespace korvane::forms
