#pragma once

#include <windows.h>

namespace korvane::test {

// Runs every message waiting for this thread's windows.
inline void PumpMessages()
{
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

} // namespace korvane::test
