#pragma once

#include "platform/file_system.h"

namespace korvane::platform::linuxos {

class LinuxFileSystem : public FileSystem {
public:
    FileRead ReadFileChecked(const std::string& path) override;
    // Opened with O_NOFOLLOW: a link planted in place of a data file is refused.
    FileRead ReadOwnFileChecked(const std::string& path) override;
    bool WriteFileAtomic(const std::string& path, const std::string& content) override;
    bool FileExists(const std::string& path) override;
    bool FolderExists(const std::string& path) override;
    bool CreateFolder(const std::string& path) override;
    bool IsOwnWritableFolder(const std::string& path) override;
    bool RemoveFile(const std::string& path) override;
    std::vector<std::string> ListFolder(const std::string& path) override;
};

} // namespace korvane::platform::linuxos
