#pragma once

#include "core/cpu_set.h"
#include "platform/start_watch.h"
#include "service/favorite_rules.h"

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

namespace korvane::platform {
class Processes;
} // namespace korvane::platform

namespace korvane::service {

// What the service does to processes: favorites at a program's start and once over the running
// processes, and one process set on request. Every process is named as the window names it and
// checked by its start time, so that an id that went to a later process is left alone.
class StartSetter {
public:
    StartSetter(platform::Processes& processes, const FavoriteRules& rules, int highestCpu)
        : m_processes(processes), m_rules(rules), m_highestCpu(highestCpu)
    {
    }

    // A process started a program: its favorite, if one applies, is set. True when set.
    bool ProgramStarted(const platform::ProgramStart& start);
    // The favorites over the processes already running: of that user, or of every user. The
    // number of processes set.
    int ApplyToRunning(std::optional<std::uint32_t> uid);

    // A request to set one process, checked: the process and its CPUs, or why not.
    struct Target {
        std::int32_t processId = 0;
        std::uint64_t startTime = 0;
        std::uint32_t owner = 0;
        core::CpuSet cpus;
    };
    std::variant<Target, Refusal> CheckSetAffinity(std::int32_t processId, std::uint64_t startTime,
                                                   const std::string& cpus);
    // Sets a checked target, once more checked by its start time; nullopt when set.
    std::optional<Refusal> SetAffinity(const Target& target);

    std::int64_t StartsSet() const { return m_startsSet; }

private:
    bool ApplyTo(std::int32_t processId, std::uint64_t startedBy, std::optional<std::uint32_t> onlyUid);

    platform::Processes& m_processes;
    const FavoriteRules& m_rules;
    int m_highestCpu;
    std::int64_t m_startsSet = 0;
};

} // namespace korvane::service
