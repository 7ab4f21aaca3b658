#include "service/start_setter.h"

#include "core/text.h"
#include "platform/processes.h"

#include <vector>

namespace korvane::service {

bool StartSetter::ProgramStarted(const platform::ProgramStart& start)
{
    if (m_rules.CallerCount() == 0)
        return false;
    if (!ApplyTo(start.processId, start.startedBy, std::nullopt))
        return false;
    ++m_startsSet;
    return true;
}

bool StartSetter::ApplyTo(std::int32_t processId, std::uint64_t startedBy, std::optional<std::uint32_t> onlyUid)
{
    if (processId <= 1)
        return false;
    // The owner first: another user's start costs nothing more when no favorite applies to it.
    const std::optional<std::uint32_t> owner = m_processes.ProcessOwner(processId);
    if (!owner || (onlyUid && *owner != *onlyUid) || !m_rules.AppliesTo(*owner))
        return false;
    // A vanished process is normal here (a short-lived program, an exec straight into another).
    const std::string path = m_processes.GetProcessPath(processId);
    if (path.empty())
        return false;
    const std::optional<core::CpuSet> cpus = m_rules.CpusFor(*owner, RowNameOf(path));
    if (!cpus || core::CpuSet::FromWords(m_processes.GetProcessAffinity(processId)) == *cpus)
        return false;
    // The path, owner and CPUs read above were the starter's only if it still holds the id.
    if (startedBy != 0) {
        const std::uint64_t startTime = m_processes.ProcessStartTime(processId);
        if (startTime == 0 || startTime > startedBy)
            return false;
    }
    return m_processes.SetProcessAffinity(processId, cpus->Words());
}

int StartSetter::ApplyToRunning(std::optional<std::uint32_t> uid)
{
    std::vector<std::int32_t> ids(1024);
    std::int32_t bytes = 0;
    for (;;) {
        const auto capacity = static_cast<std::int32_t>(ids.size() * sizeof(std::int32_t));
        if (!m_processes.EnumProcesses(ids.data(), capacity, &bytes))
            return 0;
        if (bytes < capacity || ids.size() >= (1U << 22))
            break;
        ids.resize(ids.size() * 2);
    }
    ids.resize(static_cast<std::size_t>(bytes) / sizeof(std::int32_t));
    int set = 0;
    for (const std::int32_t processId : ids) {
        // Its start time now: the process read afterwards must be the same one.
        const std::uint64_t startTime = m_processes.ProcessStartTime(processId);
        if (startTime != 0 && ApplyTo(processId, startTime, uid))
            ++set;
    }
    return set;
}

std::variant<StartSetter::Target, Refusal> StartSetter::CheckSetAffinity(std::int32_t processId,
                                                                          std::uint64_t startTime,
                                                                          const std::string& cpus)
{
    const std::string id = std::to_string(processId);
    if (processId <= 1)
        return Refusal{"InvalidArgs", "process " + id + " is never set: the first process and ids below it are the "
                                                        "system's own"};
    const std::optional<core::CpuSet> set = core::CpuSetToApply(cpus);
    if (!set || set->Empty())
        return Refusal{"InvalidArgs", "\"" + core::VisibleName(cpus.substr(0, 64)) + "\" is no CPU list"};
    if (set->Highest() > m_highestCpu)
        return Refusal{"InvalidArgs", "CPU " + std::to_string(set->Highest()) + " is not one of this machine's"};
    const std::uint64_t now = m_processes.ProcessStartTime(processId);
    if (now == 0)
        return Refusal{"NoSuchProcess", "process " + id + " has ended"};
    if (now != startTime)
        return Refusal{"NoSuchProcess", "process " + id + " has ended; its id now belongs to a later process"};
    const std::optional<std::uint32_t> owner = m_processes.ProcessOwner(processId);
    if (!owner)
        return Refusal{"NoSuchProcess", "process " + id + " has ended"};
    if (m_processes.GetProcessPath(processId).empty())
        return Refusal{"InvalidArgs", "process " + id + " runs no program (a kernel thread)"};
    return Target{processId, startTime, *owner, *set};
}

std::optional<Refusal> StartSetter::SetAffinity(const Target& target)
{
    const std::string id = std::to_string(target.processId);
    if (m_processes.ProcessStartTime(target.processId) != target.startTime)
        return Refusal{"NoSuchProcess", "process " + id + " ended before it could be set"};
    if (!m_processes.SetProcessAffinity(target.processId, target.cpus.Words()))
        return Refusal{"Failed", "the system refused CPUs " + core::CpuListText(target.cpus) + " for process " + id};
    return std::nullopt;
}

} // namespace korvane::service
