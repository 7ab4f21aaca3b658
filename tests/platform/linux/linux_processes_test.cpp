#include "platform/linux/linux_processes.h"

#include "platform/linux/linux_processor_info.h"
#include "support/child_process.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <unistd.h>

namespace korvane::platform::linuxos {
namespace {

std::uint32_t AllCpus()
{
    const int count = LinuxProcessorInfo().LogicalProcessorCount();
    return count >= 32 ? 0xFFFFFFFFU : (1U << count) - 1U;
}

TEST(LinuxProcesses, EnumerationFollowsTheByteCountContract)
{
    LinuxProcesses processes;
    std::vector<std::int32_t> ids(65536);
    std::int32_t bytes = 0;
    ASSERT_TRUE(processes.EnumProcesses(ids.data(), static_cast<std::int32_t>(ids.size() * 4), &bytes));
    ASSERT_GT(bytes, 0);
    ASSERT_EQ(bytes % 4, 0);
    ids.resize(static_cast<std::size_t>(bytes / 4));
    EXPECT_NE(std::find(ids.begin(), ids.end(), ::getpid()), ids.end());

    std::int32_t small[1] = {0};
    ASSERT_TRUE(processes.EnumProcesses(small, 4, &bytes));
    EXPECT_EQ(bytes, 4); // a full buffer: there may be more
    EXPECT_GT(small[0], 0);
    ASSERT_TRUE(processes.EnumProcesses(small, 3, &bytes));
    EXPECT_EQ(bytes, 0);
}

TEST(LinuxProcesses, PathsComeFromTheExeLinkAndAreEmptyWhenItCannotBeRead)
{
    test::TempFolder proc;
    std::filesystem::create_directories(proc / "2");  // a kernel thread: no program link
    std::filesystem::create_directories(proc / "77");
    std::filesystem::create_symlink("/usr/bin/gone (deleted)", proc / "77/exe");
    std::filesystem::create_directories(proc / "self");
    std::filesystem::create_directories(proc / "x12");
    LinuxProcesses captured(proc.Path());
    EXPECT_EQ(captured.GetProcessPath(2), "");
    EXPECT_EQ(captured.GetProcessPath(77), "/usr/bin/gone");
    EXPECT_EQ(captured.GetProcessPath(5), "");
    EXPECT_EQ(captured.GetProcessPath(0), "");

    std::int32_t ids[8] = {};
    std::int32_t bytes = 0;
    ASSERT_TRUE(captured.EnumProcesses(ids, sizeof ids, &bytes));
    std::vector<std::int32_t> listed(ids, ids + bytes / 4);
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<std::int32_t>{2, 77}));

    LinuxProcesses live;
    EXPECT_EQ(live.GetProcessPath(::getpid()), std::filesystem::read_symlink("/proc/self/exe").string());
    EXPECT_EQ(ParseProcessIds({"1", "0", "01a", "99999999999", "42", ".", ""}),
              (std::vector<std::int32_t>{1, 42}));
}

TEST(LinuxProcesses, SettingAMaskMovesEveryThreadOfTheProcess)
{
    test::ChildProcess child(KORVANE_TEST_CHILD, 6);
    ASSERT_GT(child.Pid(), 0);
    LinuxProcesses processes;
    ASSERT_EQ(test::ThreadMasksOf(child.Pid()).size(), 6U);

    ASSERT_TRUE(processes.SetProcessAffinity(child.Pid(), {1}));
    for (const auto mask : test::ThreadMasksOf(child.Pid()))
        EXPECT_EQ(mask, 1U);
    EXPECT_EQ(processes.GetProcessAffinity(child.Pid()), CpuWords{1});

    ASSERT_TRUE(processes.SetProcessAffinity(child.Pid(), {0xFU & AllCpus()}));
    for (const auto mask : test::ThreadMasksOf(child.Pid()))
        EXPECT_EQ(mask, 0xFU & AllCpus());
}

