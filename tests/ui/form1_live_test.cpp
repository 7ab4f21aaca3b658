// The main window on this Linux machine: real processes, real masks.
#include "ui/form1.h"

#include "core/list_row.h"
#include "support/child_process.h"
#include "support/live_form.h"

#include <gtest/gtest.h>

namespace korvane::ui {
namespace {

constexpr const char* kChildName = "Korvane_test_child";
using test::LiveForm;

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
    EXPECT_EQ(c.List1.List(after), core::ListRow::NameFieldOf(kChildName) + "1");
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

TEST(LiveForm, ApplyOnAnEndedProcessNotYetReapedShowsTheErrorAndRedraws)
{
    forms::VirtualScheduler scheduler;
    LiveForm live(scheduler);
    test::ChildProcess child(KORVANE_TEST_CHILD, 1, "exit");
    live.Load();
    scheduler.Advance(std::chrono::milliseconds{1000});
    MainControls& c = live.form.Controls();
    // Select the zombie as the row selected before it ended would be.
    c.List1.UserClickRow(0);
    live.form.Selection().SelectedProcessId = child.Pid();
    for (int i = 0; i < 500 && child.ThreadState(child.Pid()) != 'Z'; ++i)
        ::usleep(2000);
    ASSERT_EQ(child.ThreadState(child.Pid()), 'Z');
    const int refreshes = live.form.ProcessView().RefreshCount();
    c.Check11[0].SetValue(1);
    c.Command5.UserClick();
    ASSERT_EQ(live.dialogs.Messages().size(), 1U);
    EXPECT_EQ(live.dialogs.Messages()[0].text, "Unable to set CPU affinity on one or more files!");
    EXPECT_EQ(live.form.ProcessView().RefreshCount(), refreshes + 1);
    EXPECT_LT(live.RowOfPid(child.Pid()), 0);
}

TEST(LiveForm, AProcessWhoseFirstThreadEndedHasARowAndTakesApply)
{
    forms::VirtualScheduler scheduler;
    LiveForm live(scheduler);
    test::ChildProcess child(KORVANE_TEST_CHILD, 3, "leader-exits");
    for (int i = 0; i < 500 && child.ThreadState(child.Pid()) != 'Z'; ++i)
        ::usleep(2000);
    live.Load();
    scheduler.Advance(std::chrono::milliseconds{1000});
    const std::int32_t row = live.RowOfPid(child.Pid());
    ASSERT_GE(row, 0);
    MainControls& c = live.form.Controls();
    c.List1.UserClickRow(row);
    for (auto& box : c.Check11)
        box.SetValue(0);
    c.Check11[0].SetValue(1);
    c.Command5.UserClick();
    EXPECT_TRUE(live.dialogs.Messages().empty());
    const std::int32_t after = live.RowOfPid(child.Pid());
    ASSERT_GE(after, 0);
    EXPECT_EQ(c.List1.List(after), core::ListRow::NameFieldOf(kChildName) + "0");
}

TEST(LiveForm, AutoSetGivesANewlyStartedFavoriteItsAffinity)
{
    forms::SteadyScheduler scheduler;
    LiveForm live(scheduler);
    live.files.WriteFileAtomic(live.folder / "MyFav.Affinity", core::ListRow::NameFieldOf(kChildName) + "1\r\n");
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
