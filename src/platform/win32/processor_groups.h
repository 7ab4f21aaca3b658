#pragma once

#include "platform/processes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace korvane::platform::win32 {

// CPUs of a processor group: the group's number and its mask.
using GroupMask = std::pair<std::uint16_t, std::uint64_t>;

// The machine's CPUs numbered across processor groups by active processor: CPU n is the n-th
// active processor, counting group 0's active mask from its lowest bit, then group 1's, and so on.
// A group's inactive processors (hot-add slots, a VM's unplugged ones) take no number.
class GroupNumbering {
public:
    GroupNumbering() = default;
    // Each group's active processor mask, group 0 first.
    explicit GroupNumbering(std::vector<std::uint64_t> activeMasks);

    std::size_t GroupCount() const { return m_active.size(); }
    int CpuCount() const { return m_count; }
    // The group's active processors; none for a group the machine does not have.
    std::uint64_t Active(std::uint16_t group) const { return group < m_active.size() ? m_active[group] : 0; }
    // The CPU of a group's processor; nullopt for one that is not active.
    std::optional<int> CpuOf(std::uint16_t group, int bit) const;
    // The group and processor index of a CPU; nullopt beyond the last.
    std::optional<std::pair<std::uint16_t, int>> PlaceOf(int cpu) const;
    // A set as the masks of the groups it names, in group order; false when it names a CPU that is
    // not active.
    bool Split(const CpuWords& cpus, std::vector<GroupMask>* groups) const;
    // The set of group masks; processors that are not active are left out.
    CpuWords Join(const std::vector<GroupMask>& groups) const;
    // Every active CPU.
    CpuWords All() const;

private:
    std::vector<std::uint64_t> m_active;
    std::vector<int> m_offsets;
    int m_count = 0;
};

// What Windows tells of where a process may run.
struct ProcessPlacement {
    // The groups its threads are in (GetProcessGroupAffinity).
    std::vector<std::uint16_t> groups;
    // Its affinity mask (GetProcessAffinityMask): 0 when Windows gave none, as for a process with
    // threads in several groups.
    std::uint64_t hardMask = 0;
    // Its default CPU sets by group; none when it has none or they could not be read.
    std::vector<GroupMask> cpuSets;
};

// The CPUs a process runs on, and whether they are only preferred: default CPU sets narrower
// than its affinity (the scheduler keeps to them while it may, where a mask is a hard limit).
struct PlacedCpus {
    CpuWords cpus;
    bool preferred = false;
};

// What a process runs on. Its threads run on its CPU sets within its affinity, or on the
// affinity where the two have no CPU in common. Where Windows spans groups by default
// (Windows 11), a process whose mask is its whole group, or that has none, may run on every
// active CPU; elsewhere on the active CPUs of the groups its threads are in.
PlacedCpus EffectiveAffinity(const GroupNumbering& numbering, const ProcessPlacement& placement, bool spansGroups);

// The calls that give a process a set, in the order they are made.
struct AffinityPlan {
    // The set cannot be made on this system: the process is left as it was.
    bool refused = false;
    // Its default CPU sets (it has some) are removed first, so that a hard set is not narrowed
    // by an older one.
    bool clearCpuSets = false;
    // Then its affinity mask (SetProcessAffinityMask).
    std::optional<std::uint64_t> hardMask;
    // Then every thread moved to this group and mask (SetThreadGroupAffinity).
    std::optional<GroupMask> moveThreads;
    // Then its default CPU sets (SetProcessDefaultCpuSetMasks).
    std::vector<GroupMask> cpuSets;
};

// How to give a process the target set (active CPUs by group). A set in the one group the
// process is in is its affinity mask. Where Windows spans groups by default, any other set is
// its default CPU sets, the mask first widened to its whole group so that the sets are not cut
// by an older, narrower mask. Elsewhere a set in another group moves the threads there, and a set
// across groups cannot be made.
AffinityPlan PlanAffinity(const GroupNumbering& numbering, const ProcessPlacement& placement,
                          const std::vector<GroupMask>& target, bool spansGroups);

// One CPU set of the machine as Windows numbers them (GetSystemCpuSetInformation).
struct CpuSetEntry {
    std::uint32_t id = 0;
    std::uint16_t group = 0;
    int index = 0;
};
// The entries of a GetSystemCpuSetInformation buffer; a cut or damaged entry ends the list.
std::vector<CpuSetEntry> ParseCpuSetInformation(const std::vector<std::uint8_t>& buffer);
// CPU set ids (Windows 10's GetProcessDefaultCpuSets) as group masks; unknown ids are left out.
std::vector<GroupMask> MasksOfCpuSetIds(const std::vector<std::uint32_t>& ids, const std::vector<CpuSetEntry>& entries);

// The CPUs a program may be given: every active CPU, or those of the job it runs in where the
// job limits them (its group affinities).
CpuWords AllowedCpus(const GroupNumbering& numbering, const std::vector<GroupMask>& jobAffinities);

// The performance counter of a CPU's busy time on a machine of several groups, by English names
// ("\Processor Information(1,5)\% Processor Time"); empty beyond the last CPU.
std::string GroupCounterPath(const GroupNumbering& numbering, int cpu);

} // namespace korvane::platform::win32
