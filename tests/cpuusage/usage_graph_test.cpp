#include "cpuusage/usage_graph.h"

#include "support/fake_form.h"

#include <gtest/gtest.h>

#include <set>

namespace korvane::cpuusage {
namespace {

using image::Rgb;

// Lit rows of a column: rows from the top that equal the lit picture.
int LitRows(const image::Surface& graph, int column)
{
    const image::Surface lit = DrawLitGraph();
    const image::Surface unlit = DrawUnlitGraph();
    const int x = 1 + column * 17 + 5;
    int lit_rows = 0;
    for (int y = 0; y < 61; ++y) {
        if (graph.Pixel(x, y) == lit.Pixel(x, y) && lit.Pixel(x, y) != unlit.Pixel(x, y))
            ++lit_rows;
    }
    return lit_rows;
}

TEST(UsagePictures, GraphsHaveTheirColumnsCapAndSegments)
{
    const image::Surface lit = DrawLitGraph();
    const image::Surface unlit = DrawUnlitGraph();
    ASSERT_EQ(lit.Width(), 69);
    ASSERT_EQ(lit.Height(), 61);
    for (int x : {0, 17, 34, 51, 68})
        EXPECT_EQ(lit.Pixel(x, 20), image::kBlack);
    for (int x = 0; x < 69; ++x) {
        EXPECT_EQ(lit.Pixel(x, 0), image::kBlack);
        EXPECT_EQ(lit.Pixel(x, 12), image::kBlack);
        EXPECT_EQ(lit.Pixel(x, 3), Rgb(189, 189, 189));
        EXPECT_EQ(lit.Pixel(x, 9), Rgb(66, 66, 66));
        EXPECT_EQ(lit.Pixel(x, 60), image::kBlack);
    }
    EXPECT_EQ(lit.Pixel(5, 1), Rgb(239, 255, 239));
    EXPECT_EQ(lit.Pixel(5, 11), Rgb(16, 255, 16));
    EXPECT_EQ(unlit.Pixel(5, 1), Rgb(239, 247, 239));
    EXPECT_EQ(unlit.Pixel(5, 11), Rgb(16, 140, 16));
    EXPECT_EQ(lit.Pixel(5, 13), Rgb(0, 255, 0));
    EXPECT_EQ(lit.Pixel(5, 15), image::kBlack);
    EXPECT_EQ(lit.Pixel(5, 58), Rgb(0, 255, 0));
    EXPECT_EQ(lit.Pixel(5, 59), Rgb(0, 255, 0));
    EXPECT_EQ(unlit.Pixel(5, 59), Rgb(0, 132, 0));

    const image::Surface bars = DrawFullBars();
    const image::Surface blank = DrawBlankMeter();
    EXPECT_EQ(bars.Pixel(52, 5), kWindowBackground);
    EXPECT_EQ(blank.Pixel(20, 9), kWindowBackground);
    EXPECT_GT(image::GreenOf(bars.Pixel(20, 5)), image::RedOf(bars.Pixel(20, 5)));
    EXPECT_GT(image::RedOf(bars.Pixel(48, 5)), image::GreenOf(bars.Pixel(48, 5)));
}

TEST(UsageDrawing, ColumnsAndBarsFollowTheUsage)
{
    test::FakeForm f(4);
    f.counters.SetUsage(0, 0);
    f.counters.SetUsage(1, 50);
    f.counters.SetUsage(2, 100);
    f.counters.SetUsage(3, 25);
    f.Start();
    f.Run(500);
    const image::Surface& graph = f.Controls().VertGraph0.Picture();
    EXPECT_EQ(LitRows(graph, 0), 0);
    const int litAt50 = LitRows(graph, 1);
    const int litAt100 = LitRows(graph, 2);
    EXPECT_EQ(graph.Pixel(20, 61 - 31), DrawLitGraph().Pixel(20, 30));  // h = 30: row 30 on is lit
    EXPECT_EQ(graph.Pixel(20, 29), DrawUnlitGraph().Pixel(20, 29));
    EXPECT_GT(litAt100, litAt50);
    EXPECT_EQ(graph, [&] {
        image::Surface expected = DrawLitGraph();
        expected.BlockCopy(0, 0, 17, 61, DrawUnlitGraph(), 0, 0);
        expected.BlockCopy(18, 0, 17, 30, DrawUnlitGraph(), 18, 0);
        expected.BlockCopy(52, 0, 17, 46, DrawUnlitGraph(), 52, 0); // 61 - 25 / 1.639 = 45.7
        return expected;
    }());

    auto barWidth = [&](int cpu) {
        const image::Surface& meter = f.Controls().Meter[static_cast<std::size_t>(cpu)].Picture();
        const image::Surface blank = DrawBlankMeter();
        int width = 0;
        for (int x = 0; x < 53; ++x) {
            if (meter.Pixel(x, 4) != blank.Pixel(x, 4))
                width = x + 1;
        }
        return width;
    };
    EXPECT_EQ(barWidth(0), 0);
    EXPECT_EQ(barWidth(1), 27); // 50 / 1.886 = 26.5
    EXPECT_EQ(f.Controls().Meter[2].Picture(), DrawFullBars());

    // What the graph shows, in words.
    EXPECT_EQ(f.Controls().VertGraph0.AccessibleDescription(),
              "Now: CPU 0 0 %, CPU 1 50 %, CPU 2 100 %, CPU 3 25 %; total 43.8 %");

    f.Controls().Command11.UserClick();
    EXPECT_EQ(f.Controls().VertGraph0.Picture(), DrawLitGraph());
    for (const auto& meter : f.Controls().Meter)
        EXPECT_EQ(meter.Picture(), DrawFullBars());
}

TEST(UsageDrawing, InHighContrastEveryPictureIsInTheSystemsColoursAndLevelsDifferByPattern)
{
    test::FakeForm f(4);
    const platform::SystemColors colors{0x000000, 0xFFFFFF, 0xFFFF00, 0x00FF00};
    f.screen.contrast = colors;
    for (int cpu = 0; cpu < 4; ++cpu)
        f.counters.SetUsage(cpu, 100);
    f.Start();
    f.Run(500);
    const std::set<image::Color> system{colors.window, colors.windowText, colors.highlight, colors.grayText};
    const auto onlySystemColours = [&system](const image::Surface& picture, image::Color around) {
        for (int y = 0; y < picture.Height(); ++y) {
            for (int x = 0; x < picture.Width(); ++x) {
                if (system.count(picture.Pixel(x, y)) == 0 && picture.Pixel(x, y) != around)
                    return false;
            }
        }
        return true;
    };
    EXPECT_TRUE(onlySystemColours(f.Controls().VertGraph0.Picture(), colors.window));
    const image::Surface& meter = f.Controls().Meter[0].Picture();
    EXPECT_TRUE(onlySystemColours(meter, f.screen.windowBackground));
    // Solid to 75 %, then striped, then checked: the levels a colour gave.
    EXPECT_EQ(meter.Pixel(20, 4), colors.highlight);
    EXPECT_EQ(meter.Pixel(20, 5), colors.highlight);
    std::set<image::Color> striped;
    std::set<image::Color> checked;
    for (int x = 39; x < 45; ++x)
        striped.insert(meter.Pixel(x, 4));
    for (int y = 3; y < 5; ++y)
        checked.insert(meter.Pixel(48, y));
    EXPECT_EQ(striped.size(), 2U);
    EXPECT_EQ(checked.size(), 2U);
    EXPECT_EQ(meter.Pixel(40, 4), meter.Pixel(40, 5)); // stripes stand, checks alternate
    EXPECT_NE(meter.Pixel(48, 4), meter.Pixel(48, 5));

    // Switched off while running: the program's own colours from the next sample on.
    f.screen.contrast.reset();
    f.form->SystemColorsChanged();
    f.Run(1000);
    EXPECT_EQ(f.Controls().Meter[0].Picture(), DrawFullBars());
    EXPECT_EQ(f.Controls().VertGraph0.Picture().Pixel(20, 40), DrawLitGraph().Pixel(20, 40));
}

TEST(EveryCpuGraph, InTheSystemsColoursACellsLevelIsItsPatternAndItsNumberStandsOnTheWindowsColour)
{
    UsagePalette palette;
    palette.system = true;
    palette.window = 0x000000;
    palette.text = 0xFFFFFF;
    palette.highlight = 0x00FFFF;
    palette.gray = 0x808080;
    const CpuPlace place{0, 0, 0, 40, 16};
    const auto fillPixels = [&](double value) {
        image::Surface s(40, 16, 0x123456);
        DrawCpuCell(s, place, value, palette);
        std::set<image::Color> seen;
        for (int y = 1; y < 15; ++y)
            seen.insert(s.Pixel(1, y));
        return std::make_pair(seen, s);
    };
    EXPECT_EQ(fillPixels(50).first, (std::set<image::Color>{palette.highlight}));
    EXPECT_EQ(fillPixels(80).first, (std::set<image::Color>{palette.highlight})); // a column of the stripes
    EXPECT_EQ(fillPixels(95).first, (std::set<image::Color>{palette.highlight, palette.window}));
    EXPECT_EQ(LevelPattern(75), 0);
    EXPECT_EQ(LevelPattern(80), 1);
    EXPECT_EQ(LevelPattern(88), 2);
    const image::Surface cell = fillPixels(80).second;
    EXPECT_EQ(cell.Pixel(0, 0), palette.text); // the rim
    EXPECT_EQ(cell.Pixel(5, 8), palette.window); // a stripe's gap (x % 3 == 2)
}

TEST(UsageDrawing, OnATwoCpuMachineTheOtherColumnsStayUnlitAndTheirMetersBlankAndGrey)
{
    test::FakeForm f(2);
    f.counters.SetUsage(0, 80);
    f.counters.SetUsage(1, 80);
    f.Start();
    f.Run(1000);
    ui::MainControls& c = f.Controls();
    EXPECT_EQ(LitRows(c.VertGraph0.Picture(), 2), 0);
    EXPECT_EQ(LitRows(c.VertGraph0.Picture(), 3), 0);
    EXPECT_EQ(c.Meter[2].Picture(), DrawBlankMeter());
    EXPECT_FALSE(c.Meter[2].Enabled() || c.Meter[3].Enabled() || c.AvgUse[3].Enabled());
    EXPECT_TRUE(c.Meter[1].Enabled());
    EXPECT_FALSE(c.LblCore2.Enabled() || c.LblCore3A.Enabled());
    EXPECT_EQ(c.AvgUse[2].Caption(), "0");

    test::FakeForm four(4);
    four.Start();
    EXPECT_TRUE(four.Controls().LblCore3.Enabled() && four.Controls().LblCore2A.Enabled());
}

} // namespace
} // namespace korvane::cpuusage
