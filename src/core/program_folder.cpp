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
    if (!executableFolder.empty() && files.IsFolderWritable(executableFolder))
        return WithTrailingSeparator(executableFolder);
    const std::string dataFolder = location.UserDataFolder();
    files.CreateFolder(dataFolder);
    return WithTrailingSeparator(dataFolder);
}

} // namespace korvane::core
