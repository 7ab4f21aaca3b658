#include "core/cpu_presets.h"

#include <gtest/gtest.h>

namespace korvane::core {
namespace {

platform::LogicalCpu Cpu(int number, bool online = true)
{
    platform::LogicalCpu cpu;
    cpu.number = number;
    cpu.online = online;
    return cpu;
}

TEST(CpuPresets, PresetsThatAddNothingAreLeftOut)
{
    platform::CpuTopology topology;
    EXPECT_TRUE(CpuPresets(topology).empty());

    // One CPU: every preset would be empty or all of them.
    topology.cpus = {Cpu(0)};
    topology.cpus[0].core = 0;
    topology.cpus[0].kind = platform::CpuKind::Performance;
    ASSERT_EQ(CpuPresets(topology).size(), 1U);
    EXPECT_EQ(CpuPresets(topology)[0].name, "All CPUs");

    // An offline CPU 0: "All but CPU 0" is all of them; kinds of one sort are no preset.
    topology.cpus = {Cpu(0, false), Cpu(1), Cpu(2)};
    for (auto& cpu : topology.cpus) {
        cpu.kind = platform::CpuKind::Efficiency;
        cpu.cacheGroup = 0;
        cpu.cacheBytes = 512 * 1024;
    }
    const auto presets = CpuPresets(topology);
    ASSERT_EQ(presets.size(), 1U);
    EXPECT_EQ(CpuSetText(presets[0].cpus), "12");
}

TEST(CpuPresets, CacheSizesAsPeopleWriteThem)
{
    EXPECT_EQ(CacheSizeText(96LL * 1024 * 1024), "96 MB");
    EXPECT_EQ(CacheSizeText(512 * 1024), "512 KB");
    EXPECT_EQ(CacheSizeText(1536 * 1024), "1536 KB");
}

} // namespace
} // namespace korvane::core
