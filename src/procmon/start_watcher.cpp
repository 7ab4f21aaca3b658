#include "procmon/start_watcher.h"

#include "core/cpu_set.h"
#include "core/list_row.h"
#include "platform/processes.h"
#include "platform/start_watch.h"
#include "procmon/affinity_control.h"
#include "procmon/process_table.h"

namespace korvane::procmon {

StartWatcher::StartWatcher(platform::StartWatch& watch, platform::Processes& processes, ProcessTable& table,
                           AffinityControl& affinity, ProcessControls& controls, std::function<void()> fullPass)
    : m_watch(watch), m_processes(processes), m_table(table), m_affinity(affinity), m_controls(controls),
      m_fullPass(std::move(fullPass))
{
}

void StartWatcher::StartWatch_Ready()
{
    if (!m_watch.IsOpen())
        return;
    m_started.clear();
    const platform::StartWatch::Result result = m_watch.TakeStarts(m_started);
    const bool autoSet = m_controls.Check1.Value() == 1;
    if (autoSet) {
        for (const platform::ProgramStart& start : m_started)
            ApplyFavoritesTo(start);
    }
    if (result == platform::StartWatch::Result::Read)
        return;
    // Starts were dropped or the watch broke: one full pass catches what was missed, then the
    // watch listens again, or the polling watch carries on alone.
    if (autoSet)
        m_fullPass();
    if (result == platform::StartWatch::Result::Failed) {
        m_watch.Close();
        m_watch.Open();
    }
}

void StartWatcher::ApplyFavoritesTo(const platform::ProgramStart& start)
{
    const std::int32_t processId = start.processId;
    // A vanished process is normal here (a short-lived program, an exec straight into another).
    const std::string path = m_processes.GetProcessPath(processId);
    if (path.empty())
        return;
    // Named exactly as its row will be, so that it matches the favorites the rows do.
    const ProcessTable::NameColumn column = m_table.NameColumnOf(path);
    if (column.hidden)
        return;
    const std::string name = core::ListRow(column.text).NameWithoutFavoriteMark();
    const forms::ListBox& list2 = m_controls.List2;
    for (std::int32_t f = 0; f < list2.ListCount(); ++f) {
        const core::ListRow favorite(list2.List(f));
        if (favorite.Name() != name)
            continue;
        const std::string text(favorite.Affinity());
        if (!core::CpuSetToApply(text) || core::CpuSetText(m_table.GetProcessAffinity(processId)) == text)
            continue;
        // The id may have gone to a later process since the start (the one read above, or not):
        // a process that started after the program's start is not the one that started it.
        if (start.startedBy != 0) {
            const std::uint64_t startTime = m_processes.ProcessStartTime(processId);
            if (startTime == 0 || startTime > start.startedBy)
                return;
        }
        const std::uint64_t startedBy = start.startedBy;
        const auto startedInTime = [startedBy](std::uint64_t time) {
            return startedBy == 0 || (time != 0 && time <= startedBy);
        };
        if (m_affinity.SetProcessAffinity(processId, text, startedInTime))
            ++m_startsSet;
    }
}

} // namespace korvane::procmon
