#include "core/program_folder.h"

#include "platform/file_system.h"
#include "platform/program_location.h"

namespace korvane::core {

std::string WithTrailingSeparator(std::string folder)
{
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    if (folder.empty() || folder.back() != '/')
        folder.push_back('/');
    return folder;
}

std::string ResolveProgramFolder(platform::ProgramLocation& location, platform::FileSystem& files)
{
    const std::string executableFolder = location.ExecutableFolder();
    if (!location.Installed() && !executableFolder.empty() && files.IsFolderWritable(executableFolder))
        return WithTrailingSeparator(executableFolder);
    const std::string dataFolder = location.UserDataFolder();
    files.CreateFolder(dataFolder);
    return WithTrailingSeparator(dataFolder);
}

std::string ResolveCacheFolder(platform::ProgramLocation& location, const std::string& programFolder)
{
    if (location.Installed())
        return WithTrailingSeparator(location.UserCacheFolder());
    return programFolder + "cache/";
}

} // namespace korvane::core
