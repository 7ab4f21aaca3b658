#include "platform/fake/fake_single_instance.h"

namespace korvane::platform::fake {

bool FakeSingleInstance::AnotherInstanceRunning()
{
    if (m_owner)
        return false;
    if (m_registry->running)
        return true;
    m_registry->running = true;
    m_owner = true;
    return false;
}

void FakeSingleInstance::ShowRunningInstance(std::int64_t window)
{
    m_registry->shownWindows.push_back(window);
    if (m_registry->running)
        ++m_registry->showRequests;
}

int FakeSingleInstance::TakeShowRequests()
{
    if (!m_owner)
        return 0;
    const int requests = m_registry->showRequests;
    m_registry->showRequests = 0;
    return requests;
}

void FakeSingleInstance::Release()
{
    if (m_owner)
        m_registry->running = false;
    m_owner = false;
}

} // namespace korvane::platform::fake
