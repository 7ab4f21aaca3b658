#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace korvane::platform {

// CPUs of any number as bits, 64 to a word, lowest first: bit n % 64 of word n / 64 is CPU n.
using CpuWords = std::vector<std::uint64_t>;

// Running processes: ids, program paths and the CPUs they may run on.
class Processes {
public:
    virtual ~Processes() = default;
    // Writes at most byteCount / 4 process ids into buffer and sets bytesReturned to the bytes
    // written; a full buffer means there may be more. False (bytesReturned untouched) on failure.
    virtual bool EnumProcesses(std::int32_t* buffer, std::int32_t byteCount, std::int32_t* bytesReturned) = 0;
    // Full path of the process's program; empty on any failure (ended, kernel thread, no access).
    virtual std::string GetProcessPath(std::int32_t processId) = 0;
    // Every CPU the process may run on; no CPU when it could not be read.
    virtual CpuWords GetProcessAffinity(std::int32_t processId) = 0;
    // Gives the whole process (every thread) the CPUs. False when the process could not be
    // opened or the platform refused the CPUs for it, the process then left as it was.
    virtual bool SetProcessAffinity(std::int32_t processId, const CpuWords& cpus) = 0;
    // Whether the set the last GetProcessAffinity read is only preferred: the system keeps the
    // process to it while it may, and may run it on the rest of its CPUs (Windows' CPU sets).
    virtual bool LastAffinityPreferred() const { return false; }
    // SetProcessAffinity, made only when started(the process's start time, as ProcessStartTime
    // gives it) holds. Where the platform can, the time is read from the process the set then
    // goes to, so that an id reused in between is never set.
    virtual bool SetProcessAffinityIfStarted(std::int32_t processId, const CpuWords& cpus,
                                             const std::function<bool(std::uint64_t)>& started)
    {
        return started(ProcessStartTime(processId)) && SetProcessAffinity(processId, cpus);
    }
    // After a SetProcessAffinity that failed: the CPUs of its set the process may not use
    // (offline, outside its cpuset); no CPU when the failure had another cause or is not known.
    virtual CpuWords LastRefusedCpus() const { return {}; }
    // When the process started, in the platform's own units, so that a process id taken earlier
    // can be told from a later process given the same id; 0 when it cannot be read (or the
    // platform does not tell).
    virtual std::uint64_t ProcessStartTime(std::int32_t /*processId*/) { return 0; }
    // The user the process runs as (its real user id); nullopt when it cannot be read or the
    // platform has no such ids.
    virtual std::optional<std::uint32_t> ProcessOwner(std::int32_t /*processId*/) { return std::nullopt; }
    virtual std::int32_t CurrentProcessId() = 0;
    // Gives up the rest of the current time slice.
    virtual void YieldTimeSlice() = 0;
};

} // namespace korvane::platform
