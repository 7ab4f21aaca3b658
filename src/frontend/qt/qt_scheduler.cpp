#include "frontend/qt/qt_scheduler.h"

#include <QCoreApplication>
#include <QTimer>

namespace korvane::qtfront {

QtScheduler::~QtScheduler()
{
    for (auto& [handle, timer] : m_timers)
        delete timer;
}

int QtScheduler::Arm(std::chrono::milliseconds interval, std::function<void()> tick)
{
    const int handle = m_nextHandle++;
    auto* timer = new QTimer();
    timer->setInterval(static_cast<int>(interval.count()));
    QObject::connect(timer, &QTimer::timeout, timer, [tick = std::move(tick)] { tick(); });
    timer->start();
    m_timers[handle] = timer;
    return handle;
}

void QtScheduler::Disarm(int handle)
{
    const auto it = m_timers.find(handle);
    if (it == m_timers.end())
        return;
    it->second->stop();
    // A tick may disarm its own timer: delete it once control is back in the event loop.
    it->second->deleteLater();
    m_timers.erase(it);
}

void QtScheduler::DoEvents()
{
    QCoreApplication::processEvents();
}

} // namespace korvane::qtfront
