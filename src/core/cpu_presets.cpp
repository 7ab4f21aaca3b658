#include "core/cpu_presets.h"

#include <algorithm>
#include <map>
#include <set>
#include <utility>

namespace korvane::core {

namespace {

// The online CPUs the program may set for which a key is known, grouped by it in the order of
// the key.
template <typename Key, typename KeyOf>
std::map<Key, CpuSet> GroupUsable(const platform::CpuTopology& topology, KeyOf keyOf)
{
    std::map<Key, CpuSet> groups;
    for (const platform::LogicalCpu& cpu : topology.cpus) {
        if (!cpu.online || !cpu.allowed)
            continue;
        if (const auto key = keyOf(cpu))
            groups[*key].Add(cpu.number);
    }
    return groups;
}

} // namespace

std::string CacheSizeText(std::int64_t bytes)
{
    constexpr std::int64_t kKilo = 1024;
    if (bytes >= kKilo * kKilo && bytes % (kKilo * kKilo) == 0)
        return std::to_string(bytes / (kKilo * kKilo)) + " MB";
    return std::to_string(bytes / kKilo) + " KB";
}

namespace {

std::string Known(int value)
{
    return value >= 0 ? std::to_string(value) : std::string("-");
}

std::string KindText(platform::CpuKind kind)
{
    switch (kind) {
    case platform::CpuKind::Performance:
        return "performance";
    case platform::CpuKind::Efficiency:
        return "efficiency";
    default:
        return "-";
    }
}

std::string Padded(std::string text, std::size_t width)
{
    if (text.size() < width)
        text.resize(width, ' ');
    return text;
}

} // namespace

std::string DescribeCpus(const platform::CpuTopology& topology)
{
    std::string text = "cpu   online  allowed  package  core  thread  cache  cache-size  node  kind\n";
    for (const platform::LogicalCpu& cpu : topology.cpus) {
        std::string size = cpu.cacheBytes > 0 ? CacheSizeText(cpu.cacheBytes) : std::string("-");
        size.erase(std::remove(size.begin(), size.end(), ' '), size.end());
        text += Padded(std::to_string(cpu.number), 6) + Padded(cpu.online ? "yes" : "no", 8) +
                Padded(!cpu.allowed ? "no" : cpu.isolated ? "isolated" : "yes", 9) + Padded(Known(cpu.package), 9) + Padded(Known(cpu.core), 6) +
                Padded(Known(cpu.thread), 8) + Padded(cpu.cacheGroup >= 0 ? Known(cpu.cacheGroup + 1) : "-", 7) +
                Padded(size, 12) + Padded(Known(cpu.node), 6) + KindText(cpu.kind) + "\n";
    }
    text += "\npresets:\n";
    for (const CpuPreset& preset : CpuPresets(topology))
        text += Padded(preset.name, 28) + " " + CpuSetText(preset.cpus) + "\n";
    if (!topology.unknown.empty()) {
        text += "\nunknown on this machine:";
        for (std::size_t i = 0; i < topology.unknown.size(); ++i)
            text += (i == 0 ? " " : ", ") + topology.unknown[i];
        text += "\n";
    }
    return text;
}

std::vector<CpuPreset> CpuPresets(const platform::CpuTopology& topology)
{
    // What may be set at all: the online CPUs the cgroup allows. Isolated CPUs may be chosen,
    // but only by name: "All CPUs" leaves them to the programs placed there by hand.
    CpuSet usable;
    CpuSet all;
    for (const platform::LogicalCpu& cpu : topology.cpus) {
        if (!cpu.online || !cpu.allowed)
            continue;
        usable.Add(cpu.number);
        if (!cpu.isolated)
            all.Add(cpu.number);
    }
    std::vector<CpuPreset> presets;
    if (all.Empty())
        return presets;
    presets.push_back({"All CPUs", all});
    auto offer = [&](std::string name, CpuSet cpus) {
        cpus &= usable;
        if (!cpus.Empty() && cpus != all)
            presets.push_back({std::move(name), std::move(cpus)});
    };

    CpuSet butFirst = all;
    butFirst.Remove(0);
    offer("All but CPU 0", butFirst);

    // The first usable thread of each core.
    const auto cores = GroupUsable<std::pair<int, int>>(topology, [](const platform::LogicalCpu& cpu) {
        return cpu.core >= 0 ? std::optional(std::pair{cpu.package, cpu.core}) : std::nullopt;
    });
    if (!cores.empty()) {
        CpuSet firstThreads;
        for (const auto& [core, cpus] : cores)
            firstThreads.Add(cpus.First());
        offer("One thread per core", firstThreads);
    }

    const auto kinds = GroupUsable<platform::CpuKind>(topology, [](const platform::LogicalCpu& cpu) {
        return cpu.kind != platform::CpuKind::Unknown ? std::optional(cpu.kind) : std::nullopt;
    });
    if (kinds.size() == 2) {
        offer("Performance cores", kinds.at(platform::CpuKind::Performance));
        offer("Efficiency cores", kinds.at(platform::CpuKind::Efficiency));
    }

    const auto caches = GroupUsable<int>(topology, [](const platform::LogicalCpu& cpu) {
        return cpu.cacheGroup >= 0 ? std::optional(cpu.cacheGroup) : std::nullopt;
    });
    for (const auto& [group, cpus] : caches) {
        std::int64_t bytes = 0;
        std::set<std::pair<int, int>> coresOfGroup;
        for (const platform::LogicalCpu& cpu : topology.cpus) {
            if (cpu.cacheGroup != group)
                continue;
            bytes = std::max(bytes, cpu.cacheBytes);
            if (cpus.Contains(cpu.number))
                coresOfGroup.insert(cpu.core >= 0 ? std::pair{cpu.package, cpu.core} : std::pair{-1, cpu.number});
        }
        // One core's cache is that core; a cache over every CPU is "All CPUs".
        if (coresOfGroup.size() < 2 || cpus == usable)
            continue;
        offer("Cache group " + std::to_string(group + 1) + " (" + (bytes > 0 ? CacheSizeText(bytes) : "size unknown") + ")",
              cpus);
    }

    const auto nodes = GroupUsable<int>(topology, [](const platform::LogicalCpu& cpu) {
        return cpu.node >= 0 ? std::optional(cpu.node) : std::nullopt;
    });
    if (nodes.size() > 1) {
        for (const auto& [node, cpus] : nodes)
            offer("NUMA node " + std::to_string(node), cpus);
    }
    return presets;
}

} // namespace korvane::core
