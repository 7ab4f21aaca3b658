#include "procmon/affinity_control.h"

#include "core/cpu_set.h"
#include "platform/dialogs.h"
#include "platform/processes.h"
#include "platform/system_service.h"
#include "procmon/process_table.h"

namespace korvane::procmon {

AffinityControl::AffinityControl(platform::Processes& processes, platform::Dialogs& dialogs,
                                 ProcessControls& controls, ProcessSelection& selection, ProcessTable& table,
                                 std::function<void()> refreshProcessList)
    : m_processes(processes), m_dialogs(dialogs), m_controls(controls), m_selection(selection), m_table(table),
      m_refreshProcessList(std::move(refreshProcessList))
{
}

std::function<bool(std::uint64_t)> StartedAs(std::uint64_t remembered)
{
    return [remembered](std::uint64_t time) { return remembered == 0 || time == remembered; };
}

bool AffinityControl::SetProcessAffinity(std::int32_t processId, std::string_view text,
                                         const std::function<bool(std::uint64_t)>& started)
{
    if (text.empty())
        return false;
    if (processId == 0) {
        AffinitySetFailed = 1;
        return false;
    }
    const std::optional<core::CpuSet> cpus = core::CpuSetToApply(text);
    const bool set = cpus && (started ? m_processes.SetProcessAffinityIfStarted(processId, cpus->Words(), started)
                                      : m_processes.SetProcessAffinity(processId, cpus->Words()));
    if (set) {
        m_processes.YieldTimeSlice();
        return true;
    }
    AffinitySetFailed = 1;
    m_refused = cpus ? core::CpuSet::FromWords(m_processes.LastRefusedCpus()) : core::CpuSet();
    return false;
}

std::string AffinityControl::FailureMessage() const
{
    std::string message = kUnableToSetAffinity;
    if (!m_serviceReason.empty())
        return message + "\n\n" + m_serviceReason;
    if (m_refused.Empty())
        return message;
    // "CPU 5", "CPUs 2, 3", "CPUs 8-15, 20".
    std::string cpus;
    for (const char c : core::CpuListText(m_refused))
        cpus += c == ',' ? std::string(", ") : std::string(1, c);
    return message + "\n\nThe process may not use " + (m_refused.Count() == 1 ? "CPU " : "CPUs ") + cpus + ".";
}

void AffinityControl::Command5_Click()
{
    // A typed set that cannot be applied has its reason shown beside it already.
    if (m_selection.SelectedProcessName.empty() || m_controls.EveryCpu.Unreadable())
        return;
    m_controls.Timer1.SetEnabled(false);
    const std::string text = ChosenAffinityText(m_controls.Check11, m_controls.EveryCpu);
    if (text.empty()) {
        m_dialogs.MessageBox(kSetAffinityFirst, platform::kMbIconInformation, kProgramTitle);
        m_controls.Timer1.SetEnabled(true);
        return;
    }
    AffinitySetFailed = 0;
    m_refused = core::CpuSet();
    m_serviceReason.clear();
    const std::int32_t processId = m_selection.SelectedProcessId;
    // The selected row may stand for a process that has ended, its id since given to another.
    if (m_table.StillListedProcess(processId)) {
        // Another user's process: the service asks for an administrator's consent. A set the
        // process's own CPUs refuse would be refused there too.
        const bool set = SetProcessAffinity(processId, text, StartedAs(m_table.RememberedStartTime(processId)));
        if (!set && m_refused.Empty() && m_service != nullptr && m_service->Available() && processId > 0) {
            const std::uint64_t remembered = m_table.RememberedStartTime(processId);
            m_serviceReason = m_service->SetAffinity(
                processId, remembered != 0 ? remembered : m_table.ProcessStartTime(processId), text);
            if (m_serviceReason.empty())
                AffinitySetFailed = 0;
        }
    } else {
        AffinitySetFailed = 1;
    }
    // The redraw below shows what the process really runs on now.
    m_selection.BoxesChangedByUser = false;
    if (AffinitySetFailed == 1)
        m_dialogs.MessageBox(FailureMessage(), platform::kMbIconError | platform::kMbSetForeground, kProgramTitle);
    m_refreshProcessList();
    m_controls.Timer1.SetEnabled(true);
}

} // namespace korvane::procmon
