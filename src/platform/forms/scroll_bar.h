#pragma once

#include "platform/forms/control.h"

#include <cstdint>
#include <functional>

namespace korvane::forms {

// A vertical scroll bar; values in twips. Setting the value from code runs OnChange.
class ScrollBar : public Control {
public:
    std::int32_t Value() const { return m_value; }
    void SetValue(std::int32_t value);
    std::int32_t Max() const { return m_max; }
    void SetMax(std::int32_t value);
    std::int32_t LargeChange() const { return m_largeChange; }
    void SetLargeChange(std::int32_t value);
    std::int32_t SmallChange() const { return m_smallChange; }
    void SetSmallChange(std::int32_t value) { m_smallChange = value; }

    // What the user does: the end of a move (OnChange) or a thumb drag in progress (OnScroll).
    void UserScroll(std::int32_t value, bool dragging);

    std::function<void()> OnChange;
    std::function<void()> OnScroll;
    std::function<void()> OnGotFocus;

private:
    std::int32_t m_value = 0;
    std::int32_t m_max = 32767;
    std::int32_t m_largeChange = 1;
    std::int32_t m_smallChange = 1;
};

} // namespace korvane::forms
