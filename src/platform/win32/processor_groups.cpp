#include "platform/win32/processor_groups.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace korvane::platform::win32 {

namespace {

// The mask's bit of rank n (the n-th set bit, lowest first); -1 when it has fewer.
int NthSetBit(std::uint64_t mask, int n)
{
    for (int bit = 0; bit < 64; ++bit) {
        if (((mask >> bit) & 1U) != 0 && n-- == 0)
            return bit;
    }
    return -1;
}

CpuWords Intersect(const CpuWords& a, const CpuWords& b)
{
    CpuWords both(std::min(a.size(), b.size()));
    for (std::size_t i = 0; i < both.size(); ++i)
        both[i] = a[i] & b[i];
    while (!both.empty() && both.back() == 0)
        both.pop_back();
    return both;
}

CpuWords Trimmed(CpuWords cpus)
{
    while (!cpus.empty() && cpus.back() == 0)
        cpus.pop_back();
    return cpus;
}

} // namespace

GroupNumbering::GroupNumbering(std::vector<std::uint64_t> activeMasks) : m_active(std::move(activeMasks))
{
    for (const std::uint64_t mask : m_active) {
        m_offsets.push_back(m_count);
        m_count += std::popcount(mask);
    }
}

std::optional<int> GroupNumbering::CpuOf(std::uint16_t group, int bit) const
{
    if (group >= m_active.size() || bit < 0 || bit >= 64 || ((m_active[group] >> bit) & 1U) == 0)
        return std::nullopt;
    const std::uint64_t below = bit == 0 ? 0 : m_active[group] & (~std::uint64_t{0} >> (64 - bit));
    return m_offsets[group] + std::popcount(below);
}

std::optional<std::pair<std::uint16_t, int>> GroupNumbering::PlaceOf(int cpu) const
{
    if (cpu < 0)
        return std::nullopt;
    for (std::size_t group = 0; group < m_active.size(); ++group) {
        const int count = std::popcount(m_active[group]);
        if (cpu < m_offsets[group] + count)
            return std::make_pair(static_cast<std::uint16_t>(group), NthSetBit(m_active[group], cpu - m_offsets[group]));
    }
    return std::nullopt;
}

bool GroupNumbering::Split(const CpuWords& cpus, std::vector<GroupMask>* groups) const
{
    groups->clear();
    for (std::size_t word = 0; word < cpus.size(); ++word) {
        for (int bit = 0; bit < 64; ++bit) {
            if (((cpus[word] >> bit) & 1U) == 0)
                continue;
            const auto place = PlaceOf(static_cast<int>(word) * 64 + bit);
            if (!place) {
                groups->clear();
                return false;
            }
            if (groups->empty() || groups->back().first != place->first)
                groups->emplace_back(place->first, 0);
            groups->back().second |= std::uint64_t{1} << place->second;
        }
    }
    return true;
}

CpuWords GroupNumbering::Join(const std::vector<GroupMask>& groups) const
{
    CpuWords cpus;
    for (const auto& [group, mask] : groups) {
        for (int bit = 0; bit < 64; ++bit) {
            const auto cpu = ((mask >> bit) & 1U) != 0 ? CpuOf(group, bit) : std::nullopt;
            if (!cpu)
                continue;
            const auto word = static_cast<std::size_t>(*cpu / 64);
            if (cpus.size() <= word)
                cpus.resize(word + 1, 0);
            cpus[word] |= std::uint64_t{1} << (*cpu % 64);
        }
    }
    return cpus;
}

CpuWords GroupNumbering::All() const
{
    std::vector<GroupMask> every;
    for (std::size_t group = 0; group < m_active.size(); ++group)
        every.emplace_back(static_cast<std::uint16_t>(group), m_active[group]);
    return Join(every);
}

