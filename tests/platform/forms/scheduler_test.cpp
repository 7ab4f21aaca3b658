#include "platform/forms/scheduler.h"

#include <gtest/gtest.h>

#include <string>

namespace korvane::forms {
namespace {

using std::chrono::milliseconds;

TEST(VirtualScheduler, TicksRunInTimeOrderAndReEnablingRestartsTheCount)
{
    VirtualScheduler scheduler;
    Timer fast(scheduler, 333);
    Timer slow(scheduler, 500);
    std::string log;
    fast.OnTimer = [&] {
        log += "f" + std::to_string(scheduler.Now().count()) + " ";
        fast.SetEnabled(false);
        fast.SetEnabled(true); // as a tick handler pauses itself
    };
    slow.OnTimer = [&] {
        log += "s" + std::to_string(scheduler.Now().count()) + " ";
        slow.SetEnabled(false); // one-shot
    };
    fast.SetEnabled(true);
    slow.SetEnabled(true);
    scheduler.Advance(milliseconds{1000});
    EXPECT_EQ(log, "f333 s500 f666 f999 ");

    log.clear();
    slow.SetEnabled(true);
    scheduler.Advance(milliseconds{400});
    EXPECT_EQ(log, "f1332 ");
    slow.SetEnabled(false);
    slow.SetEnabled(true); // restarts: due 500 ms from now
    scheduler.Advance(milliseconds{499});
    EXPECT_EQ(log, "f1332 f1665 ");
    scheduler.Advance(milliseconds{1});
    EXPECT_EQ(log, "f1332 f1665 s1900 ");
}

TEST(VirtualScheduler, IntervalChangesAndDisablingStopTicks)
{
    VirtualScheduler scheduler;
    int ticks = 0;
    {
        Timer timer(scheduler, 100);
        timer.OnTimer = [&] { ++ticks; };
        timer.SetEnabled(true);
        scheduler.Advance(milliseconds{250});
        EXPECT_EQ(ticks, 2);
        timer.SetInterval(0);
        scheduler.Advance(milliseconds{1000});
        EXPECT_EQ(ticks, 2);
        timer.SetInterval(50);
        scheduler.Advance(milliseconds{100});
        EXPECT_EQ(ticks, 4);
    }
    scheduler.Advance(milliseconds{1000}); // a destroyed timer never ticks
    EXPECT_EQ(ticks, 4);
}

TEST(SteadyScheduler, RunsRealTicksUntilTheConditionHolds)
{
    SteadyScheduler scheduler;
    Timer timer(scheduler, 10);
    int ticks = 0;
    timer.OnTimer = [&] { ++ticks; };
    timer.SetEnabled(true);
    EXPECT_TRUE(scheduler.RunUntil([&] { return ticks >= 3; }, milliseconds{5000}));
    timer.SetEnabled(false);
    EXPECT_FALSE(scheduler.RunUntil([&] { return ticks >= 100; }, milliseconds{30}));
}

} // namespace
} // namespace korvane::forms
