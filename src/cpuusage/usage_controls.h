#pragma once

#include "platform/forms/scheduler.h"
#include "platform/forms/simple_controls.h"
#include "platform/forms/window_controls.h"

#include <array>

namespace korvane::cpuusage {

// The main window's controls of the usage panel.
struct UsageControls {
    forms::Window& Form;
    forms::Timer& Timer3;
    std::array<forms::Label, 4>& AvgUse;
    forms::Label& CPUTTL;
    forms::Label& LblElapsed;
    forms::PictureBox& VertGraph0;
    std::array<forms::PictureBox, 4>& Meter;
    forms::Label& LblCore2;
    forms::Label& LblCore2A;
    forms::Label& LblCore3;
    forms::Label& LblCore3A;
    // With every CPU shown: a bar per CPU for the current usage, a cell per CPU for the average.
    forms::PictureBox& PicCpuBars;
    forms::PictureBox& PicCpuAverages;
};

} // namespace korvane::cpuusage
