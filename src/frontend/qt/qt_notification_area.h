#pragma once

#include "platform/notification_area.h"

#include <functional>
#include <memory>
#include <optional>

class QMenu;
class QObject;
class QSystemTrayIcon;
class QTimer;

namespace korvane::qtfront {

// The notification area through QSystemTrayIcon. A double-click and the release of the right
// button arrive as the mouse messages 515 and 517, always after the tray's own event has finished
// (what they start may remove the icon). When a tray appears again after it was gone,
// onTrayCreated runs.
//
// Trays of two kinds: an XEmbed tray gives the icon a window of its own, where Qt reports the
// context request on the press of the right button, so 517 waits for the release. A
// StatusNotifierItem host (over D-Bus) reports activation as one trigger, never a double click:
// there the trigger is 515, and the icon carries a menu of its own that the host shows, filled by
// fillContextMenu each time it opens.
class QtNotificationArea : public platform::NotificationArea {
public:
    QtNotificationArea();
    ~QtNotificationArea() override;

    bool Add(const platform::TrayIconData& data) override;
    bool Modify(const platform::TrayIconData& data) override;
    bool Delete(const platform::TrayIconData& data) override;
    bool TrayAvailable() override;

    // True once the icon is shown by a StatusNotifierItem host rather than an XEmbed tray.
    bool StatusNotifierHost() const { return m_statusNotifier; }
    std::function<void(int message)> onMouseMessage;
    std::function<void()> onTrayCreated;
    // There is no tray (its panel ended, its host left the session bus): runs every 2 s while so.
    std::function<void()> onTrayGone;
    std::function<void(QMenu& menu)> fillContextMenu;

private:
    void MakeIcon();
    void Apply(const platform::TrayIconData& data);
    void Activated(int reason);
    void Deliver(int message);
    void UseHostMenu();
    // The icon is shown and a tray holds it.
    bool IconInTray() const;

    std::unique_ptr<QSystemTrayIcon> m_icon; // none under Wayland until a tray host is there
    std::optional<platform::TrayIconData> m_shown; // what Add showed, for an icon made later
    std::unique_ptr<QTimer> m_watch;
    std::unique_ptr<QMenu> m_menu;
    std::unique_ptr<QObject> m_releaseWatch;
    bool m_trayAvailable = false;
    bool m_statusNotifier = false;
    bool m_contextPending = false;
};

} // namespace korvane::qtfront
