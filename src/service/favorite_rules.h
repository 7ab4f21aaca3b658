#pragma once

#include "core/cpu_set.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvane::service {

// Limits per caller: more favorites than any person keeps, and a few windows per user.
constexpr std::size_t kMostFavorites = 1000;
constexpr std::size_t kMostCallersPerUser = 8;
constexpr std::size_t kLongestName = 255;

// A program on the bus: its unique name and the user the bus says it runs as.
struct Caller {
    std::string busName;
    std::uint32_t uid = 0;
};

// Why a call was refused: the last part of the error's name ("InvalidArgs", "AccessDenied", ...)
// and a plain reason for a person.
struct Refusal {
    std::string error;
    std::string message;
};

// The name of a program as its row in the window names it (the file name, "?" for what cannot be
// shown, words capitalised, cut to the name column), so that the service matches favorites
// exactly as the window does.
std::string RowNameOf(const std::string& programPath);

// The favorites each caller sent. A caller's favorites apply, while its Auto Set is on, to the
// processes of its own user, and with "every user" on to every user's processes; a process's own
// user's favorites come first.
class FavoriteRules {
public:
    // highestCpu: the highest CPU the machine may have; a favorite naming another is refused.
    explicit FavoriteRules(int highestCpu) : m_highestCpu(highestCpu) {}

    // Replaces what the caller sent before; nothing changes when it is refused.
    std::optional<Refusal> SetFavorites(const Caller& caller,
                                        const std::vector<std::pair<std::string, std::string>>& favorites,
                                        bool autoSet);
    // The caller's favorites for every user's processes (the right was checked before).
    void SetEveryUser(const Caller& caller, bool on);
    // The caller left the bus: what it sent goes.
    void Forget(const std::string& busName);

    // The CPUs a process of this user running the program of this row name gets; nullopt when no
    // favorite applies.
    std::optional<core::CpuSet> CpusFor(std::uint32_t uid, std::string_view rowName) const;
    // Whether any favorite may apply to this user's processes (a start of another user's program
    // needs no look at all).
    bool AppliesTo(std::uint32_t uid) const;
    // Whether the caller's favorites are for every user.
    bool AppliesToEveryUser(const std::string& busName) const;
    std::size_t CallerCount() const { return m_rules.size(); }

private:
    struct Rules {
        Caller caller;
        std::vector<std::pair<std::string, core::CpuSet>> favorites;
        bool autoSet = false;
        bool everyUser = false;
    };
    Rules* Find(const std::string& busName);

    int m_highestCpu;
    std::vector<Rules> m_rules; // in the order the callers first came
};

} // namespace korvane::service
