#pragma once

#include "core/affinity.h"
#include "core/cpu_set.h"
#include "procmon/process_controls.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvane::core {
class FavoritesStore;
class HiddenNames;
} // namespace korvane::core
namespace korvane::platform { class Processes; }

namespace korvane::procmon {

// The text after the last path separator; empty when there is none. With the separator "\" a
// "\" is searched down to the third character and a "/" down to the first; with "/" (where a file
// name may hold a "\") only a "/".
std::string FileNameFromPath(std::string_view path, char separator);

// The rows of the process list: one per running process whose program can be named, with the
// favorite "*" and hidden "<" markers and the current affinity text.
class ProcessTable {
public:
    // separator: the platform's path separator.
    ProcessTable(platform::Processes& processes, ProcessControls& controls, core::FavoritesStore& favorites,
                 core::HiddenNames& hidden, char separator);

    // Fills ProcessIds from 1 on, doubling the buffer from 16 bytes until every id fitted.
    void EnumerateProcessIds();
    const std::vector<std::int32_t>& ProcessIds() const { return m_processIds; }
    // Entries greater than 0.
    std::int32_t CountProcessIds() const;

    // Rebuilds every row of List1 from ProcessIds, re-selects the selected process (else the
    // first row) and updates Label2.
    void RefreshProcessTable();

    std::string GetProcessPath(std::int32_t processId);
    core::CpuSet GetProcessAffinity(std::int32_t processId);

    // The name column a program path gets in List1: its proper-cased file name, marked "*" when
    // it is a favorite and "<" when hidden.
    struct NameColumn {
        std::string text;
        bool hidden = false;
        bool favorite = false;
    };
    NameColumn NameColumnOf(const std::string& path) const;
    // False when the process whose start time was remembered under the id has ended, even if a
    // later process now has its id; true when none was remembered or it cannot be read.
    bool StillListedProcess(std::int32_t processId);
    // Remembers the start time of the process under the id, unless one is remembered since the
    // rebuild. A rebuild remembers it for the rows Korvane acts on by itself (favorites) and the
    // selected row; the rest, one read each, are remembered as they are selected.
    void RememberStartTime(std::int32_t processId);
    // The start time remembered for the process since the last rebuild; 0 when none.
    std::uint64_t RememberedStartTime(std::int32_t processId) const;
    std::uint64_t ProcessStartTime(std::int32_t processId);
    // List1's tooltip tells whether the process's set is only preferred (the system may run it on
    // other CPUs); none for any other.
    void ShowRowTip(std::int32_t processId);

private:
    platform::Processes& m_processes;
    ProcessControls& m_controls;
    core::FavoritesStore& m_favorites;
    core::HiddenNames& m_hidden;
    std::vector<std::int32_t> m_processIds;
    // (id, start time) of rows of the last rebuild, by id.
    std::vector<std::pair<std::int32_t, std::uint64_t>> m_startTimes;
    // Ids of the last rebuild's processes whose set is only preferred, ascending.
    std::vector<std::int32_t> m_preferred;
    char m_separator;
};

} // namespace korvane::procmon
