#include "ui/main_controls.h"

namespace korvane::ui {

MainControls::MainControls(forms::Scheduler& scheduler)
    : Timer1(scheduler, 333), Timer2(scheduler, 500), Timer3(scheduler, 500)
{
    MainBox.Move(225, 945, 4980, 3765);
    MainBox.SetBorderTwips(30);
    MainBox2.Move(5430, 945, 4980, 3765);
    MainBox2.SetBorderTwips(30);
    Vs1.SetSmallChange(240);
    Vs2.SetSmallChange(240);
    PicTemp.Move(-1000, -1000, 240, 240);
    PicTemp.SetVisible(false);
    DummyIcon.Move(-1000, -1000, 240, 240);
    DummyIcon.SetVisible(false);
    Label2.Move(240, 735, 2400, 195);
    Label3.Move(4560, 735, 700, 195);
    Label5.Move(5415, 735, 2400, 195);
    Label4.Move(9225, 735, 1500, 195);
    // The strip above the lists, 15 twips to a pixel: CPU boxes and the process buttons on the
    // first row, the favorites buttons on the second.
    Picture1.Move(225, 60, 9975, 615);
    // The options panel has a third row, for "Show Every CPU".
    Picture2.Move(2400, 60, 9975, 945);
    cpuOptions.Move(2400, 60, 9975, kUsagePanelHeight);
    auto place = [](forms::Control& control, int x, int y, int width) { control.Move(x * 15, y * 15, width * 15, 300); };
    for (std::size_t i = 0; i < Check11.size(); ++i)
        place(Check11[i], 4 + static_cast<int>(i) * 62, 0, 60);
    place(Command5, 256, 0, 60);
    place(Command7, 320, 0, 24);
    place(Command8, 346, 0, 24);
    place(ShowAll, 378, 0, 80);
    place(Command4, 590, 0, 70);
    place(TxtCpus, 4, 0, 146);
    place(CmdCpus, 154, 0, 96);
    place(LblCpusError, 462, 2, 126);
    place(Check1, 4, 21, 130);
    place(Command3, 138, 21, 70);
    place(Command1, 256, 21, 90);
    place(Command9, 350, 21, 60);
    place(Command2, 414, 21, 70);
    place(Command13, 590, 21, 70);
    // The options panel.
    place(Start_Up, 4, 0, 150);
    place(MiniMe, 160, 0, 190);
    place(Check2, 356, 0, 230);
    place(ConfirmRemvFav, 4, 21, 250);
    place(SortFavByAff, 260, 21, 190);
    place(Command10, 456, 21, 110);
    place(Command6, 638, 0, 24);
    place(AllCpus, 4, 42, 150);
    place(EveryUser, 160, 42, 190);
    place(Command15, 456, 42, 110);
    // The usage panel: graph and meters on the left, totals and tray options on the right.
    place(Label1, 4, 0, 200);
    // A row of CPU captions between the header and the graph, one over each column; one caption
    // beside each meter.
    VertGraph0.Move(4 * 15, 29 * 15, 69 * 15, 61 * 15);
    forms::Label* columnCaptions[4] = {&LblCore0, &LblCore1, &LblCore2, &LblCore3};
    forms::Label* meterCaptions[4] = {&LblCore0A, &LblCore1A, &LblCore2A, &LblCore3A};
    for (std::size_t i = 0; i < Meter.size(); ++i) {
        const int row = static_cast<int>(i) * 16;
        columnCaptions[i]->Move((4 + 1 + static_cast<int>(i) * 17 + 4) * 15, 14 * 15, 12 * 15, 225);
        Meter[i].Move(110 * 15, (31 + row) * 15, 53 * 15, 10 * 15);
        place(AvgUse[i], 168, 26 + row, 70);
        place(*meterCaptions[i], 98, 26 + row, 12);
    }
    PicCpuBars.Move(4 * 15, 14 * 15, 252 * 15, 46 * 15);
    PicCpuAverages.Move(4 * 15, 62 * 15, 252 * 15, 46 * 15);
    place(CPUTTL, 260, 18, 110);
    place(LblElapsed, 260, 38, 110);
    place(Command11, 260, 62, 70);
    place(Command14, 336, 62, 70);
    ShowTrayColr.Move(412 * 15, 64 * 15, 16 * 15, 16 * 15);
    place(TrayAsNum, 260, 84, 300);
    place(Command12, 638, 0, 24);
    for (forms::Control* control : std::initializer_list<forms::Control*>{&TxtCpus, &CmdCpus, &LblCpusError,
                                                                          &PicCpuBars, &PicCpuAverages})
        control->SetVisible(false);
    AllCpus.SetEnabled(false);
    EveryUser.SetVisible(false);
    Picture2.SetVisible(false);
    cpuOptions.SetVisible(false);
    Form.Move(0, 0, 10755, 4995);
    // With the lists' viewports at 945 twips from the top, 3765 high and 100 twips of margin,
    // the default window height leaves 185 twips of frame.
    Form.SetFrameHeight(185);
    Command9.SetToolTipText("Browse for File and Add to Favorites");
    Command2.SetToolTipText("Remove Selected Favorite");
    Command4.SetToolTipText("View Options");
    Start_Up.SetToolTipText("Load program on boot up");
    MiniMe.SetToolTipText("Minimize to system tray on start");
    Check2.SetToolTipText("Enable Auto Set Affinity on Start");
    ConfirmRemvFav.SetToolTipText("Confirm Remove");
    SortFavByAff.SetToolTipText("Sort Favorites by Affinity");
    Command10.SetToolTipText("Restore Defaults / Uninstall");
    Command6.SetToolTipText("Close Options");
    Command15.SetToolTipText("End Korvane (also where there is no tray)");
    AllCpus.SetToolTipText("Choose from every CPU of this machine");
    EveryUser.SetToolTipText("Favorites also for other users' programs (asks for an administrator's password)");
    TxtCpus.SetToolTipText("CPUs to apply: a list such as 0-3,8,10");
    TxtCpus.SetAccessibleName("CPUs to apply");
    List1.SetAccessibleName("Processes");
    List2.SetAccessibleName("Favorites");
    CmdCpus.SetToolTipText("Choose CPUs by core, kind and cache group");

    for (auto& box : Check11) {
        box.SetEnabled(false);
        box.SetToolTipText("");
    }
    Check1.SetToolTipText("Set affinity for my favorites on the fly!");
    Command1.SetToolTipText("Add selected file to favorites");
    Command3.SetToolTipText("Set affinity for my favorites now");
    Command5.SetToolTipText("Apply selected affinity to selected file");
    Command7.SetToolTipText("Hide selected file");
    Command8.SetToolTipText("Un-Hide Selected Name");

    P2.Move(-1000, -1000, 480, 480);
    P2.SetVisible(false);
    VertGraph0.SetToolTipText("");
    for (std::size_t i = 0; i < 4; ++i) {
        const std::string tip = "CPU " + std::to_string(i) + " Average Usage";
        Meter[i].SetToolTipText(tip);
        Meter[i].SetEnabled(false);
        AvgUse[i].SetToolTipText(tip);
        AvgUse[i].SetEnabled(false);
    }
    for (auto* label : {&LblCore2, &LblCore2A, &LblCore3, &LblCore3A})
        label->SetEnabled(false);
    CPUTTL.SetToolTipText("Total CPU Usage");
    LblElapsed.SetToolTipText("Elapsed Time - Days:Hours:Minutes:Seconds");
    Command11.SetToolTipText("Reset CPU Average Usage");
    Command12.SetToolTipText("Close Options");
    Command13.SetToolTipText("View CPU Usage/Tray Options");
    Command14.SetToolTipText("Graph Fill / Fore Color");
    TrayAsNum.SetToolTipText("Show Total CPU Usage in Tray as Number");
}

cpuusage::UsageControls MainControls::ForUsageMonitor()
{
    return cpuusage::UsageControls{Form,     Timer3,    AvgUse,   CPUTTL,    LblElapsed, VertGraph0, Meter,
                                   LblCore2, LblCore2A, LblCore3, LblCore3A, PicCpuBars, PicCpuAverages};
}

procmon::ProcessControls MainControls::ForProcessMonitor()
{
    return procmon::ProcessControls{Form,     List1,    List2,    Label2,       ShowAll, CpuBoxes(), CpuSetField,
                                    Check1,   Command1, Command3, Command5,     MnuSetFav, MnuSetFavNow, Timer1,
                                    Timer2};
}

MainControls::PanelParts MainControls::CommandStripParts()
{
    PanelParts parts;
    parts.labels = {&LblCpusError};
    parts.checkBoxes = {&Check11[0], &Check11[1], &Check11[2], &Check11[3], &ShowAll, &Check1};
    parts.textBoxes = {&TxtCpus};
    parts.buttons = {&Command5, &Command7, &Command8,  &Command4, &Command3,
                     &Command1, &Command9, &Command2, &Command13, &CmdCpus};
    return parts;
}

MainControls::PanelParts MainControls::OptionsPanelParts()
{
    PanelParts parts;
    parts.checkBoxes = {&Start_Up, &MiniMe, &Check2, &ConfirmRemvFav, &SortFavByAff, &AllCpus, &EveryUser};
    parts.buttons = {&Command10, &Command15, &Command6};
    return parts;
}

MainControls::PanelParts MainControls::UsagePanelParts()
{
    PanelParts parts;
    parts.labels = {&Label1,   &AvgUse[0], &AvgUse[1], &AvgUse[2], &AvgUse[3], &LblCore0,  &LblCore0A,
                    &LblCore1, &LblCore1A, &LblCore2,  &LblCore2A, &LblCore3,  &LblCore3A, &LblElapsed};
    parts.boldLabels = {&CPUTTL};
    parts.pictures = {&VertGraph0, &Meter[0],     &Meter[1],   &Meter[2],
                      &Meter[3],   &ShowTrayColr, &PicCpuBars, &PicCpuAverages};
    parts.buttons = {&Command11, &Command14, &Command12};
    parts.checkBoxes = {&TrayAsNum};
    return parts;
}

} // namespace korvane::ui
