#include "platform/win32/win32_processes.h"

#include "platform/win32/win32_text.h"
#include "platform/win32/win32_topology.h"

#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>
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
constexpr DWORD kSetLimited = 0x2000 /* PROCESS_SET_LIMITED_INFORMATION */ | PROCESS_QUERY_LIMITED_INFORMATION;

// Closes a process handle when it goes out of scope.
class ProcessHandle {
public:
    ProcessHandle(DWORD access, std::int32_t processId)
        : m_handle(access != 0 ? ::OpenProcess(access, FALSE, static_cast<DWORD>(processId)) : nullptr)
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

// The process's groups; one (group 0) where Windows cannot tell.
std::vector<std::uint16_t> ProcessGroups(HANDLE process)
{
    std::vector<USHORT> groups(64);
    USHORT count = static_cast<USHORT>(groups.size());
    if (!::GetProcessGroupAffinity(process, &count, groups.data()) || count == 0)
        return {0};
    return std::vector<std::uint16_t>(groups.begin(), groups.begin() + count);
}

template <typename Function>
Function Kernel32Function(const char* name)
{
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    return kernel != nullptr ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(kernel, name)))
                             : nullptr;
}

// The CPU-set calls, looked up: Windows 10 has those by id, Windows 11 also those by mask.
struct CpuSetCalls {
    using GetMasks = BOOL(WINAPI*)(HANDLE, PGROUP_AFFINITY, USHORT, PUSHORT);
    using SetMasks = BOOL(WINAPI*)(HANDLE, PGROUP_AFFINITY, USHORT);
    using GetIds = BOOL(WINAPI*)(HANDLE, PULONG, ULONG, PULONG);
    using SetIds = BOOL(WINAPI*)(HANDLE, const ULONG*, ULONG);
    using SystemInformation = BOOL(WINAPI*)(void*, ULONG, PULONG, HANDLE, ULONG);

    GetMasks getMasks = Kernel32Function<GetMasks>("GetProcessDefaultCpuSetMasks");
    SetMasks setMasks = Kernel32Function<SetMasks>("SetProcessDefaultCpuSetMasks");
    GetIds getIds = Kernel32Function<GetIds>("GetProcessDefaultCpuSets");
    SetIds setIds = Kernel32Function<SetIds>("SetProcessDefaultCpuSets");
    SystemInformation systemInformation = Kernel32Function<SystemInformation>("GetSystemCpuSetInformation");

    // Windows 11, where a process spans every group unless told otherwise.
    bool SpansGroups() const { return setMasks != nullptr; }

    std::vector<GroupMask> Read(HANDLE process) const
    {
        if (getMasks != nullptr) {
            std::vector<GROUP_AFFINITY> masks(64);
            USHORT needed = 0;
            if (!getMasks(process, masks.data(), static_cast<USHORT>(masks.size()), &needed))
                return {};
            std::vector<GroupMask> read;
            for (USHORT i = 0; i < needed && i < masks.size(); ++i)
                read.emplace_back(masks[i].Group, static_cast<std::uint64_t>(masks[i].Mask));
            return read;
        }
        if (getIds == nullptr || systemInformation == nullptr)
            return {};
        std::vector<ULONG> ids(2048);
        ULONG count = 0;
        if (!getIds(process, ids.data(), static_cast<ULONG>(ids.size()), &count) || count == 0)
            return {};
        ids.resize(std::min<std::size_t>(count, ids.size()));
        ULONG length = 0;
        systemInformation(nullptr, 0, &length, nullptr, 0);
        std::vector<std::uint8_t> table(length);
        if (length == 0 || !systemInformation(table.data(), length, &length, nullptr, 0))
            return {};
        table.resize(std::min<std::size_t>(length, table.size()));
        return MasksOfCpuSetIds(std::vector<std::uint32_t>(ids.begin(), ids.end()), ParseCpuSetInformation(table));
    }
    // Removes the process's default CPU sets; true where the system has none to remove.
    bool Clear(HANDLE process) const
    {
        if (setMasks != nullptr)
            return setMasks(process, nullptr, 0) != 0;
        return setIds == nullptr || setIds(process, nullptr, 0) != 0;
    }
    bool Set(HANDLE process, const std::vector<GroupMask>& masks) const
    {
        if (setMasks == nullptr)
            return false;
        std::vector<GROUP_AFFINITY> affinities;
        for (const auto& [group, mask] : masks) {
            GROUP_AFFINITY affinity{};
            affinity.Group = group;
            affinity.Mask = static_cast<KAFFINITY>(mask);
            affinities.push_back(affinity);
        }
        return setMasks(process, affinities.data(), static_cast<USHORT>(affinities.size())) != 0;
    }
};

// Looked up once: a refresh reads every process.
const CpuSetCalls& CpuSets()
{
    static const CpuSetCalls calls;
    return calls;
}

