#pragma once

#include "platform/system_service.h"

struct sd_bus;

namespace korvane::platform::linuxos {

// The window's side of korvaned, over the system bus (sd-bus). Without a bus or without the
// service it is simply not available; it notices the service coming and going.
class KorvanedClient : public SystemService {
public:
    KorvanedClient();
    KorvanedClient(const KorvanedClient&) = delete;
    KorvanedClient& operator=(const KorvanedClient&) = delete;
    ~KorvanedClient() override;

    // What the event loop waits on to call Process; -1 without a bus.
    int Handle() const;
    // Handles what arrived (the service coming or going).
    void Process();

    bool Available() override { return m_available; }
    void SetFavorites(const std::vector<std::pair<std::string, std::string>>& favorites, bool autoSet) override;
    std::string SetAffinity(std::int32_t processId, std::uint64_t startTime, const std::string& cpus) override;
    std::string ApplyToEveryUser(bool on, bool interactive) override;
    std::string StartWatch() override;

    // The sd-bus callbacks' way back in.
    struct Access;

private:
    sd_bus* m_bus = nullptr;
    bool m_available = false;
};

} // namespace korvane::platform::linuxos
