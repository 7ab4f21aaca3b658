#pragma once

#include "platform/counters.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace korvane::cpuusage {

// One processor-time counter per monitored CPU (0 to MaxCpuIndex, at most four) in one query.
class UsageCounters {
public:
    explicit UsageCounters(platform::PerformanceCounters& counters) : m_counters(counters) {}

    // "\<processor object>(<instance>)\<processor time counter>" in the system's own names.
    std::string BuildCounterPath(const std::string& instance);
    // Opens the query and adds the counters; true when the query could be opened (then the tray
    // settings are read, even if no counter could be added).
    bool OpenUsageCounters(std::int16_t maxCpuIndex);
    void CloseUsageCounters();

    void Collect();
    double Read(int cpu);
    // Adds a counter for each CPU of the list to the open query, once; ReadEvery reads them in
    // the list's order.
    void AddEveryCpu(const std::vector<int>& cpus);
    double ReadEvery(std::size_t index);

    bool CountersUnavailable = false;
    platform::QueryHandle Query = 0;
    std::array<platform::CounterHandle, 4> CounterHandles{};
    std::vector<platform::CounterHandle> EveryHandles;

private:
    platform::PerformanceCounters& m_counters;
};

} // namespace korvane::cpuusage
