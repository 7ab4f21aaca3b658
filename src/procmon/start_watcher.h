#pragma once

#include "procmon/process_controls.h"

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/start_watch.h"

namespace korvane::platform {
class Processes;
} // namespace korvane::platform

namespace korvane::procmon {

class AffinityControl;
class ProcessTable;

// With "Auto Set Affinity" on, gives a favorite its CPUs the moment a process starts it, ahead
// of the polling watch, which still rebuilds the list and catches whatever this one missed.
class StartWatcher {
public:
    // fullPass: a rebuild of the list followed by "Set Now", for starts the platform dropped.
    StartWatcher(platform::StartWatch& watch, platform::Processes& processes, ProcessTable& table,
                 AffinityControl& affinity, ProcessControls& controls, std::function<void()> fullPass);

    // The watch's handle became readable: takes the starts and applies the favorites to them.
    void StartWatch_Ready();
    // Favorites given at a start, counted over the run.
    std::int64_t StartsSet() const { return m_startsSet; }

private:
    void ApplyFavoritesTo(const platform::ProgramStart& start);

    platform::StartWatch& m_watch;
    platform::Processes& m_processes;
    ProcessTable& m_table;
    AffinityControl& m_affinity;
    ProcessControls& m_controls;
    std::function<void()> m_fullPass;
    std::vector<platform::ProgramStart> m_started;
    std::int64_t m_startsSet = 0;
};

} // namespace korvane::procmon
