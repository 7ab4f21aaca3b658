#pragma once

#include "platform/forms/simple_controls.h"
#include "platform/forms/window_controls.h"
#include "platform/image/surface.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korvane::tray {

inline constexpr image::Color kTransparent = image::kMagenta;
inline constexpr image::Color kFillMarker = 0x0000FF; // pure red marks the box's fill area

// The eight tray colours in menu order; purple is 0xFE00FE so that it is not the transparent colour.
inline constexpr std::array<image::Color, 8> kTrayColors = {0x000000, 0xFF0000, 0xFFFF00, 0x00FF00,
                                                            0xFE00FE, 0x0000FF, 0xFFFFFF, 0x00FFFF};
inline constexpr std::array<const char*, 8> kTrayColorCaptions = {"Black",  "Blue", "Cyan",  "Green",
                                                                  "Purple", "Red",  "White", "Yellow"};

// 192 x 32: black seven-segment digits 0 to 9 in 16-pixel cells, then a "100" block at x 158,
// on magenta.
image::Surface DrawNumSrc();
// 32 x 32: a black frame round a pure red fill.
image::Surface DrawTrayColorSrc();

// A same-sized (or stretched, nearest pixel) copy of a bitmap; a width or height of 0 means the
// source's. nullopt for an empty source.
std::optional<image::Surface> CopyBitmap(const image::Surface& bitmap, int kind, int width, int height,
                                         int stretchMode);
// 1 where the area at (x, y) has exactly the colour, 0 elsewhere; nullopt for a size that is not positive.
std::optional<std::vector<std::uint8_t>> CreateMaskBitmap(const image::Surface& source, int x, int y, int width,
                                                          int height, image::Color color);
// An icon of the bitmap in which the transparent colour is see-through (and black in the colour
// image); nullopt when the bitmap is empty.
std::optional<image::Icon> BitmapToIcon(const image::Surface& bitmap, image::Color transparent);

// The icon made smaller (the notification area's own icon size), each pixel from the block of
// the source it covers: opaque when any pixel of the block is, in its darkest colour, so that a
// digit's one-pixel stroke or the box's frame is never dropped. A size as large as the icon or
// larger gives the icon as it is.
image::Icon ShrinkIcon(const image::Icon& icon, int size);

// The picture of the tray icon: the total usage as a two-digit number or as a box that fills from
// the bottom, in the chosen colour.
class TrayImage {
public:
    TrayImage(std::array<forms::MenuItem, 8>& colurPik, forms::PictureBox& showTrayColr, forms::PictureBox& p2);

    // Chooses a colour by its menu index: ticks its item, shows it in the swatch, recolours.
    void ColurPik_Click(int index);
    void RecolorTrayPictures(image::Color color);
    // Draws P2 for the total and makes its icon; nullopt when the conversion failed.
    std::optional<image::Icon> ComposeTrayIcon(double totalUsage, bool asNumber);

    const image::Surface& NumSrc() const { return m_numSrc; }
    const image::Surface& Nums() const { return m_nums; }
    const image::Surface& TrayColor() const { return m_trayColor; }
    const image::Surface& EmptyBox() const { return m_p1; }

private:
    std::array<forms::MenuItem, 8>& m_colurPik;
    forms::PictureBox& m_showTrayColr;
    forms::PictureBox& m_p2;
    image::Surface m_numSrc;
    image::Surface m_trayColorSrc;
    image::Surface m_nums;
    image::Surface m_trayColor;
    image::Surface m_p1;
};

} // namespace korvane::tray
