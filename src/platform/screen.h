#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace korvane::platform {

struct PixelRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// Pixels at the layout's scale of 15 twips a pixel.
struct TextExtent {
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// The system's colours a program is asked to use (0x00BBGGRR).
struct SystemColors {
    std::uint32_t window = 0xFFFFFF;
    std::uint32_t windowText = 0;
    std::uint32_t highlight = 0;
    std::uint32_t grayText = 0x808080;
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
    // Twips per pixel exactly (7.5 at 192 dots per inch, where the whole number above is 8): of
    // the main window's own monitor for sizes, and one for places on every monitor, so that a
    // place saved on a monitor of another scale comes back where it was.
    virtual double SizeTwipsPerPixel() { return TwipsPerPixelX(); }
    virtual double PlaceTwipsPerPixel() { return TwipsPerPixelX(); }
    // The text in the system's message font (as enlarged by the user's text size), in pixels at
    // the layout's scale; 7 a character and 13 high where the platform does not measure.
    virtual TextExtent MeasureText(const std::string& text)
    {
        return {static_cast<std::int32_t>(7 * text.size()), 13};
    }
    // The system's colours where it asks programs to draw in them (high contrast, or a dark
    // theme where the platform has one); nullopt where the program's own colours are wanted.
    virtual std::optional<SystemColors> ContrastColors() { return std::nullopt; }
    // The system's window background colour, 0x00BBGGRR.
    virtual std::uint32_t WindowBackgroundColor() { return 0xF0F0F0; }
    // Whether the platform tells and takes a window's place on the screen (Wayland does neither):
    // where not, the saved place is neither applied nor saved over.
    virtual bool WindowPlacesKnown() { return true; }
};

} // namespace korvane::platform
