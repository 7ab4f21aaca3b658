#include "platform/win32/win32_topology.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <map>

namespace korvane::platform::win32 {

namespace {

// The entries of the buffer, each as a copy (the buffer's entries are not aligned for reading in
// place).
template <typename Visit>
void ForEachEntry(const std::vector<std::uint8_t>& buffer, Visit visit)
{
    std::size_t at = 0;
    const std::size_t header = offsetof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX, Size) + sizeof(DWORD);
    while (at + header <= buffer.size()) {
        LOGICAL_PROCESSOR_RELATIONSHIP relationship{};
        DWORD size = 0;
        std::memcpy(&relationship, buffer.data() + at, sizeof relationship);
        std::memcpy(&size, buffer.data() + at + offsetof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX, Size), sizeof size);
        if (size < header || at + size > buffer.size())
            return;
        visit(relationship, buffer.data() + at + header, static_cast<std::size_t>(size) - header);
        at += size;
    }
}

template <typename T>
bool ReadAt(const std::uint8_t* data, std::size_t size, std::size_t offset, T* value)
{
    if (offset + sizeof(T) > size)
        return false;
    std::memcpy(value, data + offset, sizeof(T));
    return true;
}

// The CPUs of group masks, numbered across groups.
std::vector<int> CpusOf(const std::uint8_t* masks, std::size_t size, std::size_t count,
                        const std::vector<int>& offsets)
{
    std::vector<int> cpus;
    for (std::size_t i = 0; i < count; ++i) {
        GROUP_AFFINITY affinity{};
        if (!ReadAt(masks, size, i * sizeof(GROUP_AFFINITY), &affinity) || affinity.Group >= offsets.size())
            break;
        for (int bit = 0; bit < 64; ++bit) {
            if ((static_cast<std::uint64_t>(affinity.Mask) >> bit) & 1U)
                cpus.push_back(offsets[affinity.Group] + bit);
        }
    }
    return cpus;
}

} // namespace

