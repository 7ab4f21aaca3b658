#pragma once

#include "platform/file_system.h"

#include <map>
#include <set>

namespace korvane::platform::fake {

// How the simulated machine writes paths: "/a/b", or "C:\\a\\b" with drive roots.
enum class PathStyle { Posix, Windows };

// Files held in memory, with failures on demand. Paths use the style's separator.
class MemoryFileSystem : public FileSystem {
public:
    explicit MemoryFileSystem(PathStyle style = PathStyle::Posix) : m_style(style) {}

    FileRead ReadFileChecked(const std::string& path) override;
    bool WriteFileAtomic(const std::string& path, const std::string& content) override;
    bool FileExists(const std::string& path) override;
    bool FolderExists(const std::string& path) override;
    bool CreateFolder(const std::string& path) override;
    bool IsOwnWritableFolder(const std::string& path) override;
    bool RemoveFile(const std::string& path) override;
    std::vector<std::string> ListFolder(const std::string& path) override;
    char PathSeparator() const override { return m_style == PathStyle::Windows ? '\\' : '/'; }
    bool IsPlainFileName(std::string_view name) const override;

    // Test set-up and inspection.
    void PutFile(const std::string& path, std::string content);
    std::optional<std::string> Content(const std::string& path) const;
    int WriteCount() const { return m_writeCount; }
    // Writes into this folder fail; reads of this file fail to open.
    void MakeReadOnly(const std::string& folder) { m_readOnly.insert(Normalize(folder)); }
    void MakeUnreadable(const std::string& path) { m_unreadable.insert(path); }
    // Reads of this file fail after the first byteCount bytes.
    void FailReadAfter(const std::string& path, std::size_t byteCount) { m_failReadAfter[path] = byteCount; }
    void FailAllWrites(bool fail) { m_failWrites = fail; }

private:
    bool IsSeparator(char c) const { return c == '/' || (m_style == PathStyle::Windows && c == '\\'); }
    // A root: "/", or "C:\\" in the Windows style.
    bool IsRoot(const std::string& folder) const;
    std::string Normalize(std::string folder) const;
    std::string FolderOf(const std::string& path) const;

    PathStyle m_style;

    std::map<std::string, std::string> m_files;
    std::set<std::string> m_folders;
    std::set<std::string> m_readOnly;
    std::set<std::string> m_unreadable;
    std::map<std::string, std::size_t> m_failReadAfter;
    bool m_failWrites = false;
    int m_writeCount = 0;
};

} // namespace korvane::platform::fake
