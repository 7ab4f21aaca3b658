#pragma once

#include "platform/forms/list_box.h"
#include "platform/forms/window_controls.h"

#include <cstdint>

namespace korvane::ui {

// One list at full height inside a scroll area that an external scroll bar moves in a viewport.
struct ScrollingList {
    forms::ListBox& List;
    forms::PictureBox& Viewport;
    forms::PictureBox& ScrollArea;
    forms::ScrollBar& Bar;
    std::int32_t& ScrollTop; // twips, 0 or negative
};

// Recomputes the bar and the scroll area for the list's row count (32-bit: any number of rows).
void LayoutScroll(ScrollingList list);
// One wheel notch: a row up for a rotation of 0 or more, a row down otherwise.
void WheelScroll(ScrollingList list, std::int32_t rotation);
// Up, Down, Home, End, PageUp and PageDown move the list's current row as a click on its new row
// would (Shift extends a multiple selection), and the bar scrolls the list to show it. False for
// any other key, which is left alone.
bool KeyboardMove(ScrollingList list, int keyCode, int shift);
// Back to the top.
void ScrollToTop(ScrollingList list);

} // namespace korvane::ui
