#pragma once

#include "platform/start_watch.h"
#include "service/favorite_rules.h"
#include "service/start_setter.h"

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace korvane::platform {
class Authority;
class Processes;
} // namespace korvane::platform

namespace korvane::service {

inline constexpr char kSetOtherUsersAction[] = "io.github.tollmere.korvane.set-other-users";
inline constexpr char kEveryUserAction[] = "io.github.tollmere.korvane.every-user";

// What korvaned answers on the bus: a caller's favorites for its own user's processes, one
// process set on request, and favorites for every user; anything beyond the caller's own user's
// processes needs the authority's yes.
class KorvanedService {
public:
    using Reply = std::function<void(std::optional<Refusal>)>;

    KorvanedService(platform::Processes& processes, platform::Authority& authority, int highestCpu);

    // Applied at once to the caller's user's running processes (everyone's with every user on).
    std::optional<Refusal> SetFavorites(const Caller& caller,
                                        const std::vector<std::pair<std::string, std::string>>& favorites,
                                        bool autoSet);
    void SetAffinity(const Caller& caller, std::int32_t processId, std::uint64_t startTime, const std::string& cpus,
                     bool interactive, Reply reply);
    void ApplyToEveryUser(const Caller& caller, bool on, bool interactive, Reply reply);
    void CallerGone(const std::string& busName);
    void ProgramStarted(const platform::ProgramStart& start) { m_setter.ProgramStarted(start); }
    // The platform dropped starts: one pass over every process catches what was missed.
    void StartsLost() { m_setter.ApplyToRunning(std::nullopt); }

    const FavoriteRules& Rules() const { return m_rules; }
    const StartSetter& Setter() const { return m_setter; }

private:
    platform::Processes& m_processes;
    platform::Authority& m_authority;
    FavoriteRules m_rules;
    StartSetter m_setter;
    // Callers whose right to every user is being asked for.
    std::multiset<std::string> m_waiting;
};

} // namespace korvane::service
