#include "cpuusage/usage_statistics.h"

#include "support/fake_form.h"

#include <gtest/gtest.h>

namespace korvane::cpuusage {
namespace {

TEST(FormatElapsed, DaysThenTimeOfDayWithTheDayCountRoundedDown)
{
    const struct {
        std::int64_t seconds;
        const char* text;
    } cases[] = {
        {0, "00:00:00:00"},          {86400 + 7200 + 180 + 4, "01:02:03:04"}, {123 * 86400, "123:00:00:00"},
        {100 * 86400, "100:00:00:00"}, {-1, "-01:23:59:59"},                  {59, "00:00:00:59"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatElapsed(1'700'000'000, 1'700'000'000 + c.seconds), c.text) << c.seconds;
    EXPECT_EQ(FormatElapsed(0, std::int64_t{86400} * 3'000'000'000), "n/a");
    EXPECT_EQ(FormatElapsed(INT64_MAX, INT64_MIN), "n/a");
}

TEST(FormatPercent, AtLeastOneIntegerDigitAndFixedDecimals)
{
    EXPECT_EQ(FormatPercent(7.25, 2), "7.25 %");
    EXPECT_EQ(FormatPercent(100, 2), "100.00 %");
    EXPECT_EQ(FormatPercent(0.04, 1), "0.0 %");
    EXPECT_EQ(FormatPercent(40, 1), "40.0 %");
}

struct UsageFixture : ::testing::Test {
    ui::Form1& Start(int processors = 2)
    {
        f.machine.SetProcessorCount(processors);
        return f.Start();
    }
    test::FakeForm f{2};
};

TEST_F(UsageFixture, TotalIsTheMeanOfTheCpusAndTheFirstTickAfterResetShowsTheCurrentValues)
{
    f.counters.SetUsage(0, 30);
    f.counters.SetUsage(1, 50);
    ui::Form1& form = Start();
    f.Run(500);
    EXPECT_DOUBLE_EQ(form.Usage().TotalUsage, 40);
    EXPECT_EQ(f.Controls().CPUTTL.Caption(), "40.0 %");
    EXPECT_EQ(f.Controls().AvgUse[0].Caption(), "30.00 %");
    EXPECT_EQ(f.Controls().AvgUse[1].Caption(), "50.00 %");

    f.counters.SetUsage(0, 10);
    f.Run(500);
    EXPECT_EQ(f.Controls().AvgUse[0].Caption(), "20.00 %");
    EXPECT_EQ(form.Usage().SampleCount, 2);

    f.Controls().Command11.UserClick();
    EXPECT_EQ(f.Controls().CPUTTL.Caption(), "------");
    EXPECT_EQ(f.Controls().LblElapsed.Caption(), "--:--:--:--");
    EXPECT_EQ(f.Controls().AvgUse[1].Caption(), "------");
    EXPECT_EQ(f.Controls().AvgUse[2].Caption(), "0"); // not monitored
    f.Run(500);
    EXPECT_EQ(f.Controls().AvgUse[0].Caption(), "10.00 %");
}

TEST_F(UsageFixture, ElapsedTimeSkipsClockJumpsButCountsSmallChanges)
{
    Start();
    f.Run(3000);
    EXPECT_EQ(f.Controls().LblElapsed.Caption(), "00:00:00:03");
    f.clock.Advance(3600); // set forward while the window is shown
    f.Run(500);
    EXPECT_EQ(f.Controls().LblElapsed.Caption(), "00:00:00:03");
    f.clock.Advance(3); // with the second that passed, a change of 4 s still counts
    f.Run(500);
    EXPECT_EQ(f.Controls().LblElapsed.Caption(), "00:00:00:07");
    f.clock.Advance(-3600);
    f.Run(500);
    EXPECT_EQ(f.Controls().LblElapsed.Caption(), "00:00:00:07");
}

TEST_F(UsageFixture, MinimizedTicksFeedTheAveragesAndTheTrayButLeaveThePanel)
{
    f.counters.SetUsage(0, 100);
    ui::Form1& form = Start();
    f.Run(500);
    f.Controls().Form.SetState(forms::WindowState::Minimized);
    const std::string caption = f.Controls().CPUTTL.Caption();
    const auto modifies = f.tray.Calls().size();
    f.counters.SetUsage(0, 0);
    f.Run(1000);
    EXPECT_EQ(f.Controls().CPUTTL.Caption(), caption);
    EXPECT_EQ(form.Usage().SampleCount, 3);
    EXPECT_EQ(f.tray.Calls().size(), modifies + 2);
    f.Controls().Form.SetState(forms::WindowState::Normal);
    f.Run(500);
    EXPECT_EQ(f.Controls().AvgUse[0].Caption(), "25.00 %");
}

TEST_F(UsageFixture, CountersThatCannotOpenTurnTheMonitorOffAndSkipTheTraySettings)
{
    f.counters.FailOpen(true);
    f.settings.Save("Tollmere", "Korvane", "TrayForeColor", "2");
    ui::Form1& form = Start();
    f.Run(2000);
    EXPECT_TRUE(form.Counters().CountersUnavailable);
    EXPECT_FALSE(f.Controls().Command13.Enabled());
    EXPECT_FALSE(f.Controls().Timer3.Enabled());
    EXPECT_EQ(f.counters.Collections(), 0);
    EXPECT_EQ(f.Controls().ShowTrayColr.Tag(), "");
    ASSERT_EQ(f.tray.Calls().size(), 1U); // added with the window's icon, never modified
    EXPECT_EQ(f.tray.Calls()[0].data.hIcon->color, tray::DrawProgramIcon().color);
    form.Usage().Command11_Click();
    EXPECT_FALSE(f.Controls().Timer3.Enabled());
    EXPECT_EQ(f.Controls().CPUTTL.Caption(), "100.00 %");
}

TEST_F(UsageFixture, CountersThatCannotBeAddedStillLoadTheTraySettings)
{
    f.counters.FailAdd(true);
    f.settings.Save("Tollmere", "Korvane", "TrayForeColor", "2");
    f.settings.Save("Tollmere", "Korvane", "TrayAsNum", "1");
    ui::Form1& form = Start();
    EXPECT_TRUE(form.Counters().CountersUnavailable);
    EXPECT_EQ(f.Controls().ShowTrayColr.Tag(), "2");
    EXPECT_EQ(f.Controls().TrayAsNum.Value(), 1);
}

TEST_F(UsageFixture, OneCounterPerMonitoredCpuFromTheLocalizedNames)
{
    for (const auto& [processors, paths] : std::vector<std::pair<int, std::size_t>>{{1, 1}, {2, 2}, {8, 4}}) {
        test::FakeForm form(processors);
        form.Start();
        EXPECT_EQ(form.counters.AddedPaths().size(), paths);
        EXPECT_EQ(form.counters.AddedPaths().back(),
                  "\\Prozessor(" + std::to_string(paths - 1) + ")\\Prozessorzeit (%)");
    }
}

TEST(UsagePanel, CaptionsStandOverTheColumnsAndBesideTheMetersOnTheWindowsBackground)
{
    test::FakeForm f(2);
    f.screen.windowBackground = image::Rgb(40, 44, 52); // a dark theme
    f.Start();
    f.Run(1000);
    ui::MainControls& c = f.Controls();
    const forms::Label* columns[4] = {&c.LblCore0, &c.LblCore1, &c.LblCore2, &c.LblCore3};
    const forms::Label* meters[4] = {&c.LblCore0A, &c.LblCore1A, &c.LblCore2A, &c.LblCore3A};
    for (int i = 0; i < 4; ++i) {
        const auto cpu = static_cast<std::size_t>(i);
        EXPECT_EQ(columns[cpu]->Caption(), std::to_string(i));
        EXPECT_EQ(meters[cpu]->Caption(), std::to_string(i));
        // Above the graph, within the column of its CPU (17 pixels a column, 15 twips a pixel).
        EXPECT_LE(columns[cpu]->Top() + columns[cpu]->Height(), c.VertGraph0.Top());
        const int columnLeft = c.VertGraph0.Left() + (1 + i * 17) * 15;
        EXPECT_GE(columns[cpu]->Left(), columnLeft);
        EXPECT_LE(columns[cpu]->Left() + columns[cpu]->Width(), columnLeft + 16 * 15);
        // Left of its meter, on the meter's row.
        const forms::PictureBox& meter = c.Meter[cpu];
        EXPECT_LE(meters[cpu]->Left() + meters[cpu]->Width(), meter.Left());
        EXPECT_LT(meters[cpu]->Top(), meter.Top() + meter.Height());
        EXPECT_GT(meters[cpu]->Top() + meters[cpu]->Height(), meter.Top());
        // CPUs 0 and 1 always take part; the others only when the machine has them.
        EXPECT_EQ(columns[cpu]->Enabled(), i < 2);
        EXPECT_EQ(meters[cpu]->Enabled(), i < 2);
        // Around the 51 x 8 bar the meter shows the window's own background.
        EXPECT_EQ(meter.Picture().Pixel(52, 5), image::Rgb(40, 44, 52));
        EXPECT_EQ(meter.Picture().Pixel(10, 9), image::Rgb(40, 44, 52));
    }
}

} // namespace
} // namespace korvane::cpuusage
