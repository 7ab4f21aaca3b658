#include "platform/linux/linux_processes.h"

#include "platform/linux/capabilities.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sched.h>
#include <set>
#include <sys/syscall.h>
#include <cstring>
#include <linux/capability.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvane::platform::linuxos {

namespace {

struct CpuSetDeleter {
    void operator()(cpu_set_t* set) const { CPU_FREE(set); }
};
using CpuSet = std::unique_ptr<cpu_set_t, CpuSetDeleter>;

CpuSet AllocCpuSet(int cpus)
{
    CpuSet set(CPU_ALLOC(cpus));
    if (set)
        CPU_ZERO_S(CPU_ALLOC_SIZE(cpus), set.get());
    return set;
}

// A kernel set of cpus CPUs holding the CPUs of words (those that fit).
CpuSet CpuSetOfWords(const CpuWords& words, int cpus)
{
    CpuSet set = AllocCpuSet(cpus);
    if (!set)
        return set;
    const int last = std::min(cpus, static_cast<int>(words.size()) * 64);
    for (int cpu = 0; cpu < last; ++cpu) {
        if ((words[static_cast<std::size_t>(cpu / 64)] >> (cpu % 64)) & 1U)
            CPU_SET_S(cpu, CPU_ALLOC_SIZE(cpus), set.get());
    }
    return set;
}

CpuWords Trimmed(CpuWords words)
{
    while (!words.empty() && words.back() == 0)
        words.pop_back();
    return words;
}

std::vector<std::string> FolderNames(const std::string& path)
{
    std::vector<std::string> names;
    DIR* dir = ::opendir(path.c_str());
    if (dir == nullptr)
        return names;
    while (const dirent* entry = ::readdir(dir))
        names.emplace_back(entry->d_name);
    ::closedir(dir);
    return names;
}

constexpr int kMaxSetPasses = 10;

std::string ReadSmallFile(const std::string& path)
{
    std::string text;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return text;
    char buffer[1024];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0)
        text.assign(buffer, static_cast<std::size_t>(n));
    ::close(fd);
    return text;
}

// Ended threads wait as zombies ('Z', then 'X') until they are reaped; they run nothing.
bool IsLiveState(char state)
{
    return state != 'Z' && state != 'X' && state != 'x' && state != '?';
}

} // namespace

LinuxProcesses::~LinuxProcesses()
{
    if (m_rootFd >= 0)
        ::close(m_rootFd);
}

