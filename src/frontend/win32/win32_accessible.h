#pragma once

#include <windows.h>
#include <oleacc.h>

namespace korvane::win32front {

// The answer to WM_GETOBJECT for a window of Korvane's controls (OBJID_CLIENT): a list box as the
// list of its model's rows (each read as ListRow::Spoken says it, selected and focused as the
// model has it), and any other control with an accessible name as the system's own object with
// that name. 0 (the system answers) for other requests and controls. The objects find the model
// through the window each time, and answer nothing once the window is no longer bound.
LRESULT AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam);
// The object that answer holds (one reference, the caller's); nullptr where the system answers.
IAccessible* AccessibleOf(HWND window);

} // namespace korvane::win32front
