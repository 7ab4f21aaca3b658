#include "service/korvaned_service.h"

#include "platform/authority.h"

namespace korvane::service {

KorvanedService::KorvanedService(platform::Processes& processes, platform::Authority& authority, int highestCpu)
    : m_processes(processes), m_authority(authority), m_rules(highestCpu), m_setter(processes, m_rules, highestCpu)
{
}

std::optional<Refusal> KorvanedService::SetFavorites(const Caller& caller,
                                                     const std::vector<std::pair<std::string, std::string>>& favorites,
                                                     bool autoSet)
{
    if (auto refusal = m_rules.SetFavorites(caller, favorites, autoSet))
        return refusal;
    if (autoSet)
        m_setter.ApplyToRunning(m_rules.AppliesToEveryUser(caller.busName) ? std::nullopt : std::optional(caller.uid));
    return std::nullopt;
}

void KorvanedService::SetAffinity(const Caller& caller, std::int32_t processId, std::uint64_t startTime,
                                  const std::string& cpus, bool interactive, Reply reply)
{
    auto checked = m_setter.CheckSetAffinity(processId, startTime, cpus);
    if (auto* refusal = std::get_if<Refusal>(&checked)) {
        reply(std::move(*refusal));
        return;
    }
    const StartSetter::Target target = std::get<StartSetter::Target>(checked);
    if (target.owner == caller.uid) {
        reply(m_setter.SetAffinity(target));
        return;
    }
    m_authority.CheckAuthorization(caller.busName, kSetOtherUsersAction, interactive,
                                   [this, target, reply = std::move(reply)](bool granted) {
                                       if (!granted) {
                                           reply(Refusal{"AccessDenied", "changing another user's process needs an "
                                                                         "administrator's consent, which was not given"});
                                           return;
                                       }
                                       reply(m_setter.SetAffinity(target));
                                   });
}

void KorvanedService::ApplyToEveryUser(const Caller& caller, bool on, bool interactive, Reply reply)
{
    if (!on) {
        m_rules.SetEveryUser(caller, false);
        reply(std::nullopt);
        return;
    }
    // The caller may leave while its user types the password: then the grant goes nowhere.
    m_waiting.insert(caller.busName);
    m_authority.CheckAuthorization(caller.busName, kEveryUserAction, interactive,
                                   [this, caller, reply = std::move(reply)](bool granted) {
                                       const auto waiting = m_waiting.find(caller.busName);
                                       if (waiting == m_waiting.end())
                                           return;
                                       m_waiting.erase(waiting);
                                       if (!granted) {
                                           reply(Refusal{"AccessDenied", "favorites for every user need an "
                                                                         "administrator's consent, which was not given"});
                                           return;
                                       }
                                       m_rules.SetEveryUser(caller, true);
                                       m_setter.ApplyToRunning(std::nullopt);
                                       reply(std::nullopt);
                                   });
}

void KorvanedService::CallerGone(const std::string& busName)
{
    m_rules.Forget(busName);
    m_waiting.erase(busName);
}

} // namespace korvane::service
