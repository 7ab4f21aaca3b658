#pragma once

#include "platform/clock.h"

namespace korvane::platform::win32 {

// The local date and time (GetLocalTime) in seconds since 1970-01-01 00:00.
class Win32Clock : public Clock {
public:
    std::int64_t Now() override;
};

} // namespace korvane::platform::win32
