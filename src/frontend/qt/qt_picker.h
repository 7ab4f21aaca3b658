#pragma once

namespace korvane::ui {
class CpuPicker;
class Form2;
} // namespace korvane::ui

namespace korvane::qtfront {

// Shows the affinity picker as a pop-up at the place its model gives; the pop-up closes when it
// loses the activation, and goes once the model has closed it.
void OpenPicker(ui::Form2& picker, int twipsPerPixel);
// Shows the CPU picker the same way; the wheel over it scrolls its grid.
void OpenCpuPicker(ui::CpuPicker& picker, int twipsPerPixel);

} // namespace korvane::qtfront
