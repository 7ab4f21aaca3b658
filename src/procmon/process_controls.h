#pragma once

#include "platform/forms/list_box.h"
#include "platform/forms/scheduler.h"
#include "platform/forms/simple_controls.h"
#include "platform/forms/window_controls.h"
#include "procmon/cpu_check_boxes.h"
#include "procmon/cpu_set_field.h"

#include <cstdint>
#include <string>

namespace korvane::procmon {

// The main window's controls that the process monitor reads and changes.
struct ProcessControls {
    forms::Window& Form;
    forms::ListBox& List1;  // the process table
    forms::ListBox& List2;  // the favorites
    forms::Label& Label2;   // "Process (rows/nameable)"
    forms::CheckBox& ShowAll;
    CpuCheckBoxes Check11;
    CpuSetField& EveryCpu;   // in the boxes' place when every CPU is shown
    forms::CheckBox& Check1; // "Auto Set Affinity"
    forms::Button& Command1; // "Add to Fav"
    forms::Button& Command3; // "Set Now"
    forms::Button& Command5; // "Apply"
    forms::MenuItem& MnuSetFav;
    forms::MenuItem& MnuSetFavNow;
    forms::Timer& Timer1; // process-count watch
    forms::Timer& Timer2; // one-shot refresh
};

// The process row the user selected last.
struct ProcessSelection {
    std::int32_t SelectedProcessId = 0;
    std::string SelectedProcessName; // trimmed name column without "*" (a "<" stays)
    // The user ticked or cleared a CPU box since the process was selected: a rebuild of the list
    // that selects the same process again leaves the boxes as the user set them.
    bool BoxesChangedByUser = false;
};

} // namespace korvane::procmon
