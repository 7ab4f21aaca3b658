#pragma once

#include <cstdint>

namespace korvane::platform {

class Clock {
public:
    virtual ~Clock() = default;
    // The wall-clock date and time in whole seconds since 1970-01-01 00:00 local time. It may
    // jump when the user or the network sets the clock.
    virtual std::int64_t Now() = 0;
};

} // namespace korvane::platform
