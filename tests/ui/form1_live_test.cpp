// The main window on this Linux machine: real processes, real masks.
#include "ui/form1.h"

#include "core/list_row.h"
#include "support/child_process.h"
#include "support/live_form.h"
#include "platform/linux/process_connector_watch.h"

#include <gtest/gtest.h>

#include <bitset>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sched.h>
#include <spawn.h>
#include <sys/wait.h>

namespace korvane::ui {
namespace {

constexpr const char* kChildName = "Korvane_test_child";

namespace live_cpus {
std::bitset<64> Own()
{
    cpu_set_t cpus;
    CPU_ZERO(&cpus);
    std::bitset<64> own;
    if (::sched_getaffinity(0, sizeof cpus, &cpus) == 0) {
        for (int cpu = 0; cpu < 64; ++cpu)
            own[static_cast<std::size_t>(cpu)] = CPU_ISSET(cpu, &cpus);
    }
    return own;
}
int Last(const std::bitset<64>& cpus)
{
    for (int cpu = 63; cpu > 0; --cpu) {
        if (cpus[static_cast<std::size_t>(cpu)])
            return cpu;
    }
    return 0;
}
} // namespace live_cpus
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

TEST(LiveForm, AFavoriteStartedAfterKorvaneRunsOnItsCpusBeforeItHasRun10Ms)
{
    platform::linuxos::ProcessConnectorWatch watch;
    if (!watch.Open())
        GTEST_SKIP() << "start watch " << watch.Status();
    const auto own = live_cpus::Own();
    if (own.count() < 2)
        GTEST_SKIP() << "needs two CPUs to move a process to one of them";
    forms::VirtualScheduler scheduler;
    LiveForm live(scheduler);
    const std::string program = (std::filesystem::path(live.folder.Path()) / "favchild").string();
    std::filesystem::copy_file(KORVANE_TEST_CHILD, program);
    const int cpu = live_cpus::Last(own);
    std::ofstream(std::filesystem::path(live.folder.Path()) / "MyFav.Affinity")
        << core::ListRow::Format("Favchild", std::to_string(cpu)) << "\r\n";
    live.form.UseStartWatch(watch);
    live.Load();
    live.form.Controls().Check1.UserClick();
    ASSERT_EQ(live.form.Controls().Check1.Value(), 1);

    // The child waits for its CPUs, then says after how much of its own CPU time they came.
    int output[2];
    ASSERT_EQ(::pipe(output), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, output[0]);
    const std::string mask = std::to_string(1UL << cpu);
    std::string path = program;
    std::vector<char*> argv{path.data(), const_cast<char*>("3"), const_cast<char*>("await-cpus"),
                            const_cast<char*>(mask.c_str()), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(output[1]);
    std::string said;
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (said.find("ready") == std::string::npos && std::chrono::steady_clock::now() < limit) {
        pollfd ready[2] = {{watch.Handle(), POLLIN, 0}, {output[0], POLLIN, 0}};
        if (::poll(ready, 2, 100) <= 0)
            continue;
        if ((ready[0].revents & POLLIN) != 0)
            live.form.StartWatch_Ready();
        if ((ready[1].revents & (POLLIN | POLLHUP)) != 0) {
            char buffer[64];
            const ssize_t n = ::read(output[0], buffer, sizeof buffer);
            if (n <= 0)
                break;
            said.append(buffer, static_cast<std::size_t>(n));
        }
    }
    const auto masks = test::ThreadMasksOf(pid);
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    ::close(output[0]);

    ASSERT_EQ(said.rfind("set ", 0), 0U) << said;
    std::istringstream numbers(said.substr(4));
    long micros = 0;
    long beforeMain = 0;
    numbers >> micros >> beforeMain;
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizers' start-up, before main, is not the program's own running.
    micros -= beforeMain;
#endif
    RecordProperty("favorite_cpu_time_before_set_us", static_cast<int>(micros));
    EXPECT_LT(micros, 10000) << "the favorite ran " << micros << " us before it had its CPUs";
    ASSERT_EQ(masks.size(), 3U);
    for (const auto threadMask : masks)
        EXPECT_EQ(threadMask, 1U << cpu);
    EXPECT_GE(live.form.Starts()->StartsSet(), 1);
}

} // namespace
} // namespace korvane::ui
