#include "support/cpu_machines.h"
#include "support/fake_form.h"

#include <gtest/gtest.h>

namespace korvane::ui {
namespace {

using test::Row;

struct EveryCpu : ::testing::Test {
    // A form on a machine of that topology; the process list holds /opt/game.
    Form1& StartOn(const platform::CpuTopology& topology, std::vector<std::string> favorites = {})
    {
        f = std::make_unique<test::FakeForm>(static_cast<int>(topology.cpus.size()));
        f->machine.SetTopology(topology);
        game = f->machine.Start("/opt/game", 2);
        if (!favorites.empty())
            f->AddFavoriteFile(favorites);
        Form1& form = f->Start();
        f->Run(600); // the first listing
        return form;
    }
    MainControls& C() { return f->Controls(); }
    void ShowEveryCpu() { C().AllCpus.UserClick(); }
    void SelectGame() { C().List1.UserClickRow(f->RowOf("Game")); }
    std::vector<std::uint64_t> GameCpus() { return f->machine.ThreadCpus(game).front(); }
    forms::Button& PresetNamed(CpuPicker& picker, const std::string& name)
    {
        for (auto& preset : picker.Presets) {
            if (preset->Caption() == name)
                return *preset;
        }
        ADD_FAILURE() << "no preset " << name;
        return *picker.Presets.front();
    }