ProcessPlacement ReadPlacement(HANDLE process, const CpuSetCalls& cpuSets)
{
    ProcessPlacement placement;
    placement.groups = ProcessGroups(process);
    DWORD_PTR processMask = 0;
    DWORD_PTR systemMask = 0;
    if (::GetProcessAffinityMask(process, &processMask, &systemMask))
        placement.hardMask = static_cast<std::uint64_t>(processMask);
    placement.cpuSets = cpuSets.Read(process);
    return placement;
}

// Moves every thread of the process to the group and mask. New threads still start in the
// process's first group: Windows 10 has no call that moves it.
bool MoveThreads(DWORD processId, const GroupMask& target)
{
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    GROUP_AFFINITY affinity{};
    affinity.Group = target.first;
    affinity.Mask = static_cast<KAFFINITY>(target.second);
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    bool moved = false;
    bool failed = false;
    for (BOOL more = ::Thread32First(snapshot, &entry); more; more = ::Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != processId)
            continue;
        const HANDLE thread = ::OpenThread(THREAD_SET_INFORMATION | THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID);
        // A thread that ended since the snapshot is no failure.
        if (thread == nullptr)
            continue;
        if (::SetThreadGroupAffinity(thread, &affinity, nullptr))
            moved = true;
        else
            failed = true;
        ::CloseHandle(thread);
    }
    ::CloseHandle(snapshot);
    return moved && !failed;
}

std::uint64_t CreationTime(HANDLE process)
{
    FILETIME created{};
    FILETIME exited{};
    FILETIME kernel{};
    FILETIME user{};
    if (!::GetProcessTimes(process, &created, &exited, &kernel, &user))
        return 0;
    return (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

} // namespace

const GroupNumbering& Win32Processes::Numbering()
{
    if (m_numbering.GroupCount() == 0)
        m_numbering = MachineGroups();
    return m_numbering;
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
    m_lastPreferred = false;
    const ProcessHandle process(kQueryLimited, processId);
    if (process.Get() == nullptr)
        return {};
    const CpuSetCalls& cpuSets = CpuSets();
    const ProcessPlacement placement = ReadPlacement(process.Get(), cpuSets);
    // A mask that could not be read in a single group: the process is not ours to show.
    if (placement.groups.size() == 1 && placement.hardMask == 0)
        return {};
    const PlacedCpus placed = EffectiveAffinity(Numbering(), placement, cpuSets.SpansGroups());
    m_lastPreferred = placed.preferred;
    return placed.cpus;
}

bool Win32Processes::SetProcessAffinity(std::int32_t processId, const CpuWords& cpus)
{
    return SetProcessAffinityIfStarted(processId, cpus, [](std::uint64_t) { return true; });
}

bool Win32Processes::SetProcessAffinityIfStarted(std::int32_t processId, const CpuWords& cpus,
                                                 const std::function<bool(std::uint64_t)>& started)
{
    std::vector<GroupMask> target;
    if (!Numbering().Split(cpus, &target) || target.empty())
        return false;
    // Only the rights a change needs, and the handle the start time is read through is the one
    // set through: an id reused in between cannot be set. A protected process may refuse the
    // full set right yet allow CPU sets.
    ProcessHandle full(kSetAffinity | kSetLimited, processId);
    ProcessHandle limited(full.Get() == nullptr ? kSetLimited : 0, processId);
    const HANDLE process = full.Get() != nullptr ? full.Get() : limited.Get();
    if (process == nullptr || !started(CreationTime(process)))
        return false;
    const CpuSetCalls& cpuSets = CpuSets();
    const AffinityPlan plan = PlanAffinity(Numbering(), ReadPlacement(process, cpuSets), target, cpuSets.SpansGroups());
    if (plan.refused || ((plan.hardMask || plan.moveThreads) && full.Get() == nullptr))
        return false;
    if (plan.clearCpuSets && !cpuSets.Clear(process))
        return false;
    if (plan.hardMask && !::SetProcessAffinityMask(process, static_cast<DWORD_PTR>(*plan.hardMask)))
        return false;
    if (plan.moveThreads && !MoveThreads(static_cast<DWORD>(processId), *plan.moveThreads))
        return false;
    return plan.cpuSets.empty() || cpuSets.Set(process, plan.cpuSets);
}

std::uint64_t Win32Processes::ProcessStartTime(std::int32_t processId)
{
    if (processId <= 0)
        return 0;
    // The limited right is granted even on elevated processes.
    const ProcessHandle process(kQueryLimited, processId);
    return process.Get() != nullptr ? CreationTime(process.Get()) : 0;
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
    // GetSystemInfo counts this program's group only.
    return std::max(Numbering().CpuCount(), 1);
}

} // namespace korvane::platform::win32
