#pragma once

#include "core/affinity.h"
#include "platform/forms/list_box.h"
#include "platform/forms/scheduler.h"
#include "platform/forms/simple_controls.h"
#include "platform/forms/window_controls.h"
#include "procmon/process_controls.h"

#include <array>

namespace korvane::ui {

// Every control of the main window, with its caption and tooltip.
struct MainControls {
    explicit MainControls(forms::Scheduler& scheduler);
    MainControls(const MainControls&) = delete;
    MainControls& operator=(const MainControls&) = delete;

    forms::Window Form{"Korvane"};

    // Process list (left) and favorites list (right), each inside a scroll area in a viewport.
    forms::PictureBox MainBox;
    forms::PictureBox ScrollBox;
    forms::ListBox List1{forms::ListBoxKind::Sorted};
    forms::ScrollBar Vs1;
    forms::PictureBox MainBox2;
    forms::PictureBox ScrollBox2;
    forms::ListBox List2{forms::ListBoxKind::MultiSelect};
    forms::ScrollBar Vs2;
    forms::PictureBox PicTemp;
    forms::PictureBox DummyIcon;
    forms::Label Label2{"Process (0)"};
    forms::Label Label3{"Affinity"};
    forms::Label Label5{"Favorites (0)"};
    forms::Label Label4{"Affinity to set"};

    // Affinity controls.
    forms::PictureBox Picture1;
    std::array<forms::CheckBox, 4> Check11{forms::CheckBox("CPU 0"), forms::CheckBox("CPU 1"),
                                           forms::CheckBox("CPU 2"), forms::CheckBox("CPU 3")};
    forms::CheckBox Check1{"Auto Set Affinity"};
    forms::CheckBox ShowAll{"Show All"};
    forms::Button Command1{"Add to Fav"};
    forms::Button Command3{"Set Now"};
    forms::Button Command5{"Apply"};
    forms::Button Command7{"H"};
    forms::Button Command8{"U"};

    // The option panels that cover the affinity controls.
    forms::PictureBox Picture2;
    forms::PictureBox cpuOptions;

    // Tray menu.
    forms::MenuItem MnuSetFav{"Auto Set Favorites"};
    forms::MenuItem MnuSetFavNow{"Set Favorites Now"};
    forms::MenuItem mnuExit{"Exit Korvane"};

    forms::Timer Timer1;
    forms::Timer Timer2;

    core::CpuCheckBoxes CpuBoxes() { return {&Check11[0], &Check11[1], &Check11[2], &Check11[3]}; }
    procmon::ProcessControls ForProcessMonitor();
};

} // namespace korvane::ui
