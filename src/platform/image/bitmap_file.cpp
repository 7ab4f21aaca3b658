#include "platform/image/bitmap_file.h"

#include "platform/file_system.h"

namespace korvane::image {

namespace {

void Put16(std::string& out, std::uint32_t v)
{
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void Put32(std::string& out, std::uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

std::uint32_t Get16(std::string_view in, std::size_t at)
{
    return static_cast<std::uint32_t>(static_cast<unsigned char>(in[at])) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(in[at + 1])) << 8);
}

std::uint32_t Get32(std::string_view in, std::size_t at)
{
    return Get16(in, at) | (Get16(in, at + 2) << 16);
}

constexpr std::size_t kFileHeader = 14;
constexpr std::size_t kInfoHeader = 40;
constexpr std::int32_t kMaxSide = 4096;

} // namespace

std::string EncodeBitmap(const Surface& surface)
{
    const auto width = static_cast<std::uint32_t>(surface.Width());
    const auto height = static_cast<std::uint32_t>(surface.Height());
    const std::uint32_t rowBytes = (width * 3 + 3) & ~3U;
    const std::uint32_t imageBytes = rowBytes * height;
    std::string out;
    out.reserve(kFileHeader + kInfoHeader + imageBytes);
    out += "BM";
    Put32(out, static_cast<std::uint32_t>(kFileHeader + kInfoHeader) + imageBytes);
    Put32(out, 0);
    Put32(out, static_cast<std::uint32_t>(kFileHeader + kInfoHeader));
    Put32(out, kInfoHeader);
    Put32(out, width);
    Put32(out, height);
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);
    Put32(out, imageBytes);
    Put32(out, 3780); // 96 dots per inch
    Put32(out, 3780);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = surface.Height() - 1; y >= 0; --y) {
        std::uint32_t written = 0;
        for (int x = 0; x < surface.Width(); ++x) {
            const Color c = surface.Pixel(x, y);
            out.push_back(static_cast<char>(BlueOf(c)));
            out.push_back(static_cast<char>(GreenOf(c)));
            out.push_back(static_cast<char>(RedOf(c)));
            written += 3;
        }
        for (; written < rowBytes; ++written)
            out.push_back('\0');
    }
    return out;
}

std::optional<Surface> DecodeBitmap(std::string_view bytes)
{
    if (bytes.size() < kFileHeader + kInfoHeader || bytes[0] != 'B' || bytes[1] != 'M')
        return std::nullopt;
    const std::uint32_t offset = Get32(bytes, 10);
    const std::uint32_t infoSize = Get32(bytes, 14);
    const auto width = static_cast<std::int32_t>(Get32(bytes, 18));
    const auto rawHeight = static_cast<std::int32_t>(Get32(bytes, 22));
    const std::uint32_t planes = Get16(bytes, 26);
    const std::uint32_t bits = Get16(bytes, 28);
    const std::uint32_t compression = Get32(bytes, 30);
    if (infoSize < kInfoHeader || planes != 1 || (bits != 24 && bits != 32) || (compression != 0 && compression != 3))
        return std::nullopt;
    if (compression == 3 && bits != 32)
        return std::nullopt;
    const bool topDown = rawHeight < 0;
    const std::int64_t height = topDown ? -static_cast<std::int64_t>(rawHeight) : rawHeight;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
        return std::nullopt;
    const std::size_t bytesPerPixel = bits / 8;
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * bytesPerPixel + 3) & ~std::size_t{3};
    if (offset > bytes.size() || bytes.size() - offset < rowBytes * static_cast<std::size_t>(height))
        return std::nullopt;

    Surface surface(width, static_cast<int>(height));
    for (std::int64_t row = 0; row < height; ++row) {
        const std::int64_t y = topDown ? row : height - 1 - row;
        const std::size_t base = offset + static_cast<std::size_t>(row) * rowBytes;
        for (std::int32_t x = 0; x < width; ++x) {
            const std::size_t at = base + static_cast<std::size_t>(x) * bytesPerPixel;
            surface.SetPixel(x, static_cast<int>(y),
                             Rgb(static_cast<unsigned char>(bytes[at + 2]), static_cast<unsigned char>(bytes[at + 1]),
                                 static_cast<unsigned char>(bytes[at])));
        }
    }
    return surface;
}

bool SaveIconBitmap(platform::FileSystem& files, const Surface& surface, const std::string& path)
{
    return files.WriteFileAtomic(path, EncodeBitmap(surface));
}

std::optional<Surface> LoadBitmap(platform::FileSystem& files, const std::string& path)
{
    const platform::FileRead read = files.ReadOwnFileChecked(path);
    if (read.status != platform::ReadStatus::Read)
        return std::nullopt;
    return DecodeBitmap(read.content);
}

} // namespace korvane::image
