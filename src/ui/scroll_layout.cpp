#include "ui/scroll_layout.h"

#include "ui/view_state.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace korvane::ui {

void LayoutScroll(ScrollingList list)
{
    const std::int32_t rows = list.List.ListCount();
    const std::int32_t outer = list.Viewport.Height();
    const std::int32_t inner = list.Viewport.InnerHeight();
    const double rowsThatFit = outer / static_cast<double>(kRowTwips);
    const std::int64_t rowsTwips = static_cast<std::int64_t>(rows) * kRowTwips;
    forms::ScrollBar& bar = list.Bar;

    if (rows > rowsThatFit) {
        bar.SetMax(static_cast<std::int32_t>(std::llabs(inner - rowsTwips)));
        bar.SetLargeChange(static_cast<std::int32_t>(
            std::nearbyint(static_cast<double>(rowsTwips) - std::fabs(inner / static_cast<double>(kRowTwips)))));
    }
    if (rowsThatFit > rows) {
        bar.SetVisible(false);
        list.ScrollTop = 0;
        bar.SetValue(0);
        list.ScrollArea.SetTop(0);
    } else {
        bar.SetVisible(true);
    }
    if (list.ScrollTop > 0)
        list.ScrollTop = 0;
    if (bar.Max() < std::abs(list.ScrollTop))
        list.ScrollTop = -bar.Max();

    list.ScrollArea.Move(0, list.ScrollTop, list.Viewport.Width() + 1000, static_cast<std::int32_t>(rowsTwips));
    list.List.Move(240, -15, list.ScrollArea.Width() + 1000, list.ScrollArea.InnerHeight() + kRowTwips);
}

void WheelScroll(ScrollingList list, std::int32_t rotation)
{
    if (!list.Bar.Visible())
        return;
    list.ScrollTop += rotation < 0 ? -kRowTwips : kRowTwips;
    LayoutScroll(list);
    if (list.List.ListCount() > list.Viewport.Height() / static_cast<double>(kRowTwips))
        list.Bar.SetValue(-list.ScrollTop);
}

bool KeyboardMove(ScrollingList list, int keyCode, int shift)
{
    forms::ListBox& rows = list.List;
    const std::int32_t count = rows.ListCount();
    const std::int32_t page = std::max<std::int32_t>(list.Viewport.InnerHeight() / kRowTwips, 1);
    const std::int32_t current = rows.ListIndex();
    std::int32_t next = 0;
    switch (keyCode) {
    case forms::kKeyUp: next = current - 1; break;
    case forms::kKeyDown: next = current + 1; break;
    case forms::kKeyPageUp: next = current - page; break;
    case forms::kKeyPageDown: next = current + page; break;
    case forms::kKeyHome: next = 0; break;
    case forms::kKeyEnd: next = count - 1; break;
    default: return false;
    }
    if (count == 0)
        return true;
    next = std::clamp<std::int32_t>(current < 0 ? 0 : next, 0, count - 1);
    rows.UserClickRow(next, false, (shift & forms::kShiftMask) != 0);
    // Shown: scrolled by whole rows, as the wheel does, so that the row is inside the viewport.
    const std::int32_t top = next * kRowTwips;
    const std::int32_t inner = list.Viewport.InnerHeight();
    if (top < -list.ScrollTop)
        list.ScrollTop = -top;
    else if (top + kRowTwips > -list.ScrollTop + inner)
        list.ScrollTop = -((top + kRowTwips - inner + kRowTwips - 1) / kRowTwips * kRowTwips);
    LayoutScroll(list);
    if (list.Bar.Visible())
        list.Bar.SetValue(-list.ScrollTop);
    return true;
}

void ScrollToTop(ScrollingList list)
{
    list.ScrollTop = 0;
    list.Bar.SetValue(0);
    list.ScrollArea.SetTop(0);
}

} // namespace korvane::ui
