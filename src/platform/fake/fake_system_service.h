#pragma once

#include "platform/system_service.h"

namespace korvane::platform::fake {

// A service that tests switch on and off, with the answers they choose.
class FakeSystemService : public SystemService {
public:
    bool Available() override { return available; }
    void SetFavorites(const std::vector<std::pair<std::string, std::string>>& favorites, bool autoSet) override
    {
        ++sends;
        sentFavorites = favorites;
        sentAutoSet = autoSet;
    }
    std::string SetAffinity(std::int32_t processId, std::uint64_t startTime, const std::string& cpus) override
    {
        setRequests.push_back(std::to_string(processId) + " " + std::to_string(startTime) + " " + cpus);
        return affinityAnswer;
    }
    std::string ApplyToEveryUser(bool on, bool interactive) override
    {
        everyUserRequests.push_back(std::string(on ? "on" : "off") + (interactive ? " interactive" : ""));
        return everyUserAnswer;
    }
    std::string StartWatch() override { return available ? "on" : ""; }

    bool available = true;
    int sends = 0;
    std::vector<std::pair<std::string, std::string>> sentFavorites;
    bool sentAutoSet = false;
    std::vector<std::string> setRequests;
    std::string affinityAnswer;
    std::vector<std::string> everyUserRequests;
    std::string everyUserAnswer;
};

} // namespace korvane::platform::fake
