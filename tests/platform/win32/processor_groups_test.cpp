// Processor groups as pure functions over machines that only real hardware has: several groups,
// hot-add gaps, Windows 10 and 11 rules, CPU sets.
#include "platform/win32/processor_groups.h"

#include <gtest/gtest.h>

#include <cstring>

namespace korvane::platform::win32 {
namespace {

constexpr std::uint64_t kLow48 = (std::uint64_t{1} << 48) - 1;
constexpr std::uint64_t kAll64 = ~std::uint64_t{0};

// CPUs first to last, inclusive, as words.
CpuWords Range(int first, int last)
{
    CpuWords words(static_cast<std::size_t>(last / 64) + 1, 0);
    for (int cpu = first; cpu <= last; ++cpu)
        words[static_cast<std::size_t>(cpu / 64)] |= std::uint64_t{1} << (cpu % 64);
    return words;
}

CpuWords Joined(std::initializer_list<CpuWords> sets)
{
    CpuWords all;
    for (const CpuWords& set : sets) {
        all.resize(std::max(all.size(), set.size()), 0);
        for (std::size_t i = 0; i < set.size(); ++i)
            all[i] |= set[i];
    }
    return all;
}

TEST(GroupNumbering, CpusAreCountedByActiveProcessorAcrossGroups)
{
    // Two groups of 48 (96 CPUs): CPU 48 is group 1's first.
    const GroupNumbering two({kLow48, kLow48});
    EXPECT_EQ(two.CpuCount(), 96);
    EXPECT_EQ(two.CpuOf(1, 0), 48);
    EXPECT_EQ(two.PlaceOf(95), (std::make_pair(std::uint16_t{1}, 47)));
    EXPECT_EQ(two.PlaceOf(96), std::nullopt);
    std::vector<GroupMask> groups;
    ASSERT_TRUE(two.Split(Joined({Range(0, 3), Range(50, 50)}), &groups));
    EXPECT_EQ(groups, (std::vector<GroupMask>{{0, 0b1111}, {1, 0b100}}));
    EXPECT_EQ(two.Join(groups), Joined({Range(0, 3), Range(50, 50)}));
    EXPECT_EQ(two.All(), Range(0, 95));
    EXPECT_EQ(two.Split(Range(96, 96), &groups), false);
    EXPECT_TRUE(groups.empty());

    // A VM made for hot-add: 64 slots a group, 8 and then 4 active, not at the low bits. Numbers
    // have no gaps, and a group's CPUs are its active mask's.
    const GroupNumbering sparse({0xFF00, 0b1111'0000'0000'0000'0000});
    EXPECT_EQ(sparse.CpuCount(), 12);
    EXPECT_EQ(sparse.CpuOf(0, 8), 0);
    EXPECT_EQ(sparse.CpuOf(0, 0), std::nullopt);
    EXPECT_EQ(sparse.CpuOf(1, 16), 8);
    ASSERT_TRUE(sparse.Split(Range(7, 8), &groups));
    EXPECT_EQ(groups, (std::vector<GroupMask>{{0, 0x8000}, {1, 0x10000}}));
    // Inactive processors named by Windows (a stale mask) take no number.
    EXPECT_EQ(sparse.Join({{0, 0x1FF}, {5, 1}}), Range(0, 0));
    EXPECT_EQ(GroupNumbering().CpuCount(), 0);
}

TEST(GroupNumbering, AllowedIsEveryActiveCpuOrTheJobsLimitAndCountersAreByGroup)
{
    const GroupNumbering two({kLow48, kLow48});
    EXPECT_EQ(AllowedCpus(two, {}), Range(0, 95));
    EXPECT_EQ(AllowedCpus(two, {{1, 0xF}}), Range(48, 51));
    EXPECT_EQ(AllowedCpus(two, {{0, 0}}), Range(0, 95)); // a job naming nothing limits nothing
    EXPECT_EQ(GroupCounterPath(two, 0), "\\Processor Information(0,0)\\% Processor Time");
    EXPECT_EQ(GroupCounterPath(two, 70), "\\Processor Information(1,22)\\% Processor Time");
    EXPECT_EQ(GroupCounterPath(two, 96), "");
    EXPECT_EQ(GroupCounterPath(GroupNumbering({0xF0}), 1), "\\Processor Information(0,5)\\% Processor Time");
}

TEST(ProcessPlacement, WhatARowShowsOnWindows10And11)
{
    const GroupNumbering two({kLow48, kLow48});
    // Windows 10: one group, its mask.
    EXPECT_EQ(EffectiveAffinity(two, {{1}, 0xF, {}}, false).cpus, Range(48, 51));
    EXPECT_EQ(EffectiveAffinity(two, {{0}, kLow48, {}}, false).cpus, Range(0, 47));
    // Windows 11: a process whose mask is its whole group may run on every group; a narrower
    // mask is a real limit.
    EXPECT_EQ(EffectiveAffinity(two, {{0}, kLow48, {}}, true).cpus, Range(0, 95));
    EXPECT_EQ(EffectiveAffinity(two, {{0}, 0b110, {}}, true).cpus, Range(1, 2));
    // Threads in both groups: no mask is given. Windows 11 spans all; Windows 10 the groups it has.
    EXPECT_EQ(EffectiveAffinity(two, {{0, 1}, 0, {}}, true).cpus, Range(0, 95));
    EXPECT_EQ(EffectiveAffinity(GroupNumbering({kLow48, kLow48, 0xF}), {{0, 2}, 0, {}}, false).cpus,
              Joined({Range(0, 47), Range(96, 99)}));
    // On one group the Windows 11 rule changes nothing.
    EXPECT_EQ(EffectiveAffinity(GroupNumbering({0xFF}), {{0}, 0xFF, {}}, true).cpus, Range(0, 7));
}

TEST(ProcessPlacement, CpuSetsShowWithinTheMaskAndSayTheyArePreferred)
{
    const GroupNumbering two({kLow48, kLow48});
    // CPU sets {0-3, 50} on a process that may run anywhere: shown, and preferred only.
    PlacedCpus placed = EffectiveAffinity(two, {{0}, kLow48, {{0, 0xF}, {1, 0b100}}}, true);
    EXPECT_EQ(placed.cpus, Joined({Range(0, 3), Range(50, 50)}));
    EXPECT_TRUE(placed.preferred);
    // Within a narrower hard mask 0-7 the process runs on 0-3 of the sets.
    placed = EffectiveAffinity(two, {{0}, 0xFF, {{0, 0xF}, {1, 0b100}}}, true);
    EXPECT_EQ(placed.cpus, Range(0, 3));
    EXPECT_TRUE(placed.preferred);
    // Sets outside the mask are ignored by the scheduler: the mask holds, hard.
    placed = EffectiveAffinity(two, {{0}, 0xFF, {{1, 0b100}}}, true);
    EXPECT_EQ(placed.cpus, Range(0, 7));
    EXPECT_FALSE(placed.preferred);
    // Sets equal to the mask are no preference.
    placed = EffectiveAffinity(two, {{1}, 0xF, {{1, 0xF}}}, false);
    EXPECT_EQ(placed.cpus, Range(48, 51));
    EXPECT_FALSE(placed.preferred);
}

TEST(AffinityPlan, AHardSetClearsCpuSetsAndASoftSetWidensTheMaskFirst)
{
    const GroupNumbering two({kLow48, kLow48});
    const ProcessPlacement withSets{{0}, kLow48, {{0, 0xF}, {1, 0b100}}};
    // {0-7} after CPU sets {0-3,50}: the sets go first, or the process keeps running on 0-3.
    AffinityPlan plan = PlanAffinity(two, withSets, {{0, 0xFF}}, true);
    EXPECT_FALSE(plan.refused);
    EXPECT_TRUE(plan.clearCpuSets);
    EXPECT_EQ(plan.hardMask, 0xFFU);
    EXPECT_TRUE(plan.cpuSets.empty());
    // And that made, a set across groups widens the mask 0-7 to the whole group, then sets.
    plan = PlanAffinity(two, {{0}, 0xFF, {}}, {{0, 0xF}, {1, 0b100}}, true);
    EXPECT_FALSE(plan.clearCpuSets);
    EXPECT_EQ(plan.hardMask, kLow48);
    EXPECT_EQ(plan.cpuSets, (std::vector<GroupMask>{{0, 0xF}, {1, 0b100}}));
    // A process already free in its group keeps its mask.
    plan = PlanAffinity(two, {{0}, kLow48, {}}, {{1, 0xF}}, true);
    EXPECT_EQ(plan.hardMask, std::nullopt);
    EXPECT_EQ(plan.cpuSets, (std::vector<GroupMask>{{1, 0xF}}));
    // Windows 11, threads in both groups (SetProcessAffinityMask would fail): CPU sets even for
    // one group.
    plan = PlanAffinity(two, {{0, 1}, 0, {}}, {{0, 0xF}}, true);
    EXPECT_EQ(plan.hardMask, std::nullopt);
    EXPECT_EQ(plan.cpuSets, (std::vector<GroupMask>{{0, 0xF}}));
}

TEST(AffinityPlan, Windows10MovesThreadsToAnotherGroupAndRefusesSetsAcrossGroups)
{
    const GroupNumbering two({kLow48, kLow48});
    AffinityPlan plan = PlanAffinity(two, {{0}, kLow48, {}}, {{1, 0xF0}}, false);
    EXPECT_FALSE(plan.refused);
    EXPECT_EQ(plan.moveThreads, (GroupMask{1, 0xF0}));
    EXPECT_EQ(plan.hardMask, std::nullopt);
    EXPECT_TRUE(plan.cpuSets.empty());
    plan = PlanAffinity(two, {{0}, kLow48, {}}, {{0, 1}, {1, 1}}, false);
    EXPECT_TRUE(plan.refused);
    // The process's own group: a mask, as always, with nothing to clear before it.
    plan = PlanAffinity(two, {{1}, kLow48, {}}, {{1, 1}}, false);
    EXPECT_EQ(plan.hardMask, 1U);
    EXPECT_FALSE(plan.clearCpuSets);
    EXPECT_EQ(plan.moveThreads, std::nullopt);
    EXPECT_TRUE(PlanAffinity(two, {{0}, kLow48, {}}, {}, false).refused);
}

TEST(CpuSetIds, AreReadFromTheSystemTableAndAnUnknownIdIsLeftOut)
{
    // Two entries as GetSystemCpuSetInformation lays them out (32 bytes each), then a cut one.
    std::vector<std::uint8_t> buffer;
    const auto entry = [&buffer](std::uint32_t id, std::uint16_t group, std::uint8_t index) {
        std::uint8_t bytes[32] = {};
        const std::uint32_t size = sizeof bytes;
        std::memcpy(bytes, &size, 4);
        std::memcpy(bytes + 8, &id, 4);
        std::memcpy(bytes + 12, &group, 2);
        bytes[14] = index;
        buffer.insert(buffer.end(), bytes, bytes + sizeof bytes);
    };
    entry(0x100, 0, 3);
    entry(0x140, 1, 2);
    buffer.resize(buffer.size() + 10, 0x40);
    const std::vector<CpuSetEntry> entries = ParseCpuSetInformation(buffer);
    ASSERT_EQ(entries.size(), 2U);
    EXPECT_EQ(entries[1].group, 1);
    EXPECT_EQ(MasksOfCpuSetIds({0x140, 0x100, 0x999}, entries), (std::vector<GroupMask>{{0, 0b1000}, {1, 0b100}}));
    EXPECT_TRUE(ParseCpuSetInformation({}).empty());
}

} // namespace
} // namespace korvane::platform::win32
