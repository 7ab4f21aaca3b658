#pragma once

#include "platform/notification_area.h"

#include <optional>
#include <vector>

namespace korvane::platform::fake {

// A notification area that records every add, modify and delete with the icon shown.
class FakeNotificationArea : public NotificationArea {
public:
    struct Call {
        char command; // 'A'dd, 'M'odify, 'D'elete
        TrayIconData data;
    };
    bool Add(const TrayIconData& data) override;
    bool Modify(const TrayIconData& data) override;
    bool Delete(const TrayIconData& data) override;

    const std::vector<Call>& Calls() const { return m_calls; }
    // The icon as shown now; nullopt when none is in the area.
    const std::optional<TrayIconData>& Current() const { return m_current; }

    bool TrayAvailable() override { return available; }
    bool available = true;

private:
    std::vector<Call> m_calls;
    std::optional<TrayIconData> m_current;
};

} // namespace korvane::platform::fake
