#pragma once

#include "platform/counters.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::platform { class FileSystem; }

namespace korvane::platform::linuxos {

// Cumulative times of one CPU from a "cpuN" line of /proc/stat, in clock ticks.
struct CpuTimes {
    std::uint64_t busy = 0;
    std::uint64_t total = 0;
};

// The "cpuN" lines of /proc/stat by CPU number; nullopt when the text has none.
std::optional<std::map<int, CpuTimes>> ParseProcStat(std::string_view text);

// Busy share of a CPU between two readings, 0 to 100.
double BusyPercent(const CpuTimes& before, const CpuTimes& after);

// Per-CPU usage from /proc/stat: "\Processor(N)\% Processor Time" reads CPU N's busy share
// between the last two collections of the query (0 after the first one).
class ProcStatCounters : public PerformanceCounters {
public:
    ProcStatCounters(FileSystem& files, std::string statPath = "/proc/stat")
        : m_files(files), m_statPath(std::move(statPath))
    {
    }

    int OpenQuery(std::uint64_t userData, QueryHandle* query) override;
    std::string LookupPerfNameByIndex(std::uint32_t index) override;
    CounterHandle AddCounter(QueryHandle query, const std::string& path) override;
    void CollectQueryData(QueryHandle query) override;
    double GetDoubleCounterValue(CounterHandle counter, int* status) override;
    void CloseQuery(QueryHandle query) override;

private:
    struct Query {
        std::map<int, CpuTimes> previous;
        std::map<int, CpuTimes> current;
        int collections = 0;
    };
    struct Counter {
        QueryHandle query;
        int cpu;
    };

    FileSystem& m_files;
    std::string m_statPath;
    std::map<QueryHandle, Query> m_queries;
    std::map<CounterHandle, Counter> m_counters;
    std::uint64_t m_nextHandle = 1;
};

} // namespace korvane::platform::linuxos
