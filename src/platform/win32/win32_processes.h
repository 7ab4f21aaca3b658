#pragma once

#include "platform/processes.h"
#include "platform/processor_info.h"
#include "platform/win32/processor_groups.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace korvane::platform::win32 {

// Processes through the process-status calls: ids from EnumProcesses, the main module's path,
// and the CPUs numbered across processor groups by active processor. What a process runs on is
// its affinity and its default CPU sets together; a set is made as PlanAffinity says.
class Win32Processes : public Processes, public ProcessorInfo {
public:
    bool EnumProcesses(std::int32_t* buffer, std::int32_t byteCount, std::int32_t* bytesReturned) override;
    // Read with PROCESS_QUERY_LIMITED_INFORMATION only (QueryFullProcessImageNameW,
    // GetProcessAffinityMask): never with memory-read rights.
    std::string GetProcessPath(std::int32_t processId) override;
    CpuWords GetProcessAffinity(std::int32_t processId) override;
    bool LastAffinityPreferred() const override { return m_lastPreferred; }
    // Opened to set information only; the system refuses a mask naming no CPU it has.
    bool SetProcessAffinity(std::int32_t processId, const CpuWords& cpus) override;
    // The creation time is read through the handle the set goes through.
    bool SetProcessAffinityIfStarted(std::int32_t processId, const CpuWords& cpus,
                                     const std::function<bool(std::uint64_t)>& started) override;
    // The creation time (FILETIME, 100 ns units since 1601).
    std::uint64_t ProcessStartTime(std::int32_t processId) override;
    std::int32_t CurrentProcessId() override;
    void YieldTimeSlice() override;
    // Every active CPU, in every group.
    int LogicalProcessorCount() override;

private:
    // The machine's groups, read once.
    const GroupNumbering& Numbering();

    GroupNumbering m_numbering;
    bool m_lastPreferred = false;
};

} // namespace korvane::platform::win32
