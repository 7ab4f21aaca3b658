#pragma once

#include "platform/forms/scheduler.h"

#include <map>

class QTimer;

namespace korvane::qtfront {

// Timer ticks on the Qt event loop.
class QtScheduler : public forms::Scheduler {
public:
    QtScheduler() = default;
    QtScheduler(const QtScheduler&) = delete;
    QtScheduler& operator=(const QtScheduler&) = delete;
    ~QtScheduler() override;

    int Arm(std::chrono::milliseconds interval, std::function<void()> tick) override;
    void Disarm(int handle) override;
    void DoEvents() override;

private:
    std::map<int, QTimer*> m_timers;
    int m_nextHandle = 1;
};

} // namespace korvane::qtfront
