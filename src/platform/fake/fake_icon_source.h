#pragma once

#include "platform/icon_source.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace korvane::platform::fake {

// Program icons by path.
class FakeIconSource : public IconSource {
public:
    std::optional<image::Icon> ExtractSmallIcon(const std::string& programPath) override;
    void SetIcon(const std::string& programPath, image::Icon icon) { m_icons[programPath] = std::move(icon); }
    const std::vector<std::string>& Requests() const { return m_requests; }
    // A 16 x 16 icon of one colour with a transparent top-left pixel.
    static image::Icon SolidIcon(image::Color color);

private:
    std::map<std::string, image::Icon> m_icons;
    std::vector<std::string> m_requests;
};

} // namespace korvane::platform::fake
