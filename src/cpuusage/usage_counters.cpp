#include "cpuusage/usage_counters.h"

namespace korvane::cpuusage {

namespace {
constexpr std::uint32_t kProcessorObjectIndex = 238;
constexpr std::uint32_t kProcessorTimeIndex = 6;
} // namespace

std::string UsageCounters::BuildCounterPath(const std::string& instance)
{
    const std::string object = m_counters.LookupPerfNameByIndex(kProcessorObjectIndex);
    const std::string counter = m_counters.LookupPerfNameByIndex(kProcessorTimeIndex);
    return "\\" + object + "(" + instance + ")\\" + counter;
}

bool UsageCounters::OpenUsageCounters(std::int16_t maxCpuIndex)
{
    if (m_counters.OpenQuery(1, &Query) != 0) {
        Query = 0;
        CountersUnavailable = true;
        return false;
    }
    bool anyCounter = false;
    for (int i = 0; i <= maxCpuIndex && i < 4; ++i) {
        CounterHandles[static_cast<std::size_t>(i)] = m_counters.AddCounter(Query, BuildCounterPath(std::to_string(i)));
        anyCounter = anyCounter || CounterHandles[static_cast<std::size_t>(i)] != 0;
    }
    if (!anyCounter)
        CountersUnavailable = true;
    return true;
}

void UsageCounters::AddEveryCpu(const std::vector<int>& cpus)
{
    if (Query == 0 || !EveryHandles.empty())
        return;
    for (const int cpu : cpus)
        EveryHandles.push_back(m_counters.AddCounter(Query, BuildCounterPath(std::to_string(cpu))));
}

double UsageCounters::ReadEvery(std::size_t index)
{
    if (index >= EveryHandles.size() || EveryHandles[index] == 0)
        return 0;
    int status = 0;
    const double value = m_counters.GetDoubleCounterValue(EveryHandles[index], &status);
    return status == 0 ? value : 0;
}

void UsageCounters::CloseUsageCounters()
{
    if (Query != 0)
        m_counters.CloseQuery(Query);
}

void UsageCounters::Collect()
{
    m_counters.CollectQueryData(Query);
}

double UsageCounters::Read(int cpu)
{
    int status = 0;
    return m_counters.GetDoubleCounterValue(CounterHandles[static_cast<std::size_t>(cpu)], &status);
}

} // namespace korvane::cpuusage
