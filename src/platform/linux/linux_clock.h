#pragma once

#include "platform/clock.h"

namespace korvane::platform::linuxos {

// The system clock in local time, to the second.
class LinuxClock : public Clock {
public:
    std::int64_t Now() override;
};

} // namespace korvane::platform::linuxos
