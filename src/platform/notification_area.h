#pragma once

#include "platform/image/surface.h"

#include <cstdint>
#include <optional>
#include <string>

namespace korvane::platform {

// The record that describes the program's icon in the notification area.
struct TrayIconData {
    std::uint32_t cbSize = 0;
    std::int64_t hWnd = 0; // owner window
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;           // 7: message, icon and tip are valid
    std::uint32_t uCallbackMessage = 0; // 512: events arrive as mouse moves
    std::optional<image::Icon> hIcon;
    std::string szTip; // 64 characters: the text, a NUL, then padding

    // The tooltip as shown: the text up to the first NUL.
    std::string Tip() const { return szTip.substr(0, szTip.find('\0')); }
};

// The notification area (tray). Results are reported but the program does not rely on them.
class NotificationArea {
public:
    virtual ~NotificationArea() = default;
    virtual bool Add(const TrayIconData& data) = 0;
    virtual bool Modify(const TrayIconData& data) = 0;
    virtual bool Delete(const TrayIconData& data) = 0;
    // Whether a tray is there to show the icon now (a desktop without one, a taskbar restarting:
    // no); the window then minimizes to the taskbar instead of hiding.
    virtual bool TrayAvailable() { return true; }
};

} // namespace korvane::platform
