#include "core/cpu_groups.h"
#include "support/cpu_machines.h"

#include <gtest/gtest.h>

namespace korvane::core {
namespace {

std::vector<std::vector<int>> CoresOf(const CpuGroup& group)
{
    std::vector<std::vector<int>> cores;
    for (const CpuCore& core : group.cores)
        cores.push_back(core.threads);
    return cores;
}

TEST(CpuGroups, ADieOfCoresWithTheirThreadsAndOfflineCpusLeftOut)
{
    platform::CpuTopology topology = test::TwoDieMachine32();
    topology.cpus[17].online = false;
    const auto groups = GroupCpus(topology);
    ASSERT_EQ(groups.size(), 2U);
    EXPECT_EQ(groups[0].name, "Cache group 1 (96 MB)");
    EXPECT_EQ(groups[1].name, "Cache group 2 (32 MB)");
    ASSERT_EQ(groups[0].cores.size(), 8U);
    EXPECT_EQ(CoresOf(groups[0])[0], (std::vector<int>{0, 16}));
    EXPECT_EQ(CoresOf(groups[0])[1], (std::vector<int>{1}));
    EXPECT_EQ(CoresOf(groups[1])[7], (std::vector<int>{15, 31}));
    EXPECT_EQ(CpusInGroupOrder(groups).size(), 31U);
}

TEST(CpuGroups, WhatIsNotKnownMakesOneGroupOfOneCoreACpu)
{
    const auto groups = GroupCpus(test::MakeTopology(6, [](platform::LogicalCpu& cpu) { cpu.core = -1; }));
    ASSERT_EQ(groups.size(), 1U);
    EXPECT_EQ(groups[0].name, "CPUs");
    EXPECT_EQ(groups[0].cores.size(), 6U);
    EXPECT_EQ(CpusInGroupOrder(groups), (std::vector<int>{0, 1, 2, 3, 4, 5}));

    // Two packages and two kinds are named; a lone package is not.
    const auto server = GroupCpus(test::ServerMachine256());
    EXPECT_EQ(server.front().name, "Package 0, cache group 1 (32 MB)");
    const auto hybrid = GroupCpus(test::HybridMachine(4, 8));
    EXPECT_EQ(hybrid.back().name, "Efficiency cores, cache group 1 (30 MB)");
    EXPECT_EQ(hybrid.back().kind, platform::CpuKind::Efficiency);
}

} // namespace
} // namespace korvane::core
