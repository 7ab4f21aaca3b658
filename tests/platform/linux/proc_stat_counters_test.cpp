#include "platform/linux/proc_stat_counters.h"

#include "platform/fake/memory_file_system.h"
#include "platform/linux/linux_processes.h"
#include "platform/linux/linux_processor_info.h"
#include "support/child_process.h"
#include "support/live_form.h"

#include <gtest/gtest.h>

namespace korvane::platform::linuxos {
namespace {

constexpr const char* kStat = "cpu  10 0 10 80 0 0 0 0 0 0\n"
                              "cpu0 5 0 5 40 0 0 0 0 0 0\n"
                              "cpu1 5 0 5 40 0 0 0 0 0 0\n"
                              "intr 1 2 3\n";

TEST(ProcStat, ParsesEveryNumberedCpuLineAndCountsIdleAndIowaitAsIdle)
{
    const auto cpus = ParseProcStat("cpu  1 2 3 4\ncpu0 100 5 20 300 50 1 2 3 7 0\ncpu3 1 1 1 1\nctxt 5\n");
    ASSERT_TRUE(cpus.has_value());
    ASSERT_EQ(cpus->size(), 2U);
    EXPECT_EQ(cpus->at(0).total, 481U);
    EXPECT_EQ(cpus->at(0).busy, 131U);
    EXPECT_EQ(cpus->at(3).total, 4U);
    EXPECT_EQ(ParseProcStat("garbage\n\x01\x02"), std::nullopt);
    EXPECT_EQ(ParseProcStat("cpu0 1 2\n"), std::nullopt);
}

TEST(ProcStat, BusyShareIsClampedAndSurvivesCountersGoingBack)
{
    EXPECT_DOUBLE_EQ(BusyPercent({10, 100}, {60, 200}), 50.0);
    EXPECT_DOUBLE_EQ(BusyPercent({10, 100}, {10, 100}), 0.0);
    EXPECT_DOUBLE_EQ(BusyPercent({50, 100}, {10, 90}), 0.0);
    EXPECT_DOUBLE_EQ(BusyPercent({0, 0}, {500, 100}), 100.0);
}

TEST(ProcStatCounters, ReadsTheBusyShareBetweenTheLastTwoCollections)
{
    fake::MemoryFileSystem files;
    files.PutFile("/proc/stat", kStat);
    ProcStatCounters counters(files);
    QueryHandle query = 0;
    ASSERT_EQ(counters.OpenQuery(1, &query), 0);
    const std::string object = counters.LookupPerfNameByIndex(238);
    const std::string time = counters.LookupPerfNameByIndex(6);
    EXPECT_EQ(object, "Processor");
    EXPECT_EQ(time, "% Processor Time");
    EXPECT_EQ(counters.LookupPerfNameByIndex(5), "");
    const CounterHandle cpu1 = counters.AddCounter(query, "\\Processor(1)\\% Processor Time");
    const CounterHandle cpu7 = counters.AddCounter(query, "\\Processor(7)\\% Processor Time");
    ASSERT_NE(cpu1, 0U);
    EXPECT_EQ(counters.AddCounter(query, "\\Processor(x)\\% Processor Time"), 0U);
    EXPECT_EQ(counters.AddCounter(query, "\\(0)\\"), 0U);
    EXPECT_EQ(counters.AddCounter(999, "\\Processor(0)\\% Processor Time"), 0U);

    int status = 0;
    counters.CollectQueryData(query);
    EXPECT_EQ(counters.GetDoubleCounterValue(cpu1, &status), 0.0); // one collection: nothing to compare
    files.PutFile("/proc/stat", "cpu0 5 0 5 40\ncpu1 35 0 5 50\n");
    counters.CollectQueryData(query);
    EXPECT_DOUBLE_EQ(counters.GetDoubleCounterValue(cpu1, &status), 75.0);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(counters.GetDoubleCounterValue(cpu7, &status), 0.0); // no such CPU online
    counters.CloseQuery(query);
    EXPECT_EQ(counters.GetDoubleCounterValue(cpu1, &status), 0.0);
}

TEST(ProcStatCounters, QueryDoesNotOpenWithoutProcStat)
{
    fake::MemoryFileSystem files;
    ProcStatCounters counters(files, "/nowhere/stat");
    QueryHandle query = 0;
    EXPECT_NE(counters.OpenQuery(1, &query), 0);
}

TEST(LiveUsage, ASpinningChildOnCpu1ShowsInItsAverageAndTheTotalIsTheMean)
{
    LinuxProcessorInfo processors;
    if (processors.LogicalProcessorCount() < 2)
        GTEST_SKIP() << "needs two CPUs";
    test::ChildProcess spinner(KORVANE_TEST_CHILD, 1, "spin");
    LinuxProcesses processes;
    ASSERT_TRUE(processes.SetProcessAffinity(spinner.Pid(), {2}));

    forms::SteadyScheduler scheduler;
    test::LiveForm live(scheduler);
    live.form.Form_Load();
    fake::FakeNotificationArea& tray = live.tray;
    auto& usage = live.form.Usage();
    scheduler.RunUntil([&] { return usage.SampleCount >= 3; }, std::chrono::seconds{10});
    ASSERT_GE(usage.SampleCount, 3);
    EXPECT_GT(usage.UsageSum[1] / usage.SampleCount, 80.0);
    EXPECT_NEAR(usage.TotalUsage, (usage.CurrentUsage[0] + usage.CurrentUsage[1]) / 2, 1e-9);
    EXPECT_EQ(tray.Calls().back().command, 'M');
}

} // namespace
} // namespace korvane::platform::linuxos
