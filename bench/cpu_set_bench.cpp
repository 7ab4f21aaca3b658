// CPU sets of a large machine: the text of a 1,024-CPU set and its parse, each against its goal
// of 2 microseconds, and reading the topology of a two-socket 256-CPU server with its presets
// (goal: under 5 ms, once per start). The sets are the worst cases for the text: every other CPU
// (no ranges) and runs of three (a range every fourth CPU).
#include "core/cpu_presets.h"
#include "core/cpu_set.h"
#include "platform/linux/linux_file_system.h"
#include "platform/linux/sysfs_topology.h"
#include "support/sysfs_tree.h"

#include <benchmark/benchmark.h>

namespace {

using korvane::core::CpuSet;

CpuSet Pattern(int step, int run)
{
    CpuSet set;
    for (int cpu = 0; cpu < 1024; cpu += step) {
        for (int i = 0; i < run && cpu + i < 1024; ++i)
            set.Add(cpu + i);
    }
    return set;
}

void TextOf1024(benchmark::State& state)
{
    const CpuSet set = Pattern(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state)
        benchmark::DoNotOptimize(korvane::core::CpuSetText(set));
    state.SetLabel("goal: under 2 us");
}
BENCHMARK(TextOf1024)->Args({2, 1})->Args({4, 3})->Args({1024, 1024})->Unit(benchmark::kMicrosecond);

void ParseOf1024(benchmark::State& state)
{
    const std::string text =
        korvane::core::CpuSetText(Pattern(static_cast<int>(state.range(0)), static_cast<int>(state.range(1))));
    for (auto _ : state)
        benchmark::DoNotOptimize(korvane::core::CpuSetOfText(text));
    state.SetLabel("goal: under 2 us");
}
BENCHMARK(ParseOf1024)->Args({2, 1})->Args({4, 3})->Args({1024, 1024})->Unit(benchmark::kMicrosecond);

void TopologyOf256(benchmark::State& state)
{
    korvane::test::SysfsTree tree;
    tree.Cpus(
        256,
        [](int n) {
            const int first = n % 128;
            const int package = first / 64;
            return korvane::test::SysfsCpu{package, first % 64,
                                           std::to_string(first) + "," + std::to_string(first + 128),
                                           package == 0 ? "0-63,128-191" : "64-127,192-255", "262144K"};
        },
        "", "");
    tree.Node(0, "0-63,128-191");
    tree.Node(1, "64-127,192-255");
    korvane::platform::linuxos::LinuxFileSystem files;
    korvane::platform::linuxos::SysfsTopology source(files, tree.Root());
    for (auto _ : state)
        benchmark::DoNotOptimize(korvane::core::CpuPresets(source.ReadTopology()));
    state.SetLabel("goal: under 5 ms");
}
BENCHMARK(TopologyOf256)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
