#pragma once

#include "platform/screen.h"


namespace korvane::platform::fake {

// A 1920 x 1080 screen at 96 dots per inch with a 40-pixel panel at the bottom.
class FakeScreen : public Screen {
public:
    bool WorkArea(PixelRect* area) override;
    std::int32_t ScreenWidthPixels() override { return width; }
    std::int32_t ScreenHeightPixels() override { return height; }
    std::int32_t TwipsPerPixelX() override { return twipsPerPixel; }
    std::int32_t TwipsPerPixelY() override { return twipsPerPixel; }
    double SizeTwipsPerPixel() override { return exactTwipsPerPixel > 0 ? exactTwipsPerPixel : twipsPerPixel; }
    double PlaceTwipsPerPixel() override { return placeTwipsPerPixel > 0 ? placeTwipsPerPixel : SizeTwipsPerPixel(); }
    std::uint32_t WindowBackgroundColor() override { return windowBackground; }
    std::optional<SystemColors> ContrastColors() override { return contrast; }
    // 7 pixels a character and 13 high, times textScale (the user's text size).
    TextExtent MeasureText(const std::string& text) override
    {
        return {static_cast<std::int32_t>(7 * textScale * static_cast<double>(text.size())),
                static_cast<std::int32_t>(13 * textScale)};
    }

    std::int32_t width = 1920;
    std::int32_t height = 1080;
    std::int32_t twipsPerPixel = 15;
    // Where set (above 0), the exact scales; else the whole number.
    double exactTwipsPerPixel = 0;
    double placeTwipsPerPixel = 0;
    double textScale = 1;
    std::optional<SystemColors> contrast; // the system asks for its colours
    std::uint32_t windowBackground = 0xF0F0F0;
    PixelRect workArea{0, 0, 1920, 1040};
    bool workAreaReadable = true;
};

} // namespace korvane::platform::fake
