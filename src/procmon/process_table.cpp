#include "procmon/process_table.h"

#include "core/favorites_store.h"
#include "core/hidden_names.h"
#include "core/list_row.h"
#include "core/text.h"
#include "platform/processes.h"

#include <algorithm>

namespace korvane::procmon {

std::string FileNameFromPath(std::string_view path, char separator)
{
    // A backslash is looked for down to the third character (after "C:"); a slash down to the
    // first, so that a program in the root folder ("/memfd:x") has its name too.
    const bool backslash = separator == '\\';
    for (std::size_t i = path.size(); i >= 1; --i) {
        const char c = path[i - 1];
        if (c == '/' || (backslash && c == '\\' && i >= 3))
            return std::string(path.substr(i));
    }
    return {};
}

ProcessTable::ProcessTable(platform::Processes& processes, ProcessControls& controls,
                           core::FavoritesStore& favorites, core::HiddenNames& hidden, char separator)
    : m_processes(processes), m_controls(controls), m_favorites(favorites), m_hidden(hidden), m_separator(separator)
{
}

void ProcessTable::EnumerateProcessIds()
{
    std::int32_t reported = 96;
    std::int32_t bufferSize = 8;
    while (bufferSize <= reported) {
        if (bufferSize > (1 << 28))
            break; // more ids than any machine runs: keep what fitted
        bufferSize *= 2;
        m_processIds.assign(static_cast<std::size_t>(bufferSize / 4) + 1, 0);
        // A failed call leaves the reported count as it was.
        m_processes.EnumProcesses(m_processIds.data() + 1, bufferSize, &reported);
        if (reported < bufferSize)
            break;
    }
}

std::int32_t ProcessTable::CountProcessIds() const
{
    std::int32_t count = 0;
    for (const std::int32_t id : m_processIds) {
        if (id > 0)
            ++count;
    }
    return count;
}

std::string ProcessTable::GetProcessPath(std::int32_t processId)
{
    return m_processes.GetProcessPath(processId);
}

core::CpuSet ProcessTable::GetProcessAffinity(std::int32_t processId)
{
    return core::CpuSet::FromWords(m_processes.GetProcessAffinity(processId));
}

ProcessTable::NameColumn ProcessTable::NameColumnOf(const std::string& path) const
{
    const std::string fileName = core::VisibleName(FileNameFromPath(path, m_separator));
    NameColumn name{core::ListRow::NameFieldOf(core::ProperCase(fileName)), m_hidden.IsHidden(fileName), false};
    name.favorite = m_favorites.IsFavoriteNameField(name.text);
    if (name.favorite)
        name.text = core::ListRow::Marked('*', name.text);
    if (name.hidden)
        name.text = core::ListRow::Marked('<', name.text);
    return name;
}

std::uint64_t ProcessTable::ProcessStartTime(std::int32_t processId)
{
    return m_processes.ProcessStartTime(processId);
}

void ProcessTable::RememberStartTime(std::int32_t processId)
{
    if (processId <= 0)
        return;
    // The first time known since the rebuild is the row's: a later read could be a later process.
    const auto at = std::lower_bound(m_startTimes.begin(), m_startTimes.end(), std::make_pair(processId, std::uint64_t{0}));
    if (at == m_startTimes.end() || at->first != processId)
        m_startTimes.insert(at, {processId, m_processes.ProcessStartTime(processId)});
}

std::uint64_t ProcessTable::RememberedStartTime(std::int32_t processId) const
{
    const auto found = std::lower_bound(m_startTimes.begin(), m_startTimes.end(), std::make_pair(processId, std::uint64_t{0}));
    return found != m_startTimes.end() && found->first == processId ? found->second : 0;
}

bool ProcessTable::StillListedProcess(std::int32_t processId)
{
    const auto found = std::lower_bound(m_startTimes.begin(), m_startTimes.end(), std::make_pair(processId, std::uint64_t{0}));
    if (found == m_startTimes.end() || found->first != processId || found->second == 0)
        return true;
    return m_processes.ProcessStartTime(processId) == found->second;
}

void ProcessTable::RefreshProcessTable()
{
    forms::ListBox& list1 = m_controls.List1;
    const std::int32_t reselectId = list1.ListIndex() >= 0 ? list1.ItemData(list1.ListIndex()) : 0;

    list1.Clear();
    m_startTimes.clear();
    m_preferred.clear();
    std::int32_t nameable = 0;
    const bool showAll = m_controls.ShowAll.Value() != 0;
    std::vector<std::pair<std::string, std::int32_t>> rows;
    rows.reserve(m_processIds.size());
    for (const std::int32_t processId : m_processIds) {
        if (processId <= 0)
            continue;
        const std::string affinity = core::CpuSetText(GetProcessAffinity(processId));
        const bool preferred = m_processes.LastAffinityPreferred();
        const std::string path = m_processes.GetProcessPath(processId);
        if (path.empty())
            continue; // ended, a kernel thread, or not ours to inspect
        ++nameable;
        NameColumn name = NameColumnOf(path);
        if (name.hidden && !showAll)
            continue;
        // One more read per process would slow every rebuild by half: only the rows Korvane
        // sets by itself are checked at the rebuild.
        if (name.favorite)
            m_startTimes.emplace_back(processId, m_processes.ProcessStartTime(processId));
        if (preferred)
            m_preferred.push_back(processId);
        rows.emplace_back(std::move(name.text) + affinity, processId);
    }
    list1.AddItems(std::move(rows));
    std::sort(m_startTimes.begin(), m_startTimes.end());
    std::sort(m_preferred.begin(), m_preferred.end());

    std::int32_t select = list1.ListCount() > 0 ? 0 : -1;
    for (std::int32_t i = 0; i < list1.ListCount(); ++i) {
        if (list1.ItemData(i) == reselectId) {
            select = i;
            break;
        }
    }
    if (select >= 0) {
        list1.SetSelected(select, true);
        RememberStartTime(list1.ItemData(select));
    }
    ShowRowTip(select >= 0 ? list1.ItemData(select) : 0);

    m_controls.Label2.SetCaption("Process (" + std::to_string(list1.ListCount()) + "/" + std::to_string(nameable) +
                                 ")");
}

void ProcessTable::ShowRowTip(std::int32_t processId)
{
    forms::ListBox& list1 = m_controls.List1;
    const bool preferred = std::binary_search(m_preferred.begin(), m_preferred.end(), processId);
    std::string tip;
    for (std::int32_t i = 0; preferred && i < list1.ListCount(); ++i) {
        if (list1.ItemData(i) != processId)
            continue;
        const core::ListRow row(list1.List(i));
        const auto cpus = core::CpuSetToApply(row.AffinityText());
        tip = row.BareName() + " prefers CPUs " + (cpus ? core::CpuListText(*cpus) : row.AffinityText()) +
              " (Windows CPU sets): it may also run on its other CPUs while these are busy.";
        break;
    }
    if (list1.ToolTipText() != tip)
        list1.SetToolTipText(tip);
}

} // namespace korvane::procmon
