#pragma once

#include "platform/image/surface.h"

#include <optional>
#include <string>
#include <string_view>

namespace korvane::platform {
class FileSystem;
class IconSource;
} // namespace korvane::platform

namespace korvane::ui {

class IconCache;

// The placeholder icon: a small computer, a screen above a keyboard, on white.
image::Surface DrawDummyIcon();

// A program path as the icon lookup needs it: "\??\" removed, "\SystemRoot\" replaced by the
// Windows folder.
std::string RewriteSystemPath(std::string path, std::string_view windowsFolder);

// Programs' small icons as the lists show them: drawn on white at 16 x 16 and kept in the icon
// cache under the program's file name.
class ProgramIcons {
public:
    ProgramIcons(IconCache& cache, platform::IconSource& icons, platform::FileSystem& files)
        : m_cache(cache), m_icons(icons), m_files(files)
    {
    }

    void SetWindowsFolder(std::string folder) { m_windowsFolder = std::move(folder); }

    // The program's small icon drawn on white, as the cache keeps it; nullopt without one.
    std::optional<image::Surface> SmallIconPicture(const std::string& programPath);
    // Draws the program's small icon on white into picture and caches it under name; without an
    // icon the picture shows the placeholder and nothing is cached. True when an icon was found.
    bool MakeIconBitmap(const std::string& processPath, const std::string& cacheName, image::Surface& picture);

private:
    IconCache& m_cache;
    platform::IconSource& m_icons;
    platform::FileSystem& m_files;
    std::string m_windowsFolder;
};

} // namespace korvane::ui
