#include "procmon/monitoring_loop.h"

#include "core/cpu_set.h"
#include "core/list_row.h"
#include "core/text.h"
#include "procmon/affinity_control.h"
#include "procmon/process_table.h"

#include <algorithm>

namespace korvane::procmon {

MonitoringLoop::MonitoringLoop(ProcessTable& table, AffinityControl& affinity, ProcessControls& controls,
                               std::function<void()> refreshProcessList)
    : m_table(table), m_affinity(affinity), m_controls(controls), m_refreshProcessList(std::move(refreshProcessList))
{
}

void MonitoringLoop::Timer1_Timer()
{
    m_controls.Timer1.SetEnabled(false);
    m_table.EnumerateProcessIds();
    const std::int32_t count = m_table.CountProcessIds();
    // A start and an end in the same tick leave the count as it was: the ids tell them apart.
    const bool idsChanged = ProcessIdsChanged();
    if (count != LastProcessCount || idsChanged) {
        LastProcessCount = count;
        m_controls.Timer2.SetEnabled(true);
    }
    m_controls.Timer1.SetEnabled(true);
}

bool MonitoringLoop::ProcessIdsChanged()
{
    m_ids.clear();
    for (const std::int32_t id : m_table.ProcessIds()) {
        if (id > 0)
            m_ids.push_back(id);
    }
    std::sort(m_ids.begin(), m_ids.end());
    if (m_ids == m_lastIds)
        return false;
    // Both buffers keep their capacity from tick to tick.
    m_lastIds.swap(m_ids);
    return true;
}

void MonitoringLoop::Timer2_Timer()
{
    m_controls.Timer2.SetEnabled(false);
    if (m_controls.Form.State() == forms::WindowState::Minimized)
        m_table.RefreshProcessTable();
    else
        m_refreshProcessList();
    if (m_controls.Check1.Value() == 1)
        SetFavorites(true);
}

void MonitoringLoop::Command3_Click()
{
    SetFavorites(false);
}

bool MonitoringLoop::RefusedBefore(std::int32_t processId)
{
    const auto found = std::find_if(m_refusals.begin(), m_refusals.end(),
                                    [processId](const auto& refusal) { return refusal.first == processId; });
    if (found == m_refusals.end())
        return false;
    if (m_table.ProcessStartTime(processId) == found->second)
        return true;
    m_refusals.erase(found); // a later process under the same id
    return false;
}

void MonitoringLoop::ForgetEndedRefusals()
{
    const forms::ListBox& list1 = m_controls.List1;
    std::erase_if(m_refusals, [&list1](const auto& refusal) {
        for (std::int32_t p = 0; p < list1.ListCount(); ++p) {
            if (list1.ItemData(p) == refusal.first)
                return false;
        }
        return true;
    });
}

void MonitoringLoop::SetFavorites(bool automatic)
{
    m_controls.Timer1.SetEnabled(false);
    bool setSomething = false;
    const forms::ListBox& list1 = m_controls.List1;
    const forms::ListBox& list2 = m_controls.List2;
    for (std::int32_t f = 0; f < list2.ListCount(); ++f) {
        const std::string& favorite = list2.List(f);
        const core::ListRow favoriteRow(favorite);
        const std::string favoriteName = favoriteRow.Name();
        const std::string favoriteText(favoriteRow.Affinity());
        // A list that cannot be read ("5-3") stays in the favorites but is never applied.
        if (!core::CpuSetToApply(favoriteText))
            continue;
        for (std::int32_t p = 0; p < list1.ListCount(); ++p) {
            const std::string& row = list1.List(p);
            const core::ListRow process(row);
            if (process.NameWithoutFavoriteMark() != favoriteName)
                continue;
            if (process.Affinity() == favoriteText)
                continue;
            // A row whose process ended and whose id went to a later process is left alone; the
            // rebuild shows the later one.
            if (!m_table.StillListedProcess(list1.ItemData(p))) {
                m_controls.Timer2.SetEnabled(true);
                continue;
            }
            const std::int32_t processId = list1.ItemData(p);
            if (automatic && RefusedBefore(processId))
                continue;
            setSomething = true;
            const auto sameProcess = StartedAs(m_table.RememberedStartTime(processId));
            if (!m_affinity.SetProcessAffinity(processId, favoriteText, sameProcess) && !RefusedBefore(processId))
                m_refusals.emplace_back(processId, m_table.ProcessStartTime(processId));
        }
    }
    if (setSomething)
        m_refreshProcessList();
    if (!m_refusals.empty())
        ForgetEndedRefusals();
    m_controls.Timer1.SetEnabled(true);
}

bool MonitoringLoop::SelectedRowIsFavorite() const
{
    const std::int32_t index = m_controls.List1.ListIndex();
    return index >= 0 && core::ListRow(m_controls.List1.List(index)).Favorite();
}

void MonitoringLoop::Check1_MouseUp(int /*button*/, int /*shift*/, float /*x*/, float /*y*/)
{
    if (m_controls.Check1.Value() == 1) {
        m_controls.Command3.SetEnabled(false);
        m_controls.MnuSetFavNow.SetEnabled(false);
        m_controls.MnuSetFav.SetChecked(true);
        if (SelectedRowIsFavorite()) {
            m_controls.Command1.SetEnabled(false);
            m_controls.Command5.SetEnabled(false);
        }
        Command3_Click();
    } else {
        m_controls.Command3.SetEnabled(true);
        m_controls.MnuSetFavNow.SetEnabled(true);
        m_controls.MnuSetFav.SetChecked(false);
        if (SelectedRowIsFavorite())
            m_controls.Command5.SetEnabled(true);
    }
}

void MonitoringLoop::MnuSetFav_Click()
{
    m_controls.MnuSetFav.SetChecked(!m_controls.MnuSetFav.Checked());
    m_controls.Check1.SetValue(m_controls.MnuSetFav.Checked() ? 1 : 0);
    Check1_MouseUp(forms::kLeftButton, 0, 0.0F, 0.0F);
}

} // namespace korvane::procmon
