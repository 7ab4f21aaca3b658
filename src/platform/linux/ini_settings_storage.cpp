#include "platform/linux/ini_settings_storage.h"

#include "platform/file_system.h"

#include <vector>

namespace korvane::platform::linuxos {

namespace {

std::vector<std::string> Lines(const std::string& content)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        auto end = content.find('\n', start);
        if (end == std::string::npos)
            end = content.size();
        std::string line = content.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

std::string Strip(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

bool IsSectionHeader(const std::string& line, std::string* name)
{
    const std::string stripped = Strip(line);
    if (stripped.size() < 2 || stripped.front() != '[' || stripped.back() != ']')
        return false;
    *name = stripped.substr(1, stripped.size() - 2);
    return true;
}

// Index range [begin, end) of the section's lines after its header; begin = npos when absent.
struct SectionRange {
    std::size_t header = std::string::npos;
    std::size_t end = 0;
};

SectionRange FindSection(const std::vector<std::string>& lines, const std::string& section)
{
    SectionRange range;
    std::string name;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!IsSectionHeader(lines[i], &name))
            continue;
        if (range.header != std::string::npos) {
            range.end = i;
            return range;
        }
        if (name == section)
            range.header = i;
    }
    range.end = lines.size();
    return range;
}

bool KeyOfLine(const std::string& line, std::string* key, std::string* value)
{
    const auto equals = line.find('=');
    if (equals == std::string::npos)
        return false;
    *key = Strip(line.substr(0, equals));
    *value = Strip(line.substr(equals + 1));
    return !key->empty();
}

std::string Join(const std::vector<std::string>& lines)
{
    std::string content;
    for (const auto& line : lines)
        content += line + "\n";
    return content;
}

} // namespace

std::string IniSettingsStorage::FilePath(const std::string& application, const std::string& section) const
{
    return m_folder + "/" + application + "/" + section + ".conf";
}

std::optional<std::string> IniSettingsStorage::Get(const std::string& application, const std::string& section,
                                                   const std::string& key)
{
    const auto content = m_files.ReadFile(FilePath(application, section));
    if (!content)
        return std::nullopt;
    const auto lines = Lines(*content);
    const auto range = FindSection(lines, section);
    if (range.header == std::string::npos)
        return std::nullopt;
    std::string lineKey;
    std::string value;
    for (std::size_t i = range.header + 1; i < range.end; ++i) {
        if (KeyOfLine(lines[i], &lineKey, &value) && lineKey == key)
            return value;
    }
    return std::nullopt;
}

bool IniSettingsStorage::Save(const std::string& application, const std::string& section, const std::string& key,
                              const std::string& value)
{
    if (key.find_first_of("=\r\n[") != std::string::npos || value.find_first_of("\r\n") != std::string::npos)
        return false;
    const std::string path = FilePath(application, section);
    // A file that is there but cannot be read is not replaced by one that holds only this key.
    const FileRead read = m_files.ReadFileChecked(path);
    if (read.status == ReadStatus::Failed)
        return false;
    auto lines = Lines(read.content);
    auto range = FindSection(lines, section);
    if (range.header == std::string::npos) {
        lines.push_back("[" + section + "]");
        range.header = lines.size() - 1;
        range.end = lines.size();
    }
    const std::string newLine = key + "=" + value;
    std::string lineKey;
    std::string oldValue;
    bool replaced = false;
    for (std::size_t i = range.header + 1; i < range.end && !replaced; ++i) {
        if (KeyOfLine(lines[i], &lineKey, &oldValue) && lineKey == key) {
            lines[i] = newLine;
            replaced = true;
        }
    }
    if (!replaced) {
        // After the section's last non-blank line, so a blank separator line stays last.
        std::size_t at = range.end;
        while (at > range.header + 1 && Strip(lines[at - 1]).empty())
            --at;
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), newLine);
    }
    m_files.CreateFolder(m_folder + "/" + application);
    return m_files.WriteFileAtomic(path, Join(lines));
}

bool IniSettingsStorage::DeleteSection(const std::string& application, const std::string& section)
{
    const std::string path = FilePath(application, section);
    const auto content = m_files.ReadFile(path);
    if (!content)
        return false;
    auto lines = Lines(*content);
    const auto range = FindSection(lines, section);
    if (range.header == std::string::npos)
        return false;
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(range.header),
                lines.begin() + static_cast<std::ptrdiff_t>(range.end));
    bool onlyBlank = true;
    for (const auto& line : lines)
        onlyBlank = onlyBlank && Strip(line).empty();
    if (onlyBlank)
        return m_files.RemoveFile(path);
    return m_files.WriteFileAtomic(path, Join(lines));
}

} // namespace korvane::platform::linuxos
