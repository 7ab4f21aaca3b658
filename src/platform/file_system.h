#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::platform {

// How a read ended: the whole file, no such file, or an error (no access, a failed read).
enum class ReadStatus { Read, Missing, Failed };
struct FileRead {
    ReadStatus status = ReadStatus::Missing;
    std::string content; // the whole file; what was read before the error when it failed
};

// What of a read can be used: the whole file, or after an error the lines read whole before it.
inline std::string CompleteLines(const FileRead& read)
{
    if (read.status != ReadStatus::Failed)
        return read.content;
    const auto lastEnd = read.content.find_last_of('\n');
    return lastEnd == std::string::npos ? std::string() : read.content.substr(0, lastEnd + 1);
}

// Files and folders. Paths are the platform's own; folders passed in end in a separator or not.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // The file's bytes, telling a missing file apart from one that could not be read.
    virtual FileRead ReadFileChecked(const std::string& path) = 0;
    // The whole content; nullopt when the file is missing or could not be read whole.
    std::optional<std::string> ReadFile(const std::string& path)
    {
        FileRead read = ReadFileChecked(path);
        if (read.status != ReadStatus::Read)
            return std::nullopt;
        return std::move(read.content);
    }
    // A file only this program writes (favorites, hidden names, cached pictures): where the
    // platform has links, a link in its place is not followed and the read fails.
    virtual FileRead ReadOwnFileChecked(const std::string& path) { return ReadFileChecked(path); }
    // Writes to a temporary file in the same folder, flushes it to disk and renames it over path:
    // on failure the previous file is left whole. True on success.
    virtual bool WriteFileAtomic(const std::string& path, const std::string& content) = 0;
    // True when path exists and is not a folder; any error gives false.
    virtual bool FileExists(const std::string& path) = 0;
    // True when path is an existing folder.
    virtual bool FolderExists(const std::string& path) = 0;
    // Creates the folder and its missing parents; true when it exists afterwards.
    virtual bool CreateFolder(const std::string& path) = 0;
    // True when this user can create files in the existing folder and, where the platform has
    // owners, the folder is this user's and no other user may write in it.
    virtual bool IsOwnWritableFolder(const std::string& path) = 0;
    // Removes a file; true when it is gone afterwards (also when it never existed).
    virtual bool RemoveFile(const std::string& path) = 0;
    // Names of the entries of a folder (no "." or ".."); empty when it cannot be read.
    virtual std::vector<std::string> ListFolder(const std::string& path) = 0;
    // The platform's short form of a path; the path itself where there is none.
    virtual std::string ShortPathOf(const std::string& path) { return path; }

    // The separator the platform puts between folders: '/', or '\\' on Windows.
    virtual char PathSeparator() const { return '/'; }
    // True when the name can only name an entry inside a folder: not empty, and without a
    // separator or anything else the platform gives a meaning in a path.
    virtual bool IsPlainFileName(std::string_view name) const
    {
        return !name.empty() && name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos;
    }
};

} // namespace korvane::platform
