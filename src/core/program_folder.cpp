#include "core/program_folder.h"

#include "core/favorites_store.h"
#include "platform/file_system.h"
#include "platform/program_location.h"

namespace korvane::core {

std::string WithTrailingSeparator(std::string folder, char separator)
{
    const auto isSeparator = [separator](char c) { return c == separator || c == '/'; };
    while (folder.size() > 1 && isSeparator(folder.back()))
        folder.pop_back();
    if (folder.empty() || !isSeparator(folder.back()))
        folder.push_back(separator);
    return folder;
}

std::string ResolveProgramFolder(platform::ProgramLocation& location, platform::FileSystem& files)
{
    const std::string executableFolder = location.ExecutableFolder();
    if (!location.Installed() && !executableFolder.empty()) {
        const std::string beside = WithTrailingSeparator(executableFolder, files.PathSeparator());
        const bool portable = location.PortableByMarker()
                                  ? files.FileExists(beside + kPortableMarkerName) ||
                                        files.FileExists(beside + kFavoritesFileName)
                                  : files.IsOwnWritableFolder(executableFolder);
        if (portable)
            return beside;
    }
    const std::string dataFolder = location.UserDataFolder();
    files.CreateFolder(dataFolder);
    return WithTrailingSeparator(dataFolder, files.PathSeparator());
}

std::string ResolveCacheFolder(platform::ProgramLocation& location, const std::string& programFolder,
                               char separator)
{
    if (location.Installed())
        return WithTrailingSeparator(location.UserCacheFolder(), separator);
    return programFolder + "cache" + separator;
}

} // namespace korvane::core
