#pragma once

#include <cstdint>
#include <string>

namespace korvane::platform {

using QueryHandle = std::uint64_t;   // 0 = none
using CounterHandle = std::uint64_t; // 0 = none

// Performance counters in the shape of a counter query: open a query, add counters by path,
// collect all of them at once, read each as a double.
class PerformanceCounters {
public:
    virtual ~PerformanceCounters() = default;
    // Status 0 and a query handle on success, any other status on failure.
    virtual int OpenQuery(std::uint64_t userData, QueryHandle* query) = 0;
    // The localized name of a counter-name index (238 the processor object, 6 its percentage of
    // processor time); empty when the index is unknown.
    virtual std::string LookupPerfNameByIndex(std::uint32_t index) = 0;
    // A handle for the counter at path ("\Object(Instance)\Counter"); 0 when it cannot be added.
    virtual CounterHandle AddCounter(QueryHandle query, const std::string& path) = 0;
    // One new collection for every counter of the query.
    virtual void CollectQueryData(QueryHandle query) = 0;
    // The counter's value; status 0 when valid.
    virtual double GetDoubleCounterValue(CounterHandle counter, int* status) = 0;
    virtual void CloseQuery(QueryHandle query) = 0;
};

} // namespace korvane::platform
