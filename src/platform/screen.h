#pragma once

#include <cstdint>

namespace korvane::platform {

struct PixelRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// The screen the main window lives on.
class Screen {
public:
    virtual ~Screen() = default;
    // The desktop less panels and docks, in pixels; false when it could not be read.
    virtual bool WorkArea(PixelRect* area) = 0;
    virtual std::int32_t ScreenWidthPixels() = 0;
    virtual std::int32_t ScreenHeightPixels() = 0;
    // Twips per pixel (15 at 96 dots per inch).
    virtual std::int32_t TwipsPerPixelX() = 0;
    virtual std::int32_t TwipsPerPixelY() = 0;
    // The system's window background colour, 0x00BBGGRR.
    virtual std::uint32_t WindowBackgroundColor() { return 0xF0F0F0; }
    // Whether the platform tells and takes a window's place on the screen (Wayland does neither):
    // where not, the saved place is neither applied nor saved over.
    virtual bool WindowPlacesKnown() { return true; }
};

} // namespace korvane::platform
