#include "platform/linux/linux_clock.h"

#include <ctime>

namespace korvane::platform::linuxos {

std::int64_t LinuxClock::Now()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (::localtime_r(&now, &local) == nullptr)
        return static_cast<std::int64_t>(now);
    return static_cast<std::int64_t>(now) + local.tm_gmtoff;
}

} // namespace korvane::platform::linuxos
