#pragma once

#include "platform/privileges.h"
#include "platform/processes.h"
#include "platform/processor_info.h"
#include "platform/processor_topology.h"

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace korvane::platform::fake {

// A simulated machine: processes with ids, program paths and per-thread CPU masks that tests
// start, end and rename, with failures on demand.
class FakeMachine : public Processes, public ProcessorInfo, public ProcessorTopology, public Privileges {
public:
    explicit FakeMachine(int processorCount = 4) : m_processorCount(processorCount) {}

    // Processes. Start returns the new id; ids grow by 4 as they do on Windows.
    std::int32_t Start(const std::string& path, int threads = 1);
    std::int32_t StartWithId(std::int32_t processId, const std::string& path, int threads = 1);
    void End(std::int32_t processId);
    void Rename(std::int32_t processId, const std::string& path);
    bool Running(std::int32_t processId) const { return m_processes.count(processId) != 0; }
    // Masks of every thread of the process (empty when it is not running).
    std::vector<std::uint32_t> ThreadMasks(std::int32_t processId) const;
    // The CPUs of every thread of the process, whatever their number.
    std::vector<CpuWords> ThreadCpus(std::int32_t processId) const;
    void SetMaskDirectly(std::int32_t processId, std::uint32_t mask);
    // The user a process runs as; 1000 unless set.
    void SetOwner(std::int32_t processId, std::uint32_t uid) { m_processes.at(processId).owner = uid; }

    // Failures on demand.
    void FailEnumeration(bool fail) { m_failEnumeration = fail; }
    void HidePath(std::int32_t processId) { m_processes.at(processId).pathReadable = false; }
    void HideAffinity(std::int32_t processId) { m_processes.at(processId).affinityReadable = false; }
    // Its affinity reads as only preferred (Windows' CPU sets) until set again.
    void MarkPreferred(std::int32_t processId) { m_processes.at(processId).preferred = true; }
    void RefuseAffinityChanges(std::int32_t processId) { m_processes.at(processId).settable = false; }
    // The CPUs processes may use (a cpuset): a set naming any other CPU the machine has is
    // refused, and LastRefusedCpus names them.
    void SetAllowedCpus(std::uint32_t mask) { m_allowed = {mask}; }
    void SetAllowedCpus(CpuWords cpus) { m_allowed = std::move(cpus); }
    CpuWords LastRefusedCpus() const override { return m_lastRefused; }
    void SetProcessorCount(int count) { m_processorCount = count; }
    // The topology ReadTopology gives; by default every CPU online, allowed, a core of its own.
    void SetTopology(CpuTopology topology) { m_topology = std::move(topology); }

    // What the program asked for.
    const std::vector<std::int32_t>& EnumRequestSizes() const { return m_enumRequests; }
    void ClearEnumRequests() { m_enumRequests.clear(); }
    int SetAffinityCount() const { return m_setCount; }
    int PathQueryCount() const { return m_pathQueries; }
    const std::vector<std::string>& PrivilegeRequests() const { return m_privilegeRequests; }

    // Processes
    bool EnumProcesses(std::int32_t* buffer, std::int32_t byteCount, std::int32_t* bytesReturned) override;
    std::string GetProcessPath(std::int32_t processId) override;
    CpuWords GetProcessAffinity(std::int32_t processId) override;
    bool LastAffinityPreferred() const override { return m_lastPreferred; }
    bool SetProcessAffinity(std::int32_t processId, const CpuWords& cpus) override;
    // Counts the starts: a process started later under the same id has a later time.
    std::uint64_t ProcessStartTime(std::int32_t processId) override;
    std::optional<std::uint32_t> ProcessOwner(std::int32_t processId) override;
    std::int32_t CurrentProcessId() override { return m_currentProcessId; }
    void YieldTimeSlice() override {}

    // ProcessorInfo
    int LogicalProcessorCount() override { return m_processorCount; }

    // ProcessorTopology
    CpuTopology ReadTopology() override;
    // The online CPUs' numbers, comma-separated.
    std::string OnlineCpuList() override;

    // Privileges: "SeDebugPrivilege" is granted, any other name is unknown.
    bool AdjustPrivilege(std::int32_t processId, const std::string& privilegeName, bool enable) override;

private:
    struct Process {
        std::string path;
        std::vector<CpuWords> threads;
        bool pathReadable = true;
        bool affinityReadable = true;
        bool preferred = false;
        bool settable = true;
        std::uint64_t started = 0;
        std::uint32_t owner = 1000;
    };
    CpuWords AllCpus() const;

    std::map<std::int32_t, Process> m_processes;
    std::int32_t m_nextId = 1000;
    std::uint64_t m_starts = 0;
    std::int32_t m_currentProcessId = 4;
    int m_processorCount;
    bool m_failEnumeration = false;
    std::vector<std::int32_t> m_enumRequests;
    int m_setCount = 0;
    CpuWords m_allowed; // empty: every CPU
    CpuTopology m_topology;
    CpuWords m_lastRefused;
    int m_pathQueries = 0;
    std::vector<std::string> m_privilegeRequests;
    bool m_lastPreferred = false;
};

} // namespace korvane::platform::fake
