#include "platform/win32/win32_processes.h"

#include "platform/win32/win32_text.h"

#include <windows.h>
#include <psapi.h>
// psapi.h names K32EnumProcesses EnumProcesses, which is also the interface's name here.
#undef EnumProcesses

#include <algorithm>
#include <vector>

namespace korvane::platform::win32 {

namespace {

// The only right Korvane reads a process with: its image name and affinity need nothing more,
// and memory-read rights on every process (lsass too) are what credential-theft detection
// blocks. It is also granted on elevated and protected processes to a normal user.
constexpr DWORD kQueryLimited = PROCESS_QUERY_LIMITED_INFORMATION;
constexpr DWORD kSetAffinity = PROCESS_SET_INFORMATION | PROCESS_QUERY_LIMITED_INFORMATION;
constexpr DWORD kSetCpuSets = 0x2000 /* PROCESS_SET_LIMITED_INFORMATION */ | PROCESS_QUERY_LIMITED_INFORMATION;

// Closes a process handle when it goes out of scope.
class ProcessHandle {
public:
    ProcessHandle(DWORD access, std::int32_t processId)
        : m_handle(::OpenProcess(access, FALSE, static_cast<DWORD>(processId)))
    {
    }
    ProcessHandle(const ProcessHandle&) = delete;
    ProcessHandle& operator=(const ProcessHandle&) = delete;
    ~ProcessHandle()
    {
        if (m_handle != nullptr)
            ::CloseHandle(m_handle);
    }
    HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle;
};

// This machine's groups, largest CPU count each.
std::vector<int> MaximumCounts()
{
    std::vector<int> counts;
    const WORD groups = ::GetActiveProcessorGroupCount();
    for (WORD g = 0; g < std::max<WORD>(groups, 1); ++g)
        counts.push_back(static_cast<int>(::GetMaximumProcessorCount(g)));
    return counts;
}

// The process's groups; one (group 0) where Windows cannot tell.
std::vector<std::uint16_t> ProcessGroups(HANDLE process)
{
    std::vector<USHORT> groups(64);
    USHORT count = static_cast<USHORT>(groups.size());
    if (!::GetProcessGroupAffinity(process, &count, groups.data()) || count == 0)
        return {0};
    return std::vector<std::uint16_t>(groups.begin(), groups.begin() + count);
}

// SetProcessDefaultCpuSetMasks (Windows 11): looked up, as older systems lack it.
using SetCpuSetMasks = BOOL(WINAPI*)(HANDLE, PGROUP_AFFINITY, USHORT);

SetCpuSetMasks FindSetCpuSetMasks()
{
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    return kernel != nullptr ? reinterpret_cast<SetCpuSetMasks>(
                                   reinterpret_cast<void*>(::GetProcAddress(kernel, "SetProcessDefaultCpuSetMasks")))
                             : nullptr;
}

} // namespace

std::vector<int> GroupOffsets(const std::vector<int>& maximumCounts)
{
    std::vector<int> offsets;
    int offset = 0;
    for (const int count : maximumCounts) {
        offsets.push_back(offset);
        offset += count;
    }
    return offsets;
}

bool SplitIntoGroups(const CpuWords& cpus, const std::vector<int>& maximumCounts, std::vector<GroupMask>* groups)
{
    groups->clear();
    const std::vector<int> offsets = GroupOffsets(maximumCounts);
    for (std::size_t word = 0; word < cpus.size(); ++word) {
        for (int bit = 0; bit < 64; ++bit) {
            if (((cpus[word] >> bit) & 1U) == 0)
                continue;
            const int cpu = static_cast<int>(word) * 64 + bit;
            std::size_t group = 0;
            while (group < offsets.size() && cpu >= offsets[group] + maximumCounts[group])
                ++group;
            if (group == offsets.size())
                return false;
            if (groups->empty() || groups->back().first != group)
                groups->emplace_back(static_cast<std::uint16_t>(group), 0);
            groups->back().second |= std::uint64_t{1} << (cpu - offsets[group]);
        }
    }
    return true;
}

CpuWords JoinGroups(const std::vector<GroupMask>& groups, const std::vector<int>& maximumCounts)
{
    const std::vector<int> offsets = GroupOffsets(maximumCounts);
    CpuWords cpus;
    for (const auto& [group, mask] : groups) {
        if (group >= offsets.size())
            continue;
        for (int bit = 0; bit < 64; ++bit) {
            if (((mask >> bit) & 1U) == 0)
                continue;
            const int cpu = offsets[group] + bit;
            if (cpus.size() <= static_cast<std::size_t>(cpu / 64))
                cpus.resize(static_cast<std::size_t>(cpu / 64) + 1, 0);
            cpus[static_cast<std::size_t>(cpu / 64)] |= std::uint64_t{1} << (cpu % 64);
        }
    }
    return cpus;
}

bool Win32Processes::EnumProcesses(std::int32_t* buffer, std::int32_t byteCount, std::int32_t* bytesReturned)
{
    if (byteCount < 0)
        return false;
    std::vector<DWORD> ids(static_cast<std::size_t>(byteCount) / sizeof(DWORD));
    DWORD written = 0;
    if (!::K32EnumProcesses(ids.data(), static_cast<DWORD>(ids.size() * sizeof(DWORD)), &written))
        return false;
    const std::size_t count = written / sizeof(DWORD);
    for (std::size_t i = 0; i < count && i < ids.size(); ++i)
        buffer[i] = static_cast<std::int32_t>(ids[i]);
    *bytesReturned = static_cast<std::int32_t>(count * sizeof(DWORD));
    return true;
}

std::string Win32Processes::GetProcessPath(std::int32_t processId)
{
    // Long paths exist; a path cut at 260 characters would name the wrong program.
    std::wstring path(32768, L'\0');
    const ProcessHandle process(kQueryLimited, processId);
    DWORD length = static_cast<DWORD>(path.size());
    if (process.Get() == nullptr || !::QueryFullProcessImageNameW(process.Get(), 0, path.data(), &length))
        return {};
    path.resize(length);
    return Narrow(path);
}

CpuWords Win32Processes::GetProcessAffinity(std::int32_t processId)
{
    const ProcessHandle process(kQueryLimited, processId);
    if (process.Get() == nullptr)
        return {};
    const std::vector<int> counts = MaximumCounts();
    const std::vector<std::uint16_t> groups = ProcessGroups(process.Get());
    std::vector<GroupMask> masks;
    if (groups.size() == 1) {
        DWORD_PTR processMask = 0;
        DWORD_PTR systemMask = 0;
        if (!::GetProcessAffinityMask(process.Get(), &processMask, &systemMask) || processMask == 0)
            return {};
        masks.emplace_back(groups.front(), static_cast<std::uint64_t>(processMask));
    } else {
        // A process spanning groups runs on every active CPU of them unless CPU sets say less,
        // which only Windows 11 reports by group.
        for (const std::uint16_t group : groups) {
            const DWORD active = ::GetActiveProcessorCount(group);
            masks.emplace_back(group, active >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << active) - 1);
        }
    }
    return JoinGroups(masks, counts);
}

