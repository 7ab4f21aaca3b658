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
class SystemService;
} // namespace korvane::platform

namespace korvane::procmon {

inline constexpr const char* kProgramTitle = "Korvane";
inline constexpr const char* kSetAffinityFirst = "Please set the affinity first!";
inline constexpr const char* kUnableToSetAffinity = "Unable to set CPU affinity on one or more files!";

class ProcessTable;

// The start check of a set to a process whose start time was remembered: the same process only;
// any process when none was remembered.
std::function<bool(std::uint64_t)> StartedAs(std::uint64_t remembered);

// Changing the affinity of a running process, and the "Apply" button.
class AffinityControl {
public:
    AffinityControl(platform::Processes& processes, platform::Dialogs& dialogs, ProcessControls& controls,
                    ProcessSelection& selection, ProcessTable& table, std::function<void()> refreshProcessList);

    // Applies the text to the process; a failure sets AffinitySetFailed and nothing else. True
    // when the process took it. started, where given, must hold for the process's start time
    // (see Processes::SetProcessAffinityIfStarted).
    bool SetProcessAffinity(std::int32_t processId, std::string_view text,
                            const std::function<bool(std::uint64_t)>& started = {});
    // "Apply": the ticked CPUs to the selected process; one Korvane may not change goes through
    // the system's service, where there is one.
    void Command5_Click();
    void UseSystemService(platform::SystemService* service) { m_service = service; }

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
    platform::SystemService* m_service = nullptr;
    // Why the service did not set it, for the message.
    std::string m_serviceReason;
};

} // namespace korvane::procmon
