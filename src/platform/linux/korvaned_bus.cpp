#include "platform/linux/korvaned_bus.h"

#include "platform/linux/sd_bus_message.h"

#include <cstring>
#include <memory>

namespace korvane::platform::linuxos {

namespace {

constexpr std::size_t kMostReadFavorites = 10'000;

using Message = SdBusMessage;

// Answers a call kept for later, once.
BusReply ReplyLater(sd_bus_message* call)
{
    auto kept = std::make_shared<Message>(sd_bus_message_ref(call));
    return [kept](std::optional<BusError> error) {
        if (!*kept)
            return;
        if (error) {
            const std::string name = kServiceErrorPrefix + error->error;
            sd_bus_reply_method_errorf(kept->get(), name.c_str(), "%s", error->message.c_str());
        } else {
            sd_bus_reply_method_return(kept->get(), "");
        }
        kept->reset();
    };
}

int ReplyNow(sd_bus_message* call, const std::optional<BusError>& error)
{
    ReplyLater(call)(error);
    return 1;
}

} // namespace

struct KorvanedBus::Access {
    // The caller of a method call, its user asked of the bus.
    static std::optional<BusCaller> CallerOf(sd_bus_message* call)
    {
        const char* sender = sd_bus_message_get_sender(call);
        if (sender == nullptr)
            return std::nullopt;
        sd_bus_error error = SD_BUS_ERROR_NULL;
        sd_bus_message* reply = nullptr;
        const int asked = sd_bus_call_method(sd_bus_message_get_bus(call), "org.freedesktop.DBus",
                                             "/org/freedesktop/DBus", "org.freedesktop.DBus", "GetConnectionUnixUser",
                                             &error, &reply, "s", sender);
        sd_bus_error_free(&error);
        const Message owned(reply);
        std::uint32_t uid = 0;
        if (asked < 0 || sd_bus_message_read(reply, "u", &uid) < 0)
            return std::nullopt;
        return BusCaller{sender, uid, sd_bus_message_get_allow_interactive_authorization(call) > 0};
    }

    static int SetFavorites(sd_bus_message* call, void* userdata, sd_bus_error* /*error*/)
    {
        auto& self = *static_cast<KorvanedBus*>(userdata);
        std::vector<std::pair<std::string, std::string>> favorites;
        int autoSet = 0;
        if (sd_bus_message_enter_container(call, 'a', "(ss)") < 0)
            return ReplyNow(call, BusError{"InvalidArgs", "favorites are an array of (name, CPUs)"});
        for (;;) {
            const char* name = nullptr;
            const char* cpus = nullptr;
            const int read = sd_bus_message_read(call, "(ss)", &name, &cpus);
            if (read < 0)
                return ReplyNow(call, BusError{"InvalidArgs", "favorites are an array of (name, CPUs)"});
            if (read == 0)
                break;
            if (favorites.size() >= kMostReadFavorites)
                return ReplyNow(call, BusError{"LimitsExceeded", "too many favorites"});
            favorites.emplace_back(name, cpus);
        }
        if (sd_bus_message_exit_container(call) < 0 || sd_bus_message_read(call, "b", &autoSet) < 0)
            return ReplyNow(call, BusError{"InvalidArgs", "favorites are followed by Auto Set (a boolean)"});
        const auto caller = CallerOf(call);
        if (!caller)
            return ReplyNow(call, BusError{"AccessDenied", "the bus did not tell who called"});
        return ReplyNow(call, self.onSetFavorites ? self.onSetFavorites(*caller, favorites, autoSet != 0)
                                                  : std::nullopt);
    }

    static int SetAffinity(sd_bus_message* call, void* userdata, sd_bus_error* /*error*/)
    {
        auto& self = *static_cast<KorvanedBus*>(userdata);
        std::uint32_t processId = 0;
        std::uint64_t startTime = 0;
        const char* cpus = nullptr;
        if (sd_bus_message_read(call, "uts", &processId, &startTime, &cpus) < 0)
            return ReplyNow(call, BusError{"InvalidArgs", "a process id, its start time and CPUs are wanted"});
        const auto caller = CallerOf(call);
        if (!caller)
            return ReplyNow(call, BusError{"AccessDenied", "the bus did not tell who called"});
        if (!self.onSetAffinity)
            return ReplyNow(call, BusError{"Failed", "not served"});
        self.onSetAffinity(*caller, processId, startTime, cpus, ReplyLater(call));
        return 1;
    }

    static int ApplyToEveryUser(sd_bus_message* call, void* userdata, sd_bus_error* /*error*/)
    {
        auto& self = *static_cast<KorvanedBus*>(userdata);
        int on = 0;
        if (sd_bus_message_read(call, "b", &on) < 0)
            return ReplyNow(call, BusError{"InvalidArgs", "on or off (a boolean) is wanted"});
        const auto caller = CallerOf(call);
        if (!caller)
            return ReplyNow(call, BusError{"AccessDenied", "the bus did not tell who called"});
        if (!self.onApplyToEveryUser)
            return ReplyNow(call, BusError{"Failed", "not served"});
        self.onApplyToEveryUser(*caller, on != 0, ReplyLater(call));
        return 1;
    }

    static int StartWatch(sd_bus* /*bus*/, const char* /*path*/, const char* /*interface*/, const char* /*property*/,
                          sd_bus_message* reply, void* userdata, sd_bus_error* /*error*/)
    {
        auto& self = *static_cast<KorvanedBus*>(userdata);
        return sd_bus_message_append(reply, "s", self.startWatch ? self.startWatch().c_str() : "off");
    }

