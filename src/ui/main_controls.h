#pragma once

#include "core/affinity.h"
#include "cpuusage/usage_controls.h"
#include "platform/forms/list_box.h"
#include "platform/forms/scheduler.h"
#include "platform/forms/simple_controls.h"
#include "platform/forms/window_controls.h"
#include "procmon/cpu_set_field.h"
#include "procmon/process_controls.h"

#include <array>
#include <vector>

namespace korvane::ui {

inline constexpr const char* kUsageHeader = "    Current        |      Averages";
// The usage panel's height in twips, and with every CPU shown.
inline constexpr std::int32_t kUsagePanelHeight = 1650;
inline constexpr std::int32_t kEveryCpuPanelHeight = 2550;

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
    // With every CPU shown, in the boxes' place: the set to apply, the reason it cannot be, and
    // the button that opens the CPU picker.
    forms::TextBox TxtCpus;
    forms::Button CmdCpus{"Pick CPUs..."};
    forms::Label LblCpusError;
    forms::CheckBox Check1{"Auto Set Affinity"};
    forms::CheckBox ShowAll{"Show All"};
    forms::Button Command1{"Add to Fav"};
    forms::Button Command3{"Set Now"};
    forms::Button Command5{"Apply"};
    forms::Button Command7{"H"};
    forms::Button Command8{"U"};

    // Favorites commands.
    forms::Button Command9{"Add"};
    forms::Button Command2{"Remove"};

    // The option panels that cover the affinity controls, and their buttons.
    forms::Button Command4{"Options"};
    forms::PictureBox Picture2;
    forms::PictureBox cpuOptions;
    forms::CheckBox Start_Up{"Start with Windows"};
    forms::CheckBox MiniMe{"Minimize to Tray on Start"};
    forms::CheckBox Check2{"Enable Auto Set Affinity on Start"};
    forms::CheckBox ConfirmRemvFav{"Always Ask Before Removing Favorites", 1};
    forms::CheckBox SortFavByAff{"Sort Favorites by Affinity", 1};
    forms::CheckBox AllCpus{"Show Every CPU"};
    // Shown where the system has a service for it (korvaned).
    forms::CheckBox EveryUser{"Favorites for Every User"};
    // Ends the program from the window itself, for desktops without a tray.
    forms::Button Command15{"Exit Korvane"};
    forms::Button Command10{"Delete Settings"};
    forms::Button Command6{"X"};

    // Usage panel: current graph, average bars, total and elapsed time, tray options.
    forms::Label Label1{kUsageHeader};
    forms::PictureBox VertGraph0;
    std::array<forms::PictureBox, 4> Meter;
    std::array<forms::Label, 4> AvgUse{forms::Label("0"), forms::Label("0"), forms::Label("0"), forms::Label("0")};
    forms::Label CPUTTL{"100.00 %"};
    forms::Label LblElapsed{"00:00:00:00"};
    // Captions of the CPUs above the graph's columns and beside the meters.
    forms::Label LblCore0{"0"};
    forms::Label LblCore0A{"0"};
    forms::Label LblCore1{"1"};
    forms::Label LblCore1A{"1"};
    forms::Label LblCore2{"2"};
    forms::Label LblCore2A{"2"};
    forms::Label LblCore3{"3"};
    forms::Label LblCore3A{"3"};
    // With every CPU shown, in the place of the graph and the meters: a thin bar per CPU for the
    // current usage, and a cell per CPU for the average.
    forms::PictureBox PicCpuBars;
    forms::PictureBox PicCpuAverages;
    forms::Button Command11{"Reset"};
    forms::Button Command12{"X"};
    forms::Button Command13{"CPU"};
    forms::Button Command14{"Color"};
    forms::PictureBox ShowTrayColr;
    forms::CheckBox TrayAsNum{"Show Total CPU Usage in Tray as Number"};

    // The tray icon's picture; its window also owns the tray icon.
    forms::PictureBox P2;

    // Tray menu and the tray colour menu.
    forms::MenuItem MnuSetFav{"Auto Set Favorites"};
    forms::MenuItem MnuSetFavNow{"Set Favorites Now"};
    forms::MenuItem mnuExit{"Exit Korvane"};
    forms::Menu mnuFile{"file", {&MnuSetFav, nullptr, &MnuSetFavNow, nullptr, &mnuExit}};
    std::array<forms::MenuItem, 8> ColurPik{forms::MenuItem("Black"),  forms::MenuItem("Blue"),
                                            forms::MenuItem("Cyan"),   forms::MenuItem("Green"),
                                            forms::MenuItem("Purple"), forms::MenuItem("Red"),
                                            forms::MenuItem("White"),  forms::MenuItem("Yellow")};
    forms::Menu mnuTrayIconColor{"Tray Icon Color", {&ColurPik[0], &ColurPik[1], &ColurPik[2], &ColurPik[3],
                                                     &ColurPik[4], &ColurPik[5], &ColurPik[6], &ColurPik[7]}};

    // The set field's behaviour: what it shows, and "Apply" held off while it cannot be read.
    procmon::CpuSetField CpuSetField{TxtCpus, LblCpusError, Command5};
    // What "Apply" and "Add to Fav" take: the field's set when it is in use, else the ticked boxes.
    std::string ChosenAffinity() { return procmon::ChosenAffinityText(CpuBoxes(), CpuSetField); }

    forms::Timer Timer1;
    forms::Timer Timer2;
    forms::Timer Timer3;

    procmon::CpuCheckBoxes CpuBoxes() { return {&Check11[0], &Check11[1], &Check11[2], &Check11[3]}; }
    // What each front end draws inside the command strip (Picture1), the options panel (Picture2)
    // and the usage panel (cpuOptions).
    struct PanelParts {
        std::vector<forms::Label*> labels;
        std::vector<forms::Label*> boldLabels;
        std::vector<forms::PictureBox*> pictures;
        std::vector<forms::Button*> buttons;
        std::vector<forms::CheckBox*> checkBoxes;
        std::vector<forms::TextBox*> textBoxes;
    };
    PanelParts CommandStripParts();
    PanelParts OptionsPanelParts();
    PanelParts UsagePanelParts();

    // Has a front end's binder make a window for each part of a panel, in the order of the lists.
    template <typename Binder, typename Panel>
    static void AddPanelParts(Binder& binder, const PanelParts& parts, Panel panel)
    {
        for (forms::Label* label : parts.labels)
            binder.AddLabel(*label, panel);
        for (forms::Label* label : parts.boldLabels)
            binder.AddLabel(*label, panel, true);
        for (forms::PictureBox* picture : parts.pictures)
            binder.AddPicture(*picture, panel);
        for (forms::Button* button : parts.buttons)
            binder.AddButton(*button, panel);
        for (forms::CheckBox* box : parts.checkBoxes)
            binder.AddCheckBox(*box, panel);
        for (forms::TextBox* field : parts.textBoxes)
            binder.AddTextBox(*field, panel);
    }
    procmon::ProcessControls ForProcessMonitor();
    cpuusage::UsageControls ForUsageMonitor();
};

} // namespace korvane::ui
