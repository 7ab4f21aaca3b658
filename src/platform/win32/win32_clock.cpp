#include "platform/win32/win32_clock.h"

#include <windows.h>

namespace korvane::platform::win32 {

std::int64_t Win32Clock::Now()
{
    SYSTEMTIME local;
    ::GetLocalTime(&local);
    FILETIME time;
    if (!::SystemTimeToFileTime(&local, &time))
        return 0;
    const std::uint64_t ticks = (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    // File times count 100-ns steps from 1601-01-01.
    constexpr std::uint64_t kTicksTo1970 = 116444736000000000ULL;
    return static_cast<std::int64_t>((ticks - kTicksTo1970) / 10000000ULL);
}

} // namespace korvane::platform::win32
