#include "platform/win32/win32_processes.h"

#include "platform/win32/win32_text.h"

#include <windows.h>
#include <psapi.h>
// psapi.h names K32EnumProcesses EnumProcesses, which is also the interface's name here.
#undef EnumProcesses

#include <vector>

namespace korvane::platform::win32 {

namespace {

constexpr DWORD kQueryAndRead = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ; // 0x0410
constexpr DWORD kAllAccess = 0x1F0FFF;

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

} // namespace

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
    const ProcessHandle process(kQueryAndRead, processId);
    if (process.Get() == nullptr)
        return {};
    HMODULE module = nullptr;
    DWORD needed = 0;
    if (!::EnumProcessModules(process.Get(), &module, sizeof module, &needed))
        return {};
    // Long paths exist; a path cut at 260 characters would name the wrong program.
    std::wstring path(32768, L'\0');
    const DWORD length = ::GetModuleFileNameExW(process.Get(), module, path.data(), static_cast<DWORD>(path.size()));
    path.resize(length);
    return Narrow(path);
}

CpuWords Win32Processes::GetProcessAffinity(std::int32_t processId)
{
    const ProcessHandle process(kQueryAndRead, processId);
    if (process.Get() == nullptr)
        return {};
    DWORD_PTR processMask = 0;
    DWORD_PTR systemMask = 0;
    if (!::GetProcessAffinityMask(process.Get(), &processMask, &systemMask) || processMask == 0)
        return {};
    return {static_cast<std::uint64_t>(processMask)};
}

bool Win32Processes::SetProcessAffinity(std::int32_t processId, const CpuWords& cpus)
{
    // One processor group of up to 64 CPUs: a CPU beyond it cannot be set this way.
    if (cpus.empty() || cpus.size() > 1)
        return false;
    const ProcessHandle process(kAllAccess, processId);
    if (process.Get() == nullptr)
        return false;
    return ::SetProcessAffinityMask(process.Get(), static_cast<DWORD_PTR>(cpus.front())) != 0;
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
