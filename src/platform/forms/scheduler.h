#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>

namespace korvane::forms {

// Delivers timer ticks and other pending events on the one user-interface thread.
class Scheduler {
public:
    virtual ~Scheduler() = default;
    // Calls tick every interval, the first time one interval from now, until disarmed.
    // Returns a handle greater than 0.
    virtual int Arm(std::chrono::milliseconds interval, std::function<void()> tick) = 0;
    // Stops the ticks of a handle; unknown handles are ignored. Safe inside a tick.
    virtual void Disarm(int handle) = 0;
    // Lets pending events run once (ticks that are due, window events).
    virtual void DoEvents() = 0;
};

// A scheduler on a virtual clock that only moves when told: deterministic ticks for tests.
class VirtualScheduler : public Scheduler {
public:
    int Arm(std::chrono::milliseconds interval, std::function<void()> tick) override;
    void Disarm(int handle) override;
    // Virtual time does not move here, so nothing is due.
    void DoEvents() override { ++m_doEventsCount; }

    // Moves the clock forward, running every tick that falls due on the way, in time order.
    void Advance(std::chrono::milliseconds duration);
    std::chrono::milliseconds Now() const { return m_now; }
    int DoEventsCount() const { return m_doEventsCount; }
    bool Armed(int handle) const { return m_entries.count(handle) != 0; }

private:
    struct Entry {
        std::chrono::milliseconds interval;
        std::chrono::milliseconds due;
        std::function<void()> tick;
    };
    std::map<int, Entry> m_entries;
    std::chrono::milliseconds m_now{0};
    int m_nextHandle = 1;
    int m_doEventsCount = 0;
};

// A scheduler on the machine's steady clock, for headless runs: RunUntil sleeps until the next
// tick is due and runs it.
class SteadyScheduler : public Scheduler {
public:
    int Arm(std::chrono::milliseconds interval, std::function<void()> tick) override;
    void Disarm(int handle) override;
    void DoEvents() override;

    // Runs ticks until done() is true or the limit has passed; returns done().
    bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);
    // When the earliest tick is due; the time point's maximum when no timer is armed.
    std::chrono::steady_clock::time_point NextDue() const;

private:
    using TimePoint = std::chrono::steady_clock::time_point;
    struct Entry {
        std::chrono::milliseconds interval;
        TimePoint due;
        std::function<void()> tick;
    };
    // Runs the earliest tick due at or before the time; false when none was.
    bool RunOneDue(TimePoint now);

    std::map<int, Entry> m_entries;
    int m_nextHandle = 1;
};

// A timer control: while enabled, its OnTimer runs every Interval milliseconds. Enabling (or
// changing the interval of an enabled timer) starts the count afresh.
class Timer {
public:
    Timer(Scheduler& scheduler, int intervalMs) : m_scheduler(scheduler), m_interval(intervalMs) {}
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;
    ~Timer() { m_scheduler.Disarm(m_handle); }

    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool value);
    int Interval() const { return m_interval; }
    void SetInterval(int intervalMs);

    std::function<void()> OnTimer;

private:
    void Rearm();

    Scheduler& m_scheduler;
    int m_interval;
    bool m_enabled = false;
    int m_handle = 0;
};

} // namespace korvane::forms
