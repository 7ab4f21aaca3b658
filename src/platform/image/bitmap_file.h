#pragma once

#include "platform/image/surface.h"

#include <optional>
#include <string>
#include <string_view>

namespace korvane::platform { class FileSystem; }

namespace korvane::image {

// A "BM" file of the surface: 24 bits per pixel, rows bottom-up, each padded to 4 bytes.
std::string EncodeBitmap(const Surface& surface);
// A surface from a "BM" file of 24 or 32 bits per pixel, uncompressed, bottom-up or top-down;
// nullopt for anything else, including a truncated file or a size above 4096 x 4096.
std::optional<Surface> DecodeBitmap(std::string_view bytes);

// Writes the surface as a bitmap file atomically; false when it could not be written.
bool SaveIconBitmap(platform::FileSystem& files, const Surface& surface, const std::string& path);
std::optional<Surface> LoadBitmap(platform::FileSystem& files, const std::string& path);

} // namespace korvane::image
