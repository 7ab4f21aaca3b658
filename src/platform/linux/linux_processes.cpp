#include "platform/linux/linux_processes.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sched.h>
#include <set>
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

char ParseTaskState(const std::string& statText)
{
    const auto paren = statText.rfind(')');
    if (paren == std::string::npos || paren + 2 >= statText.size())
        return '?';
    return statText[paren + 2];
}

std::vector<std::int32_t> ParseProcessIds(const std::vector<std::string>& names)
{
    std::vector<std::int32_t> ids;
    ids.reserve(names.size());
    for (const auto& name : names) {
        if (name.empty() || name[0] < '0' || name[0] > '9')
            continue;
        std::int32_t id = 0;
        const auto result = std::from_chars(name.data(), name.data() + name.size(), id);
        if (result.ec == std::errc{} && result.ptr == name.data() + name.size() && id > 0)
            ids.push_back(id);
    }
    return ids;
}

std::vector<std::int32_t> LinuxProcesses::ListProcessIds() const
{
    return ParseProcessIds(FolderNames(m_root));
}

bool LinuxProcesses::EnumProcesses(std::int32_t* buffer, std::int32_t byteCount, std::int32_t* bytesReturned)
{
    if (buffer == nullptr || byteCount < 0)
        return false;
    if (!(m_lastFilled && byteCount > m_lastRequest))
        m_listing = ListProcessIds();
    const auto fits = static_cast<std::size_t>(byteCount / 4);
    const std::size_t count = std::min(fits, m_listing.size());
    std::copy_n(m_listing.begin(), count, buffer);
    *bytesReturned = static_cast<std::int32_t>(count * 4);
    m_lastRequest = byteCount;
    m_lastFilled = count == fits;
    return true;
}

std::string LinuxProcesses::ExeTarget(const std::string& link) const
{
    char target[PATH_MAX];
    const ssize_t n = ::readlink(link.c_str(), target, sizeof target);
    if (n <= 0 || n == static_cast<ssize_t>(sizeof target))
        return {};
    std::string path(target, static_cast<std::size_t>(n));
    constexpr std::string_view kDeleted = " (deleted)";
    if (path.size() > kDeleted.size() && path.compare(path.size() - kDeleted.size(), kDeleted.size(), kDeleted) == 0)
        path.resize(path.size() - kDeleted.size());
    return path;
}

std::string LinuxProcesses::GetProcessPath(std::int32_t processId)
{
    if (processId <= 0)
        return {};
    const std::string folder = m_root + "/" + std::to_string(processId);
    std::string path = ExeTarget(folder + "/exe");
    if (!path.empty() || errno != ENOENT) {
        m_liveThreadOf.erase(processId);
        return path;
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
            return path;
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
            if (::sched_setaffinity(thread, size, set.get()) == 0) {
                // The kernel drops the CPUs that are offline or outside the process's cpuset
                // and takes the rest: the first thread tells, and is put back if so.
                const CpuWords taken = setCount == 0 ? ThreadAffinity(thread) : wanted;
                if (!before.empty() && taken != wanted) {
                    m_lastRefused = wanted;
                    for (std::size_t i = 0; i < m_lastRefused.size(); ++i)
                        m_lastRefused[i] &= i < taken.size() ? ~taken[i] : ~std::uint64_t{0};
                    const CpuSet old = CpuSetOfWords(before, cpus);
                    if (old)
                        ::sched_setaffinity(thread, size, old.get());
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
