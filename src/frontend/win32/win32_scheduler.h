#pragma once

#include "platform/forms/scheduler.h"

#include <functional>
#include <map>

namespace korvane::win32front {

// Timer ticks on SetTimer, delivered by the thread's message loop to a window of their own.
class Win32Scheduler : public forms::Scheduler {
public:
    Win32Scheduler();
    Win32Scheduler(const Win32Scheduler&) = delete;
    Win32Scheduler& operator=(const Win32Scheduler&) = delete;
    ~Win32Scheduler() override;

    int Arm(std::chrono::milliseconds interval, std::function<void()> tick) override;
    void Disarm(int handle) override;
    // Lets every pending message run (a PeekMessage loop), ticks that are due among them.
    void DoEvents() override;

    // The window's message: a tick of handle.
    void Tick(int handle);

private:
    void* m_window = nullptr;
    std::map<int, std::function<void()>> m_ticks;
    int m_nextHandle = 1;
};

} // namespace korvane::win32front
