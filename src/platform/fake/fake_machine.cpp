#include "platform/fake/fake_machine.h"

#include <algorithm>

namespace korvane::platform::fake {

namespace {

std::size_t WordCount(const CpuWords& a, const CpuWords& b)
{
    return std::max(a.size(), b.size());
}

std::uint64_t WordAt(const CpuWords& words, std::size_t i)
{
    return i < words.size() ? words[i] : 0;
}

CpuWords Trimmed(CpuWords words)
{
    while (!words.empty() && words.back() == 0)
        words.pop_back();
    return words;
}

} // namespace

CpuWords FakeMachine::AllCpus() const
{
    const int count = std::max(m_processorCount, 1);
    CpuWords words(static_cast<std::size_t>((count + 63) / 64), ~std::uint64_t{0});
    if (count % 64 != 0)
        words.back() = (std::uint64_t{1} << (count % 64)) - 1;
    return words;
}

CpuTopology FakeMachine::ReadTopology()
{
    if (!m_topology.cpus.empty())
        return m_topology;
    CpuTopology topology;
    const CpuWords allowed = m_allowed;
    for (int n = 0; n < m_processorCount; ++n) {
        LogicalCpu cpu;
        cpu.number = n;
        cpu.package = 0;
        cpu.core = n;
        cpu.thread = 0;
        const std::size_t word = static_cast<std::size_t>(n / 64);
        cpu.allowed = allowed.empty() || (WordAt(allowed, word) >> (n % 64) & 1) != 0;
        topology.cpus.push_back(cpu);
    }
    topology.unknown = {"cache groups", "NUMA nodes", "kinds"};
    return topology;
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
    process.threads.assign(static_cast<std::size_t>(std::max(threads, 1)), AllCpus());
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
    std::vector<std::uint32_t> masks;
    for (const CpuWords& thread : ThreadCpus(processId))
        masks.push_back(static_cast<std::uint32_t>(WordAt(thread, 0)));
    return masks;
}

std::vector<CpuWords> FakeMachine::ThreadCpus(std::int32_t processId) const
{
    const auto it = m_processes.find(processId);
    return it == m_processes.end() ? std::vector<CpuWords>{} : it->second.threads;
}

void FakeMachine::SetMaskDirectly(std::int32_t processId, std::uint32_t mask)
{
    for (auto& thread : m_processes.at(processId).threads)
        thread = Trimmed({mask});
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
    m_lastPreferred = false;
    if (it == m_processes.end() || !it->second.affinityReadable || it->second.threads.front().empty())
        return {};
    m_lastPreferred = it->second.preferred;
    return it->second.threads.front();
}

bool FakeMachine::SetProcessAffinity(std::int32_t processId, const CpuWords& cpus)
{
    ++m_setCount;
    const CpuWords all = AllCpus();
    CpuWords refused(WordCount(cpus, all));
    CpuWords kept(refused.size());
    for (std::size_t i = 0; i < refused.size(); ++i) {
        const std::uint64_t onMachine = WordAt(cpus, i) & WordAt(all, i);
        refused[i] = m_allowed.empty() ? 0 : onMachine & ~WordAt(m_allowed, i);
        kept[i] = onMachine;
    }
    m_lastRefused = Trimmed(std::move(refused));
    if (!m_lastRefused.empty())
        return false;
    const auto it = m_processes.find(processId);
    kept = Trimmed(std::move(kept));
    // Like the kernel: the CPUs the machine lacks are dropped, and a set left empty is refused.
    if (it == m_processes.end() || !it->second.settable || kept.empty())
        return false;
    for (auto& thread : it->second.threads)
        thread = kept;
    it->second.preferred = false;
    return true;
}

bool FakeMachine::AdjustPrivilege(std::int32_t processId, const std::string& privilegeName, bool enable)
{
    m_privilegeRequests.push_back(std::to_string(processId) + ":" + privilegeName + ":" + (enable ? "on" : "off"));
    return privilegeName == "SeDebugPrivilege";
}

std::optional<std::uint32_t> FakeMachine::ProcessOwner(std::int32_t processId)
{
    const auto found = m_processes.find(processId);
    return found == m_processes.end() ? std::nullopt : std::optional(found->second.owner);
}

std::string FakeMachine::OnlineCpuList()
{
    std::string list;
    for (const LogicalCpu& cpu : ReadTopology().cpus) {
        if (cpu.online)
            list += (list.empty() ? "" : ",") + std::to_string(cpu.number);
    }
    return list;
}

std::uint64_t FakeMachine::ProcessStartTime(std::int32_t processId)
{
    const auto found = m_processes.find(processId);
    return found == m_processes.end() ? 0 : found->second.started;
}

} // namespace korvane::platform::fake
