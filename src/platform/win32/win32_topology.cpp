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

// The active CPUs of group masks, numbered across groups.
std::vector<int> CpusOf(const std::uint8_t* masks, std::size_t size, std::size_t count, const GroupNumbering& numbering)
{
    std::vector<int> cpus;
    for (std::size_t i = 0; i < count; ++i) {
        GROUP_AFFINITY affinity{};
        if (!ReadAt(masks, size, i * sizeof(GROUP_AFFINITY), &affinity) || affinity.Group >= numbering.GroupCount())
            break;
        for (int bit = 0; bit < 64; ++bit) {
            const auto cpu = ((static_cast<std::uint64_t>(affinity.Mask) >> bit) & 1U) != 0
                                 ? numbering.CpuOf(affinity.Group, bit)
                                 : std::nullopt;
            if (cpu)
                cpus.push_back(*cpu);
        }
    }
    return cpus;
}

std::vector<std::uint8_t> ReadInformation(LOGICAL_PROCESSOR_RELATIONSHIP relationship)
{
    DWORD size = 0;
    ::GetLogicalProcessorInformationEx(relationship, nullptr, &size);
    std::vector<std::uint8_t> buffer(size);
    if (size == 0 || !::GetLogicalProcessorInformationEx(
                         relationship, reinterpret_cast<SYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX*>(buffer.data()), &size))
        buffer.clear();
    return buffer;
}

} // namespace

GroupNumbering ParseGroupNumbering(const std::vector<std::uint8_t>& buffer)
{
    std::vector<std::uint64_t> active;
    ForEachEntry(buffer, [&](LOGICAL_PROCESSOR_RELATIONSHIP relationship, const std::uint8_t* data, std::size_t size) {
        WORD groups = 0;
        if (relationship != RelationGroup || !active.empty() ||
            !ReadAt(data, size, offsetof(GROUP_RELATIONSHIP, ActiveGroupCount), &groups))
            return;
        for (WORD g = 0; g < groups; ++g) {
            PROCESSOR_GROUP_INFO info{};
            if (!ReadAt(data, size, offsetof(GROUP_RELATIONSHIP, GroupInfo) + g * sizeof(PROCESSOR_GROUP_INFO), &info))
                break;
            active.push_back(static_cast<std::uint64_t>(info.ActiveProcessorMask));
        }
    });
    return GroupNumbering(std::move(active));
}

GroupNumbering MachineGroups()
{
    GroupNumbering numbering = ParseGroupNumbering(ReadInformation(RelationGroup));
    if (numbering.CpuCount() > 0)
        return numbering;
    // Without group information: this program's own group's CPUs.
    DWORD_PTR processMask = 0;
    DWORD_PTR systemMask = 0;
    ::GetProcessAffinityMask(::GetCurrentProcess(), &processMask, &systemMask);
    return GroupNumbering({systemMask != 0 ? static_cast<std::uint64_t>(systemMask) : 1});
}

CpuTopology ParseProcessorInformation(const std::vector<std::uint8_t>& buffer)
{
    CpuTopology topology;
    const GroupNumbering numbering = ParseGroupNumbering(buffer);
    for (int cpu = 0; cpu < numbering.CpuCount(); ++cpu) {
        LogicalCpu logical;
        logical.number = cpu;
        topology.cpus.push_back(logical);
    }
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
                                                 numbering);
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
                                           size - offsetof(CACHE_RELATIONSHIP, GroupMask), 1, numbering);
            if (!cpus.empty())
                caches.push_back({cache.Level, cache.CacheSize, std::move(cpus)});
        } else if (relationship == RelationNumaNode) {
            NUMA_NODE_RELATIONSHIP node{};
            if (!ReadAt(data, size, 0, &node))
                return;
            for (const int number : CpusOf(data + offsetof(NUMA_NODE_RELATIONSHIP, GroupMask),
                                           size - offsetof(NUMA_NODE_RELATIONSHIP, GroupMask), 1, numbering)) {
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
    const std::vector<std::uint8_t> buffer = ReadInformation(RelationAll);
    CpuTopology topology = ParseProcessorInformation(buffer);
    // Any active CPU may be given, in any group, unless the job this program runs in limits them.
    std::vector<GroupMask> job;
    std::vector<GROUP_AFFINITY> limits(64);
    DWORD length = 0;
    if (::QueryInformationJobObject(nullptr, JobObjectGroupInformationEx, limits.data(),
                                    static_cast<DWORD>(limits.size() * sizeof(GROUP_AFFINITY)), &length)) {
        for (std::size_t i = 0; i < length / sizeof(GROUP_AFFINITY) && i < limits.size(); ++i)
            job.emplace_back(limits[i].Group, static_cast<std::uint64_t>(limits[i].Mask));
    }
    const CpuWords allowed = AllowedCpus(ParseGroupNumbering(buffer), job);
    for (LogicalCpu& cpu : topology.cpus) {
        const auto word = static_cast<std::size_t>(cpu.number / 64);
        cpu.allowed = word < allowed.size() && ((allowed[word] >> (cpu.number % 64)) & 1U) != 0;
    }
    return topology;
}

} // namespace korvane::platform::win32
