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

std::pair<std::vector<int>, std::int64_t> SysfsTopology::ReadLastCache(const std::string& cpuFolder)
{
    std::pair<std::vector<int>, std::int64_t> last;
    long long lastLevel = -1;
    for (int index = 0; index < 16; ++index) {
        const std::string folder = cpuFolder + "/cache/index" + std::to_string(index);
        std::vector<int> shared = ReadList(folder + "/shared_cpu_list");
        if (shared.empty())
            continue;
        std::string type = Read(folder + "/type");
        while (!type.empty() && (type.back() == '\n' || type.back() == ' '))
            type.pop_back();
        const auto level = NumberOf(Read(folder + "/level"));
        if (type == "Instruction" || !level || *level <= lastLevel)
            continue;
        lastLevel = *level;
        last = {std::move(shared), CacheBytes(Read(folder + "/size"))};
    }
    return last;
}

std::string SysfsTopology::OnlineCpuList()
{
    return Read(std::string(kCpuFolder) + "/online");
}

std::vector<int> SysfsTopology::ReadAllowed(const std::vector<int>& online)
{
    // cgroup v2 ("0::/path"): cpuset.cpus.effective; v1 ("3:cpuset:/path"): cpuset.effective_cpus.
    // A cgroup without the cpuset controller has no such file: its nearest parent's holds.
    const std::string groups = Read("/proc/self/cgroup");
    std::size_t start = 0;
    while (start < groups.size()) {
        std::size_t end = groups.find('\n', start);
        if (end == std::string::npos)
            end = groups.size();
        const std::string_view line(groups.data() + start, end - start);
        start = end + 1;
        const auto first = line.find(':');
        const auto second = first == std::string_view::npos ? first : line.find(':', first + 1);
        if (second == std::string_view::npos)
            continue;
        const std::string_view controllers = line.substr(first + 1, second - first - 1);
        std::string path(line.substr(second + 1));
        std::string mount;
        std::string file;
        if (line.substr(0, first) == "0" && controllers.empty()) {
            mount = "/sys/fs/cgroup";
            file = "/cpuset.cpus.effective";
        } else if (("," + std::string(controllers) + ",").find(",cpuset,") != std::string::npos) {
            mount = "/sys/fs/cgroup/cpuset";
            file = "/cpuset.effective_cpus";
        } else {
            continue;
        }
        for (;;) {
            while (!path.empty() && path.back() == '/')
                path.pop_back();
            if (path.find("/..") != std::string::npos)
                break;
            const std::vector<int> cpus = ReadList(mount + path + file);
            if (!cpus.empty())
                return cpus;
            if (path.empty())
                break;
            path.erase(path.rfind('/'));
        }
    }
    return online;
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
    // What the cgroup allows, never the affinity Korvane itself was started with.
    const std::vector<int> allowed = ReadAllowed(online);
    const std::vector<int> isolated = ReadList(cpuFolder + "/isolated");

    bool cores = false;
    // A core is the set of CPUs that are its threads (core ids repeat per cluster on arm64 and
    // per die on some x86 parts); cores are numbered in the order of their first CPUs.
    std::map<std::vector<int>, int> coreNumbers;
    // The CPUs come in ascending order: a core is first met at its first CPU.
    const auto coreNumber = [&coreNumbers](std::vector<int> key) {
        const auto [at, added] = coreNumbers.try_emplace(std::move(key), static_cast<int>(coreNumbers.size()));
        return at->second;
    };
    // Each CPU's highest-level data or unified cache, as the CPUs that share it; the groups do
    // not overlap, so their order as lists is the order of their first CPUs: that numbers them.
    std::vector<std::vector<int>> sharingOf;
    std::map<std::vector<int>, int> cacheGroups;
    for (const int number : possible) {
        LogicalCpu cpu;
        cpu.number = number;
        cpu.online = online.empty() || std::binary_search(online.begin(), online.end(), number);
        cpu.allowed = allowed.empty() || std::binary_search(allowed.begin(), allowed.end(), number);
        cpu.isolated = std::binary_search(isolated.begin(), isolated.end(), number);
        const std::string folder = cpuFolder + "/cpu" + std::to_string(number);
        if (const auto package = NumberOf(Read(folder + "/topology/physical_package_id")))
            cpu.package = static_cast<int>(*package);
        std::vector<int> siblings = ReadList(folder + "/topology/core_cpus_list");
        if (siblings.empty())
            siblings = ReadList(folder + "/topology/thread_siblings_list");
        const auto place = std::find(siblings.begin(), siblings.end(), number);
        if (place != siblings.end()) {
            cpu.thread = static_cast<int>(place - siblings.begin());
            cpu.core = coreNumber(siblings);
            cores = true;
        } else if (const auto core = NumberOf(Read(folder + "/topology/core_id"))) {
            // Without the thread lists: the package and core id, which older kernels keep unique.
            cpu.core = coreNumber({-1, cpu.package, static_cast<int>(*core)});
            cores = true;
        }
        const auto [shared, bytes] = ReadLastCache(folder);
        sharingOf.push_back(shared);
        if (!shared.empty()) {
            cacheGroups.emplace(shared, 0);
            cpu.cacheBytes = bytes;
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
    std::vector<int> nodeIds = ReadList("/sys/devices/system/node/online");
    if (nodeIds.empty()) {
        for (const std::string& name : m_files.ListFolder(m_root + "/sys/devices/system/node")) {
            if (name.rfind("node", 0) == 0) {
                if (const auto id = NumberOf(name.substr(4)); id && *id >= 0 && *id < kMaxCpus)
                    nodeIds.push_back(static_cast<int>(*id));
            }
        }
        std::sort(nodeIds.begin(), nodeIds.end());
    }
    for (const int node : nodeIds) {
        for (const int number : ReadList("/sys/devices/system/node/node" + std::to_string(node) + "/cpulist")) {
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
    // Intel hybrid parts list each kind of core as a PMU of its own: cpu_core for the performance
    // cores, and cpu_atom, cpu_lowpower (Arrow Lake's low-power island), ... for the others.
    const std::vector<int> big = ReadList("/sys/devices/cpu_core/cpus");
    std::vector<int> small;
    if (!big.empty()) {
        for (const std::string& name : m_files.ListFolder(m_root + "/sys/devices")) {
            if (name.rfind("cpu_", 0) != 0 || name == "cpu_core")
                continue;
            const std::vector<int> cpus = ReadList("/sys/devices/" + name + "/cpus");
            small.insert(small.end(), cpus.begin(), cpus.end());
        }
        std::sort(small.begin(), small.end());
    }
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