CpuTopology ParseProcessorInformation(const std::vector<std::uint8_t>& buffer)
{
    CpuTopology topology;
    std::vector<int> offsets;
    ForEachEntry(buffer, [&](LOGICAL_PROCESSOR_RELATIONSHIP relationship, const std::uint8_t* data, std::size_t size) {
        WORD groups = 0;
        if (relationship != RelationGroup || !ReadAt(data, size, offsetof(GROUP_RELATIONSHIP, ActiveGroupCount), &groups))
            return;
        for (WORD g = 0; g < groups; ++g) {
            PROCESSOR_GROUP_INFO info{};
            if (!ReadAt(data, size, offsetof(GROUP_RELATIONSHIP, GroupInfo) + g * sizeof(PROCESSOR_GROUP_INFO), &info))
                break;
            const int offset = static_cast<int>(topology.cpus.size());
            offsets.push_back(offset);
            for (int bit = 0; bit < info.MaximumProcessorCount; ++bit) {
                LogicalCpu cpu;
                cpu.number = offset + bit;
                cpu.online = ((static_cast<std::uint64_t>(info.ActiveProcessorMask) >> bit) & 1U) != 0;
                topology.cpus.push_back(cpu);
            }
        }
    });
    if (topology.cpus.empty()) {
        topology.unknown.push_back("the CPUs");
        return topology;
    }
    auto cpuAt = [&](int number) -> LogicalCpu* {
        return number >= 0 && number < static_cast<int>(topology.cpus.size()) ? &topology.cpus[number] : nullptr;
    };

    int packages = 0;
    int cores = 0;
    std::map<int, int> cacheFirstCpu; // a cache group's first CPU -> its number, in order
    struct SeenCache {
        int level;
        std::int64_t bytes;
        std::vector<int> cpus;
    };
    std::vector<SeenCache> caches;
    std::map<int, int> efficiencyOf;
    bool nodes = false;
    ForEachEntry(buffer, [&](LOGICAL_PROCESSOR_RELATIONSHIP relationship, const std::uint8_t* data, std::size_t size) {
        if (relationship == RelationProcessorPackage || relationship == RelationProcessorCore) {
            PROCESSOR_RELATIONSHIP head{};
            if (!ReadAt(data, size, 0, &head))
                return;
            const std::vector<int> cpus = CpusOf(data + offsetof(PROCESSOR_RELATIONSHIP, GroupMask),
                                                 size - offsetof(PROCESSOR_RELATIONSHIP, GroupMask), head.GroupCount,
                                                 offsets);
            const bool package = relationship == RelationProcessorPackage;
            const int index = package ? packages++ : cores++;
            for (std::size_t thread = 0; thread < cpus.size(); ++thread) {
                if (LogicalCpu* cpu = cpuAt(cpus[thread])) {
                    if (package) {
                        cpu->package = index;
                    } else {
                        cpu->core = index;
                        cpu->thread = static_cast<int>(thread);
                        // The byte after the flags is the core's efficiency class.
                        efficiencyOf[cpu->number] = head.Reserved[0];
                    }
                }
            }
        } else if (relationship == RelationCache) {
            CACHE_RELATIONSHIP cache{};
            if (!ReadAt(data, size, 0, &cache) || cache.Type == CacheInstruction)
                return;
            std::vector<int> cpus = CpusOf(data + offsetof(CACHE_RELATIONSHIP, GroupMask),
                                           size - offsetof(CACHE_RELATIONSHIP, GroupMask), 1, offsets);
            if (!cpus.empty())
                caches.push_back({cache.Level, cache.CacheSize, std::move(cpus)});
        } else if (relationship == RelationNumaNode) {
            NUMA_NODE_RELATIONSHIP node{};
            if (!ReadAt(data, size, 0, &node))
                return;
            for (const int number : CpusOf(data + offsetof(NUMA_NODE_RELATIONSHIP, GroupMask),
                                           size - offsetof(NUMA_NODE_RELATIONSHIP, GroupMask), 1, offsets)) {
                if (LogicalCpu* cpu = cpuAt(number)) {
                    cpu->node = static_cast<int>(node.NodeNumber);
                    nodes = true;
                }
            }
        }
    });
    // Each CPU's cache group is its highest-level data or unified cache, whatever the level.
    std::vector<int> levelOf(topology.cpus.size(), -1);
    for (const SeenCache& cache : caches) {
        for (const int number : cache.cpus) {
            LogicalCpu* cpu = cpuAt(number);
            if (cpu == nullptr || cache.level <= levelOf[static_cast<std::size_t>(number)])
                continue;
            levelOf[static_cast<std::size_t>(number)] = cache.level;
            cpu->cacheGroup = cache.cpus.front();
            cpu->cacheBytes = cache.bytes;
        }
    }
    for (const LogicalCpu& cpu : topology.cpus) {
        if (cpu.cacheGroup >= 0)
            cacheFirstCpu[cpu.cacheGroup] = 0;
    }
    // Cache groups numbered in the order of their first CPU.
    int group = 0;
    for (auto& [first, number] : cacheFirstCpu)
        number = group++;
    for (LogicalCpu& cpu : topology.cpus) {
        if (cpu.cacheGroup >= 0)
            cpu.cacheGroup = cacheFirstCpu[cpu.cacheGroup];
    }
    if (!efficiencyOf.empty()) {
        const auto [low, high] = std::minmax_element(efficiencyOf.begin(), efficiencyOf.end(),
                                                     [](const auto& a, const auto& b) { return a.second < b.second; });
        if (low->second != high->second) {
            for (const auto& [number, efficiency] : efficiencyOf)
                topology.cpus[static_cast<std::size_t>(number)].kind =
                    efficiency == high->second ? CpuKind::Performance : CpuKind::Efficiency;
        }
    }
    if (cores == 0)
        topology.unknown.push_back("cores and threads");
    if (cacheFirstCpu.empty())
        topology.unknown.push_back("cache groups");
    if (!nodes)
        topology.unknown.push_back("NUMA nodes");
    return topology;
}

CpuTopology Win32Topology::ReadTopology()
{
    DWORD size = 0;
    ::GetLogicalProcessorInformationEx(RelationAll, nullptr, &size);
    std::vector<std::uint8_t> buffer(size);
    if (size == 0 || !::GetLogicalProcessorInformationEx(
                         RelationAll, reinterpret_cast<SYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX*>(buffer.data()), &size))
        buffer.clear();
    CpuTopology topology = ParseProcessorInformation(buffer);
    // This program's own CPUs, in the group it runs in.
    DWORD_PTR processMask = 0;
    DWORD_PTR systemMask = 0;
    USHORT group = 0;
    USHORT groupCount = 1;
    if (::GetProcessAffinityMask(::GetCurrentProcess(), &processMask, &systemMask) &&
        ::GetProcessGroupAffinity(::GetCurrentProcess(), &groupCount, &group) && groupCount == 1) {
        int offset = 0;
        for (WORD g = 0; g < group; ++g)
            offset += static_cast<int>(::GetMaximumProcessorCount(g));
        for (LogicalCpu& cpu : topology.cpus) {
            const int bit = cpu.number - offset;
            cpu.allowed = bit >= 0 && bit < 64 && ((static_cast<std::uint64_t>(processMask) >> bit) & 1U) != 0;
        }
    }
    return topology;
}

} // namespace korvane::platform::win32
