#include "ui/main_controls.h"

namespace korvane::ui {

MainControls::MainControls(forms::Scheduler& scheduler) : Timer1(scheduler, 333), Timer2(scheduler, 500)
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
    Label4.Move(9225, 735, 1200, 195);
    Picture2.SetVisible(false);
    cpuOptions.SetVisible(false);

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
}

procmon::ProcessControls MainControls::ForProcessMonitor()
{
    return procmon::ProcessControls{Form,     List1,    List2,        Label2,       ShowAll, CpuBoxes(), Check1,
                                    Command1, Command3, Command5,     MnuSetFav,    MnuSetFavNow, Timer1, Timer2};
}

} // namespace korvane::ui
