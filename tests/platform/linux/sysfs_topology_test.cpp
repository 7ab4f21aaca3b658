#include "platform/linux/sysfs_topology.h"

#include "core/cpu_presets.h"
#include "platform/linux/linux_file_system.h"
#include "support/sysfs_tree.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace korvane::platform::linuxos {
namespace {

using test::SysfsCpu;

std::string Pair(int a, int b)
{
    return std::to_string(a) + "," + std::to_string(b);
}

// Each preset as "name: text", in the order offered.
std::vector<std::string> Presets(const std::string& root)
{
    LinuxFileSystem files;
    SysfsTopology source(files, root);
    std::vector<std::string> shown;
    for (const core::CpuPreset& preset : core::CpuPresets(source.ReadTopology()))
        shown.push_back(preset.name + ": " + core::CpuSetText(preset.cpus));
    return shown;
}

TEST(SysfsCpuList, ReadsRangesAndRefusesWhatIsNotAList)
{
    EXPECT_EQ(ParseSysfsCpuList("0-3,8,10-11\n"), (std::vector<int>{0, 1, 2, 3, 8, 10, 11}));
    EXPECT_EQ(ParseSysfsCpuList("5"), std::vector<int>{5});
    for (const char* bad : {"", "\n", "3-1", "a", "0,,1", "1-"})
        EXPECT_TRUE(ParseSysfsCpuList(bad).empty()) << bad;
}

TEST(SysfsTopology, ThisTwoCpuVirtualMachineAsCaptured)
{
    LinuxFileSystem files;
    SysfsTopology source(files, std::string(KORVANE_TEST_DATA) + "/cpu-trees/vm2");
    const CpuTopology topology = source.ReadTopology();
    ASSERT_EQ(topology.cpus.size(), 2U);
    EXPECT_EQ(topology.cpus[1].core, 1);
    EXPECT_EQ(topology.cpus[1].thread, 0);
    EXPECT_EQ(topology.cpus[0].cacheGroup, 0);
    EXPECT_EQ(topology.cpus[1].cacheGroup, 0);
    EXPECT_EQ(topology.cpus[0].cacheBytes, 491520LL * 1024);
    EXPECT_EQ(topology.cpus[1].node, 0);
    EXPECT_EQ(topology.cpus[1].kind, CpuKind::Unknown);
    EXPECT_TRUE(topology.unknown.empty());
    EXPECT_EQ(Presets(std::string(KORVANE_TEST_DATA) + "/cpu-trees/vm2"),
              (std::vector<std::string>{"All CPUs: 01", "All but CPU 0: 1"}));
}

TEST(SysfsTopology, DesktopWithTwoThreadsPerCoreOffersOneThreadPerCore)
{
    test::SysfsTree tree; // 8 cores, 16 threads: the siblings of CPU n are n and n + 8
    tree.Cpus(16, [](int n) { return SysfsCpu{0, n % 8, Pair(n % 8, n % 8 + 8), "0-15", "32768K"}; }, "", "");
    tree.Node(0, "0-15");
    EXPECT_EQ(Presets(tree.Root()),
              (std::vector<std::string>{"All CPUs: 0-15", "All but CPU 0: 1-15", "One thread per core: 0-7"}));
}

TEST(SysfsTopology, IntelHybridTellsPerformanceFromEfficiencyCores)
{
    test::SysfsTree tree; // 8 performance cores with two threads (CPUs 0-15), 8 efficiency cores
    tree.Cpus(
        24,
        [](int n) {
            return n < 16 ? SysfsCpu{0, n / 2 * 4, Pair(n / 2 * 2, n / 2 * 2 + 1), "0-23", "36864K"}
                          : SysfsCpu{0, 32 + n, std::to_string(n), "0-23", "36864K"};
        },
        "", "");
    tree.Write("/sys/devices/cpu_core/cpus", "0-15");
    tree.Write("/sys/devices/cpu_atom/cpus", "16-23");
    tree.Node(0, "0-23");
    EXPECT_EQ(Presets(tree.Root()),
              (std::vector<std::string>{"All CPUs: 0-23", "All but CPU 0: 1-23",
                                        "One thread per core: 0,2,4,6,8,10,12,14,16-23", "Performance cores: 0-15",
                                        "Efficiency cores: 16-23"}));
}

TEST(SysfsTopology, TwoCacheDiesOfDifferentSizeAreTwoPresets)
{
    test::SysfsTree tree; // 16 cores, siblings n and n + 16; cores 0-7 on the 96 MB die
    tree.Cpus(
        32,
        [](int n) {
            const int core = n % 16;
            return core < 8 ? SysfsCpu{0, core, Pair(core, core + 16), "0-7,16-23", "98304K"}
                            : SysfsCpu{0, core, Pair(core, core + 16), "8-15,24-31", "32768K"};
        },
        "", "");
    tree.Node(0, "0-31");
    EXPECT_EQ(Presets(tree.Root()),
              (std::vector<std::string>{"All CPUs: 0-31", "All but CPU 0: 1-31", "One thread per core: 0-15",
                                        "Cache group 1 (96 MB): 0-7,16-23", "Cache group 2 (32 MB): 8-15,24-31"}));
}

TEST(SysfsTopology, TwoSocketServerWith256CpusAndTwoNumaNodes)
{
    test::SysfsTree tree; // 2 x 64 cores x 2 threads; the second threads are CPUs 128-255
    tree.Cpus(
        256,
        [](int n) {
            const int first = n % 128;
            const int package = first / 64;
            return SysfsCpu{package, first % 64, Pair(first, first + 128),
                            package == 0 ? "0-63,128-191" : "64-127,192-255", "262144K"};
        },
        "", "");
    tree.Node(0, "0-63,128-191");
    tree.Node(1, "64-127,192-255");
    EXPECT_EQ(Presets(tree.Root()),
              (std::vector<std::string>{"All CPUs: 0-255", "All but CPU 0: 1-255", "One thread per core: 0-127",
                                        "Cache group 1 (256 MB): 0-63,128-191", "Cache group 2 (256 MB): 64-127,192-255",
                                        "NUMA node 0: 0-63,128-191", "NUMA node 1: 64-127,192-255"}));
}

TEST(SysfsTopology, OfflineAndNotAllowedCpusAreMarkedAndPresetsCoverTheOnlineOnes)
{
    test::SysfsTree laptop; // 4 cores, 8 threads (siblings n and n + 4), CPUs 6 and 7 offline
    laptop.Cpus(8, [](int n) { return SysfsCpu{0, n % 4, Pair(n % 4, n % 4 + 4), "0-7", "8192K"}; }, "0-5", "2-5");
    LinuxFileSystem files;
    const CpuTopology topology = SysfsTopology(files, laptop.Root()).ReadTopology();
    ASSERT_EQ(topology.cpus.size(), 8U);
    EXPECT_FALSE(topology.cpus[6].online);
    EXPECT_TRUE(topology.cpus[5].online);
    EXPECT_FALSE(topology.cpus[1].allowed);
    EXPECT_TRUE(topology.cpus[2].allowed);
    EXPECT_EQ(topology.cpus[5].thread, 1);
    EXPECT_EQ(topology.unknown, std::vector<std::string>{"NUMA nodes"});
    // The cgroup allows CPUs 2-5: every preset is cut to them, and those that add nothing go.
    EXPECT_EQ(Presets(laptop.Root()), (std::vector<std::string>{"All CPUs: 2-5"}));
}

TEST(SysfsTopology, AMachineThatTellsLittleGetsFewerPresetsAndSaysWhatIsUnknown)
{
    test::SysfsTree tree;
    tree.Write("/sys/devices/system/cpu/online", "0-5");
    LinuxFileSystem files;
    const CpuTopology topology = SysfsTopology(files, tree.Root()).ReadTopology();
    EXPECT_EQ(topology.cpus.size(), 6U);
    EXPECT_EQ(topology.unknown, (std::vector<std::string>{"cores and threads", "cache groups", "NUMA nodes"}));
    EXPECT_EQ(Presets(tree.Root()), (std::vector<std::string>{"All CPUs: 0-5", "All but CPU 0: 1-5"}));

    // Cores of two capacities (ARM big.LITTLE) are told apart without the hybrid PMUs.
    for (int n = 0; n < 6; ++n)
        tree.Write("/sys/devices/system/cpu/cpu" + std::to_string(n) + "/cpu_capacity", n < 2 ? "1024" : "446");
    EXPECT_EQ(Presets(tree.Root()),
              (std::vector<std::string>{"All CPUs: 0-5", "All but CPU 0: 1-5", "Performance cores: 01",
                                        "Efficiency cores: 2-5"}));
    EXPECT_TRUE(SysfsTopology(files, tree.Root() + "/nothing").ReadTopology().cpus.empty());
}

TEST(SysfsTopology, CoresAreTheirThreadListsWhereCoreIdsRepeatPerCluster)
{
    test::SysfsTree tree; // RK3588: four small cores, then two clusters of two big ones; ids restart
    tree.Cpus(
        8, [](int n) { return SysfsCpu{0, n < 4 ? n : (n - 4) % 2, std::to_string(n), "0-7", "3072K"}; }, "", "");
    for (int n = 0; n < 8; ++n)
        tree.Write("/sys/devices/system/cpu/cpu" + std::to_string(n) + "/cpu_capacity", n < 4 ? "414" : "1024");
    LinuxFileSystem files;
    const CpuTopology topology = SysfsTopology(files, tree.Root()).ReadTopology();
    for (int n = 0; n < 8; ++n) {
        EXPECT_EQ(topology.cpus[static_cast<std::size_t>(n)].core, n);
        EXPECT_EQ(topology.cpus[static_cast<std::size_t>(n)].thread, 0);
    }
    // Every CPU is a core of its own, so "One thread per core" would be all of them.
    EXPECT_EQ(Presets(tree.Root()), (std::vector<std::string>{"All CPUs: 0-7", "All but CPU 0: 1-7",
                                                              "Performance cores: 4-7", "Efficiency cores: 0123"}));
}

TEST(SysfsTopology, LowPowerCoresWithoutAnL3AreAGroupOfTheirHighestCacheAndAThirdPmuIsEfficiency)
{
    test::SysfsTree tree; // six performance cores under an L3; 8 efficiency cores, then 2 low-power ones
    tree.Cpus(
        16, [](int n) { return SysfsCpu{0, n, std::to_string(n), n < 14 ? "0-13" : "", "24576K"}; }, "", "");
    for (int n = 0; n < 16; ++n) {
        const std::string cache = "/sys/devices/system/cpu/cpu" + std::to_string(n) + "/cache/";
        tree.Write(cache + "index0/level", "1");
        tree.Write(cache + "index0/type", "Instruction");
        tree.Write(cache + "index0/shared_cpu_list", std::to_string(n));
        tree.Write(cache + "index2/level", "2");
        tree.Write(cache + "index2/type", "Unified");
        tree.Write(cache + "index2/shared_cpu_list", n < 6 ? std::to_string(n) : n < 10 ? "6-9" : n < 14 ? "10-13" : "14,15");
        if (n >= 14)
            tree.Write(cache + "index2/size", "2048K");
    }
    tree.Write("/sys/devices/cpu_core/cpus", "0-5");
    tree.Write("/sys/devices/cpu_atom/cpus", "6-13");
    tree.Write("/sys/devices/cpu_lowpower/cpus", "14-15");
    LinuxFileSystem files;
    const CpuTopology topology = SysfsTopology(files, tree.Root()).ReadTopology();
    EXPECT_EQ(topology.cpus[15].kind, CpuKind::Efficiency);
    EXPECT_EQ(topology.cpus[15].cacheGroup, 1);
    EXPECT_EQ(topology.cpus[15].cacheBytes, 2048 * 1024);
    EXPECT_EQ(Presets(tree.Root()),
              (std::vector<std::string>{"All CPUs: 0-15", "All but CPU 0: 1-15", "Performance cores: 0-5",
                                        "Efficiency cores: 6-15", "Cache group 1 (24 MB): 0-13",
                                        "Cache group 2 (2 MB): 14,15"}));

    // A group without a size is still offered, and says so.
    for (const int n : {14, 15})
        std::filesystem::remove(tree.Root() + "/sys/devices/system/cpu/cpu" + std::to_string(n) + "/cache/index2/size");
    EXPECT_EQ(Presets(tree.Root()).back(), "Cache group 2 (size unknown): 14,15");
}

TEST(SysfsTopology, NumaNodesWhoseIdsSkipAreAllFound)
{
    test::SysfsTree tree;
    tree.Cpus(8, [](int n) { return SysfsCpu{n / 4, n, std::to_string(n), n < 4 ? "0-3" : "4-7", "16384K"}; }, "", "");
    tree.Write("/sys/devices/system/node/online", "0,8");
    tree.Node(0, "0-3");
    tree.Node(8, "4-7");
    const auto presets = Presets(tree.Root());
    EXPECT_EQ(std::vector<std::string>(presets.end() - 2, presets.end()),
              (std::vector<std::string>{"NUMA node 0: 0123", "NUMA node 8: 4-7"}));
}

TEST(SysfsTopology, AllowedIsWhatTheCgroupAllowsNeverKorvanesOwnAffinityAndIsolatedCpusStayOutOfAll)
{
    test::SysfsTree tree; // 8 cores of two threads (siblings n and n + 8)
    tree.Cpus(16, [](int n) { return SysfsCpu{0, n % 8, Pair(n % 8, n % 8 + 8), "0-15", "32768K"}; }, "", "");
    // Started under "taskset -c 1": its own affinity narrows nothing.
    tree.Write("/proc/self/status", "Name:\tkorvane\nCpus_allowed_list:\t1\n");
    // cgroup v1, the cpuset file on a parent of the program's own cgroup.
    tree.Write("/proc/self/cgroup", "4:memory:/user\n3:cpu,cpuset:/machine/container/inner\n");
    tree.Write("/sys/fs/cgroup/cpuset/machine/container/cpuset.effective_cpus", "4-7,12-15");
    tree.Write("/sys/devices/system/cpu/isolated", "7,15");
    LinuxFileSystem files;
    const CpuTopology topology = SysfsTopology(files, tree.Root()).ReadTopology();
    EXPECT_TRUE(topology.cpus[1].online);
    EXPECT_FALSE(topology.cpus[1].allowed);
    EXPECT_TRUE(topology.cpus[15].allowed);
    EXPECT_TRUE(topology.cpus[15].isolated);
    EXPECT_EQ(Presets(tree.Root()),
              (std::vector<std::string>{"All CPUs: 4-6,12-14", "One thread per core: 4-7"}));

    // Without any cgroup that tells, every online CPU may be set.
    tree.Write("/proc/self/cgroup", "0::/\n");
    EXPECT_EQ(Presets(tree.Root()).front(), "All CPUs: 0-6,8-14");
}

} // namespace
} // namespace korvane::platform::linuxos
