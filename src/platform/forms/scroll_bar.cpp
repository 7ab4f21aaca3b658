#include "platform/forms/scroll_bar.h"

#include <algorithm>

namespace korvane::forms {

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
