#pragma once

#include <optional>
#include <string>
#include <vector>

namespace korvane::platform {

// Files and folders. Paths are the platform's own; folders passed in end in a separator or not.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Whole content as bytes; what was read before a read error; nullopt when it cannot be opened.
    virtual std::optional<std::string> ReadFile(const std::string& path) = 0;
    // Writes to a temporary file in the same folder, flushes it to disk and renames it over path:
    // on failure the previous file is left whole. True on success.
    virtual bool WriteFileAtomic(const std::string& path, const std::string& content) = 0;
    // True when path exists and is not a folder; any error gives false.
    virtual bool FileExists(const std::string& path) = 0;
    // True when path is an existing folder.
    virtual bool FolderExists(const std::string& path) = 0;
    // Creates the folder and its missing parents; true when it exists afterwards.
    virtual bool CreateFolder(const std::string& path) = 0;
    // True when files can be created in the existing folder.
    virtual bool IsFolderWritable(const std::string& path) = 0;
    // Removes a file; true when it is gone afterwards (also when it never existed).
    virtual bool RemoveFile(const std::string& path) = 0;
    // Names of the entries of a folder (no "." or ".."); empty when it cannot be read.
    virtual std::vector<std::string> ListFolder(const std::string& path) = 0;
    // The platform's short form of a path; the path itself where there is none.
    virtual std::string ShortPathOf(const std::string& path) { return path; }
};

} // namespace korvane::platform
