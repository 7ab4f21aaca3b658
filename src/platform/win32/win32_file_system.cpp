#include "platform/win32/win32_file_system.h"

#include "platform/win32/win32_text.h"

#include <windows.h>

#include <algorithm>
#include <cctype>

namespace korvane::platform::win32 {

namespace {

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

std::string WithoutTrailingSeparators(std::string path)
{
    // "C:\" stays a root.
    while (path.size() > 1 && IsSeparator(path.back()) && !(path.size() == 3 && path[1] == ':'))
        path.pop_back();
    return path;
}

std::string FolderOf(const std::string& path)
{
    const auto separator = path.find_last_of("\\/");
    if (separator == std::string::npos)
        return ".";
    if (separator == 2 && path[1] == ':')
        return path.substr(0, 3);
    return path.substr(0, separator);
}

DWORD Attributes(const std::string& path)
{
    return ::GetFileAttributesW(Widen(WithoutTrailingSeparators(path)).c_str());
}

// A file of the folder that nobody else picks: the folder, the name and a number.
std::wstring TemporaryBeside(const std::string& path)
{
    static unsigned counter = 0;
    return Widen(path) + L".tmp" + std::to_wstring(::GetCurrentProcessId()) + L"." + std::to_wstring(++counter);
}

bool WriteAll(HANDLE file, const std::string& content)
{
    std::size_t done = 0;
    while (done < content.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(content.size() - done, 1U << 20));
        DWORD written = 0;
        if (!::WriteFile(file, content.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

} // namespace

FileRead Win32FileSystem::ReadFileChecked(const std::string& path)
{
    FileRead result;
    HANDLE file = ::CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        result.status = (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) ? ReadStatus::Missing
                                                                                         : ReadStatus::Failed;
        return result;
    }
    result.status = ReadStatus::Read;
    char buffer[65536];
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file, buffer, sizeof buffer, &read, nullptr)) {
            result.status = ReadStatus::Failed;
            break;
        }
        if (read == 0)
            break;
        result.content.append(buffer, read);
    }
    ::CloseHandle(file);
    return result;
}

namespace {
constexpr int kReplaceAttempts = 6; // 25 ms doubling: at most 0.8 s in all
} // namespace

bool Win32FileSystem::WriteFileAtomic(const std::string& path, const std::string& content)
{
    const std::wstring temporary = TemporaryBeside(path);
    HANDLE file = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool written = WriteAll(file, content) && ::FlushFileBuffers(file);
    ::CloseHandle(file);
    // Antivirus, the indexer and cloud sync hold a file they have just seen for a moment: the
    // replacement is refused meanwhile, so it is tried again a few times, waiting longer each time.
    for (int attempt = 0; written && attempt < kReplaceAttempts; ++attempt) {
        if (::MoveFileExW(temporary.c_str(), Widen(path).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        const DWORD error = ::GetLastError();
        if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION)
            break;
        ::Sleep(static_cast<DWORD>(25 << attempt));
    }
    ::DeleteFileW(temporary.c_str());
    return false;
}

bool Win32FileSystem::FileExists(const std::string& path)
{
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32FileSystem::FolderExists(const std::string& path)
{
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Win32FileSystem::CreateFolder(const std::string& path)
{
    const std::string folder = WithoutTrailingSeparators(path);
    if (folder.empty() || FolderExists(folder))
        return !folder.empty();
    const std::string parent = FolderOf(folder);
    if (parent != folder && parent != "." && !FolderExists(parent) && !CreateFolder(parent))
        return false;
    return ::CreateDirectoryW(Widen(folder).c_str(), nullptr) != 0 || FolderExists(folder);
}

bool Win32FileSystem::IsOwnWritableFolder(const std::string& path)
{
    if (!FolderExists(path))
        return false;
    std::string probe = WithoutTrailingSeparators(path);
    if (!IsSeparator(probe.back()))
        probe += '\\';
    probe += ".korvane-write-test";
    const std::wstring name = TemporaryBeside(probe);
    HANDLE file = ::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(file);
    return true;
}

bool Win32FileSystem::RemoveFile(const std::string& path)
{
    if (::DeleteFileW(Widen(path).c_str()))
        return true;
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

std::vector<std::string> Win32FileSystem::ListFolder(const std::string& path)
{
    std::vector<std::string> names;
    std::string pattern = WithoutTrailingSeparators(path);
    if (pattern.empty())
        return names;
    if (!IsSeparator(pattern.back()))
        pattern += '\\';
    pattern += '*';
    WIN32_FIND_DATAW entry;
    HANDLE find = ::FindFirstFileW(Widen(pattern).c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::wstring_view name(entry.cFileName);
        if (name != L"." && name != L"..")
            names.push_back(Narrow(name));
    } while (::FindNextFileW(find, &entry));
    ::FindClose(find);
    return names;
}

std::string Win32FileSystem::ShortPathOf(const std::string& path)
{
    const std::wstring wide = Widen(path);
    const DWORD size = ::GetShortPathNameW(wide.c_str(), nullptr, 0);
    if (size == 0)
        return {};
    std::wstring shortPath(size, L'\0');
    const DWORD length = ::GetShortPathNameW(wide.c_str(), shortPath.data(), size);
    if (length == 0 || length >= size)
        return {};
    shortPath.resize(length);
    return Narrow(shortPath);
}

bool Win32FileSystem::IsPlainFileName(std::string_view name) const
{
    if (name.empty() || name == "." || name == ".." ||
        name.find_first_of(std::string_view("\\/:*?\"<>|\0", 10)) != std::string_view::npos)
        return false;
    if (std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 32; }))
        return false;
    // Device names open the device whatever the extension.
    std::string stem(name.substr(0, name.find('.')));
    std::transform(stem.begin(), stem.end(), stem.begin(), [](unsigned char c) { return std::toupper(c); });
    for (const char* device : {"CON", "PRN", "AUX", "NUL"}) {
        if (stem == device)
            return false;
    }
    return !((stem.rfind("COM", 0) == 0 || stem.rfind("LPT", 0) == 0) && stem.size() == 4 && stem[3] >= '1' &&
             stem[3] <= '9');
}

} // namespace korvane::platform::win32
