#include "platform/linux/ini_settings_storage.h"

#include "platform/file_system.h"

#include <vector>

namespace korvane::platform::linuxos {

namespace {

// One line of the file: its bytes up to the LF, and the same without its line end. Any run of
// CRs before the LF belongs to the line end, so that a file edited on another system or saved
// twice with CR LF keeps its meaning.
struct Line {
    std::string raw;
    std::string text;
};

std::string WithoutLineEnd(const std::string& raw)
{
    const auto last = raw.find_last_not_of('\r');
    return last == std::string::npos ? std::string() : raw.substr(0, last + 1);
}

Line MakeLine(std::string raw)
{
    std::string text = WithoutLineEnd(raw);
    return Line{std::move(raw), std::move(text)};
}

// A line written in place of another keeps the other's line end.
Line ReplacedLine(const Line& old, const std::string& text)
{
    return Line{text + old.raw.substr(old.text.size()), text};
}

std::vector<Line> Lines(const std::string& content)
{
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        auto end = content.find('\n', start);
        if (end == std::string::npos)
            end = content.size();
        lines.push_back(MakeLine(content.substr(start, end - start)));
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

// Index range [header, end) of one copy of the section: its header line and the lines after it.
struct SectionRange {
    std::size_t header;
    std::size_t end;
};

// Every copy of the section, in file order: a hand-edited or merged file may hold it twice.
std::vector<SectionRange> FindSections(const std::vector<Line>& lines, const std::string& section)
{
    std::vector<SectionRange> ranges;
    std::string name;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!IsSectionHeader(lines[i].text, &name))
            continue;
        if (!ranges.empty() && ranges.back().end == lines.size())
            ranges.back().end = i;
        if (name == section)
            ranges.push_back(SectionRange{i, lines.size()});
    }
    return ranges;
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

// The line that holds the key's value: the last one in the last copy of the section that has it,
// as a reader that lets each line overwrite the one before sees it.
std::optional<std::size_t> FindKey(const std::vector<Line>& lines, const std::vector<SectionRange>& ranges,
                                   const std::string& key, std::string* value)
{
    std::optional<std::size_t> found;
    std::string lineKey;
    std::string lineValue;
    for (const SectionRange& range : ranges) {
        for (std::size_t i = range.header + 1; i < range.end; ++i) {
            if (KeyOfLine(lines[i].text, &lineKey, &lineValue) && lineKey == key) {
                found = i;
                if (value != nullptr)
                    *value = lineValue;
            }
        }
    }
    return found;
}

std::string Join(const std::vector<Line>& lines)
{
    std::string content;
    for (const auto& line : lines)
        content += line.raw + "\n";
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
    std::string value;
    if (!FindKey(lines, FindSections(lines, section), key, &value))
        return std::nullopt;
    return value;
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
    auto ranges = FindSections(lines, section);
    const std::string newLine = key + "=" + value;
    if (const auto at = FindKey(lines, ranges, key, nullptr)) {
        lines[*at] = ReplacedLine(lines[*at], newLine);
    } else {
        if (ranges.empty()) {
            lines.push_back(MakeLine("[" + section + "]"));
            ranges.push_back(SectionRange{lines.size() - 1, lines.size()});
        }
        // After the last copy's last non-blank line, so a blank separator line stays last.
        const SectionRange& range = ranges.back();
        std::size_t end = range.end;
        while (end > range.header + 1 && Strip(lines[end - 1].text).empty())
            --end;
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(end),
                     ReplacedLine(lines[range.header], newLine));
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
    const auto ranges = FindSections(lines, section);
    if (ranges.empty())
        return false;
    // Every copy goes, last first so that the earlier ranges stay valid.
    for (auto range = ranges.rbegin(); range != ranges.rend(); ++range)
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(range->header),
                    lines.begin() + static_cast<std::ptrdiff_t>(range->end));
    bool onlyBlank = true;
    for (const auto& line : lines)
        onlyBlank = onlyBlank && Strip(line.text).empty();
    if (onlyBlank)
        return m_files.RemoveFile(path);
    return m_files.WriteFileAtomic(path, Join(lines));
}

} // namespace korvane::platform::linuxos
