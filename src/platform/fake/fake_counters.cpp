#include "platform/fake/fake_counters.h"

namespace korvane::platform::fake {

int FakeCounters::OpenQuery(std::uint64_t /*userData*/, QueryHandle* query)
{
    if (m_failOpen)
        return 1;
    *query = 77;
    m_closed = false;
    return 0;
}

std::string FakeCounters::LookupPerfNameByIndex(std::uint32_t index)
{
    // Localized names, as a German system has them.
    if (index == 238)
        return "Prozessor";
    if (index == 6)
        return "Prozessorzeit (%)";
    return {};
}

CounterHandle FakeCounters::AddCounter(QueryHandle /*query*/, const std::string& path)
{
    m_paths.push_back(path);
    if (m_failAdd)
        return 0;
    const std::string prefix = "\\Prozessor(";
    if (path.rfind(prefix, 0) != 0)
        return 0;
    const int cpu = std::stoi(path.substr(prefix.size()));
    const CounterHandle handle = 100 + static_cast<CounterHandle>(cpu);
    m_counters[handle] = cpu;
    return handle;
}

void FakeCounters::CollectQueryData(QueryHandle /*query*/)
{
    ++m_collections;
    m_collected = m_usage;
}

double FakeCounters::GetDoubleCounterValue(CounterHandle counter, int* status)
{
    *status = 0;
    const auto it = m_counters.find(counter);
    if (it == m_counters.end())
        return 0.0;
    const auto value = m_collected.find(it->second);
    return value == m_collected.end() ? 0.0 : value->second;
}

void FakeCounters::CloseQuery(QueryHandle /*query*/)
{
    m_closed = true;
}

} // namespace korvane::platform::fake
