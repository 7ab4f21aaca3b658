#pragma once

#include "platform/counters.h"
#include "platform/win32/processor_groups.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::platform::win32 {

// The instance number of a per-processor counter path ("\Processor(2)\% Processor Time" gives 2,
// also when a name lookup left the object or counter name empty); nullopt for any other path.
std::optional<int> ProcessorOfCounterPath(std::string_view path);

// Busy share of a CPU between two readings of its times (100-ns units; kernel time includes the
// idle time), 0 to 100.
double BusyPercent(std::uint64_t idleDelta, std::uint64_t kernelDelta, std::uint64_t userDelta);

// Counters through PDH, loaded at run time from the system folder only: pdh.dll is not a known
// DLL, and as a static import Windows would first look for it beside korvane.exe (a Downloads
// folder), where anyone could have put one. On a machine of several processor groups a CPU's
// counter is its "Processor Information(group,index)" instance, as "Processor(n)" covers group 0
// only. Where PDH cannot add a per-processor counter (wine has none), the counter reads the
// processor's times from NtQuerySystemInformation(Ex) group by group instead, in the same shape:
// one value per collection, the busy percentage since the collection before.
class Win32Counters : public PerformanceCounters {
public:
    Win32Counters();
    Win32Counters(const Win32Counters&) = delete;
    Win32Counters& operator=(const Win32Counters&) = delete;
    ~Win32Counters() override;

    int OpenQuery(std::uint64_t userData, QueryHandle* query) override;
    std::string LookupPerfNameByIndex(std::uint32_t index) override;
    CounterHandle AddCounter(QueryHandle query, const std::string& path) override;
    void CollectQueryData(QueryHandle query) override;
    double GetDoubleCounterValue(CounterHandle counter, int* status) override;
    void CloseQuery(QueryHandle query) override;

private:
    struct Counter {
        void* pdhCounter = nullptr; // a PDH counter, or
        int processor = -1;         // the processor whose times are read
    };
    struct ProcessorTimes {
        std::uint64_t idle = 0, kernel = 0, user = 0;
    };
    struct Query;

    std::vector<ProcessorTimes> ReadProcessorTimes() const;

    struct Pdh;
    std::unique_ptr<Pdh> m_pdh; // its calls; none where the system has no PDH
    std::map<QueryHandle, std::unique_ptr<Query>> m_queries;
    std::map<CounterHandle, std::pair<QueryHandle, Counter>> m_counters;
    QueryHandle m_nextQuery = 1;
    CounterHandle m_nextCounter = 1;
    void* m_querySystemInformation = nullptr;
    void* m_querySystemInformationEx = nullptr;
    GroupNumbering m_groups;
};

} // namespace korvane::platform::win32