    std::unique_ptr<test::FakeForm> f;
    std::int32_t game = 0;
};

TEST_F(EveryCpu, TheOptionIsOfferedAboveFourCpusAndTogglesTheLayoutBothWays)
{
    StartOn(test::PlainMachine(4));
    EXPECT_FALSE(C().AllCpus.Enabled());
    C().AllCpus.SetValue(1);
    EXPECT_TRUE(C().Check11[0].Visible());
    EXPECT_FALSE(C().TxtCpus.Visible());

    StartOn(test::PlainMachine(8));
    MainControls& c = C();
    EXPECT_TRUE(c.AllCpus.Enabled());
    EXPECT_EQ(c.AllCpus.Value(), 0);
    EXPECT_TRUE(c.Check11[3].Visible() && c.VertGraph0.Visible() && c.Meter[0].Visible());
    EXPECT_FALSE(c.TxtCpus.Visible() || c.CmdCpus.Visible() || c.PicCpuBars.Visible());
    ShowEveryCpu();
    EXPECT_FALSE(c.Check11[0].Visible() || c.VertGraph0.Visible() || c.Meter[0].Visible() || c.AvgUse[0].Visible());
    EXPECT_TRUE(c.TxtCpus.Visible() && c.CmdCpus.Visible() && c.PicCpuBars.Visible() && c.PicCpuAverages.Visible());
    ShowEveryCpu();
    EXPECT_TRUE(c.Check11[0].Visible() && c.VertGraph0.Visible());
    EXPECT_FALSE(c.TxtCpus.Visible() || c.PicCpuBars.Visible());
}

TEST_F(EveryCpu, TheSelectionAndTheChoiceNotYetAppliedSurviveTheToggle)
{
    StartOn(test::PlainMachine(8));
    MainControls& c = C();
    SelectGame();
    EXPECT_EQ(c.TxtCpus.Text(), "0-7"); // both views show the selected row
    c.Check11[1].UserClick();            // the user clears CPU 1
    ShowEveryCpu();
    EXPECT_EQ(c.TxtCpus.Text(), "023");
    c.TxtCpus.UserType("0,5");
    f->Run(1000); // rebuilds keep what the user typed
    EXPECT_EQ(c.TxtCpus.Text(), "0,5");
    ShowEveryCpu();
    EXPECT_EQ(procmon::AffinityTextOfCheckBoxes(c.CpuBoxes()), "0");
    EXPECT_EQ(f->ProcessRows()[static_cast<std::size_t>(c.List1.ListIndex())].find("Game") != std::string::npos, true);
}

TEST_F(EveryCpu, ATypedListAppliesWithEnterAndAnUnreadableOneHoldsApplyWithItsReason)
{
    StartOn(test::PlainMachine(8));
    MainControls& c = C();
    ShowEveryCpu();
    SelectGame();
    c.TxtCpus.UserType("5-3");
    EXPECT_FALSE(c.Command5.Enabled());
    EXPECT_EQ(c.LblCpusError.Caption(), "\"5-3\" runs backwards.");
    c.TxtCpus.UserEnter();
    EXPECT_EQ(f->machine.SetAffinityCount(), 0);
    c.TxtCpus.UserType("0-9");
    EXPECT_NE(c.LblCpusError.Caption().find("CPU 9 is not on this machine"), std::string::npos);
    c.TxtCpus.UserType("1, 5-6");
    EXPECT_TRUE(c.Command5.Enabled());
    EXPECT_EQ(c.LblCpusError.Caption(), "");
    c.TxtCpus.UserEnter();
    EXPECT_EQ(GameCpus(), (std::vector<std::uint64_t>{0b1100010}));
    EXPECT_NE(f->ProcessRows()[static_cast<std::size_t>(f->RowOf("Game"))].find("1,5,6"), std::string::npos);
    EXPECT_EQ(c.TxtCpus.Text(), "1,5,6");
    EXPECT_TRUE(f->dialogs.Messages().empty());
    // "Add to Fav" takes the set too; an unreadable one is never applied, whatever enables "Apply".
    c.TxtCpus.UserType("2-3,7");
    c.Command1.UserClick();
    EXPECT_EQ(f->Rows(c.List2), std::vector<std::string>{Row("Game", "2,3,7")});
    SelectGame();
    c.TxtCpus.UserType("0,,1");
    c.Command5.SetEnabled(true);
    c.Command5.UserClick();
    EXPECT_EQ(GameCpus(), (std::vector<std::uint64_t>{0b1100010}));
    EXPECT_TRUE(f->dialogs.Messages().empty());
}

TEST_F(EveryCpu, APresetChosenInThePickerReachesApplyAndTheProcess)
{
    StartOn(test::HybridMachine24());
    MainControls& c = C();
    ShowEveryCpu();
    SelectGame();
    c.CmdCpus.UserClick();
    CpuPicker* picker = f->form->EveryCpu().Picker();
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->Toggles.size(), 24U);
    ASSERT_EQ(picker->GroupCaptions.size(), 2U);
    EXPECT_EQ(picker->GroupCaptions[0]->Caption(), "Performance cores, cache group 1 (30 MB)");
    EXPECT_EQ(picker->GroupCaptions[1]->Caption(), "Efficiency cores, cache group 1 (30 MB)");
    // The two threads of a core side by side.
    EXPECT_EQ(picker->ToggleOf(1)->Top(), picker->ToggleOf(0)->Top());
    EXPECT_GT(picker->ToggleOf(1)->Left(), picker->ToggleOf(0)->Left());
    EXPECT_EQ(picker->ChosenText.Caption(), "Chosen: 0-23 (24 CPUs)");
    PresetNamed(*picker, "Efficiency cores").UserClick();
    EXPECT_EQ(picker->ChosenText.Caption(), "Chosen: 16-23 (8 CPUs)");
    picker->ToggleOf(16)->UserClick();
    EXPECT_EQ(picker->ChosenText.Caption(), "Chosen: 17-23 (7 CPUs)");
    picker->Apply.UserClick();
    EXPECT_EQ(f->form->EveryCpu().Picker(), nullptr);
    EXPECT_EQ(c.TxtCpus.Text(), "17-23");
    c.Command5.UserClick();
    EXPECT_EQ(GameCpus(), (std::vector<std::uint64_t>{0xFE0000}));

