#include "platform/win32/win32_topology.h"

#include "core/cpu_presets.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

namespace korvane::platform::win32 {
namespace {

// A GetLogicalProcessorInformationEx buffer written entry by entry, as Windows lays it out.
class InformationBuffer {
public:
    void Groups(const std::vector<std::pair<int, std::uint64_t>>& maxAndActive)
    {
        std::vector<std::uint8_t> body(offsetof(GROUP_RELATIONSHIP, GroupInfo) +
                                       maxAndActive.size() * sizeof(PROCESSOR_GROUP_INFO));
        const WORD count = static_cast<WORD>(maxAndActive.size());
        std::memcpy(body.data() + offsetof(GROUP_RELATIONSHIP, MaximumGroupCount), &count, sizeof count);
        std::memcpy(body.data() + offsetof(GROUP_RELATIONSHIP, ActiveGroupCount), &count, sizeof count);
        for (std::size_t g = 0; g < maxAndActive.size(); ++g) {
            PROCESSOR_GROUP_INFO info{};
            info.MaximumProcessorCount = static_cast<BYTE>(maxAndActive[g].first);
            info.ActiveProcessorCount = static_cast<BYTE>(maxAndActive[g].first);
            info.ActiveProcessorMask = static_cast<KAFFINITY>(maxAndActive[g].second);
            std::memcpy(body.data() + offsetof(GROUP_RELATIONSHIP, GroupInfo) + g * sizeof info, &info, sizeof info);
        }
        Append(RelationGroup, body);
    }
    // A package or a core: its CPUs in one group; efficiency is the core's class.
    void Processor(LOGICAL_PROCESSOR_RELATIONSHIP relationship, WORD group, std::uint64_t mask, BYTE efficiency = 0)
    {
        std::vector<std::uint8_t> body(offsetof(PROCESSOR_RELATIONSHIP, GroupMask) + sizeof(GROUP_AFFINITY));
        PROCESSOR_RELATIONSHIP head{};
        head.Reserved[0] = efficiency;
        head.GroupCount = 1;
        std::memcpy(body.data(), &head, offsetof(PROCESSOR_RELATIONSHIP, GroupMask));
        GROUP_AFFINITY affinity{};
        affinity.Group = group;
        affinity.Mask = static_cast<KAFFINITY>(mask);
        std::memcpy(body.data() + offsetof(PROCESSOR_RELATIONSHIP, GroupMask), &affinity, sizeof affinity);
        Append(relationship, body);
    }
    void Cache(BYTE level, DWORD bytes, WORD group, std::uint64_t mask, PROCESSOR_CACHE_TYPE type = CacheUnified)
    {
        CACHE_RELATIONSHIP cache{};
        cache.Level = level;
        cache.Type = type;
        cache.CacheSize = bytes;
        cache.GroupMask.Group = group;
        cache.GroupMask.Mask = static_cast<KAFFINITY>(mask);
        Append(RelationCache, Bytes(cache));
    }
    void Node(DWORD number, WORD group, std::uint64_t mask)
    {
        NUMA_NODE_RELATIONSHIP node{};
        node.NodeNumber = number;
        node.GroupMask.Group = group;
        node.GroupMask.Mask = static_cast<KAFFINITY>(mask);
        Append(RelationNumaNode, Bytes(node));
    }
    std::vector<std::uint8_t> data;

private:
    template <typename T>
    static std::vector<std::uint8_t> Bytes(const T& value)
    {
        std::vector<std::uint8_t> bytes(sizeof value);
        std::memcpy(bytes.data(), &value, sizeof value);
        return bytes;
    }
    void Append(LOGICAL_PROCESSOR_RELATIONSHIP relationship, const std::vector<std::uint8_t>& body)
    {
        const std::size_t header = offsetof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX, Size) + sizeof(DWORD);
        const std::size_t at = data.size();
        data.resize(at + header + body.size());
        const DWORD size = static_cast<DWORD>(header + body.size());
        std::memcpy(data.data() + at, &relationship, sizeof relationship);
        std::memcpy(data.data() + at + offsetof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX, Size), &size, sizeof size);
        std::memcpy(data.data() + at + header, body.data(), body.size());
    }
};

std::vector<std::string> Presets(const CpuTopology& topology)
{
    std::vector<std::string> shown;
    for (const core::CpuPreset& preset : core::CpuPresets(topology))
        shown.push_back(preset.name + ": " + core::CpuSetText(preset.cpus));
    return shown;
}

TEST(Win32Topology, HybridCoresAreToldApartByTheirEfficiencyClass)
{
    InformationBuffer buffer; // 8 performance cores of two threads (CPUs 0-15), 8 efficiency cores
    buffer.Groups({{24, 0xFFFFFF}});
    buffer.Processor(RelationProcessorPackage, 0, 0xFFFFFF);
    for (int core = 0; core < 8; ++core)
        buffer.Processor(RelationProcessorCore, 0, 3ULL << (2 * core), 1);
    for (int cpu = 16; cpu < 24; ++cpu)
        buffer.Processor(RelationProcessorCore, 0, 1ULL << cpu, 0);
    buffer.Cache(2, 2 << 20, 0, 3);
    buffer.Cache(3, 36 << 20, 0, 0xFFFFFF);
    buffer.Node(0, 0, 0xFFFFFF);
    const CpuTopology topology = ParseProcessorInformation(buffer.data);
    ASSERT_EQ(topology.cpus.size(), 24U);
    EXPECT_EQ(topology.cpus[3].core, 1);
    EXPECT_EQ(topology.cpus[3].thread, 1);
    EXPECT_EQ(topology.cpus[20].kind, CpuKind::Efficiency);
    EXPECT_EQ(topology.cpus[20].cacheBytes, 36 << 20);
    EXPECT_TRUE(topology.unknown.empty());
    EXPECT_EQ(Presets(topology),
              (std::vector<std::string>{"All CPUs: 0-23", "All but CPU 0: 1-23",
                                        "One thread per core: 0,2,4,6,8,10,12,14,16-23", "Performance cores: 0-15",
                                        "Efficiency cores: 16-23"}));
}

