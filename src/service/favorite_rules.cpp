#include "service/favorite_rules.h"

#include "core/list_row.h"
#include "core/text.h"
#include "procmon/process_table.h"

#include <algorithm>

namespace korvane::service {

std::string RowNameOf(const std::string& programPath)
{
    const std::string fileName = core::VisibleName(procmon::FileNameFromPath(programPath, '/'));
    return core::ListRow(core::ListRow::NameFieldOf(core::ProperCase(fileName))).Name();
}

FavoriteRules::Rules* FavoriteRules::Find(const std::string& busName)
{
    const auto found = std::find_if(m_rules.begin(), m_rules.end(),
                                    [&busName](const Rules& rules) { return rules.caller.busName == busName; });
    return found == m_rules.end() ? nullptr : &*found;
}

std::optional<Refusal> FavoriteRules::SetFavorites(const Caller& caller,
                                                   const std::vector<std::pair<std::string, std::string>>& favorites,
                                                   bool autoSet)
{
    if (favorites.size() > kMostFavorites)
        return Refusal{"LimitsExceeded", "at most " + std::to_string(kMostFavorites) + " favorites are taken, not " +
                                             std::to_string(favorites.size())};
    Rules rules{caller, {}, autoSet, false};
    for (const auto& [name, cpus] : favorites) {
        if (name.empty() || name.size() > kLongestName || core::VisibleName(name) != name ||
            core::Trim(name) != name)
            return Refusal{"InvalidArgs", "a favorite's name is empty, too long, or holds characters no row shows"};
        const std::optional<core::CpuSet> set = core::CpuSetToApply(cpus);
        if (!set || set->Empty())
            return Refusal{"InvalidArgs", "the CPUs of " + name + " (\"" + core::VisibleName(cpus) + "\") are no CPU list"};
        if (set->Highest() > m_highestCpu)
            return Refusal{"InvalidArgs", "the CPUs of " + name + " name CPU " + std::to_string(set->Highest()) +
                                              ", which this machine does not have"};
        // A name given twice keeps its first CPUs, as the window's first favorite row wins.
        if (std::none_of(rules.favorites.begin(), rules.favorites.end(),
                         [&name](const auto& favorite) { return favorite.first == name; }))
            rules.favorites.emplace_back(name, *set);
    }
    if (Rules* known = Find(caller.busName)) {
        rules.everyUser = known->everyUser;
        *known = std::move(rules);
        return std::nullopt;
    }
    const auto callers = std::count_if(m_rules.begin(), m_rules.end(),
                                       [&caller](const Rules& other) { return other.caller.uid == caller.uid; });
    if (static_cast<std::size_t>(callers) >= kMostCallersPerUser)
        return Refusal{"LimitsExceeded", "this user has " + std::to_string(callers) + " programs sending favorites already"};
    m_rules.push_back(std::move(rules));
    return std::nullopt;
}

void FavoriteRules::SetEveryUser(const Caller& caller, bool on)
{
    if (Rules* known = Find(caller.busName)) {
        known->everyUser = on;
        return;
    }
    if (on)
        m_rules.push_back(Rules{caller, {}, false, true});
}

void FavoriteRules::Forget(const std::string& busName)
{
    std::erase_if(m_rules, [&busName](const Rules& rules) { return rules.caller.busName == busName; });
}

std::optional<core::CpuSet> FavoriteRules::CpusFor(std::uint32_t uid, std::string_view rowName) const
{
    const auto lookIn = [rowName](const Rules& rules) -> const core::CpuSet* {
        for (const auto& [name, cpus] : rules.favorites) {
            if (name == rowName)
                return &cpus;
        }
        return nullptr;
    };
    for (const bool own : {true, false}) {
        for (const Rules& rules : m_rules) {
            if (!rules.autoSet || (own ? rules.caller.uid != uid : !rules.everyUser || rules.caller.uid == uid))
                continue;
            if (const core::CpuSet* cpus = lookIn(rules))
                return *cpus;
        }
    }
    return std::nullopt;
}

bool FavoriteRules::AppliesToEveryUser(const std::string& busName) const
{
    return std::any_of(m_rules.begin(), m_rules.end(),
                       [&busName](const Rules& rules) { return rules.caller.busName == busName && rules.everyUser; });
}

bool FavoriteRules::AppliesTo(std::uint32_t uid) const
{
    return std::any_of(m_rules.begin(), m_rules.end(), [uid](const Rules& rules) {
        return rules.autoSet && !rules.favorites.empty() && (rules.everyUser || rules.caller.uid == uid);
    });
}

} // namespace korvane::service
