#pragma once

#include "platform/counters.h"

#include <map>
#include <string>
#include <vector>

namespace korvane::platform::fake {

// Counters that tests drive with chosen percentages per CPU, and that can refuse to open or to
// add counters.
class FakeCounters : public PerformanceCounters {
public:
    void SetUsage(int cpu, double percent) { m_usage[cpu] = percent; }
    void FailOpen(bool fail) { m_failOpen = fail; }
    void FailAdd(bool fail) { m_failAdd = fail; }
    int Collections() const { return m_collections; }
    bool Closed() const { return m_closed; }
    const std::vector<std::string>& AddedPaths() const { return m_paths; }

    int OpenQuery(std::uint64_t userData, QueryHandle* query) override;
    std::string LookupPerfNameByIndex(std::uint32_t index) override;
    CounterHandle AddCounter(QueryHandle query, const std::string& path) override;
    void CollectQueryData(QueryHandle query) override;
    double GetDoubleCounterValue(CounterHandle counter, int* status) override;
    void CloseQuery(QueryHandle query) override;

private:
    std::map<int, double> m_usage;
    std::map<CounterHandle, int> m_counters;
    std::map<int, double> m_collected;
    std::vector<std::string> m_paths;
    bool m_failOpen = false;
    bool m_failAdd = false;
    bool m_closed = false;
    int m_collections = 0;
};

} // namespace korvane::platform::fake
