#include "core/cpu_presets.h"

#include <algorithm>
#include <map>
#include <utility>

namespace korvane::core {

namespace {

// The online CPUs for which a key is known, grouped by it in the order of the key.
template <typename Key, typename KeyOf>
std::map<Key, CpuSet> GroupOnline(const platform::CpuTopology& topology, KeyOf keyOf)
{
    std::map<Key, CpuSet> groups;
    for (const platform::LogicalCpu& cpu : topology.cpus) {
        if (!cpu.online)
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
                Padded(cpu.allowed ? "yes" : "no", 9) + Padded(Known(cpu.package), 9) + Padded(Known(cpu.core), 6) +
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
    CpuSet all;
    for (const platform::LogicalCpu& cpu : topology.cpus) {
        if (cpu.online)
            all.Add(cpu.number);
    }
    std::vector<CpuPreset> presets;
    if (all.Empty())
        return presets;
    presets.push_back({"All CPUs", all});
    auto offer = [&](std::string name, const CpuSet& cpus) {
        if (!cpus.Empty() && cpus != all)
            presets.push_back({std::move(name), cpus});
    };

    CpuSet butFirst = all;
    butFirst.Remove(0);
    offer("All but CPU 0", butFirst);

    // The first online thread of each core.
    const auto cores = GroupOnline<std::pair<int, int>>(topology, [](const platform::LogicalCpu& cpu) {
        return cpu.core >= 0 ? std::optional(std::pair{cpu.package, cpu.core}) : std::nullopt;
    });
    if (!cores.empty()) {
        CpuSet firstThreads;
        for (const auto& [core, cpus] : cores)
            firstThreads.Add(cpus.First());
        offer("One thread per core", firstThreads);
    }

    const auto kinds = GroupOnline<platform::CpuKind>(topology, [](const platform::LogicalCpu& cpu) {
        return cpu.kind != platform::CpuKind::Unknown ? std::optional(cpu.kind) : std::nullopt;
    });
    if (kinds.size() == 2) {
        offer("Performance cores", kinds.at(platform::CpuKind::Performance));
        offer("Efficiency cores", kinds.at(platform::CpuKind::Efficiency));
    }

    const auto caches = GroupOnline<int>(topology, [](const platform::LogicalCpu& cpu) {
        return cpu.cacheGroup >= 0 ? std::optional(cpu.cacheGroup) : std::nullopt;
    });
    if (caches.size() > 1) {
        int shown = 0;
        for (const auto& [group, cpus] : caches) {
            std::int64_t bytes = 0;
            for (const platform::LogicalCpu& cpu : topology.cpus) {
                if (cpu.cacheGroup == group)
                    bytes = cpu.cacheBytes;
            }
            std::string name = "Cache group " + std::to_string(++shown);
            if (bytes > 0)
                name += " (" + CacheSizeText(bytes) + ")";
            offer(std::move(name), cpus);
        }
    }

    const auto nodes = GroupOnline<int>(topology, [](const platform::LogicalCpu& cpu) {
        return cpu.node >= 0 ? std::optional(cpu.node) : std::nullopt;
    });
    if (nodes.size() > 1) {
        for (const auto& [node, cpus] : nodes)
            offer("NUMA node " + std::to_string(node), cpus);
    }
    return presets;
}

} // namespace korvane::core