    // Cancel and the loss of activation change nothing.
    c.CmdCpus.UserClick();
    f->form->EveryCpu().Picker()->ToggleOf(0)->UserClick();
    f->form->EveryCpu().Picker()->Form.OnDeactivate();
    EXPECT_EQ(f->form->EveryCpu().Picker(), nullptr);
    EXPECT_EQ(c.TxtCpus.Text(), "17-23");
}

TEST_F(EveryCpu, CpusThatGoOfflineLeaveTheUsagePanelAtTheNextTickAndThePresetsWhenThePickerOpens)
{
    platform::CpuTopology topology = test::PlainMachine(8);
    StartOn(topology);
    ShowEveryCpu();
    C().CmdCpus.UserClick();
    PresetNamed(*f->form->EveryCpu().Picker(), "All CPUs").UserClick();
    EXPECT_EQ(core::CpuSetText(f->form->EveryCpu().Picker()->Chosen()), "0-7");
    f->form->EveryCpu().ClosePicker();

    // CPUs 6 and 7 go offline (SMT switched off, a hot unplug): the next usage tick reads again.
    topology.cpus[6].online = false;
    topology.cpus[7].online = false;
    f->machine.SetTopology(topology);
    f->Run(1000);
    EXPECT_EQ(C().CpuSetField.AllCpus(), "0-5");
    C().CmdCpus.UserClick();
    CpuPicker& picker = *f->form->EveryCpu().Picker();
    PresetNamed(picker, "All CPUs").UserClick();
    EXPECT_EQ(core::CpuSetText(picker.Chosen()), "0-5");
    f->form->EveryCpu().ClosePicker();

    // Down to four online: the option is no longer offered, and the four-CPU window returns.
    for (int n = 4; n < 6; ++n)
        topology.cpus[static_cast<std::size_t>(n)].online = false;
    f->machine.SetTopology(topology);
    f->Run(1000);
    EXPECT_FALSE(C().AllCpus.Enabled());
    EXPECT_TRUE(C().Check11[0].Visible());
    EXPECT_FALSE(C().TxtCpus.Visible());
}

TEST_F(EveryCpu, CpusNotAllowedAreGreyedWithTheReasonAndLeftOutOfPresets)
{
    platform::CpuTopology topology = test::TwoDieMachine32();
    for (auto& cpu : topology.cpus)
        cpu.allowed = cpu.number < 24;
    StartOn(topology);
    ShowEveryCpu();
    C().CmdCpus.UserClick();
    CpuPicker& picker = *f->form->EveryCpu().Picker();
    EXPECT_FALSE(picker.ToggleOf(30)->Enabled());
    EXPECT_NE(picker.ToggleOf(30)->ToolTipText().find("not allowed"), std::string::npos);
    EXPECT_TRUE(picker.ToggleOf(3)->Enabled());
    EXPECT_EQ(picker.ToggleOf(3)->ToolTipText(), "CPU 3: core 3, thread 0, cache group 1");
    PresetNamed(picker, "Cache group 2 (32 MB)").UserClick();
    EXPECT_EQ(core::CpuSetText(picker.Chosen()), "8-15");
}

TEST_F(EveryCpu, AFavoriteSetThroughThePopUpIsAppliedByAutoSet)
{
    StartOn(test::TwoDieMachine32(), {Row("Game", "0123")});
    MainControls& c = C();
    ShowEveryCpu();
    c.Check1.UserClick();
    EXPECT_EQ(GameCpus(), (std::vector<std::uint64_t>{0xF}));
    c.List2.UserClickRow(0);
    c.List2.UserMouseUp(forms::kRightButton, 0, 300, 480);
    EXPECT_EQ(f->form->Picker(), nullptr); // the four-box pop-up is not used
    CpuPicker* picker = f->form->EveryCpu().Picker();
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(core::CpuSetText(picker->Chosen()), "0123");
    PresetNamed(*picker, "Cache group 1 (96 MB)").UserClick();
    picker->Apply.UserClick();
    EXPECT_EQ(f->Rows(c.List2), std::vector<std::string>{Row("Game", "0-7,16-23")});
    EXPECT_EQ(GameCpus(), (std::vector<std::uint64_t>{0xFF00FF}));
    EXPECT_NE(f->files.ReadFile(std::string(test::kProgramFolder) + "MyFav.Affinity")->find("0-7,16-23"),
              std::string::npos);
}

TEST_F(EveryCpu, TheTrayTotalAndTheUsagePanelCoverEveryCpu)
{
    StartOn(test::ServerMachine256());
    MainControls& c = C();
    for (int cpu = 0; cpu < 4; ++cpu)
        f->counters.SetUsage(cpu, 100);
    f->Run(1000);
    EXPECT_EQ(c.CPUTTL.Caption(), "100.0 %");
    ShowEveryCpu();
    f->Run(1000);
    EXPECT_DOUBLE_EQ(f->form->Usage().TotalUsage, 400.0 / 256);
    EXPECT_EQ(c.CPUTTL.Caption(), "1.6 %");
    EXPECT_EQ(c.PicCpuBars.Picture().Width(), 252);
    // Hovering over a cell names its CPU and its values.
    c.PicCpuAverages.OnPointAt(1, 1);
    EXPECT_EQ(c.PicCpuAverages.ToolTipText().rfind("CPU 0: 100.0 % now, ", 0), 0U);
    ShowEveryCpu();
    f->Run(1000);
    EXPECT_EQ(c.CPUTTL.Caption(), "100.0 %");
}

TEST_F(EveryCpu, TheSettingIsSavedAtExitReadAtStartAndGoesWithDeleteSettings)
{
    StartOn(test::PlainMachine(16));
    ShowEveryCpu();
    f->form->Unload(kUnloadCode);
    EXPECT_EQ(f->settings.Get("Tollmere", "Korvane", "AllCpus"), "1");

    test::FakeForm next(16);
    next.settings.Save("Tollmere", "Korvane", "AllCpus", "1");
    next.Start();
    EXPECT_EQ(next.Controls().AllCpus.Value(), 1);
    EXPECT_TRUE(next.Controls().TxtCpus.Visible());
    EXPECT_FALSE(next.Controls().Check11[0].Visible());
    next.Controls().Command10.UserClick(); // "Delete Settings", answered yes
    EXPECT_FALSE(next.settings.Get("Tollmere", "Korvane", "AllCpus").has_value());

    // A value that is not a number reads as off.
    test::FakeForm garbled(16);
    garbled.settings.Save("Tollmere", "Korvane", "AllCpus", "yes");
    garbled.Start();
    EXPECT_FALSE(garbled.Controls().TxtCpus.Visible());
}

TEST_F(EveryCpu, ThePickerAt256CpusFitsTheWorkAreaAndScrolls)
{
    StartOn(test::ServerMachine256());
    ShowEveryCpu();
    f->screen.workArea = {0, 0, 1366, 728}; // a laptop's screen
    C().CmdCpus.UserClick();
    CpuPicker& picker = *f->form->EveryCpu().Picker();
    EXPECT_EQ(picker.Toggles.size(), 256U);
    EXPECT_EQ(picker.GroupCaptions.size(), 16U);
    EXPECT_EQ(picker.GroupCaptions[8]->Caption(), "Package 1, cache group 9 (32 MB)");
    // CPU 0 and its second thread, CPU 128, side by side.
    EXPECT_EQ(picker.ToggleOf(128)->Top(), picker.ToggleOf(0)->Top());
    platform::PixelRect area{};
    f->screen.WorkArea(&area);
    EXPECT_LE(picker.Form.Height(), (area.bottom - area.top) * f->screen.TwipsPerPixelY());
    EXPECT_GE(picker.Form.Top(), area.top * f->screen.TwipsPerPixelY());
    ASSERT_TRUE(picker.Scroll.Visible());
    EXPECT_EQ(picker.Scroll.Max(), picker.Grid.Height() - picker.Viewport.Height());
    picker.MouseWheel(-120);
    EXPECT_EQ(picker.Grid.Top(), -picker.Scroll.Value());
    EXPECT_GT(picker.Scroll.Value(), 0);
}

TEST_F(EveryCpu, ThePickersButtonsHoldTheirCaptionsAtTwiceTheTextSize)
{
    StartOn(test::ServerMachine256());
    ShowEveryCpu();
    f->screen.textScale = 2;
    C().CmdCpus.UserClick();
    CpuPicker& picker = *f->form->EveryCpu().Picker();
    ASSERT_GT(picker.Presets.size(), 3U);
    const forms::Button* previous = nullptr;
    for (const auto& preset : picker.Presets) {
        EXPECT_GE(preset->Width(), static_cast<std::int32_t>(14 * preset->Caption().size()) * 15) << preset->Caption();
        EXPECT_GE(preset->Height(), 26 * 15);
        EXPECT_LE(preset->Left() + preset->Width(), picker.Form.Width());
        if (previous != nullptr && previous->Top() == preset->Top()) {
            EXPECT_LE(previous->Left() + previous->Width(), preset->Left()) << preset->Caption();
        } else if (previous != nullptr) {
            EXPECT_GE(preset->Top(), previous->Top() + previous->Height()) << preset->Caption();
        }
        previous = preset.get();
    }
    EXPECT_GE(picker.Cancel.Width(), 14 * 6 * 15);
    EXPECT_LE(picker.Apply.Left() + picker.Apply.Width(), picker.Cancel.Left());
    EXPECT_GE(picker.ChosenText.Top(), previous->Top() + previous->Height());
}

} // namespace
} // namespace korvane::ui
