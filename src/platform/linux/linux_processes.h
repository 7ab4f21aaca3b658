#pragma once

#include "platform/processes.h"

#include <map>
#include <sched.h>
#include <optional>
#include <string_view>
#include <utility>
#include <string>
#include <vector>

namespace korvane::platform::linuxos {

// Processes from procfs; affinity through sched_getaffinity / sched_setaffinity.
class LinuxProcesses : public Processes {
public:
    // procRoot: where process ids and program links are read (a captured tree in tests).
    explicit LinuxProcesses(std::string procRoot = "/proc")
        : m_root(std::move(procRoot)), m_raisable(RaisableCapabilities())
    {
    }
    LinuxProcesses(const LinuxProcesses&) = delete;
    LinuxProcesses& operator=(const LinuxProcesses&) = delete;
    ~LinuxProcesses() override;

    // A call with a larger buffer right after one that filled its buffer continues the same
    // listing of /proc, so growing the buffer does not list /proc again.
    bool EnumProcesses(std::int32_t* buffer, std::int32_t byteCount, std::int32_t* bytesReturned) override;
    // The target of /proc/PID/exe without a trailing " (deleted)"; read through a live thread
    // when the first thread has ended while others run; empty on any failure. A program run by
    // the Wine loader is the Windows program it runs ("C:/Games/Game.exe"), and a program
    // executed from an anonymous memory file is named by its command name ("/worker").
    std::string GetProcessPath(std::int32_t processId) override;
    // The mask of the first thread, or of the live thread the path was read through.
    CpuWords GetProcessAffinity(std::int32_t processId) override;
    // Sets every live thread of /proc/PID/task, passing again over threads started meanwhile.
    // False when the process has no live thread (it ended, or is a zombie not yet reaped).
    bool SetProcessAffinity(std::int32_t processId, const CpuWords& cpus) override;
    CpuWords LastRefusedCpus() const override { return m_lastRefused; }
    // Field 22 of /proc/PID/stat: clock ticks after boot.
    std::uint64_t ProcessStartTime(std::int32_t processId) override;
    // The real user id of the Uid line of /proc/PID/status.
    std::optional<std::uint32_t> ProcessOwner(std::int32_t processId) override;
    std::int32_t CurrentProcessId() override;
    void YieldTimeSlice() override;

private:
    // The numeric entries of the proc folder into m_listing, in one directory scan into a
    // buffer kept from call to call; false when the folder cannot be read.
    bool ListProcessIds();
    std::string ExeTarget(const std::string& link) const;
    // The name a person knows the program by, where the executable is only its loader.
    std::string ProgramPath(const std::string& processFolder, std::string exePath) const;
    CpuWords ThreadAffinity(std::int32_t threadId);
    // sched_setaffinity, with CAP_SYS_NICE raised for a retry when refused and held.
    bool SetThreadAffinity(std::int32_t threadId, std::size_t size, const cpu_set_t* set) const;
    // CAP_SYS_NICE and CAP_SYS_PTRACE where permitted but not effective (root's window lowers
    // them at start): raised only around the one call that needs them.
    static std::uint64_t RaisableCapabilities();

    std::string m_root;
    std::uint64_t m_raisable = 0;
    int m_rootFd = -1;
    // (tasks started since boot, tasks alive) at one moment; nullopt when they could not be
    // read as one.
    std::optional<std::pair<std::uint64_t, std::uint64_t>> TaskCounters();
    // The counters when m_listing was scanned.
    std::optional<std::pair<std::uint64_t, std::uint64_t>> m_listedCounters;
    std::vector<char> m_statText;
    std::vector<char> m_entries;
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

// The number of tasks alive, from a /proc/loadavg text ("0.13 0.34 0.57 1/112 10752" gives 112).
std::optional<std::uint64_t> ParseTaskCount(std::string_view loadavgText);
// The number of tasks started since boot, the "processes" line of a /proc/stat text.
std::optional<std::uint64_t> ParseStartCount(std::string_view statText);

// The real user id (the first of the Uid line) of a /proc/PID/status text.
std::optional<std::uint32_t> ParseRealUid(std::string_view statusText);

// Field 22 (start time) of a /proc/PID/stat text; nullopt when the text has none.
std::optional<std::uint64_t> ParseStartTime(std::string_view statText);

// Whether a program file name is one of the Wine loader's ("wine", "wine64", "wine-preloader",
// "wine64-preloader").
bool IsWineLoaderName(std::string_view fileName);

// The Windows program a Wine process runs, from its NUL-separated command line: the first
// argument that is not the loader itself, with "\" turned into "/" ("C:/Games/Game.exe"); a
// bare file name is put in loaderFolder. Empty when the command line names none.
std::string WineProgramPath(std::string_view commandLine, std::string_view loaderFolder);

} // namespace korvane::platform::linuxos
