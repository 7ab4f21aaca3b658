#pragma once

#include "platform/screen.h"

namespace korvane::win32front {

// The screen: the work area of the monitor the main window is on (the primary one before there
// is a window), the primary screen's size, and dots per inch.
class Win32Screen : public platform::Screen {
public:
    // The main window, whose monitor the work area is taken from.
    void SetWindow(void* window) { m_window = window; }
    bool WorkArea(platform::PixelRect* area) override;
    std::int32_t ScreenWidthPixels() override;
    std::int32_t ScreenHeightPixels() override;
    std::int32_t TwipsPerPixelX() override;
    std::int32_t TwipsPerPixelY() override;
    // The main window's monitor's scale for sizes; the system's (the primary monitor's at sign-in)
    // for places, one for the whole desktop.
    double SizeTwipsPerPixel() override;
    double PlaceTwipsPerPixel() override;
    // Measured in the message font, which the user's text size enlarges.
    platform::TextExtent MeasureText(const std::string& text) override;
    // The screen's dots per inch (96 at 100 %, 144 at 150 %, ...).
    int DotsPerInch();
    // The system's colours while high contrast is on (SPI_GETHIGHCONTRAST).
    std::optional<platform::SystemColors> ContrastColors() override;
    // The system's window colour (COLOR_BTNFACE, behind dialogs and forms).
    std::uint32_t WindowBackgroundColor() override;

private:
    void* m_window = nullptr;
};

} // namespace korvane::win32front
