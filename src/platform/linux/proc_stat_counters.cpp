#include "platform/linux/proc_stat_counters.h"

#include "platform/file_system.h"

#include <algorithm>
#include <charconv>

namespace korvane::platform::linuxos {

namespace {

constexpr const char* kProcessorObject = "Processor";
constexpr const char* kProcessorTime = "% Processor Time";

std::uint64_t Saturating(std::uint64_t after, std::uint64_t before)
{
    return after > before ? after - before : 0;
}

} // namespace

std::optional<std::map<int, CpuTimes>> ParseProcStat(std::string_view text)
{
    std::map<int, CpuTimes> cpus;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (line.size() < 4 || line.substr(0, 3) != "cpu" || line[3] < '0' || line[3] > '9')
            continue;
        line.remove_prefix(3);
        int cpu = 0;
        auto result = std::from_chars(line.data(), line.data() + line.size(), cpu);
        if (result.ec != std::errc{})
            continue;
        line.remove_prefix(static_cast<std::size_t>(result.ptr - line.data()));
        // user nice system idle iowait irq softirq steal (guest time is already within user).
        std::uint64_t fields[8] = {};
        int count = 0;
        while (count < 8) {
            while (!line.empty() && line.front() == ' ')
                line.remove_prefix(1);
            if (line.empty())
                break;
            result = std::from_chars(line.data(), line.data() + line.size(), fields[count]);
            if (result.ec != std::errc{})
                break;
            line.remove_prefix(static_cast<std::size_t>(result.ptr - line.data()));
            ++count;
        }
        if (count < 4)
            continue;
        CpuTimes times;
        for (int i = 0; i < count; ++i)
            times.total += fields[i];
        times.busy = times.total - fields[3] - (count > 4 ? fields[4] : 0);
        cpus[cpu] = times;
    }
    if (cpus.empty())
        return std::nullopt;
    return cpus;
}

double BusyPercent(const CpuTimes& before, const CpuTimes& after)
{
    const std::uint64_t total = std::max<std::uint64_t>(Saturating(after.total, before.total), 1);
    const std::uint64_t busy = std::min(Saturating(after.busy, before.busy), total);
    return 100.0 * static_cast<double>(busy) / static_cast<double>(total);
}

int ProcStatCounters::OpenQuery(std::uint64_t /*userData*/, QueryHandle* query)
{
    if (!m_files.ReadFile(m_statPath))
        return 1;
    *query = m_nextHandle++;
    m_queries[*query] = Query{};
    return 0;
}

std::string ProcStatCounters::LookupPerfNameByIndex(std::uint32_t index)
{
    if (index == 238)
        return kProcessorObject;
    if (index == 6)
        return kProcessorTime;
    return {};
}

CounterHandle ProcStatCounters::AddCounter(QueryHandle query, const std::string& path)
{
    if (m_queries.count(query) == 0)
        return 0;
    const std::string prefix = std::string("\\") + kProcessorObject + "(";
    const std::string suffix = std::string(")\\") + kProcessorTime;
    if (path.size() <= prefix.size() + suffix.size() || path.compare(0, prefix.size(), prefix) != 0 ||
        path.compare(path.size() - suffix.size(), suffix.size(), suffix) != 0)
        return 0;
    const std::string_view instance(path.data() + prefix.size(), path.size() - prefix.size() - suffix.size());
    int cpu = -1;
    const auto result = std::from_chars(instance.data(), instance.data() + instance.size(), cpu);
    if (result.ec != std::errc{} || result.ptr != instance.data() + instance.size() || cpu < 0)
        return 0;
    const CounterHandle handle = m_nextHandle++;
    m_counters[handle] = Counter{query, cpu};
    return handle;
}

void ProcStatCounters::CollectQueryData(QueryHandle query)
{
    const auto it = m_queries.find(query);
    if (it == m_queries.end())
        return;
    const auto content = m_files.ReadFile(m_statPath);
    auto parsed = content ? ParseProcStat(*content) : std::nullopt;
    it->second.previous = std::move(it->second.current);
    it->second.current = parsed.value_or(std::map<int, CpuTimes>{});
    ++it->second.collections;
}

double ProcStatCounters::GetDoubleCounterValue(CounterHandle counter, int* status)
{
    *status = 1;
    const auto c = m_counters.find(counter);
    if (c == m_counters.end())
        return 0.0;
    const auto q = m_queries.find(c->second.query);
    if (q == m_queries.end() || q->second.collections < 2)
        return 0.0;
    const auto before = q->second.previous.find(c->second.cpu);
    const auto after = q->second.current.find(c->second.cpu);
    if (before == q->second.previous.end() || after == q->second.current.end())
        return 0.0; // the CPU went offline
    *status = 0;
    return BusyPercent(before->second, after->second);
}

void ProcStatCounters::CloseQuery(QueryHandle query)
{
    m_queries.erase(query);
    for (auto it = m_counters.begin(); it != m_counters.end();) {
        if (it->second.query == query)
            it = m_counters.erase(it);
        else
            ++it;
    }
}

} // namespace korvane::platform::linuxos
