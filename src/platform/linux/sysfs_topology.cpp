#include "platform/linux/sysfs_topology.h"

#include "platform/file_system.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <optional>

namespace korvane::platform::linuxos {

namespace {

constexpr const char* kCpuFolder = "/sys/devices/system/cpu";
// Beyond any machine: a larger number in a list is not taken for a CPU.
constexpr int kMaxCpus = 1 << 16;

std::optional<long long> NumberOf(std::string_view text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.remove_suffix(1);
    long long number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return number;
}

// "32768K", "96M": a cache size in bytes; 0 when unreadable.
std::int64_t CacheBytes(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    std::int64_t unit = 1;
    if (!text.empty() && (text.back() == 'K' || text.back() == 'M')) {
        unit = text.back() == 'K' ? 1024 : 1024 * 1024;
        text.pop_back();
    }
    const auto number = NumberOf(text);
    return number && *number > 0 ? *number * unit : 0;
}

// Splits values that differ clearly (the lowest under three quarters of the highest) into the
// CPUs at the top and the rest.
bool SplitByValue(const std::map<int, long long>& values, CpuTopology& topology)
{
    if (values.size() < 2)
        return false;
    long long lowest = values.begin()->second;
    long long highest = lowest;
    for (const auto& [cpu, value] : values) {
        lowest = std::min(lowest, value);
        highest = std::max(highest, value);
    }
    if (lowest <= 0 || lowest * 4 >= highest * 3)
        return false;
    for (LogicalCpu& cpu : topology.cpus) {
        const auto it = values.find(cpu.number);
        if (it != values.end())
            cpu.kind = it->second * 2 > lowest + highest ? CpuKind::Performance : CpuKind::Efficiency;
    }
    return true;
}

} // namespace

std::vector<int> ParseSysfsCpuList(const std::string& text)
{
    std::vector<int> cpus;
    std::string_view rest(text);
    while (!rest.empty() && (rest.back() == '\n' || rest.back() == ' '))
        rest.remove_suffix(1);
    while (!rest.empty()) {
        const auto comma = rest.find(',');
        const std::string_view item = rest.substr(0, comma);
        const auto hyphen = item.find('-');
        const auto first = NumberOf(item.substr(0, hyphen));
        const auto last = hyphen == std::string_view::npos ? first : NumberOf(item.substr(hyphen + 1));
        if (!first || !last || *first < 0 || *last < *first || *last >= kMaxCpus)
            return {};
        for (long long cpu = *first; cpu <= *last; ++cpu)
            cpus.push_back(static_cast<int>(cpu));
        if (comma == std::string_view::npos)
            break;
        rest.remove_prefix(comma + 1);
    }
    std::sort(cpus.begin(), cpus.end());
    cpus.erase(std::unique(cpus.begin(), cpus.end()), cpus.end());
    return cpus;
}

std::string SysfsTopology::Read(const std::string& path)
{
    return m_files.ReadFile(m_root + path).value_or(std::string());
}

std::vector<int> SysfsTopology::ReadList(const std::string& path)
{
    return ParseSysfsCpuList(Read(path));
}

CpuTopology SysfsTopology::ReadTopology()
{
    CpuTopology topology;
    const std::string cpuFolder = std::string(kCpuFolder);
    std::vector<int> possible = ReadList(cpuFolder + "/possible");
    const std::vector<int> online = ReadList(cpuFolder + "/online");
    if (possible.empty())
        possible = online;
    if (possible.empty()) {
        topology.unknown.push_back("the CPUs");
        return topology;
    }

    // The program's own CPUs: its cpuset and whatever it was started with.
    std::vector<int> allowed;
    const std::string status = Read("/proc/self/status");
    const auto at = status.find("Cpus_allowed_list:");
    if (at != std::string::npos) {
        const auto end = status.find('\n', at);
        std::string list = status.substr(at + 18, end == std::string::npos ? std::string::npos : end - at - 18);
        list.erase(0, list.find_first_not_of(" \t"));
        allowed = ParseSysfsCpuList(list);
    }
    if (allowed.empty())
        topology.unknown.push_back("the CPUs allowed to Korvane");

    bool cores = false;
    // The CPUs sharing each CPU's last-level cache. Groups do not overlap, so their order as
    // lists is the order of their first CPUs: that numbers them.
    std::vector<std::vector<int>> sharingOf;
    std::map<std::vector<int>, int> cacheGroups;
    for (const int number : possible) {
        LogicalCpu cpu;
        cpu.number = number;
        cpu.online = online.empty() || std::binary_search(online.begin(), online.end(), number);
        cpu.allowed = allowed.empty() || std::binary_search(allowed.begin(), allowed.end(), number);
        const std::string folder = cpuFolder + "/cpu" + std::to_string(number);
        if (const auto package = NumberOf(Read(folder + "/topology/physical_package_id")))
            cpu.package = static_cast<int>(*package);
        if (const auto core = NumberOf(Read(folder + "/topology/core_id"))) {
            cpu.core = static_cast<int>(*core);
            cores = true;
        }
        const std::vector<int> siblings = ReadList(folder + "/topology/thread_siblings_list");
        const auto place = std::find(siblings.begin(), siblings.end(), number);
        if (place != siblings.end())
            cpu.thread = static_cast<int>(place - siblings.begin());
        sharingOf.push_back(ReadList(folder + "/cache/index3/shared_cpu_list"));
        if (!sharingOf.back().empty()) {
            cacheGroups.emplace(sharingOf.back(), 0);
            cpu.cacheBytes = CacheBytes(Read(folder + "/cache/index3/size"));
        }
        topology.cpus.push_back(cpu);
    }
    int group = 0;
    for (auto& [cpus, number] : cacheGroups)
        number = group++;
    for (std::size_t i = 0; i < topology.cpus.size(); ++i) {
        if (!sharingOf[i].empty())
            topology.cpus[i].cacheGroup = cacheGroups[sharingOf[i]];
    }

    bool nodes = false;
    for (int node = 0; node < kMaxCpus; ++node) {
        const std::string path = "/sys/devices/system/node/node" + std::to_string(node) + "/cpulist";
        if (!m_files.FileExists(m_root + path))
            break;
        for (const int number : ReadList(path)) {
            // The CPUs are in ascending order.
            const auto cpu = std::lower_bound(topology.cpus.begin(), topology.cpus.end(), number,
                                              [](const LogicalCpu& c, int n) { return c.number < n; });
            if (cpu != topology.cpus.end() && cpu->number == number) {
                cpu->node = node;
                nodes = true;
            }
        }
    }
    ReadKinds(topology);

    if (!cores)
        topology.unknown.push_back("cores and threads");
    if (cacheGroups.empty())
        topology.unknown.push_back("cache groups");
    if (!nodes)
        topology.unknown.push_back("NUMA nodes");
    return topology;
}

void SysfsTopology::ReadKinds(CpuTopology& topology)
{
    // Intel hybrid parts list their two kinds of core as two PMUs.
    const std::vector<int> big = ReadList("/sys/devices/cpu_core/cpus");
    const std::vector<int> small = ReadList("/sys/devices/cpu_atom/cpus");
    if (!big.empty() && !small.empty()) {
        for (LogicalCpu& cpu : topology.cpus) {
            if (std::binary_search(big.begin(), big.end(), cpu.number))
                cpu.kind = CpuKind::Performance;
            else if (std::binary_search(small.begin(), small.end(), cpu.number))
                cpu.kind = CpuKind::Efficiency;
        }
        return;
    }
    // Elsewhere the capacity the scheduler gives each CPU, or its highest performance.
    for (const char* source : {"/cpu_capacity", "/acpi_cppc/highest_perf"}) {
        std::map<int, long long> values;
        for (const LogicalCpu& cpu : topology.cpus) {
            if (const auto value = NumberOf(Read(std::string(kCpuFolder) + "/cpu" + std::to_string(cpu.number) + source)))
                values[cpu.number] = *value;
        }
        if (SplitByValue(values, topology))
            return;
    }
}

} // namespace korvane::platform::linuxos
