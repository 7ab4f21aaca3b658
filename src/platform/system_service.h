#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace korvane::platform {

// The system's service for what the window may not do itself (korvaned on Linux): favorites at a
// program's start for this user, other users' processes with an administrator's consent.
class SystemService {
public:
    virtual ~SystemService() = default;
    // Whether the service is there to be asked now.
    virtual bool Available() = 0;
    // Sends the favorites (name as its row names it, CPU text) and Auto Set, in place of what was
    // sent before; does not wait for the answer.
    virtual void SetFavorites(const std::vector<std::pair<std::string, std::string>>& favorites, bool autoSet) = 0;
    // Sets one process (checked by its start time), asking the user for an administrator's consent
    // where it is another user's; empty when set, else the reason for a person.
    virtual std::string SetAffinity(std::int32_t processId, std::uint64_t startTime, const std::string& cpus) = 0;
    // Favorites for every user's processes too; interactive lets the system ask for a password.
    // Empty when done, else the reason.
    virtual std::string ApplyToEveryUser(bool on, bool interactive) = 0;
    // "on", or why the service hears of no program start; empty without the service.
    virtual std::string StartWatch() = 0;

    // The service came onto the bus: what it had been sent is gone.
    std::function<void()> OnAvailable;
};

} // namespace korvane::platform
