#include "platform/forms/scheduler.h"

#include <thread>

namespace korvane::forms {

int VirtualScheduler::Arm(std::chrono::milliseconds interval, std::function<void()> tick)
{
    const int handle = m_nextHandle++;
    m_entries[handle] = Entry{interval, m_now + interval, std::move(tick)};
    return handle;
}

void VirtualScheduler::Disarm(int handle)
{
    m_entries.erase(handle);
}

void VirtualScheduler::Advance(std::chrono::milliseconds duration)
{
    const auto end = m_now + duration;
    for (;;) {
        auto next = m_entries.end();
        for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
            if (it->second.due <= end && (next == m_entries.end() || it->second.due < next->second.due))
                next = it;
        }
        if (next == m_entries.end())
            break;
        m_now = next->second.due;
        next->second.due += std::max(next->second.interval, std::chrono::milliseconds{1});
        // The tick may disarm or re-arm any entry, itself included: call a copy.
        auto tick = next->second.tick;
        tick();
    }
    m_now = end;
}

int SteadyScheduler::Arm(std::chrono::milliseconds interval, std::function<void()> tick)
{
    const int handle = m_nextHandle++;
    m_entries[handle] = Entry{interval, std::chrono::steady_clock::now() + interval, std::move(tick)};
    return handle;
}

void SteadyScheduler::Disarm(int handle)
{
    m_entries.erase(handle);
}

bool SteadyScheduler::RunOneDue(TimePoint now)
{
    auto next = m_entries.end();
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it->second.due <= now && (next == m_entries.end() || it->second.due < next->second.due))
            next = it;
    }
    if (next == m_entries.end())
        return false;
    next->second.due = now + std::max(next->second.interval, std::chrono::milliseconds{1});
    auto tick = next->second.tick;
    tick();
    return true;
}

void SteadyScheduler::DoEvents()
{
    // One round: every tick due now runs once.
    const auto now = std::chrono::steady_clock::now();
    for (std::size_t i = m_entries.size(); i > 0 && RunOneDue(now); --i) {
    }
}

std::chrono::steady_clock::time_point SteadyScheduler::NextDue() const
{
    auto due = TimePoint::max();
    for (const auto& [handle, entry] : m_entries)
        due = std::min(due, entry.due);
    return due;
}

bool SteadyScheduler::RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= end)
            return done();
        if (RunOneDue(now))
            continue;
        auto wake = end;
        for (const auto& [handle, entry] : m_entries)
            wake = std::min(wake, entry.due);
        std::this_thread::sleep_until(std::min(wake, now + std::chrono::milliseconds{20}));
    }
    return true;
}

void Timer::SetEnabled(bool value)
{
    if (value == m_enabled)
        return;
    m_enabled = value;
    Rearm();
}

void Timer::SetInterval(int intervalMs)
{
    if (intervalMs == m_interval)
        return;
    m_interval = intervalMs;
    if (m_enabled)
        Rearm();
}

void Timer::Rearm()
{
    m_scheduler.Disarm(m_handle);
    m_handle = 0;
    // An interval of 0 stops the timer, as it does for the timer control.
    if (m_enabled && m_interval > 0) {
        m_handle = m_scheduler.Arm(std::chrono::milliseconds{m_interval}, [this] {
            if (OnTimer)
                OnTimer();
        });
    }
}

} // namespace korvane::forms
