#include "platform/linux/desktop_entries.h"

#include "platform/file_system.h"

namespace korvane::platform::linuxos {

namespace {

std::string_view Strip(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// The words of an Exec value, with double quotes and backslash escapes undone.
std::vector<std::string> ExecWords(std::string_view exec)
{
    std::vector<std::string> words;
    std::string word;
    bool quoted = false;
    bool inWord = false;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        if (quoted) {
            if (c == '\\' && i + 1 < exec.size()) {
                word += exec[++i];
            } else if (c == '"') {
                quoted = false;
            } else {
                word += c;
            }
        } else if (c == '"') {
            quoted = true;
            inWord = true;
        } else if (c == ' ' || c == '\t') {
            if (inWord)
                words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(word);
    return words;
}

std::string FileNameOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

std::map<std::string, std::string> DesktopEntryKeys(std::string_view text)
{
    std::map<std::string, std::string> keys;
    bool inGroup = false;
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string_view line = Strip(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (line.empty() || line.front() == '#')
            continue;
        if (line.front() == '[') {
            inGroup = line == "[Desktop Entry]";
            continue;
        }
        if (!inGroup)
            continue;
        const auto equals = line.find('=');
        if (equals == std::string_view::npos)
            continue;
        keys.emplace(Strip(line.substr(0, equals)), Strip(line.substr(equals + 1)));
    }
    return keys;
}

std::optional<DesktopEntry> ParseDesktopEntry(std::string_view text)
{
    const auto keys = DesktopEntryKeys(text);
    const auto value = [&keys](const char* key) {
        const auto it = keys.find(key);
        return it != keys.end() ? it->second : std::string();
    };
    const std::string exec = value("Exec");
    const std::string tryExec = value("TryExec");
    const std::string icon = value("Icon");
    if (value("Hidden") == "true" || icon.empty())
        return std::nullopt;
    std::vector<std::string> words = ExecWords(exec);
    // "env NAME=value program ..." runs program.
    std::size_t first = 0;
    if (!words.empty() && FileNameOf(words[0]) == "env") {
        first = 1;
        while (first < words.size() && words[first].find('=') != std::string::npos)
            ++first;
    }
    std::string program = !tryExec.empty() ? tryExec : (first < words.size() ? words[first] : std::string());
    if (program.empty())
        return std::nullopt;
    return DesktopEntry{program, icon};
}

} // namespace korvane::platform::linuxos
