#pragma once

#include "platform/authority.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct sd_bus;

namespace korvane::platform::linuxos {

inline constexpr char kServiceName[] = "io.github.tollmere.Korvane1";
inline constexpr char kServicePath[] = "/io/github/tollmere/Korvane1";
inline constexpr char kServiceInterface[] = "io.github.tollmere.Korvane1";
inline constexpr char kServiceErrorPrefix[] = "io.github.tollmere.Korvane1.Error.";

// A call on the bus: who made it (its unique name, and its user as the bus tells it, never as it
// says) and whether it lets the system ask its user for consent.
struct BusCaller {
    std::string busName;
    std::uint32_t uid = 0;
    bool interactive = false;
};

// A refusal: the last part of the error's name and a plain reason.
struct BusError {
    std::string error;
    std::string message;
};
using BusReply = std::function<void(std::optional<BusError>)>;

// korvaned's side of the system bus (sd-bus): owns the service name, answers its methods through
// the handlers, tells when a caller leaves, and asks polkit (Authority).
class KorvanedBus : public Authority {
public:
    // polkitTimeout: how long an answer from polkit is waited for (a person may be typing).
    explicit KorvanedBus(std::chrono::milliseconds polkitTimeout) : m_polkitTimeout(polkitTimeout) {}
    KorvanedBus(const KorvanedBus&) = delete;
    KorvanedBus& operator=(const KorvanedBus&) = delete;
    ~KorvanedBus() override;

    // Connects to the system bus ($DBUS_SYSTEM_BUS_ADDRESS where set) and takes the name; false,
    // with the reason, when it cannot.
    bool Open(std::string& why);
    // What to wait on: the descriptor, its poll events, and the time (CLOCK_MONOTONIC, µs) by
    // which Process must run again, or UINT64_MAX.
    int Handle() const;
    short Events() const;
    std::uint64_t Deadline() const;
    // Handles everything that arrived; false when the connection broke.
    bool Process();

    std::function<std::optional<BusError>(const BusCaller&, const std::vector<std::pair<std::string, std::string>>&,
                                          bool autoSet)>
        onSetFavorites;
    std::function<void(const BusCaller&, std::uint32_t processId, std::uint64_t startTime, const std::string& cpus,
                       BusReply)>
        onSetAffinity;
    std::function<void(const BusCaller&, bool on, BusReply)> onApplyToEveryUser;
    std::function<void(const std::string& busName)> onCallerGone;
    std::function<std::string()> startWatch;

    void CheckAuthorization(const std::string& busName, const std::string& action, bool interactive,
                            std::function<void(bool granted)> done) override;

    // The sd-bus callbacks' way back in.
    struct Access;

private:
    sd_bus* m_bus = nullptr;
    std::chrono::milliseconds m_polkitTimeout;
};

} // namespace korvane::platform::linuxos
