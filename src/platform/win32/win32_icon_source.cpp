#include "platform/win32/win32_icon_source.h"

#include "platform/win32/win32_bitmap_info.h"
#include "platform/win32/win32_text.h"

#include <windows.h>
#include <shellapi.h>

#include <array>

namespace korvane::platform::win32 {

namespace {

constexpr int kSize = 16;

// The icon drawn over one background colour, as 0x00RRGGBB pixels from the top row down.
std::array<std::uint32_t, kSize * kSize> DrawOver(HICON icon, std::uint32_t background)
{
    std::array<std::uint32_t, kSize * kSize> pixels{};
    BITMAPINFO info = TopDownBitmapInfo(kSize, kSize);
    void* bits = nullptr;
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dc != nullptr && bitmap != nullptr && bits != nullptr) {
        HGDIOBJ old = ::SelectObject(dc, bitmap);
        auto* data = static_cast<std::uint32_t*>(bits);
        for (int i = 0; i < kSize * kSize; ++i)
            data[i] = background;
        ::DrawIconEx(dc, 0, 0, icon, kSize, kSize, 0, nullptr, DI_NORMAL);
        ::GdiFlush();
        for (int i = 0; i < kSize * kSize; ++i)
            pixels[static_cast<std::size_t>(i)] = data[i] & 0x00FFFFFFU;
        ::SelectObject(dc, old);
    }
    if (bitmap != nullptr)
        ::DeleteObject(bitmap);
    if (dc != nullptr)
        ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    return pixels;
}

} // namespace

std::optional<image::Icon> Win32IconSource::ExtractSmallIcon(const std::string& programPath)
{
    if (programPath.empty())
        return std::nullopt;
    HICON small = nullptr;
    if (::ExtractIconExW(Widen(programPath).c_str(), 0, nullptr, &small, 1) == 0 || small == nullptr)
        return std::nullopt;
    // Over black a pixel shows alpha * colour, over white that plus (1 - alpha) * 255.
    const auto overBlack = DrawOver(small, 0x000000);
    const auto overWhite = DrawOver(small, 0xFFFFFF);
    ::DestroyIcon(small);

    image::Icon icon{image::Surface(kSize, kSize, image::kWhite), std::vector<std::uint8_t>(kSize * kSize, 1)};
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const std::size_t i = static_cast<std::size_t>(y * kSize + x);
            const std::uint32_t black = overBlack[i];
            const std::uint32_t white = overWhite[i];
            const int transparency = static_cast<int>((white >> 8) & 0xFF) - static_cast<int>((black >> 8) & 0xFF);
            const int alpha = 255 - transparency;
            if (alpha < 128)
                continue;
            const auto channel = [alpha](std::uint32_t value, int shift) {
                const int c = static_cast<int>((value >> shift) & 0xFF) * 255 / alpha;
                return c > 255 ? 255 : c;
            };
            icon.color.SetPixel(x, y, image::Rgb(channel(black, 16), channel(black, 8), channel(black, 0)));
            icon.mask[i] = 0;
        }
    }
    return icon;
}

} // namespace korvane::platform::win32
