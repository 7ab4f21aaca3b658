#include "platform/forms/control.h"

namespace korvane::forms {

void Control::SetLeft(std::int32_t value) { Move(value, m_top, m_width, m_height); }
void Control::SetTop(std::int32_t value) { Move(m_left, value, m_width, m_height); }
void Control::SetWidth(std::int32_t value) { Move(m_left, m_top, value, m_height); }
void Control::SetHeight(std::int32_t value) { Move(m_left, m_top, m_width, value); }

void Control::Move(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height)
{
    if (left == m_left && top == m_top && width == m_width && height == m_height)
        return;
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
    NotifyChanged();
}

void Control::SetVisible(bool value)
{
    if (value == m_visible)
        return;
    m_visible = value;
    NotifyChanged();
}

void Control::SetEnabled(bool value)
{
    if (value == m_enabled)
        return;
    m_enabled = value;
    NotifyChanged();
}

void Control::SetAccessibleName(std::string value)
{
    if (value == m_accessibleName)
        return;
    m_accessibleName = std::move(value);
    NotifyChanged();
}

void Control::SetAccessibleDescription(std::string value)
{
    if (value == m_accessibleDescription)
        return;
    m_accessibleDescription = std::move(value);
    NotifyChanged();
}

void Control::SetToolTipText(std::string value)
{
    if (value == m_toolTip)
        return;
    m_toolTip = std::move(value);
    NotifyChanged();
}

void Control::NotifyChanged()
{
    if (m_changed)
        m_changed();
}

} // namespace korvane::forms