TEST(LinuxProcesses, SetsTheKernelRefusesOrWouldChangeAndEndedProcessesFailAndChangeNothing)
{
    test::ChildProcess child(KORVANE_TEST_CHILD, 2);
    LinuxProcesses processes;
    const std::uint32_t missing = ~AllCpus() & 0xFU;
    const CpuWords before = processes.GetProcessAffinity(child.Pid());
    if (missing != 0) {
        EXPECT_FALSE(processes.SetProcessAffinity(child.Pid(), {missing}));
        EXPECT_EQ(processes.LastRefusedCpus(), CpuWords{missing});
        EXPECT_EQ(processes.GetProcessAffinity(child.Pid()), before);
        // The kernel would take CPU 0 and drop the others: a change that is not what was asked.
        EXPECT_FALSE(processes.SetProcessAffinity(child.Pid(), {missing | 1U}));
        EXPECT_EQ(processes.LastRefusedCpus(), CpuWords{missing});
        EXPECT_EQ(processes.GetProcessAffinity(child.Pid()), before);
    }
    // A CPU far above the machine's, in a set larger than 64 CPUs: refused, nothing changed.
    EXPECT_FALSE(processes.SetProcessAffinity(child.Pid(), {0, 0, 1}));
    EXPECT_EQ(processes.GetProcessAffinity(child.Pid()), before);
    const std::int32_t pid = child.Pid();
    child.Kill();
    EXPECT_FALSE(processes.SetProcessAffinity(pid, {1}));
    EXPECT_TRUE(processes.GetProcessAffinity(pid).empty());
    EXPECT_EQ(processes.GetProcessPath(pid), "");
    EXPECT_FALSE(processes.SetProcessAffinity(0, {1}));
}

TEST(LinuxProcesses, AProcessWhoseFirstThreadEndedIsNamedAndSetThroughItsLiveThreads)
{
    test::ChildProcess child(KORVANE_TEST_CHILD, 3, "leader-exits");
    ASSERT_GT(child.Pid(), 0);
    for (int i = 0; i < 500 && child.ThreadState(child.Pid()) != 'Z'; ++i)
        ::usleep(2000);
    ASSERT_EQ(child.ThreadState(child.Pid()), 'Z');

    LinuxProcesses processes;
    EXPECT_EQ(processes.GetProcessPath(child.Pid()), std::filesystem::canonical(KORVANE_TEST_CHILD).string());
    ASSERT_TRUE(processes.SetProcessAffinity(child.Pid(), {1}));
    EXPECT_EQ(processes.GetProcessAffinity(child.Pid()), CpuWords{1});
    ASSERT_TRUE(processes.SetProcessAffinity(child.Pid(), {0xFU & AllCpus()}));
    EXPECT_EQ(processes.GetProcessAffinity(child.Pid()), CpuWords{0xFU & AllCpus()});
}

TEST(LinuxProcesses, AnEndedProcessNotYetReapedIsNotListedAndCannotBeSet)
{
    test::ChildProcess child(KORVANE_TEST_CHILD, 2, "exit");
    ASSERT_GT(child.Pid(), 0);
    // Until the second thread is gone too, the process is still ending.
    for (int i = 0; i < 500 && (child.ThreadState(child.Pid()) != 'Z' || test::ThreadMasksOf(child.Pid()).size() != 1);
         ++i)
        ::usleep(2000);
    ASSERT_EQ(child.ThreadState(child.Pid()), 'Z'); // a zombie until Kill() reaps it

    LinuxProcesses processes;
    EXPECT_EQ(processes.GetProcessPath(child.Pid()), "");
    EXPECT_FALSE(processes.SetProcessAffinity(child.Pid(), {1}));
    EXPECT_EQ(ParseTaskState("12 (a) b) Z 1 2"), 'Z');
    EXPECT_EQ(ParseTaskState("12 (no state"), '?');
}

} // namespace
} // namespace korvane::platform::linuxos
