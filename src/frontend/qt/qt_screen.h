#pragma once

#include "platform/screen.h"

namespace korvane::qtfront {

class QtScreen : public platform::Screen {
public:
    bool WorkArea(platform::PixelRect* area) override;
    std::int32_t ScreenWidthPixels() override;
    std::int32_t ScreenHeightPixels() override;
    std::int32_t TwipsPerPixelX() override;
    std::int32_t TwipsPerPixelY() override;
    // The palette's colours for a dark or a high-contrast theme.
    std::optional<platform::SystemColors> ContrastColors() override;
    // The palette's window colour.
    std::uint32_t WindowBackgroundColor() override;
    // Not under Wayland, where a client neither learns nor sets its place.
    bool WindowPlacesKnown() override { return !WaylandPlatform(); }

    static bool WaylandPlatform();
};

} // namespace korvane::qtfront
