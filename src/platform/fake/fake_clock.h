#pragma once

#include "platform/clock.h"

#include <cstdint>

namespace korvane::platform::fake {

class FakeClock : public Clock {
public:
    explicit FakeClock(std::int64_t now = 1'700'000'000) : m_now(now) {}
    std::int64_t Now() override { return m_now; }
    void Set(std::int64_t now) { m_now = now; }
    void Advance(std::int64_t seconds) { m_now += seconds; }

private:
    std::int64_t m_now;
};

} // namespace korvane::platform::fake
