#include "platform/fake/fake_start_watch.h"

namespace korvane::platform::fake {

bool FakeStartWatch::Open()
{
    ++m_opens;
    m_open = m_allowed;
    m_broken = false;
    return m_open;
}

std::string FakeStartWatch::Status() const
{
    return m_open ? "on" : "off, not allowed to listen";
}

StartWatch::Result FakeStartWatch::TakeStarts(std::vector<ProgramStart>& starts)
{
    if (!m_open)
        return Result::Failed;
    if (m_broken) {
        m_open = false;
        m_queue.clear();
        return Result::Failed;
    }
    starts.insert(starts.end(), m_queue.begin(), m_queue.end());
    m_queue.clear();
    const bool lost = m_lost;
    m_lost = false;
    return lost ? Result::Lost : Result::Read;
}

} // namespace korvane::platform::fake
