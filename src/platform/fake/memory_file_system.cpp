#include "platform/fake/memory_file_system.h"

namespace korvane::platform::fake {

bool MemoryFileSystem::IsRoot(const std::string& folder) const
{
    if (m_style == PathStyle::Windows)
        return folder.size() == 3 && folder[1] == ':' && IsSeparator(folder[2]);
    return folder == "/";
}

std::string MemoryFileSystem::Normalize(std::string folder) const
{
    while (folder.size() > 1 && !IsRoot(folder) && IsSeparator(folder.back()))
        folder.pop_back();
    if (m_style == PathStyle::Windows && folder.size() == 2 && folder[1] == ':')
        folder.push_back('\\');
    return folder;
}

std::string MemoryFileSystem::FolderOf(const std::string& path) const
{
    std::size_t slash = path.size();
    while (slash > 0 && !IsSeparator(path[slash - 1]))
        --slash;
    if (slash == 0)
        return ".";
    const std::string folder = path.substr(0, slash);
    return IsRoot(folder) ? folder : Normalize(folder);
}

bool MemoryFileSystem::IsPlainFileName(std::string_view name) const
{
    if (m_style == PathStyle::Posix)
        return FileSystem::IsPlainFileName(name);
    return !name.empty() && name.find_first_of(std::string_view("\\/:*?\"<>|\0", 10)) == std::string_view::npos;
}

FileRead MemoryFileSystem::ReadFileChecked(const std::string& path)
{
    FileRead result;
    if (m_unreadable.count(path) != 0) {
        result.status = ReadStatus::Failed;
        return result;
    }
    const auto content = Content(path);
    if (!content)
        return result;
    result.status = ReadStatus::Read;
    result.content = *content;
    const auto failAt = m_failReadAfter.find(path);
    if (failAt != m_failReadAfter.end() && failAt->second < result.content.size()) {
        result.content.resize(failAt->second);
        result.status = ReadStatus::Failed;
    }
    return result;
}

bool MemoryFileSystem::WriteFileAtomic(const std::string& path, const std::string& content)
{
    const std::string folder = FolderOf(path);
    if (m_failWrites || m_readOnly.count(folder) != 0 || m_folders.count(folder) == 0)
        return false;
    m_files[path] = content;
    ++m_writeCount;
    return true;
}

bool MemoryFileSystem::FileExists(const std::string& path)
{
    return m_files.count(path) != 0;
}

bool MemoryFileSystem::FolderExists(const std::string& path)
{
    return m_folders.count(Normalize(path)) != 0;
}

bool MemoryFileSystem::CreateFolder(const std::string& path)
{
    std::string folder = Normalize(path);
    if (m_folders.count(folder) != 0)
        return true;
    const std::string parent = FolderOf(folder);
    if (parent != folder && parent != "." && !CreateFolder(parent))
        return false;
    if (m_failWrites || m_readOnly.count(parent) != 0)
        return false;
    m_folders.insert(folder);
    return true;
}

bool MemoryFileSystem::IsOwnWritableFolder(const std::string& path)
{
    const std::string folder = Normalize(path);
    return !m_failWrites && m_folders.count(folder) != 0 && m_readOnly.count(folder) == 0;
}

bool MemoryFileSystem::RemoveFile(const std::string& path)
{
    if (m_readOnly.count(FolderOf(path)) != 0)
        return m_files.count(path) == 0;
    m_files.erase(path);
    return true;
}

std::vector<std::string> MemoryFileSystem::ListFolder(const std::string& path)
{
    const std::string folder = Normalize(path);
    std::vector<std::string> names;
    for (const auto& [file, content] : m_files) {
        if (FolderOf(file) == folder)
            names.push_back(file.substr(folder.size() + (IsRoot(folder) ? 0 : 1)));
    }
    for (const auto& sub : m_folders) {
        if (sub != folder && FolderOf(sub) == folder)
            names.push_back(sub.substr(folder.size() + (IsRoot(folder) ? 0 : 1)));
    }
    return names;
}

void MemoryFileSystem::PutFile(const std::string& path, std::string content)
{
    CreateFolder(FolderOf(path));
    m_files[path] = std::move(content);
}

std::optional<std::string> MemoryFileSystem::Content(const std::string& path) const
{
    const auto it = m_files.find(path);
    if (it == m_files.end())
        return std::nullopt;
    return it->second;
}

} // namespace korvane::platform::fake