bool Win32Processes::SetProcessAffinity(std::int32_t processId, const CpuWords& cpus)
{
    std::vector<GroupMask> masks;
    if (!SplitIntoGroups(cpus, MaximumCounts(), &masks) || masks.empty())
        return false;
    // Only the rights the change needs: all access is refused on far more processes.
    const ProcessHandle process(kSetAffinity, processId);
    if (process.Get() == nullptr)
        return false;
    const std::vector<std::uint16_t> groups = ProcessGroups(process.Get());
    if (masks.size() == 1 && groups.size() == 1 && groups.front() == masks.front().first)
        return ::SetProcessAffinityMask(process.Get(), static_cast<DWORD_PTR>(masks.front().second)) != 0;
    // Across groups, or into another group: the process's default CPU sets.
    const SetCpuSetMasks setMasks = FindSetCpuSetMasks();
    const ProcessHandle cpuSets(kSetCpuSets, processId);
    if (setMasks == nullptr || cpuSets.Get() == nullptr)
        return false;
    std::vector<GROUP_AFFINITY> affinities;
    for (const auto& [group, mask] : masks) {
        GROUP_AFFINITY affinity{};
        affinity.Group = group;
        affinity.Mask = static_cast<KAFFINITY>(mask);
        affinities.push_back(affinity);
    }
    return setMasks(cpuSets.Get(), affinities.data(), static_cast<USHORT>(affinities.size())) != 0;
}

std::uint64_t Win32Processes::ProcessStartTime(std::int32_t processId)
{
    if (processId <= 0)
        return 0;
    // The limited right is granted even on elevated processes.
    const ProcessHandle process(PROCESS_QUERY_LIMITED_INFORMATION, processId);
    FILETIME created{};
    FILETIME exited{};
    FILETIME kernel{};
    FILETIME user{};
    if (process.Get() == nullptr || !::GetProcessTimes(process.Get(), &created, &exited, &kernel, &user))
        return 0;
    return (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

std::int32_t Win32Processes::CurrentProcessId()
{
    return static_cast<std::int32_t>(::GetCurrentProcessId());
}

void Win32Processes::YieldTimeSlice()
{
    ::Sleep(0);
}

int Win32Processes::LogicalProcessorCount()
{
    SYSTEM_INFO info{};
    ::GetSystemInfo(&info);
    return info.dwNumberOfProcessors > 0 ? static_cast<int>(info.dwNumberOfProcessors) : 1;
}

} // namespace korvane::platform::win32
