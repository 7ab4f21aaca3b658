#pragma once

#include "platform/start_watch.h"

#include <deque>

namespace korvane::platform::fake {

// A start watch that tests script: starts and losses queued by hand, refusals on demand.
class FakeStartWatch : public StartWatch {
public:
    // allowed: whether Open succeeds (the right to listen).
    explicit FakeStartWatch(bool allowed = true) : m_allowed(allowed) {}

    void Allow(bool allowed) { m_allowed = allowed; }
    void Started(std::int32_t processId, std::uint64_t startedBy = 0) { m_queue.push_back({processId, startedBy}); }
    // The next read reports lost starts (after the queued ones).
    void Overrun() { m_lost = true; }
    // The next read fails and closes the watch.
    void Break() { m_broken = true; }
    int OpenCount() const { return m_opens; }

    bool Open() override;
    void Close() override { m_open = false; }
    bool IsOpen() const override { return m_open; }
    std::string Status() const override;
    Result TakeStarts(std::vector<ProgramStart>& starts) override;
    int Handle() const override { return m_open ? 7 : -1; }

private:
    bool m_allowed;
    bool m_open = false;
    bool m_lost = false;
    bool m_broken = false;
    int m_opens = 0;
    std::deque<ProgramStart> m_queue;
};

} // namespace korvane::platform::fake
