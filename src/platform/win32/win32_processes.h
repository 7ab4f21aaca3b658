#pragma once

#include "platform/processes.h"
#include "platform/processor_info.h"

namespace korvane::platform::win32 {

// Processes through the process-status calls: ids from EnumProcesses, the main module's path,
// and the process affinity mask of one processor group (64 CPUs; CPUs above 31 count as CPU 31).
class Win32Processes : public Processes, public ProcessorInfo {
public:
    bool EnumProcesses(std::int32_t* buffer, std::int32_t byteCount, std::int32_t* bytesReturned) override;
    // Opened for query and read (0x0410); the first module of EnumProcessModules.
    std::string GetProcessPath(std::int32_t processId) override;
    CpuWords GetProcessAffinity(std::int32_t processId) override;
    // Opened with all access (0x1F0FFF); the system refuses a mask naming no CPU it has.
    bool SetProcessAffinity(std::int32_t processId, const CpuWords& cpus) override;
    std::int32_t CurrentProcessId() override;
    void YieldTimeSlice() override;
    // GetSystemInfo's processor count.
    int LogicalProcessorCount() override;
};

} // namespace korvane::platform::win32
