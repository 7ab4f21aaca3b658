#pragma once

#include "platform/icon_source.h"

namespace korvane::platform::win32 {

// The small icon number 0 of a program file (ExtractIconExW), drawn at 16 x 16. A pixel is opaque
// where the icon covers it at least half, whether its transparency comes from a mask or an alpha
// channel.
class Win32IconSource : public IconSource {
public:
    std::optional<image::Icon> ExtractSmallIcon(const std::string& programPath) override;
};

} // namespace korvane::platform::win32
