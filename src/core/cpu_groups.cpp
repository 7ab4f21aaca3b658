#include "core/cpu_groups.h"

#include "core/cpu_presets.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <tuple>

namespace korvane::core {

namespace {

using GroupKey = std::tuple<int, int, int>; // package, cache group, kind

std::string GroupName(const GroupKey& key, const platform::LogicalCpu& first, bool packages, bool caches, bool kinds)
{
    std::vector<std::string> parts;
    if (packages)
        parts.push_back("Package " + std::to_string(std::get<0>(key)));
    if (kinds)
        parts.push_back(first.kind == platform::CpuKind::Performance  ? "performance cores"
                        : first.kind == platform::CpuKind::Efficiency ? "efficiency cores"
                                                                       : "cores");
    if (caches && first.cacheGroup >= 0)
        parts.push_back("cache group " + std::to_string(first.cacheGroup + 1) +
                        (first.cacheBytes > 0 ? " (" + CacheSizeText(first.cacheBytes) + ")" : std::string()));
    if (parts.empty())
        return "CPUs";
    std::string name;
    for (const std::string& part : parts)
        name += (name.empty() ? "" : ", ") + part;
    name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    return name;
}

} // namespace

std::vector<CpuGroup> GroupCpus(const platform::CpuTopology& topology)
{
    std::set<int> packages, caches, kinds;
    for (const platform::LogicalCpu& cpu : topology.cpus) {
        if (!cpu.online)
            continue;
        packages.insert(cpu.package);
        caches.insert(cpu.cacheGroup);
        kinds.insert(static_cast<int>(cpu.kind));
    }
    // Groups and cores by key, each remembered at its first CPU (the CPUs come in ascending order).
    std::map<GroupKey, std::size_t> groupIndex;
    std::vector<CpuGroup> groups;
    std::vector<std::map<std::pair<int, int>, std::size_t>> coreIndex;
    for (const platform::LogicalCpu& cpu : topology.cpus) {
        if (!cpu.online)
            continue;
        const GroupKey key{cpu.package, cpu.cacheGroup, static_cast<int>(cpu.kind)};
        auto found = groupIndex.find(key);
        if (found == groupIndex.end()) {
            found = groupIndex.emplace(key, groups.size()).first;
            CpuGroup group;
            group.name = GroupName(key, cpu, packages.size() > 1, caches.size() > 1 || *caches.begin() >= 0,
                                   kinds.size() > 1);
            group.kind = cpu.kind;
            groups.push_back(std::move(group));
            coreIndex.emplace_back();
        }
        CpuGroup& group = groups[found->second];
        auto& cores = coreIndex[found->second];
        if (cpu.core < 0) {
            group.cores.push_back(CpuCore{{cpu.number}});
            continue;
        }
        const auto core = cores.try_emplace({cpu.package, cpu.core}, group.cores.size());
        if (core.second)
            group.cores.emplace_back();
        group.cores[core.first->second].threads.push_back(cpu.number);
    }
    return groups;
}

std::vector<int> CpusInGroupOrder(const std::vector<CpuGroup>& groups)
{
    std::vector<int> cpus;
    for (const CpuGroup& group : groups) {
        for (const CpuCore& core : group.cores)
            cpus.insert(cpus.end(), core.threads.begin(), core.threads.end());
    }
    return cpus;
}

} // namespace korvane::core