std::optional<std::pair<std::uint64_t, std::uint64_t>> LinuxProcesses::TaskCounters()
{
    const auto starts = [this]() -> std::optional<std::uint64_t> {
        const int fd = ::open("/proc/stat", O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return std::nullopt;
        if (m_statText.empty())
            m_statText.resize(16 * 1024);
        std::size_t size = 0;
        for (;;) {
            if (size == m_statText.size())
                m_statText.resize(m_statText.size() * 2); // many CPUs, many interrupts
            const ssize_t n = ::read(fd, m_statText.data() + size, m_statText.size() - size);
            if (n <= 0)
                break;
            size += static_cast<std::size_t>(n);
        }
        ::close(fd);
        return ParseStartCount(std::string_view(m_statText.data(), size));
    };
    // A start is counted, and shows in /proc, at the same moment; the count of tasks alive is
    // read between two reads of the start count that agree, so that no start happened while it was.
    const auto before = starts();
    const auto alive = ParseTaskCount(ReadSmallFile("/proc/loadavg"));
    if (!before || !alive || starts() != before)
        return std::nullopt;
    return std::make_pair(*before, *alive);
}

bool LinuxProcesses::ListProcessIds()
{
    // Polled three times a second. Every process start is counted and every end, once reaped,
    // lowers the count of tasks alive: with both counts as they were at the last scan, nothing
    // started or ended and the folder need not be read. Read before the scan, so that a change
    // during it shows at the next call.
    const auto counters = m_root == "/proc" ? TaskCounters() : std::nullopt;
    if (counters && counters == m_listedCounters)
        return true;
    m_listedCounters.reset();
    // One getdents64 scan of the kept-open folder into a kept buffer, with neither a stat nor
    // an allocation per entry.
    if (m_rootFd < 0)
        m_rootFd = ::open(m_root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_rootFd < 0 || ::lseek(m_rootFd, 0, SEEK_SET) != 0)
        return false;
    if (m_entries.empty())
        m_entries.resize(64 * 1024);
    m_listing.clear();
    for (;;) {
        const long n = ::syscall(SYS_getdents64, m_rootFd, m_entries.data(), m_entries.size());
        if (n < 0)
            return false;
        if (n == 0) {
            m_listedCounters = counters;
            return true;
        }
        for (long at = 0; at < n;) {
            const auto* entry = reinterpret_cast<const dirent64*>(m_entries.data() + at);
            at += entry->d_reclen;
            const char* name = entry->d_name;
            if (name[0] < '1' || name[0] > '9')
                continue;
            std::int32_t id = 0;
            const char* end = name + std::strlen(name);
            const auto result = std::from_chars(name, end, id);
            if (result.ec == std::errc{} && result.ptr == end)
                m_listing.push_back(id);
        }
    }
}

bool LinuxProcesses::EnumProcesses(std::int32_t* buffer, std::int32_t byteCount, std::int32_t* bytesReturned)
{
    if (buffer == nullptr || byteCount < 0)
        return false;
    if (!(m_lastFilled && byteCount > m_lastRequest) && !ListProcessIds())
        return false;
    const auto fits = static_cast<std::size_t>(byteCount / 4);
    const std::size_t count = std::min(fits, m_listing.size());
    std::copy_n(m_listing.begin(), count, buffer);
    *bytesReturned = static_cast<std::int32_t>(count * 4);
    m_lastRequest = byteCount;
    m_lastFilled = count == fits;
    return true;
}

std::uint64_t LinuxProcesses::RaisableCapabilities()
{
    const auto sets = ReadOwnCapabilities();
    return sets ? sets->permitted & ~sets->effective & (CapabilityBit(CAP_SYS_NICE) | CapabilityBit(CAP_SYS_PTRACE)) : 0;
}

std::string LinuxProcesses::ExeTarget(const std::string& link) const
{
    char target[PATH_MAX];
    ssize_t n = ::readlink(link.c_str(), target, sizeof target);
    // Another user's program link needs CAP_SYS_PTRACE: raised for this one call, where held.
    if (n < 0 && errno == EACCES && (m_raisable & CapabilityBit(CAP_SYS_PTRACE)) != 0) {
        const CapabilitiesRaised raised(CapabilityBit(CAP_SYS_PTRACE));
        n = ::readlink(link.c_str(), target, sizeof target);
    }
    if (n <= 0 || n == static_cast<ssize_t>(sizeof target))
        return {};
    std::string path(target, static_cast<std::size_t>(n));
    constexpr std::string_view kDeleted = " (deleted)";
    if (path.size() > kDeleted.size() && path.compare(path.size() - kDeleted.size(), kDeleted.size(), kDeleted) == 0)
        path.resize(path.size() - kDeleted.size());
    return path;
}

std::string LinuxProcesses::ProgramPath(const std::string& processFolder, std::string exePath) const
{
    const std::size_t slash = exePath.rfind('/');
    if (slash == std::string::npos)
        return exePath;
    const std::string_view fileName = std::string_view(exePath).substr(slash + 1);
    if (IsWineLoaderName(fileName)) {
        std::string commandLine = ReadSmallFile(processFolder + "/cmdline");
        std::string program = WineProgramPath(commandLine, std::string_view(exePath).substr(0, slash));
        if (!program.empty())
            return program;
    } else if (exePath.rfind("/memfd:", 0) == 0) {
        // A program run from memory ("/memfd:sealed-91173221a7ea") by a sandbox or a packer:
        // its command name says what it is.
        std::string comm = ReadSmallFile(processFolder + "/comm");
        while (!comm.empty() && comm.back() == '\n')
            comm.pop_back();
        std::replace(comm.begin(), comm.end(), '/', '?');
        if (!comm.empty())
            return "/" + comm;
    }
    return exePath;
}

std::uint64_t LinuxProcesses::ProcessStartTime(std::int32_t processId)
{
    if (processId <= 0)
        return 0;
    return ParseStartTime(ReadSmallFile(m_root + "/" + std::to_string(processId) + "/stat")).value_or(0);
}

std::optional<std::uint32_t> LinuxProcesses::ProcessOwner(std::int32_t processId)
{
    if (processId <= 0)
        return std::nullopt;
    return ParseRealUid(ReadSmallFile(m_root + "/" + std::to_string(processId) + "/status"));
}

std::string LinuxProcesses::GetProcessPath(std::int32_t processId)
{
    if (processId <= 0)
        return {};
    const std::string folder = m_root + "/" + std::to_string(processId);
    std::string path = ExeTarget(folder + "/exe");
    if (!path.empty() || errno != ENOENT) {
        m_liveThreadOf.erase(processId);
        return path.empty() ? path : ProgramPath(folder, std::move(path));
    }
    // The link goes through the first thread; once it has ended (pthread_exit) while other
    // threads run, a live thread still names the program. A task folder links 2 + its threads:
    // one stat skips the kernel threads, which have no other thread, on every refresh.
    struct stat task {};
    if (::stat((folder + "/task").c_str(), &task) != 0 || task.st_nlink <= 3) {
        m_liveThreadOf.erase(processId);
        return {};
    }
    for (const std::int32_t thread : ParseProcessIds(FolderNames(folder + "/task"))) {
        if (thread == processId)
            continue;
        path = ExeTarget(folder + "/task/" + std::to_string(thread) + "/exe");
        if (!path.empty()) {
            m_liveThreadOf[processId] = thread;
            return ProgramPath(folder, std::move(path));
        }
    }
    m_liveThreadOf.erase(processId);
    return {};
}

CpuWords LinuxProcesses::GetProcessAffinity(std::int32_t processId)
{
    if (processId <= 0)
        return {};
    const auto live = m_liveThreadOf.find(processId);
    if (live != m_liveThreadOf.end()) {
        if (CpuWords cpus = ThreadAffinity(live->second); !cpus.empty())
            return cpus;
        m_liveThreadOf.erase(live);
    }
    return ThreadAffinity(processId);
}

CpuWords LinuxProcesses::ThreadAffinity(std::int32_t threadId)
{
    // The kernel refuses a set smaller than its own CPU count: grow until it fits.
    int cpus = m_cpuSetSize > 0 ? m_cpuSetSize : std::max(static_cast<int>(::sysconf(_SC_NPROCESSORS_CONF)), 64);
    for (; cpus <= (1 << 16); cpus *= 2) {
        CpuSet set = AllocCpuSet(cpus);
        if (!set)
            return {};
        const std::size_t size = CPU_ALLOC_SIZE(cpus);
        if (::sched_getaffinity(threadId, size, set.get()) == 0) {
            m_cpuSetSize = cpus;
            CpuWords words(static_cast<std::size_t>(cpus + 63) / 64, 0);
            for (int cpu = 0; cpu < cpus; ++cpu) {
                if (CPU_ISSET_S(cpu, size, set.get()))
                    words[static_cast<std::size_t>(cpu / 64)] |= std::uint64_t{1} << (cpu % 64);
            }
            while (!words.empty() && words.back() == 0)
                words.pop_back();
            return words;
        }
        if (errno != EINVAL)
            return {};
    }
    return {};
}

bool LinuxProcesses::SetThreadAffinity(std::int32_t threadId, std::size_t size, const cpu_set_t* set) const
{
    if (::sched_setaffinity(threadId, size, set) == 0)
        return true;
    // Another user's thread needs CAP_SYS_NICE: raised for this one call, where held.
    if (errno != EPERM || (m_raisable & CapabilityBit(CAP_SYS_NICE)) == 0)
        return false;
    const CapabilitiesRaised raised(CapabilityBit(CAP_SYS_NICE));
    return ::sched_setaffinity(threadId, size, set) == 0;
}

bool LinuxProcesses::SetProcessAffinity(std::int32_t processId, const CpuWords& cpuWords)
{
    m_lastRefused.clear();
    const int highest = static_cast<int>(cpuWords.size()) * 64;
    if (processId <= 0 || std::all_of(cpuWords.begin(), cpuWords.end(), [](std::uint64_t w) { return w == 0; }))
        return false;
    // Sized for the kernel's masks and for the highest CPU asked for, whichever is more.
    const int cpus = std::max({m_cpuSetSize, 64, highest});
    const CpuSet set = CpuSetOfWords(cpuWords, cpus);
    if (!set)
        return false;
    const std::size_t size = CPU_ALLOC_SIZE(cpus);
    const CpuWords wanted = Trimmed(cpuWords);

    // Threads inherit their creator's mask, so every existing thread must be set; a thread
    // started during a pass may be missed, so pass again until no new thread turns up.
    const std::string taskFolder = m_root + "/" + std::to_string(processId) + "/task";
    std::set<std::int32_t> done;
    int setCount = 0;
    for (int pass = 0; pass < kMaxSetPasses; ++pass) {
        const auto threads = ParseProcessIds(FolderNames(taskFolder));
        if (threads.empty())
            return setCount > 0 && pass > 0; // the process ended (or was never there)
        bool found = false;
        for (const std::int32_t thread : threads) {
            if (!done.insert(thread).second)
                continue;
            found = true;
            // An ended thread takes a mask but runs nothing: it neither counts nor fails.
            if (!IsLiveState(ParseTaskState(ReadSmallFile(taskFolder + "/" + std::to_string(thread) + "/stat"))))
                continue;
            const CpuWords before = setCount == 0 ? ThreadAffinity(thread) : CpuWords();
            if (SetThreadAffinity(thread, size, set.get())) {
                // The kernel drops the CPUs that are offline or outside the process's cpuset
                // and takes the rest: the first thread tells, and is put back if so.
                const CpuWords taken = setCount == 0 ? ThreadAffinity(thread) : wanted;
                if (!before.empty() && taken != wanted) {
                    m_lastRefused = wanted;
                    for (std::size_t i = 0; i < m_lastRefused.size(); ++i)
                        m_lastRefused[i] &= i < taken.size() ? ~taken[i] : ~std::uint64_t{0};
                    const CpuSet old = CpuSetOfWords(before, cpus);
                    if (old)
                        SetThreadAffinity(thread, size, old.get());
                    return false;
                }
                ++setCount;
                continue;
            }
            // A thread that ended meanwhile is no failure; a refused mask (EINVAL: none of its
            // CPUs may be used) or another user's process (EPERM) is.
            if (errno == EINVAL)
                m_lastRefused = wanted;
            if (errno != ESRCH)
                return false;
        }
        if (!found)
            break;
    }
    return setCount > 0;
}

std::int32_t LinuxProcesses::CurrentProcessId()
{
    return static_cast<std::int32_t>(::getpid());
}

void LinuxProcesses::YieldTimeSlice()
{
    ::sched_yield();
}

} // namespace korvane::platform::linuxos
