#pragma once

#include "platform/processes.h"
#include "platform/processor_info.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace korvane::platform::win32 {

// CPUs of a processor group: the group's number and its mask.
using GroupMask = std::pair<std::uint16_t, std::uint64_t>;

// Where each processor group's CPUs start in the numbering across groups: the sum of the
// maximum CPU counts of the groups before it.
std::vector<int> GroupOffsets(const std::vector<int>& maximumCounts);
// A set as the masks of the groups it names, in group order; false when it names a CPU no group
// has.
bool SplitIntoGroups(const CpuWords& cpus, const std::vector<int>& maximumCounts, std::vector<GroupMask>* groups);
// The set of group masks.
CpuWords JoinGroups(const std::vector<GroupMask>& groups, const std::vector<int>& maximumCounts);

// Processes through the process-status calls: ids from EnumProcesses, the main module's path,
// and the CPUs numbered across processor groups (a group's offset plus the index in it). A
// process in one group is read and set through its affinity mask; a set spanning groups, or a
// process spanning them, through its default CPU sets where Windows has them.
class Win32Processes : public Processes, public ProcessorInfo {
public:
    bool EnumProcesses(std::int32_t* buffer, std::int32_t byteCount, std::int32_t* bytesReturned) override;
    // Read with PROCESS_QUERY_LIMITED_INFORMATION only (QueryFullProcessImageNameW,
    // GetProcessAffinityMask): never with memory-read rights.
    std::string GetProcessPath(std::int32_t processId) override;
    CpuWords GetProcessAffinity(std::int32_t processId) override;
    // Opened to set information only; the system refuses a mask naming no CPU it has.
    bool SetProcessAffinity(std::int32_t processId, const CpuWords& cpus) override;
    // The creation time (FILETIME, 100 ns units since 1601).
    std::uint64_t ProcessStartTime(std::int32_t processId) override;
    std::int32_t CurrentProcessId() override;
    void YieldTimeSlice() override;
    // GetSystemInfo's processor count.
    int LogicalProcessorCount() override;
};

} // namespace korvane::platform::win32
