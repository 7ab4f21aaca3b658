#pragma once

#include "platform/screen.h"

namespace korvane::win32front {

// The primary screen: its work area (SPI_GETWORKAREA), size, and dots per inch.
class Win32Screen : public platform::Screen {
public:
    bool WorkArea(platform::PixelRect* area) override;
    std::int32_t ScreenWidthPixels() override;
    std::int32_t ScreenHeightPixels() override;
    std::int32_t TwipsPerPixelX() override;
    std::int32_t TwipsPerPixelY() override;
    // The system's window colour (COLOR_BTNFACE, behind dialogs and forms).
    std::uint32_t WindowBackgroundColor() override;
};

} // namespace korvane::win32front
