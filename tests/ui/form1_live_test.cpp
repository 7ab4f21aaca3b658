// The main window on this Linux machine: real processes, real masks.
#include "ui/form1.h"

#include "core/row_layout.h"
#include "platform/fake/fake_counters.h"
#include "platform/fake/fake_desktop.h"
#include "platform/fake/fake_machine.h"
#include "platform/fake/memory_settings_storage.h"
#include "platform/linux/linux_clock.h"
#include "platform/linux/proc_stat_counters.h"
#include "platform/linux/linux_file_system.h"
#include "platform/linux/linux_privileges.h"
#include "platform/linux/linux_processes.h"
#include "platform/linux/linux_processor_info.h"
#include "platform/program_location.h"
#include "support/child_process.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace korvane::ui {
namespace {

class FolderLocation : public platform::ProgramLocation {
public:
    explicit FolderLocation(std::string folder) : m_folder(std::move(folder)) {}
    std::string ExecutableFolder() override { return m_folder; }
    std::string ExecutablePath() override { return m_folder + "/korvane"; }
    std::string UserDataFolder() override { return m_folder + "/data"; }

private:
    std::string m_folder;
};

constexpr const char* kChildName = "Korvane_test_child";

struct LiveForm {
    explicit LiveForm(forms::Scheduler& scheduler)
        : location(folder.Path()),
          form(MachineServices{processes, processors, privileges, files, dialogs, icons, location, scheduler, counters, tray, clock, settings, instance, autostart, screen, fileDialogs})
    {
    }
    void Load()
    {
        form.Form_Initialize();
        form.Form_Load();
    }
    std::int32_t RowOfPid(std::int32_t pid)
    {
        const auto& list = form.Controls().List1;
        for (std::int32_t i = 0; i < list.ListCount(); ++i) {
            if (list.ItemData(i) == pid)
                return i;
        }
        return -1;
    }

    test::TempFolder folder;
    platform::linuxos::LinuxProcesses processes;
    platform::linuxos::LinuxProcessorInfo processors;
    platform::linuxos::LinuxPrivileges privileges;
    platform::linuxos::LinuxFileSystem files;
    platform::fake::FakeDialogs dialogs;
    platform::fake::FakeIconSource icons;
    FolderLocation location;
    platform::linuxos::ProcStatCounters counters{files};
    platform::fake::FakeNotificationArea tray;
    platform::linuxos::LinuxClock clock;
    platform::fake::MemorySettingsStorage settings;
    platform::fake::FakeSingleInstance instance{std::make_shared<platform::fake::InstanceRegistry>(), 1};
    platform::fake::FakeAutostart autostart;
    platform::fake::FakeScreen screen;
    platform::fake::FakeFileDialogs fileDialogs;
    Form1 form;
};

TEST(LiveForm, ApplyWithCpu1MovesEveryThreadAndTheRowShowsIt)
{
    forms::VirtualScheduler scheduler;
    LiveForm live(scheduler);
    test::ChildProcess child(KORVANE_TEST_CHILD, 5);
    live.Load();
    scheduler.Advance(std::chrono::milliseconds{1000});
    const std::int32_t row = live.RowOfPid(child.Pid());
    ASSERT_GE(row, 0);
    MainControls& c = live.form.Controls();
    c.List1.UserClickRow(row);
    for (auto& box : c.Check11)
        box.SetValue(0);
    c.Check11[1].SetValue(1);
    c.Command5.UserClick();

    EXPECT_TRUE(live.dialogs.Messages().empty());
    for (const auto mask : test::ThreadMasksOf(child.Pid()))
        EXPECT_EQ(mask, 2U);
    const std::int32_t after = live.RowOfPid(child.Pid());
    ASSERT_GE(after, 0);
    EXPECT_EQ(c.List1.List(after), core::NameField(kChildName) + "1");
}

TEST(LiveForm, ApplyOnAProcessThatEndedShowsTheErrorOnce)
{
    forms::VirtualScheduler scheduler;
    LiveForm live(scheduler);
    test::ChildProcess child(KORVANE_TEST_CHILD, 2);
    live.Load();
    scheduler.Advance(std::chrono::milliseconds{1000});
    MainControls& c = live.form.Controls();
    c.List1.UserClickRow(live.RowOfPid(child.Pid()));
    child.Kill();
    c.Check11[0].SetValue(1);
    c.Check11[1].SetValue(1);
    c.Command5.UserClick();
    ASSERT_EQ(live.dialogs.Messages().size(), 1U);
    EXPECT_EQ(live.dialogs.Messages()[0].text, "Unable to set CPU affinity on one or more files!");
}

TEST(LiveForm, AutoSetGivesANewlyStartedFavoriteItsAffinity)
{
    forms::SteadyScheduler scheduler;
    LiveForm live(scheduler);
    live.files.WriteFileAtomic(live.folder / "MyFav.Affinity", core::NameField(kChildName) + "1\r\n");
    live.Load();
    live.form.Controls().Check1.UserClick();
    ASSERT_EQ(live.form.Controls().Check1.Value(), 1);

    test::ChildProcess child(KORVANE_TEST_CHILD, 3);
    const bool set = scheduler.RunUntil(
        [&] {
            const auto masks = test::ThreadMasksOf(child.Pid());
            return !masks.empty() && std::all_of(masks.begin(), masks.end(), [](auto m) { return m == 2U; });
        },
        std::chrono::seconds{20});
    EXPECT_TRUE(set);
}

TEST(LiveForm, ProcessesEndingDuringARebuildNeverBreakIt)
{
    forms::VirtualScheduler scheduler;
    LiveForm live(scheduler);
    live.Load();
    std::vector<std::unique_ptr<test::ChildProcess>> children;
    for (int i = 0; i < 12; ++i)
        children.push_back(std::make_unique<test::ChildProcess>(KORVANE_TEST_CHILD, 1));
    live.form.Table().EnumerateProcessIds();
    for (std::size_t i = 0; i < children.size(); i += 2)
        children[i]->Kill();
    live.form.ProcessView().RefreshProcessList();
    int listed = 0;
    for (const auto& child : children)
        listed += live.RowOfPid(child->Pid()) >= 0 ? 1 : 0;
    EXPECT_EQ(listed, 6);
    // Our own process and the children are nameable; whatever cannot be read is skipped.
    EXPECT_GE(live.form.Controls().List1.ListCount(), 7);
}

} // namespace
} // namespace korvane::ui
