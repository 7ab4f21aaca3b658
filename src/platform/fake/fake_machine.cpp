#include "platform/fake/fake_machine.h"

#include <algorithm>

namespace korvane::platform::fake {

std::uint32_t FakeMachine::AllCpus() const
{
    return m_processorCount >= 32 ? 0xFFFFFFFFU : ((1U << m_processorCount) - 1U);
}

std::int32_t FakeMachine::Start(const std::string& path, int threads)
{
    const std::int32_t id = m_nextId;
    m_nextId += 4;
    return StartWithId(id, path, threads);
}

std::int32_t FakeMachine::StartWithId(std::int32_t processId, const std::string& path, int threads)
{
    Process process;
    process.path = path;
    process.threadMasks.assign(static_cast<std::size_t>(std::max(threads, 1)), AllCpus());
    process.started = ++m_starts;
    m_processes[processId] = std::move(process);
    m_nextId = std::max(m_nextId, processId + 4);
    return processId;
}

void FakeMachine::End(std::int32_t processId)
{
    m_processes.erase(processId);
}

void FakeMachine::Rename(std::int32_t processId, const std::string& path)
{
    m_processes.at(processId).path = path;
}

std::vector<std::uint32_t> FakeMachine::ThreadMasks(std::int32_t processId) const
{
    const auto it = m_processes.find(processId);
    return it == m_processes.end() ? std::vector<std::uint32_t>{} : it->second.threadMasks;
}

void FakeMachine::SetMaskDirectly(std::int32_t processId, std::uint32_t mask)
{
    for (auto& thread : m_processes.at(processId).threadMasks)
        thread = mask;
}

bool FakeMachine::EnumProcesses(std::int32_t* buffer, std::int32_t byteCount, std::int32_t* bytesReturned)
{
    m_enumRequests.push_back(byteCount);
    if (m_failEnumeration)
        return false;
    std::int32_t written = 0;
    for (const auto& [id, process] : m_processes) {
        if ((written + 1) * 4 > byteCount)
            break;
        buffer[written++] = id;
    }
    *bytesReturned = written * 4;
    return true;
}

std::string FakeMachine::GetProcessPath(std::int32_t processId)
{
    ++m_pathQueries;
    const auto it = m_processes.find(processId);
    if (it == m_processes.end() || !it->second.pathReadable)
        return {};
    return it->second.path;
}

CpuWords FakeMachine::GetProcessAffinity(std::int32_t processId)
{
    const auto it = m_processes.find(processId);
    if (it == m_processes.end() || !it->second.affinityReadable || it->second.threadMasks.front() == 0)
        return {};
    return {it->second.threadMasks.front()};
}

bool FakeMachine::SetProcessAffinity(std::int32_t processId, const CpuWords& cpus)
{
    ++m_setCount;
    // The simulated machine has at most 32 CPUs.
    const std::uint32_t mask = cpus.empty() ? 0U : static_cast<std::uint32_t>(cpus.front());
    m_lastRefused.clear();
    if (const std::uint32_t refused = mask & AllCpus() & ~m_allowed; refused != 0) {
        m_lastRefused = {refused};
        return false;
    }
    const auto it = m_processes.find(processId);
    // Like the kernel: the CPUs the machine lacks are dropped, and a mask left empty is refused.
    if (it == m_processes.end() || !it->second.settable || (mask & AllCpus()) == 0)
        return false;
    for (auto& thread : it->second.threadMasks)
        thread = mask & AllCpus();
    return true;
}

bool FakeMachine::AdjustPrivilege(std::int32_t processId, const std::string& privilegeName, bool enable)
{
    m_privilegeRequests.push_back(std::to_string(processId) + ":" + privilegeName + ":" + (enable ? "on" : "off"));
    return privilegeName == "SeDebugPrivilege";
}

std::uint64_t FakeMachine::ProcessStartTime(std::int32_t processId)
{
    const auto found = m_processes.find(processId);
    return found == m_processes.end() ? 0 : found->second.started;
}

} // namespace korvane::platform::fake
