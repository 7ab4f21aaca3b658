#pragma once

#include "procmon/process_controls.h"

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace korvane::procmon {

class AffinityControl;
class ProcessTable;

// The polling watch: Timer1 lists the process ids and, when the set of ids changes, arms the
// one-shot Timer2, which rebuilds the table and, with "Auto Set Affinity" on, applies the favorites.
class MonitoringLoop {
public:
    MonitoringLoop(ProcessTable& table, AffinityControl& affinity, ProcessControls& controls,
                   std::function<void()> refreshProcessList);

    void Timer1_Timer();
    void Timer2_Timer();
    // Applies every favorite to the listed processes of the same name whose affinity differs.
    void Command3_Click();
    // Follows the value of "Auto Set Affinity" with the buttons and menu items.
    void Check1_MouseUp(int button, int shift, float x, float y);
    void MnuSetFav_Click();
    void MnuSetFavNow_Click() { Command3_Click(); }

    std::int32_t LastProcessCount = 0;

private:
    // Gives every listed favorite its CPUs. The automatic pass after a rebuild skips the
    // processes that refused them before: asking again on every refresh changes nothing.
    void SetFavorites(bool automatic);
    bool RefusedBefore(std::int32_t processId);
    void ForgetEndedRefusals();
    bool SelectedRowIsFavorite() const;
    // Takes the ids of this tick, sorted; true when they differ from the last tick's.
    bool ProcessIdsChanged();

    ProcessTable& m_table;
    AffinityControl& m_affinity;
    ProcessControls& m_controls;
    std::function<void()> m_refreshProcessList;
    std::vector<std::int32_t> m_lastIds;
    std::vector<std::int32_t> m_ids;
    // (id, start time) of the processes that refused their favorite's CPUs.
    std::vector<std::pair<std::int32_t, std::uint64_t>> m_refusals;
};

} // namespace korvane::procmon
