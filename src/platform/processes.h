#pragma once

#include <cstdint>
#include <string>

namespace korvane::platform {

// Running processes: ids, program paths and CPU masks (bit n = CPU n, CPUs 0..31).
class Processes {
public:
    virtual ~Processes() = default;
    // Writes at most byteCount / 4 process ids into buffer and sets bytesReturned to the bytes
    // written; a full buffer means there may be more. False (bytesReturned untouched) on failure.
    virtual bool EnumProcesses(std::int32_t* buffer, std::int32_t byteCount, std::int32_t* bytesReturned) = 0;
    // Full path of the process's program; empty on any failure (ended, kernel thread, no access).
    virtual std::string GetProcessPath(std::int32_t processId) = 0;
    // The process's CPU mask (CPUs above 31 count as CPU 31); 0 when it could not be read.
    virtual std::uint32_t GetProcessAffinity(std::int32_t processId) = 0;
    // Gives the whole process (every thread) the mask. False when the process could not be
    // opened or the platform refused the mask for it.
    virtual bool SetProcessAffinity(std::int32_t processId, std::uint32_t mask) = 0;
    virtual std::int32_t CurrentProcessId() = 0;
    // Gives up the rest of the current time slice.
    virtual void YieldTimeSlice() = 0;
};

} // namespace korvane::platform
