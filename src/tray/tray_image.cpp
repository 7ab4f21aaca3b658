#include "tray/tray_image.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>
#include <string>

namespace korvane::tray {

namespace {

using image::Surface;

constexpr int kCell = 16;
constexpr int kHundredX = 158;

// The seven strokes of a digit glyph whose left edge is x0 and width w (14 in a cell).
struct Glyph {
    Surface& s;
    int x0;
    int w;
    void Top() { s.FillRect(x0, 2, w, 2, image::kBlack); }
    void Bottom() { s.FillRect(x0, 28, w, 2, image::kBlack); }
    void Middle() { s.FillRect(x0, 15, w, 1, image::kBlack); }
    void Left(int y0, int y1) { s.FillRect(x0, y0, 2, y1 - y0 + 1, image::kBlack); }
    void Right(int y0, int y1) { s.FillRect(x0 + w - 2, y0, 2, y1 - y0 + 1, image::kBlack); }
    void Zero()
    {
        Top();
        Bottom();
        Left(4, 27);
        Right(4, 27);
    }
};

void DrawDigit(Surface& s, int digit)
{
    Glyph g{s, digit * kCell, 14};
    switch (digit) {
    case 0: g.Zero(); break;
    case 1: s.FillRect(g.x0 + 6, 2, 2, 28, image::kBlack); break;
    case 2: g.Top(); g.Right(4, 14); g.Middle(); g.Left(16, 27); g.Bottom(); break;
    case 3: g.Top(); g.Right(4, 14); g.Middle(); g.Right(16, 27); g.Bottom(); break;
    case 4: g.Left(2, 14); g.Right(2, 14); g.Middle(); g.Right(16, 29); break;
    case 5: g.Top(); g.Left(4, 14); g.Middle(); g.Right(16, 27); g.Bottom(); break;
    case 6: g.Top(); g.Left(4, 14); g.Middle(); g.Left(16, 27); g.Right(16, 27); g.Bottom(); break;
    case 7: g.Top(); g.Right(4, 29); break;
    case 8: g.Top(); g.Left(4, 14); g.Right(4, 14); g.Middle(); g.Left(16, 27); g.Right(16, 27); g.Bottom(); break;
    case 9: g.Top(); g.Left(4, 14); g.Right(4, 14); g.Middle(); g.Right(16, 29); break;
    default: break;
    }
}

void Replace(Surface& surface, image::Color from, image::Color to)
{
    for (int y = 0; y < surface.Height(); ++y) {
        for (int x = 0; x < surface.Width(); ++x) {
            if (surface.Pixel(x, y) == from)
                surface.SetPixel(x, y, to);
        }
    }
}

} // namespace

image::Surface DrawNumSrc()
{
    Surface s(192, 32, kTransparent);
    for (int digit = 0; digit <= 9; ++digit)
        DrawDigit(s, digit);
    s.FillRect(kHundredX + 2, 2, 2, 28, image::kBlack);
    Glyph{s, kHundredX + 6, 12}.Zero();
    Glyph{s, kHundredX + 20, 12}.Zero();
    return s;
}

image::Surface DrawTrayColorSrc()
{
    Surface s(32, 32, image::kBlack);
    s.FillRect(2, 2, 28, 29, kFillMarker);
    return s;
}

std::optional<image::Surface> CopyBitmap(const image::Surface& bitmap, int /*kind*/, int width, int height,
                                         int /*stretchMode*/)
{
    if (bitmap.Empty())
        return std::nullopt;
    width = width == 0 ? bitmap.Width() : std::abs(width);
    height = height == 0 ? bitmap.Height() : std::abs(height);
    if (width == bitmap.Width() && height == bitmap.Height())
        return bitmap;
    Surface copy(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            copy.SetPixel(x, y, bitmap.Pixel(x * bitmap.Width() / width, y * bitmap.Height() / height));
    }
    return copy;
}

std::optional<std::vector<std::uint8_t>> CreateMaskBitmap(const image::Surface& source, int x, int y, int width,
                                                          int height, image::Color color)
{
    if (width <= 0 || height <= 0)
        return std::nullopt;
    std::vector<std::uint8_t> mask(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    for (int row = 0; row < height; ++row) {
        for (int col = 0; col < width; ++col) {
            if (source.Pixel(x + col, y + row) == color)
                mask[static_cast<std::size_t>(row * width + col)] = 1;
        }
    }
    return mask;
}

std::optional<image::Icon> BitmapToIcon(const image::Surface& bitmap, image::Color transparent)
{
    auto colour = CopyBitmap(bitmap, 1, bitmap.Width(), bitmap.Height(), 4);
    if (!colour)
        return std::nullopt;
    auto mask = CreateMaskBitmap(*colour, 0, 0, colour->Width(), colour->Height(), transparent);
    if (!mask)
        return std::nullopt;
    for (int y = 0; y < colour->Height(); ++y) {
        for (int x = 0; x < colour->Width(); ++x) {
            if ((*mask)[static_cast<std::size_t>(y * colour->Width() + x)] != 0)
                colour->SetPixel(x, y, image::kBlack);
        }
    }
    return image::Icon{std::move(*colour), std::move(*mask)};
}

TrayImage::TrayImage(std::array<forms::MenuItem, 8>& colurPik, forms::PictureBox& showTrayColr, forms::PictureBox& p2)
    : m_colurPik(colurPik), m_showTrayColr(showTrayColr), m_p2(p2), m_numSrc(DrawNumSrc()),
      m_trayColorSrc(DrawTrayColorSrc())
{
}

void TrayImage::ColurPik_Click(int index)
{
    if (index < 0 || index >= static_cast<int>(kTrayColors.size()))
        return;
    for (auto& item : m_colurPik)
        item.SetChecked(false);
    const image::Color color = kTrayColors[static_cast<std::size_t>(index)];
    m_colurPik[static_cast<std::size_t>(index)].SetChecked(true);
    m_showTrayColr.SetBackColor(color);
    RecolorTrayPictures(color);
    m_showTrayColr.SetTag(std::to_string(index));
}

void TrayImage::RecolorTrayPictures(image::Color color)
{
    m_nums = m_numSrc;
    if (color != image::kBlack)
        Replace(m_nums, image::kBlack, color);
    m_trayColor = m_trayColorSrc;
    if (color != kFillMarker)
        Replace(m_trayColor, kFillMarker, color);
    m_p1 = m_trayColorSrc;
    Replace(m_p1, kFillMarker, kTransparent);
}

std::optional<image::Icon> TrayImage::ComposeTrayIcon(double totalUsage, bool asNumber)
{
    if (m_nums.Empty())
        RecolorTrayPictures(image::kBlack);
    Surface p2(32, 32, image::kWhite);
    if (!asNumber) {
        p2 = m_trayColor;
        const int h = static_cast<int>(std::nearbyint(32.0 - totalUsage / 3.125));
        p2.BlockCopy(0, 0, 32, h, m_p1, 0, 0);
    } else {
        // "00": rounded to a whole number, at least two digits.
        const double rounded = std::round(totalUsage);
        if (rounded >= 100.0) {
            p2.BlockCopy(0, 0, 32, 32, m_nums, kHundredX, 0);
        } else {
            const int value = static_cast<int>(std::max(rounded, 0.0));
            p2.BlockCopy(0, 0, kCell, 32, m_nums, kCell * (value / 10), 0);
            p2.BlockCopy(kCell, 0, kCell, 32, m_nums, kCell * (value % 10), 0);
        }
    }
    auto icon = BitmapToIcon(p2, kTransparent);
    m_p2.SetPicture(std::move(p2));
    return icon;
}

image::Icon ShrinkIcon(const image::Icon& icon, int size)
{
    const int width = icon.color.Width();
    const int height = icon.color.Height();
    if (size <= 0 || (size >= width && size >= height) || icon.mask.size() != static_cast<std::size_t>(width * height))
        return icon;
    image::Icon small{image::Surface(size, size, image::kBlack),
                      std::vector<std::uint8_t>(static_cast<std::size_t>(size * size), 1)};
    const auto luminance = [](image::Color c) {
        return 299 * image::RedOf(c) + 587 * image::GreenOf(c) + 114 * image::BlueOf(c);
    };
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const int left = x * width / size;
            const int right = std::max((x + 1) * width / size, left + 1);
            const int top = y * height / size;
            const int bottom = std::max((y + 1) * height / size, top + 1);
            std::optional<image::Color> ink;
            for (int sy = top; sy < bottom; ++sy) {
                for (int sx = left; sx < right; ++sx) {
                    if (icon.Transparent(sx, sy))
                        continue;
                    const image::Color c = icon.color.Pixel(sx, sy);
                    if (!ink || luminance(c) < luminance(*ink))
                        ink = c;
                }
            }
            if (ink) {
                small.color.SetPixel(x, y, *ink);
                small.mask[static_cast<std::size_t>(y * size + x)] = 0;
            }
        }
    }
    return small;
}

} // namespace korvane::tray
