// The texts of procfs read as values: process ids, states, counts, start times, owners, and the
// Windows program a Wine process runs.
#include "platform/linux/linux_processes.h"

#include <algorithm>
#include <charconv>

namespace korvane::platform::linuxos {

char ParseTaskState(const std::string& statText)
{
    const auto paren = statText.rfind(')');
    if (paren == std::string::npos || paren + 2 >= statText.size())
        return '?';
    return statText[paren + 2];
}

std::vector<std::int32_t> ParseProcessIds(const std::vector<std::string>& names)
{
    std::vector<std::int32_t> ids;
    ids.reserve(names.size());
    for (const auto& name : names) {
        if (name.empty() || name[0] < '0' || name[0] > '9')
            continue;
        std::int32_t id = 0;
        const auto result = std::from_chars(name.data(), name.data() + name.size(), id);
        if (result.ec == std::errc{} && result.ptr == name.data() + name.size() && id > 0)
            ids.push_back(id);
    }
    return ids;
}

std::optional<std::uint64_t> ParseTaskCount(std::string_view loadavgText)
{
    const auto slash = loadavgText.find('/');
    if (slash == std::string_view::npos)
        return std::nullopt;
    const char* end = loadavgText.data() + loadavgText.size();
    std::uint64_t tasks = 0;
    const auto [after, error] = std::from_chars(loadavgText.data() + slash + 1, end, tasks);
    if (error != std::errc{} || after == end || *after != ' ')
        return std::nullopt;
    return tasks;
}

std::optional<std::uint64_t> ParseStartCount(std::string_view statText)
{
    constexpr std::string_view kLine = "\nprocesses ";
    const auto at = statText.find(kLine);
    if (at == std::string_view::npos)
        return std::nullopt;
    const char* begin = statText.data() + at + kLine.size();
    const char* end = statText.data() + statText.size();
    std::uint64_t starts = 0;
    const auto [after, error] = std::from_chars(begin, end, starts);
    if (error != std::errc{} || after == begin || (after != end && *after != '\n'))
        return std::nullopt;
    return starts;
}

std::optional<std::uint64_t> ParseStartTime(std::string_view statText)
{
    // The command name may hold spaces and parentheses: count fields after the last ')'.
    const auto paren = statText.rfind(')');
    if (paren == std::string_view::npos)
        return std::nullopt;
    std::size_t at = paren + 1;
    for (int field = 3; field <= 22; ++field) {
        while (at < statText.size() && statText[at] == ' ')
            ++at;
        const std::size_t end = std::min(statText.find(' ', at), statText.size());
        if (at >= end)
            return std::nullopt;
        if (field == 22) {
            std::uint64_t ticks = 0;
            const auto result = std::from_chars(statText.data() + at, statText.data() + end, ticks);
            if (result.ec != std::errc{} || result.ptr != statText.data() + end)
                return std::nullopt;
            return ticks;
        }
        at = end;
    }
    return std::nullopt;
}

bool IsWineLoaderName(std::string_view fileName)
{
    return fileName == "wine" || fileName == "wine64" || fileName == "wine-preloader" ||
           fileName == "wine64-preloader";
}

std::string WineProgramPath(std::string_view commandLine, std::string_view loaderFolder)
{
    // Wine puts the Windows program's path first; when started as "wine64 Game.exe" and not
    // yet rewritten, the loader comes first and the program second.
    for (int argument = 0; argument < 2 && !commandLine.empty(); ++argument) {
        const std::string_view text = commandLine.substr(0, commandLine.find('\0'));
        commandLine.remove_prefix(std::min(commandLine.size(), text.size() + 1));
        std::string path(text);
        std::replace(path.begin(), path.end(), '\\', '/');
        const std::size_t slash = path.rfind('/');
        const std::string_view fileName = slash == std::string::npos ? std::string_view(path)
                                                                     : std::string_view(path).substr(slash + 1);
        if (fileName.empty())
            return {};
        if (IsWineLoaderName(fileName))
            continue;
        if (slash == std::string::npos)
            path = std::string(loaderFolder) + "/" + path;
        return path;
    }
    return {};
}

std::optional<std::uint32_t> ParseRealUid(std::string_view statusText)
{
    const auto at = statusText.find("\nUid:");
    if (at == std::string_view::npos)
        return std::nullopt;
    std::string_view rest = statusText.substr(at + 5);
    while (!rest.empty() && (rest.front() == '\t' || rest.front() == ' '))
        rest.remove_prefix(1);
    std::uint32_t uid = 0;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), uid);
    if (error != std::errc{} || end == rest.data())
        return std::nullopt;
    return uid;
}

} // namespace korvane::platform::linuxos
