#include "ui/program_icons.h"

#include "core/text.h"
#include "platform/file_system.h"
#include "platform/icon_source.h"
#include "ui/icon_cache.h"
#include "ui/view_state.h"

namespace korvane::ui {

image::Surface DrawDummyIcon()
{
    using image::Rgb;
    const image::Color black = image::kBlack;
    const image::Color grey = Rgb(128, 128, 128);
    const image::Color light = Rgb(192, 192, 192);
    image::Surface icon(kIconPixels, kIconPixels, image::kWhite);
    // Screen: a black frame round a grey glass, rows 1 to 9.
    icon.FillRect(2, 1, 12, 9, black);
    icon.FillRect(3, 2, 10, 7, grey);
    icon.FillRect(4, 3, 3, 1, light); // a glint
    // Stand.
    icon.FillRect(7, 10, 2, 1, black);
    // Keyboard: rows 11 to 14, black outline, grey keys on white.
    icon.FillRect(1, 11, 14, 4, black);
    icon.FillRect(2, 12, 12, 2, image::kWhite);
    for (int x = 2; x < 14; x += 2)
        icon.SetPixel(x, 12, grey);
    for (int x = 3; x < 14; x += 2)
        icon.SetPixel(x, 13, grey);
    return icon;
}

std::string RewriteSystemPath(std::string path, std::string_view windowsFolder)
{
    if (path.find("\\??\\") != std::string::npos) {
        std::string cleaned;
        for (std::size_t pos = 0;;) {
            const auto hit = path.find("\\??\\", pos);
            cleaned.append(path, pos, hit == std::string::npos ? std::string::npos : hit - pos);
            if (hit == std::string::npos)
                break;
            pos = hit + 4;
        }
        path = std::move(cleaned);
    }
    if (path.find("\\SystemRoot\\") != std::string::npos)
        path = core::ReplaceAllIgnoreCase(path, "\\SystemRoot\\", windowsFolder);
    return path;
}

std::optional<image::Surface> ProgramIcons::SmallIconPicture(const std::string& programPath)
{
    if (programPath.empty())
        return std::nullopt;
    const auto icon = m_icons.ExtractSmallIcon(m_files.ShortPathOf(programPath));
    if (!icon)
        return std::nullopt;
    image::Surface picture(kIconPixels, kIconPixels, image::kWhite);
    image::DrawIcon(picture, 0, 0, *icon);
    return picture;
}

bool ProgramIcons::MakeIconBitmap(const std::string& processPath, const std::string& cacheName,
                                     image::Surface& picture)
{
    auto icon = SmallIconPicture(RewriteSystemPath(processPath, m_windowsFolder));
    if (!icon) {
        picture = DrawDummyIcon();
        return false;
    }
    picture = std::move(*icon);
    m_cache.Save(cacheName, picture);
    return true;
}

} // namespace korvane::ui
