#include "platform/fake/fake_notification_area.h"

namespace korvane::platform::fake {

bool FakeNotificationArea::Add(const TrayIconData& data)
{
    m_calls.push_back({'A', data});
    m_current = data;
    return true;
}

bool FakeNotificationArea::Modify(const TrayIconData& data)
{
    m_calls.push_back({'M', data});
    if (m_current)
        m_current = data;
    return m_current.has_value();
}

bool FakeNotificationArea::Delete(const TrayIconData& data)
{
    m_calls.push_back({'D', data});
    m_current.reset();
    return true;
}

} // namespace korvane::platform::fake
