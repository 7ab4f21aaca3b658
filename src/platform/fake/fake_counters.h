#pragma once

#include "platform/counters.h"
#include "platform/notification_area.h"

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

// A notification area that records every add, modify and delete with the icon shown.
class FakeNotificationArea : public NotificationArea {
public:
    struct Call {
        char command; // 'A'dd, 'M'odify, 'D'elete
        TrayIconData data;
    };
    bool Add(const TrayIconData& data) override;
    bool Modify(const TrayIconData& data) override;
    bool Delete(const TrayIconData& data) override;

    const std::vector<Call>& Calls() const { return m_calls; }
    // The icon as shown now; nullopt when none is in the area.
    const std::optional<TrayIconData>& Current() const { return m_current; }

private:
    std::vector<Call> m_calls;
    std::optional<TrayIconData> m_current;
};

} // namespace korvane::platform::fake