    static int NameOwnerChanged(sd_bus_message* signal, void* userdata, sd_bus_error* /*error*/)
    {
        auto& self = *static_cast<KorvanedBus*>(userdata);
        const char* name = nullptr;
        const char* oldOwner = nullptr;
        const char* newOwner = nullptr;
        if (sd_bus_message_read(signal, "sss", &name, &oldOwner, &newOwner) < 0)
            return 0;
        if (name[0] == ':' && newOwner[0] == '\0' && self.onCallerGone)
            self.onCallerGone(name);
        return 0;
    }
};

namespace {

const sd_bus_vtable kVtable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("SetFavorites", "a(ss)b", "", KorvanedBus::Access::SetFavorites, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("SetAffinity", "uts", "", KorvanedBus::Access::SetAffinity, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("ApplyToEveryUser", "b", "", KorvanedBus::Access::ApplyToEveryUser, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_PROPERTY("StartWatch", "s", KorvanedBus::Access::StartWatch, 0, 0),
    SD_BUS_VTABLE_END,
};

// The answer polkit gave, or a refusal for whatever else came back.
int PolkitAnswered(sd_bus_message* reply, void* userdata, sd_bus_error* /*error*/)
{
    auto& done = *static_cast<std::function<void(bool)>*>(userdata);
    int authorized = 0;
    int challenge = 0;
    const bool granted = !sd_bus_message_is_method_error(reply, nullptr) &&
                         sd_bus_message_enter_container(reply, 'r', "bba{ss}") >= 0 &&
                         sd_bus_message_read(reply, "bb", &authorized, &challenge) >= 0 && authorized != 0;
    done(granted);
    return 0;
}

void ForgetAnswer(void* userdata)
{
    delete static_cast<std::function<void(bool)>*>(userdata);
}

} // namespace

KorvanedBus::~KorvanedBus()
{
    if (m_bus != nullptr)
        sd_bus_flush_close_unref(m_bus);
}

bool KorvanedBus::Open(std::string& why)
{
    int failed = sd_bus_open_system(&m_bus);
    if (failed < 0) {
        why = std::string("the system bus cannot be reached (") + std::strerror(-failed) + ")";
        return false;
    }
    failed = sd_bus_add_object_vtable(m_bus, nullptr, kServicePath, kServiceInterface, kVtable, this);
    if (failed >= 0)
        failed = sd_bus_match_signal(m_bus, nullptr, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                     "org.freedesktop.DBus", "NameOwnerChanged", Access::NameOwnerChanged, this);
    if (failed < 0) {
        why = std::string("the service could not be set up on the bus (") + std::strerror(-failed) + ")";
        return false;
    }
    failed = sd_bus_request_name(m_bus, kServiceName, 0);
    if (failed < 0) {
        why = std::string("the name ") + kServiceName + " could not be taken (" + std::strerror(-failed) + ")";
        return false;
    }
    return true;
}

int KorvanedBus::Handle() const
{
    return m_bus != nullptr ? sd_bus_get_fd(m_bus) : -1;
}

short KorvanedBus::Events() const
{
    const int events = m_bus != nullptr ? sd_bus_get_events(m_bus) : 0;
    return static_cast<short>(events > 0 ? events : 0);
}

std::uint64_t KorvanedBus::Deadline() const
{
    std::uint64_t deadline = UINT64_MAX;
    if (m_bus != nullptr && sd_bus_get_timeout(m_bus, &deadline) < 0)
        deadline = UINT64_MAX;
    return deadline;
}

bool KorvanedBus::Process()
{
    for (;;) {
        const int processed = sd_bus_process(m_bus, nullptr);
        if (processed < 0)
            return false;
        if (processed == 0)
            return true;
    }
}

void KorvanedBus::CheckAuthorization(const std::string& busName, const std::string& action, bool interactive,
                                     std::function<void(bool granted)> done)
{
    sd_bus_message* raw = nullptr;
    if (sd_bus_message_new_method_call(m_bus, &raw, "org.freedesktop.PolicyKit1", "/org/freedesktop/PolicyKit1/Authority",
                                       "org.freedesktop.PolicyKit1.Authority", "CheckAuthorization") < 0) {
        done(false);
        return;
    }
    const Message call(raw);
    // The subject is the caller's bus name; flag 1 lets polkit ask its user.
    if (sd_bus_message_append(raw, "(sa{sv})sa{ss}us", "system-bus-name", 1, "name", "s", busName.c_str(),
                              action.c_str(), 0, interactive ? 1U : 0U, "") < 0) {
        done(false);
        return;
    }
    auto* answer = new std::function<void(bool)>(std::move(done));
    sd_bus_slot* slot = nullptr;
    const auto timeout = static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::microseconds>(m_polkitTimeout).count());
    if (sd_bus_call_async(m_bus, &slot, raw, PolkitAnswered, answer, timeout) < 0) {
        (*answer)(false);
        delete answer;
        return;
    }
    // The slot belongs to the bus from now on and frees the answer with itself.
    sd_bus_slot_set_destroy_callback(slot, ForgetAnswer);
    sd_bus_slot_set_floating(slot, 1);
    sd_bus_slot_unref(slot);
}

} // namespace korvane::platform::linuxos