TEST(Win32Topology, ACpuWithoutAnL3IsInTheGroupOfItsHighestCache)
{
    InformationBuffer buffer; // 4 performance cores under an L3; 4 low-power cores with an L2 only
    buffer.Groups({{8, 0xFF}});
    buffer.Processor(RelationProcessorPackage, 0, 0xFF);
    for (int cpu = 0; cpu < 8; ++cpu) {
        buffer.Processor(RelationProcessorCore, 0, 1ULL << cpu, cpu < 4 ? 1 : 0);
        buffer.Cache(1, 64 << 10, 0, 1ULL << cpu, CacheInstruction);
        buffer.Cache(1, 48 << 10, 0, 1ULL << cpu, CacheData);
    }
    buffer.Cache(2, 2 << 20, 0, 0xF0);
    buffer.Cache(3, 12 << 20, 0, 0x0F);
    const CpuTopology topology = ParseProcessorInformation(buffer.data);
    EXPECT_EQ(topology.cpus[0].cacheGroup, 0);
    EXPECT_EQ(topology.cpus[5].cacheGroup, 1);
    EXPECT_EQ(topology.cpus[5].cacheBytes, 2 << 20);
    EXPECT_EQ(Presets(topology),
              (std::vector<std::string>{"All CPUs: 0-7", "All but CPU 0: 1-7", "Performance cores: 0123",
                                        "Efficiency cores: 4-7", "Cache group 1 (12 MB): 0123", "Cache group 2 (2 MB): 4-7"}));
}

TEST(Win32Topology, CpusAreNumberedAcrossProcessorGroups)
{
    InformationBuffer buffer; // two groups, one socket and NUMA node each; the second has 48 CPUs
    buffer.Groups({{64, ~0ULL}, {48, (1ULL << 48) - 1}});
    buffer.Processor(RelationProcessorPackage, 0, ~0ULL);
    buffer.Processor(RelationProcessorPackage, 1, (1ULL << 48) - 1);
    for (int core = 0; core < 32; ++core)
        buffer.Processor(RelationProcessorCore, 0, 3ULL << (2 * core));
    for (int core = 0; core < 24; ++core)
        buffer.Processor(RelationProcessorCore, 1, 3ULL << (2 * core));
    buffer.Cache(3, 32 << 20, 1, (1ULL << 48) - 1);
    buffer.Cache(3, 32 << 20, 0, ~0ULL);
    buffer.Node(0, 0, ~0ULL);
    buffer.Node(1, 1, (1ULL << 48) - 1);
    const CpuTopology topology = ParseProcessorInformation(buffer.data);
    ASSERT_EQ(topology.cpus.size(), 112U);
    EXPECT_EQ(topology.cpus[64].package, 1);
    EXPECT_EQ(topology.cpus[64].node, 1);
    EXPECT_EQ(topology.cpus[65].thread, 1);
    EXPECT_EQ(topology.cpus[0].cacheGroup, 0); // numbered by first CPU, not by order in the buffer
    EXPECT_EQ(topology.cpus[111].cacheGroup, 1);
    const auto presets = core::CpuPresets(topology);
    ASSERT_EQ(presets.size(), 7U);
    EXPECT_EQ(core::CpuSetText(presets[0].cpus), "0-111");
    EXPECT_EQ(presets[2].cpus.Count(), 56);
    EXPECT_EQ(presets[3].name, "Cache group 1 (32 MB)");
    EXPECT_EQ(core::CpuSetText(presets[4].cpus), "64-111");
    EXPECT_EQ(presets[6].name, "NUMA node 1");
}

TEST(Win32Topology, ADamagedBufferGivesWhatItHoldsAndThisMachineHasItsCpus)
{
    InformationBuffer buffer;
    buffer.Groups({{4, 0b0111}});
    buffer.data.resize(buffer.data.size() + 3, 0xFF); // a cut entry after the first
    const CpuTopology cut = ParseProcessorInformation(buffer.data);
    ASSERT_EQ(cut.cpus.size(), 3U); // the inactive fourth takes no number
    EXPECT_EQ(cut.unknown, (std::vector<std::string>{"cores and threads", "cache groups", "NUMA nodes"}));
    EXPECT_TRUE(ParseProcessorInformation({}).cpus.empty());

    const CpuTopology machine = Win32Topology().ReadTopology();
    ASSERT_FALSE(machine.cpus.empty());
    EXPECT_TRUE(machine.cpus[0].online);
    EXPECT_TRUE(machine.cpus[0].allowed);
    EXPECT_EQ(core::CpuPresets(machine).front().name, "All CPUs");
}

} // namespace
} // namespace korvane::platform::win32
