#pragma once

#include "platform/forms/window_controls.h"
#include "platform/notification_area.h"

#include <cstdint>
#include <functional>

namespace korvane::tray {

inline constexpr const char* kTrayTip = "Korvane By Brannock";
inline constexpr int kTrayDoubleClick = 515; // left button double-click
inline constexpr int kTrayRightButtonUp = 517;

// The program's one icon in the notification area, and the mouse events it delivers to P2.
class TrayIcon {
public:
    TrayIcon(platform::NotificationArea& area, forms::Window& form, const forms::Menu& mnuFile,
             image::Icon windowIcon, std::int64_t ownerWindow);

    // Fills the record with the window's own icon and adds it (again after the tray came back).
    void Add_Tray();
    // Shows a new icon (every usage tick).
    void ModifyIcon(image::Icon icon);
    void DeleteIcon();
    const platform::TrayIconData& Data() const { return m_data; }

    // x carries the tray event: 515 restores the window, 517 opens the menu.
    void P2_MouseMove(int button, int shift, float x, float y);

    std::function<void()> RefreshProcessList;
    std::function<void()> ShowMainWindow;

private:
    platform::NotificationArea& m_area;
    forms::Window& m_form;
    const forms::Menu& m_menu;
    image::Icon m_windowIcon;
    std::int64_t m_owner;
    platform::TrayIconData m_data;
};

// The program's own 32 x 32 icon: a chip with four cores, on a transparent background.
image::Icon DrawProgramIcon();

} // namespace korvane::tray
