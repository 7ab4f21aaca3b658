#pragma once

#include <memory>
#include <systemd/sd-bus.h>

namespace korvane::platform::linuxos {

struct SdBusMessageUnref {
    void operator()(sd_bus_message* message) const { sd_bus_message_unref(message); }
};
// An sd-bus message held until it goes.
using SdBusMessage = std::unique_ptr<sd_bus_message, SdBusMessageUnref>;

} // namespace korvane::platform::linuxos
