#pragma once

#include "platform/image/surface.h"

#include <map>
#include <optional>
#include <string>

namespace korvane::platform { class FileSystem; }

namespace korvane::ui {

// One 16 x 16 bitmap per program file name, "<name>.bmp" in the cache folder, written once and
// never deleted. Names are matched without regard to case, so a name in another case finds the
// same file. Pictures read once are kept in memory.
class IconCache {
public:
    explicit IconCache(platform::FileSystem& files) : m_files(files) {}

    // The folder, ending in a separator.
    void SetFolder(std::string folder);
    const std::string& Folder() const { return m_folder; }

    bool Exists(const std::string& fileName);
    std::optional<image::Surface> Load(const std::string& fileName);
    // Writes the picture unless a file of that name exists; false when it could not be written.
    bool Save(const std::string& fileName, const image::Surface& picture);
    // Reads the folder again at the next lookup that misses (files may have come or gone).
    void Rescan() { m_listed = false; }

private:
    const std::string* ActualName(const std::string& key);

    platform::FileSystem& m_files;
    std::string m_folder;
    bool m_listed = false;
    std::map<std::string, std::string> m_listing;     // lower-case file name -> name on disk
    std::map<std::string, image::Surface> m_pictures; // lower-case file name -> picture
};

} // namespace korvane::ui
