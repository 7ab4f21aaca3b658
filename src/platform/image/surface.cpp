#include "platform/image/surface.h"

#include <algorithm>

namespace korvane::image {

Surface::Surface(int width, int height, Color fill)
    : m_width(std::max(width, 0)), m_height(std::max(height, 0)),
      m_pixels(static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height), fill)
{
}

void Surface::Reset(int width, int height, Color fill)
{
    m_width = std::max(width, 0);
    m_height = std::max(height, 0);
    const std::size_t size = static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height);
    if (m_pixels.capacity() > 2 * size) {
        std::vector<Color>().swap(m_pixels);
    } else if (m_pixels.capacity() < size && !m_pixels.empty()) {
        // A growing surface gets room to grow a little more in the same memory.
        m_pixels.reserve(size + size / 8);
    }
    m_pixels.assign(size, fill);
}

Color Surface::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return kBlack;
    return m_pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) + static_cast<std::size_t>(x)];
}

void Surface::SetPixel(int x, int y, Color color)
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return;
    m_pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) + static_cast<std::size_t>(x)] = color;
}

void Surface::Clear(Color color)
{
    std::fill(m_pixels.begin(), m_pixels.end(), color);
}

void Surface::BlockCopy(int dx, int dy, int w, int h, const Surface& source, int sx, int sy)
{
    // Clip against the source, then against the target.
    if (sx < 0) { dx -= sx; w += sx; sx = 0; }
    if (sy < 0) { dy -= sy; h += sy; sy = 0; }
    if (dx < 0) { sx -= dx; w += dx; dx = 0; }
    if (dy < 0) { sy -= dy; h += dy; dy = 0; }
    w = std::min({w, source.m_width - sx, m_width - dx});
    h = std::min({h, source.m_height - sy, m_height - dy});
    if (w <= 0 || h <= 0)
        return;
    for (int row = 0; row < h; ++row) {
        const auto from = source.m_pixels.begin() +
                          static_cast<std::ptrdiff_t>((sy + row) * source.m_width + sx);
        std::copy(from, from + w, m_pixels.begin() + static_cast<std::ptrdiff_t>((dy + row) * m_width + dx));
    }
}

void Surface::FillRect(int x, int y, int w, int h, Color color)
{
    const int left = std::max(x, 0);
    const int right = std::min(x + w, m_width);
    if (right <= left)
        return;
    for (int row = std::max(y, 0); row < std::min(y + h, m_height); ++row)
        std::fill_n(m_pixels.begin() + static_cast<std::ptrdiff_t>(row) * m_width + left, right - left, color);
}

void DrawIcon(Surface& target, int x, int y, const Icon& icon)
{
    for (int row = 0; row < icon.color.Height(); ++row) {
        for (int col = 0; col < icon.color.Width(); ++col) {
            if (!icon.Transparent(col, row))
                target.SetPixel(x + col, y + row, icon.color.Pixel(col, row));
        }
    }
}

} // namespace korvane::image
