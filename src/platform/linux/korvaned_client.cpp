#include "platform/linux/korvaned_client.h"

#include "platform/linux/korvaned_bus.h"
#include "platform/linux/sd_bus_message.h"

#include <cstdlib>
#include <memory>

namespace korvane::platform::linuxos {

namespace {

// A password prompt may be up for a while.
constexpr std::uint64_t kInteractiveTimeoutUs = 150'000'000;

using Message = SdBusMessage;

Message NewCall(sd_bus* bus, const char* method)
{
    sd_bus_message* raw = nullptr;
    if (sd_bus_message_new_method_call(bus, &raw, kServiceName, kServicePath, kServiceInterface, method) < 0)
        return nullptr;
    return Message(raw);
}

// Empty when the call went through, else the service's reason (or the bus's).
std::string CallAndWait(sd_bus* bus, sd_bus_message* call, bool interactive)
{
    if (interactive)
        sd_bus_message_set_allow_interactive_authorization(call, 1);
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    const int called = sd_bus_call(bus, call, interactive ? kInteractiveTimeoutUs : 0, &error, &reply);
    sd_bus_message_unref(reply);
    std::string reason;
    if (called < 0)
        reason = error.message != nullptr ? error.message : "korvaned did not answer";
    sd_bus_error_free(&error);
    return reason;
}

} // namespace

struct KorvanedClient::Access {
    static int OwnerChanged(sd_bus_message* signal, void* userdata, sd_bus_error* /*error*/)
    {
        auto& self = *static_cast<KorvanedClient*>(userdata);
        const char* name = nullptr;
        const char* oldOwner = nullptr;
        const char* newOwner = nullptr;
        if (sd_bus_message_read(signal, "sss", &name, &oldOwner, &newOwner) < 0)
            return 0;
        self.m_available = newOwner[0] != '\0';
        if (self.m_available && self.OnAvailable)
            self.OnAvailable();
        return 0;
    }
};

KorvanedClient::KorvanedClient()
{
    if (sd_bus_open_system(&m_bus) < 0) {
        m_bus = nullptr;
        return;
    }
    const std::string rule = std::string("type='signal',sender='org.freedesktop.DBus',member='NameOwnerChanged',"
                                         "arg0='") + kServiceName + "'";
    sd_bus_add_match(m_bus, nullptr, rule.c_str(), Access::OwnerChanged, this);
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    int hasOwner = 0;
    if (sd_bus_call_method(m_bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                           "NameHasOwner", &error, &reply, "s", kServiceName) >= 0 &&
        sd_bus_message_read(reply, "b", &hasOwner) >= 0)
        m_available = hasOwner != 0;
    sd_bus_message_unref(reply);
    sd_bus_error_free(&error);
}

KorvanedClient::~KorvanedClient()
{
    if (m_bus != nullptr)
        sd_bus_flush_close_unref(m_bus);
}

int KorvanedClient::Handle() const
{
    return m_bus != nullptr ? sd_bus_get_fd(m_bus) : -1;
}

void KorvanedClient::Process()
{
    if (m_bus == nullptr)
        return;
    while (sd_bus_process(m_bus, nullptr) > 0) {
    }
}

void KorvanedClient::SetFavorites(const std::vector<std::pair<std::string, std::string>>& favorites, bool autoSet)
{
    if (!m_available)
        return;
    const Message call = NewCall(m_bus, "SetFavorites");
    if (!call || sd_bus_message_open_container(call.get(), 'a', "(ss)") < 0)
        return;
    for (const auto& [name, cpus] : favorites) {
        if (sd_bus_message_append(call.get(), "(ss)", name.c_str(), cpus.c_str()) < 0)
            return;
    }
    if (sd_bus_message_close_container(call.get()) < 0 || sd_bus_message_append(call.get(), "b", autoSet ? 1 : 0) < 0)
        return;
    // The answer is not waited for: the window goes on with its own polling whatever it says.
    if (sd_bus_call_async(m_bus, nullptr, call.get(), nullptr, nullptr, 0) >= 0)
        sd_bus_flush(m_bus);
}

std::string KorvanedClient::SetAffinity(std::int32_t processId, std::uint64_t startTime, const std::string& cpus)
{
    if (!m_available)
        return "korvaned is not running";
    const Message call = NewCall(m_bus, "SetAffinity");
    if (!call || processId <= 0 ||
        sd_bus_message_append(call.get(), "uts", static_cast<std::uint32_t>(processId), startTime, cpus.c_str()) < 0)
        return "the request could not be made";
    return CallAndWait(m_bus, call.get(), true);
}

std::string KorvanedClient::ApplyToEveryUser(bool on, bool interactive)
{
    if (!m_available)
        return "korvaned is not running";
    const Message call = NewCall(m_bus, "ApplyToEveryUser");
    if (!call || sd_bus_message_append(call.get(), "b", on ? 1 : 0) < 0)
        return "the request could not be made";
    return CallAndWait(m_bus, call.get(), interactive);
}

std::string KorvanedClient::StartWatch()
{
    if (!m_available)
        return {};
    sd_bus_error error = SD_BUS_ERROR_NULL;
    char* value = nullptr;
    std::string status;
    if (sd_bus_get_property_string(m_bus, kServiceName, kServicePath, kServiceInterface, "StartWatch", &error, &value) >= 0)
        status = value;
    std::free(value);
    sd_bus_error_free(&error);
    return status;
}

} // namespace korvane::platform::linuxos
