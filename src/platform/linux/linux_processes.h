#pragma once

#include "platform/processes.h"

#include <map>
#include <string>
#include <vector>

namespace korvane::platform::linuxos {

// Processes from procfs; affinity through sched_getaffinity / sched_setaffinity.
class LinuxProcesses : public Processes {
public:
    // procRoot: where process ids and program links are read (a captured tree in tests).
    explicit LinuxProcesses(std::string procRoot = "/proc") : m_root(std::move(procRoot)) {}

    // A call with a larger buffer right after one that filled its buffer continues the same
    // listing of /proc, so growing the buffer does not list /proc again.
    bool EnumProcesses(std::int32_t* buffer, std::int32_t byteCount, std::int32_t* bytesReturned) override;
    // The target of /proc/PID/exe without a trailing " (deleted)"; read through a live thread
    // when the first thread has ended while others run; empty on any failure.
    std::string GetProcessPath(std::int32_t processId) override;
    // The mask of the first thread, or of the live thread the path was read through.
    CpuWords GetProcessAffinity(std::int32_t processId) override;
    // Sets every live thread of /proc/PID/task, passing again over threads started meanwhile.
    // False when the process has no live thread (it ended, or is a zombie not yet reaped).
    bool SetProcessAffinity(std::int32_t processId, const CpuWords& cpus) override;
    CpuWords LastRefusedCpus() const override { return m_lastRefused; }
    std::int32_t CurrentProcessId() override;
    void YieldTimeSlice() override;

private:
    std::vector<std::int32_t> ListProcessIds() const;
    std::string ExeTarget(const std::string& link) const;
    CpuWords ThreadAffinity(std::int32_t threadId);

    std::string m_root;
    std::vector<std::int32_t> m_listing;
    std::int32_t m_lastRequest = 0;
    bool m_lastFilled = false;
    CpuWords m_lastRefused;
    int m_cpuSetSize = 0; // CPUs the kernel's masks need; found on first use
    // Processes whose first thread has ended: the live thread their path was read through.
    std::map<std::int32_t, std::int32_t> m_liveThreadOf;
};

// The state letter of /proc/.../stat ('R', 'S', 'Z', ...): the field after the last ')'; '?'
// when the text has none.
char ParseTaskState(const std::string& statText);

// Numeric entries of a folder listing as process ids (others skipped).
std::vector<std::int32_t> ParseProcessIds(const std::vector<std::string>& names);

} // namespace korvane::platform::linuxos
