#include "platform/fake/fake_icon_source.h"

namespace korvane::platform::fake {

std::optional<image::Icon> FakeIconSource::ExtractSmallIcon(const std::string& programPath)
{
    m_requests.push_back(programPath);
    const auto it = m_icons.find(programPath);
    if (it == m_icons.end())
        return std::nullopt;
    return it->second;
}

image::Icon FakeIconSource::SolidIcon(image::Color color)
{
    image::Icon icon{image::Surface(16, 16, color), std::vector<std::uint8_t>(256, 0)};
    icon.mask[0] = 1;
    return icon;
}

} // namespace korvane::platform::fake