PlacedCpus EffectiveAffinity(const GroupNumbering& numbering, const ProcessPlacement& placement, bool spansGroups)
{
    CpuWords hard;
    if (placement.groups.size() == 1 && placement.hardMask != 0) {
        const std::uint16_t group = placement.groups.front();
        const std::uint64_t mask = placement.hardMask & numbering.Active(group);
        // Windows 11 gives an unrestricted process the mask of its primary group, though its
        // threads may run in every group.
        if (spansGroups && numbering.GroupCount() > 1 && mask == numbering.Active(group))
            hard = numbering.All();
        else
            hard = numbering.Join({{group, mask}});
    } else if (spansGroups || placement.groups.empty()) {
        hard = numbering.All();
    } else {
        std::vector<GroupMask> whole;
        for (const std::uint16_t group : placement.groups)
            whole.emplace_back(group, numbering.Active(group));
        hard = numbering.Join(whole);
    }
    hard = Trimmed(hard);
    const CpuWords soft = Trimmed(numbering.Join(placement.cpuSets));
    if (soft.empty())
        return {hard, false};
    CpuWords both = Intersect(soft, hard);
    // CPU sets the affinity excludes entirely are ignored by the scheduler.
    if (both.empty())
        return {hard, false};
    const bool preferred = both != hard;
    return {std::move(both), preferred};
}

AffinityPlan PlanAffinity(const GroupNumbering& numbering, const ProcessPlacement& placement,
                          const std::vector<GroupMask>& target, bool spansGroups)
{
    AffinityPlan plan;
    if (target.empty() || std::any_of(target.begin(), target.end(), [](const GroupMask& g) { return g.second == 0; })) {
        plan.refused = true;
        return plan;
    }
    const bool oneGroup = target.size() == 1;
    const bool inThatGroup = oneGroup && placement.groups.size() == 1 && placement.groups.front() == target.front().first;
    if (inThatGroup) {
        plan.clearCpuSets = !placement.cpuSets.empty();
        plan.hardMask = target.front().second;
        return plan;
    }
    if (spansGroups) {
        if (placement.groups.size() == 1 && placement.hardMask != 0) {
            const std::uint64_t whole = numbering.Active(placement.groups.front());
            if ((placement.hardMask & whole) != whole)
                plan.hardMask = whole;
        }
        plan.cpuSets = target;
        return plan;
    }
    if (oneGroup) {
        plan.clearCpuSets = !placement.cpuSets.empty();
        plan.moveThreads = target.front();
        return plan;
    }
    plan.refused = true;
    return plan;
}

CpuWords AllowedCpus(const GroupNumbering& numbering, const std::vector<GroupMask>& jobAffinities)
{
    if (jobAffinities.empty())
        return numbering.All();
    CpuWords allowed = Trimmed(numbering.Join(jobAffinities));
    return allowed.empty() ? numbering.All() : allowed;
}

std::vector<CpuSetEntry> ParseCpuSetInformation(const std::vector<std::uint8_t>& buffer)
{
    // Each entry: its size (4 bytes), its type (4; 0 = a CPU set), then the id (4), the group (2)
    // and the processor's index in the group (1).
    constexpr std::size_t kLeast = 15;
    std::vector<CpuSetEntry> entries;
    std::size_t at = 0;
    while (at + kLeast <= buffer.size()) {
        std::uint32_t size = 0;
        std::uint32_t type = 0;
        std::memcpy(&size, buffer.data() + at, 4);
        std::memcpy(&type, buffer.data() + at + 4, 4);
        if (size < kLeast || at + size > buffer.size())
            break;
        if (type == 0) {
            CpuSetEntry entry;
            std::memcpy(&entry.id, buffer.data() + at + 8, 4);
            std::memcpy(&entry.group, buffer.data() + at + 12, 2);
            entry.index = buffer[at + 14];
            entries.push_back(entry);
        }
        at += size;
    }
    return entries;
}

std::vector<GroupMask> MasksOfCpuSetIds(const std::vector<std::uint32_t>& ids, const std::vector<CpuSetEntry>& entries)
{
    std::vector<GroupMask> masks;
    for (const std::uint32_t id : ids) {
        const auto entry = std::find_if(entries.begin(), entries.end(), [id](const CpuSetEntry& e) { return e.id == id; });
        if (entry == entries.end() || entry->index >= 64)
            continue;
        auto group = std::find_if(masks.begin(), masks.end(), [&](const GroupMask& m) { return m.first == entry->group; });
        if (group == masks.end())
            group = masks.insert(std::upper_bound(masks.begin(), masks.end(), GroupMask{entry->group, 0}), {entry->group, 0});
        group->second |= std::uint64_t{1} << entry->index;
    }
    return masks;
}

std::string GroupCounterPath(const GroupNumbering& numbering, int cpu)
{
    const auto place = numbering.PlaceOf(cpu);
    if (!place)
        return {};
    return "\\Processor Information(" + std::to_string(place->first) + "," + std::to_string(place->second) +
           ")\\% Processor Time";
}

} // namespace korvane::platform::win32
