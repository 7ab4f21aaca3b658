#pragma once

#include "platform/icon_source.h"

#include <functional>
#include <string>

namespace korvane::qtfront {

// Program icons at 16 x 16: the platform names the icon (a theme name or an icon file's path),
// the icon theme or the file gives its pixels.
class QtIconSource : public platform::IconSource {
public:
    using IconNameOf = std::function<std::string(const std::string& programPath)>;
    explicit QtIconSource(IconNameOf iconNameOf) : m_iconNameOf(std::move(iconNameOf)) {}
    std::optional<image::Icon> ExtractSmallIcon(const std::string& programPath) override;

private:
    IconNameOf m_iconNameOf;
};

} // namespace korvane::qtfront
