#pragma once

#include "platform/image/surface.h"

#include <optional>
#include <string>

namespace korvane::platform {

// Program icons. The small icon is 16 x 16; a pixel is drawn where its mask is set.
class IconSource {
public:
    virtual ~IconSource() = default;
    // Icon number 0 of a program file, small size; nullopt when it has none.
    virtual std::optional<image::Icon> ExtractSmallIcon(const std::string& programPath) = 0;
};

} // namespace korvane::platform
