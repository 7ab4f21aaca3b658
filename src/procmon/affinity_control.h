#pragma once

#include "core/cpu_set.h"
#include "procmon/process_controls.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace korvane::platform {
class Dialogs;
class Processes;
} // namespace korvane::platform

namespace korvane::procmon {

inline constexpr const char* kProgramTitle = "Korvane";
inline constexpr const char* kSetAffinityFirst = "Please set the affinity first!";
inline constexpr const char* kUnableToSetAffinity = "Unable to set CPU affinity on one or more files!";

// Changing the affinity of a running process, and the "Apply" button.
class ProcessTable;

class AffinityControl {
public:
    AffinityControl(platform::Processes& processes, platform::Dialogs& dialogs, ProcessControls& controls,
                    ProcessSelection& selection, ProcessTable& table, std::function<void()> refreshProcessList);

    // Applies the text to the process; a failure sets AffinitySetFailed and nothing else. True
    // when the process took it.
    bool SetProcessAffinity(std::int32_t processId, std::string_view text);
    // "Apply": the ticked CPUs to the selected process.
    void Command5_Click();

    std::int16_t AffinitySetFailed = 0;

private:
    // "Unable to set ...", followed by the CPUs the process may not use when the platform named them.
    std::string FailureMessage() const;

    platform::Processes& m_processes;
    platform::Dialogs& m_dialogs;
    ProcessControls& m_controls;
    ProcessSelection& m_selection;
    ProcessTable& m_table;
    std::function<void()> m_refreshProcessList;
    core::CpuSet m_refused;
};

} // namespace korvane::procmon
