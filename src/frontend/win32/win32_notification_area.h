#pragma once

#include "platform/image/surface.h"
#include "platform/notification_area.h"

#include <functional>

namespace korvane::win32front {

// An icon handle made from a picture and its mask (CreateIconIndirect); nullptr when it fails.
// The caller destroys it (DestroyIcon).
void* CreateIconOf(const image::Icon& icon);

// The notification area through Shell_NotifyIconW, for a hidden window of its own that receives
// the icon's mouse messages and the "TaskbarCreated" broadcast of a new taskbar. Each add or
// modify makes the icon from the picture and destroys the one shown before.
// The tray icon's size in pixels at the taskbar's DPI.
int TrayIconPixels();

class Win32NotificationArea : public platform::NotificationArea {
public:
    Win32NotificationArea();
    Win32NotificationArea(const Win32NotificationArea&) = delete;
    Win32NotificationArea& operator=(const Win32NotificationArea&) = delete;
    ~Win32NotificationArea() override;

    bool Add(const platform::TrayIconData& data) override;
    bool Modify(const platform::TrayIconData& data) override;
    bool Delete(const platform::TrayIconData& data) override;
    // The taskbar holds the icon, or a notification area is there to take it.
    bool TrayAvailable() override;

    // The window's messages.
    void Received(unsigned message, std::intptr_t lParam);

    // A mouse message of the icon (515 double click, 517 right button up, ...).
    std::function<void(int message)> onMouseMessage;
    // A new taskbar started (explorer restarted): the icon has to be added again.
    std::function<void()> onTrayCreated;
    // The icon was lost and no notification area is left (Explorer ended).
    std::function<void()> onTrayGone;

    void* Window() const { return m_window; }
    // The icon shown now; nullptr when none.
    void* CurrentIcon() const { return m_icon; }

private:
    bool Notify(unsigned command, const platform::TrayIconData& data);

    void* m_window = nullptr;
    void* m_icon = nullptr;
    unsigned m_iconId = 0; // the uID the icon was added with: deleting needs it
    bool m_added = false;  // the taskbar took the icon
    unsigned m_taskbarCreated = 0;
    bool m_rightClickMenu = false; // a right button-up whose WM_CONTEXTMENU is still to come
};

} // namespace korvane::win32front
