#include "core/cpu_groups.h"
#include "cpuusage/every_cpu_graph.h"
#include "support/cpu_machines.h"

#include <gtest/gtest.h>

#include <set>

namespace korvane::cpuusage {
namespace {

std::vector<std::vector<int>> GroupsOf(const platform::CpuTopology& topology)
{
    std::vector<std::vector<int>> groups;
    for (const core::CpuGroup& group : core::GroupCpus(topology))
        groups.push_back(core::CpusInGroupOrder({group}));
    return groups;
}

bool Overlap(const CpuPlace& a, const CpuPlace& b)
{
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

// Every CPU once, inside the picture, apart from every other, and found again under its place.
void ExpectSoundPlaces(const std::vector<CpuPlace>& places, int count, int width, int height)
{
    ASSERT_EQ(places.size(), static_cast<std::size_t>(count));
    std::set<int> cpus;
    for (std::size_t i = 0; i < places.size(); ++i) {
        const CpuPlace& p = places[i];
        cpus.insert(p.cpu);
        EXPECT_GE(p.x, 0);
        EXPECT_GE(p.y, 0);
        EXPECT_LE(p.x + p.width, width) << "CPU " << p.cpu;
        EXPECT_LE(p.y + p.height, height) << "CPU " << p.cpu;
        EXPECT_GE(p.width, 1);
        EXPECT_EQ(CpuAt(places, p.x, p.y), p.cpu);
        for (std::size_t j = i + 1; j < places.size(); ++j)
            EXPECT_FALSE(Overlap(p, places[j])) << "CPUs " << p.cpu << " and " << places[j].cpu;
    }
    EXPECT_EQ(cpus.size(), static_cast<std::size_t>(count));
}

TEST(EveryCpuGraph, BarsAndCellsFitWithoutOverlapFrom8To256Cpus)
{
    for (const auto& topology : {test::PlainMachine(8), test::HybridMachine(4, 8), test::TwoDieMachine32(),
                                 test::ServerMachine(1), test::ServerMachine256()}) {
        const int count = static_cast<int>(topology.cpus.size());
        SCOPED_TRACE(count);
        const auto groups = GroupsOf(topology);
        const auto bars = PlaceBars(groups, 252, 46);
        ExpectSoundPlaces(bars, count, 252, 46);
        // A bar at least 2 pixels wide up to 128 CPUs, and the bars spread over the width.
        if (count <= 128) {
            for (const CpuPlace& bar : bars)
                EXPECT_GE(bar.width, 2);
        }
        int right = 0;
        for (const CpuPlace& bar : bars)
            right = std::max(right, bar.x + bar.width);
        EXPECT_GE(right, 240);
        ExpectSoundPlaces(PlaceCells(groups, 252, 106), count, 252, 106);
    }
    EXPECT_EQ(CpuAt(PlaceBars({{0, 1}}, 252, 46), 251, 45), 1);
    EXPECT_EQ(CpuAt(PlaceBars({{0, 1}}, 252, 46), 300, 10), -1);
    EXPECT_TRUE(PlaceBars({}, 252, 46).empty());
    EXPECT_TRUE(PlaceCells({{0}}, 0, 46).empty());
}

TEST(EveryCpuGraph, GroupsAreApartAndBarsLightFromTheBottom)
{
    const auto bars = PlaceBars({{0, 1}, {2, 3}}, 40, 20);
    // The gap between the groups is wider than the one inside a group.
    EXPECT_GT(bars[2].x - (bars[1].x + bars[1].width), bars[1].x - (bars[0].x + bars[0].width));
    const image::Surface drawn = DrawCpuBars(bars, {100, 0, 50, 0}, 40, 20);
    EXPECT_EQ(drawn.Pixel(bars[0].x, 0), image::Rgb(0, 255, 0));
    EXPECT_EQ(drawn.Pixel(bars[1].x, 19), image::Rgb(0, 96, 0));
    EXPECT_EQ(drawn.Pixel(bars[2].x, 19), image::Rgb(0, 255, 0));
    EXPECT_EQ(drawn.Pixel(bars[2].x, 0), image::Rgb(0, 96, 0));
}

TEST(EveryCpuGraph, ACellIsFilledByItsValueInTheColourOfItsLevelWithItsNumberWhereItFits)
{
    const std::vector<CpuPlace> cells{{0, 0, 0, 40, 20}, {1, 40, 0, 40, 20}, {2, 80, 0, 6, 6}};
    const image::Surface drawn = DrawCpuCells(cells, {50, 95, 100}, 90, 20, image::kWhite);
    EXPECT_EQ(drawn.Pixel(2, 2), image::Rgb(90, 231, 90));     // 50 %: green, filled on the left
    EXPECT_EQ(drawn.Pixel(36, 2), image::Rgb(238, 238, 238));  // ... and light on the right
    EXPECT_EQ(drawn.Pixel(42, 2), image::Rgb(231, 90, 90));    // 95 %: red
    int ink = 0;
    for (int y = 1; y < 19; ++y) {
        for (int x = 1; x < 39; ++x)
            ink += drawn.Pixel(x, y) == image::Rgb(0, 0, 0) ? 1 : 0;
    }
    EXPECT_GT(ink, 20); // "50" drawn large
    for (int y = 0; y < 6; ++y) {
        for (int x = 80; x < 86; ++x)
            EXPECT_NE(drawn.Pixel(x, y), image::Rgb(0, 0, 0)); // no room for "100"
    }
    EXPECT_EQ(CellLook(50.04), CellLook(49.96));
    EXPECT_NE(CellLook(50.0), CellLook(50.2));
}

} // namespace
} // namespace korvane::cpuusage
