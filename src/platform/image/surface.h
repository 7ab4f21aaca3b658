#pragma once

#include <cstdint>
#include <vector>

namespace korvane::image {

// A colour with red in the low byte: 0x00BBGGRR.
using Color = std::uint32_t;

constexpr Color Rgb(int r, int g, int b)
{
    return static_cast<Color>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int RedOf(Color c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(Color c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(Color c) { return static_cast<int>((c >> 16) & 0xFF); }

inline constexpr Color kBlack = 0x000000;
inline constexpr Color kWhite = 0xFFFFFF;
inline constexpr Color kMagenta = 0xFF00FF;

// A picture of 32-bit pixels, row by row from the top. Reads outside give black; writes and
// copies outside are clipped.
class Surface {
public:
    Surface() = default;
    Surface(int width, int height, Color fill = kBlack);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool Empty() const { return m_width == 0 || m_height == 0; }

    Color Pixel(int x, int y) const;
    void SetPixel(int x, int y, Color color);
    void Clear(Color color);
    // Gives the surface a new size, every pixel the fill colour; the memory it holds is kept
    // when it is enough and not more than twice what the new size needs, and a surface that
    // grows takes an eighth more.
    void Reset(int width, int height, Color fill);
    // Copies the w x h block at (sx, sy) of source to (dx, dy); the parts outside either are skipped.
    void BlockCopy(int dx, int dy, int w, int h, const Surface& source, int sx, int sy);
    void FillRect(int x, int y, int w, int h, Color color);

    const std::vector<Color>& Pixels() const { return m_pixels; }
    bool operator==(const Surface& other) const = default;

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<Color> m_pixels;
};

// An icon: a colour image and a mask of the same size, 1 where the icon is transparent.
struct Icon {
    Surface color;
    std::vector<std::uint8_t> mask;

    bool Transparent(int x, int y) const
    {
        return mask[static_cast<std::size_t>(y) * static_cast<std::size_t>(color.Width()) +
                    static_cast<std::size_t>(x)] != 0;
    }
};

// Draws the icon's opaque pixels onto the surface at (x, y).
void DrawIcon(Surface& target, int x, int y, const Icon& icon);

} // namespace korvane::image
