#pragma once

#include "platform/file_system.h"

namespace korvane::platform::win32 {

// Files through the wide-character calls, paths in UTF-8 with '\' (a '/' is taken as well).
class Win32FileSystem : public FileSystem {
public:
    FileRead ReadFileChecked(const std::string& path) override;
    // A temporary file beside path, flushed (FlushFileBuffers), then moved over path with
    // MoveFileExW(MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH).
    bool WriteFileAtomic(const std::string& path, const std::string& content) override;
    bool FileExists(const std::string& path) override;
    bool FolderExists(const std::string& path) override;
    bool CreateFolder(const std::string& path) override;
    bool IsOwnWritableFolder(const std::string& path) override;
    bool RemoveFile(const std::string& path) override;
    std::vector<std::string> ListFolder(const std::string& path) override;
    // GetShortPathNameW; empty when the call fails.
    std::string ShortPathOf(const std::string& path) override;
    char PathSeparator() const override { return '\\'; }
    // No separator, drive colon, wildcard or other character Windows refuses in a name, and no
    // device name ("NUL", "COM1.bmp").
    bool IsPlainFileName(std::string_view name) const override;
};

} // namespace korvane::platform::win32
