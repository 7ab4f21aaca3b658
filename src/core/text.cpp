#include "core/text.h"

namespace korvane::core {

namespace {

char UpperChar(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - ('a' - 'A')) : c; }
char LowerChar(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c; }

bool IsWordSeparator(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == '\0';
}

} // namespace

std::string ToUpper(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        c = UpperChar(c);
    return result;
}

std::string ToLower(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        c = LowerChar(c);
    return result;
}

std::string ProperCase(std::string_view text)
{
    std::string result(text);
    bool wordStart = true;
    for (char& c : result) {
        if (IsWordSeparator(c)) {
            wordStart = true;
            continue;
        }
        c = wordStart ? UpperChar(c) : LowerChar(c);
        wordStart = false;
    }
    return result;
}

std::string VisibleName(std::string_view name)
{
    std::string result(name);
    for (char& c : result) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    }
    return result;
}

std::string Trim(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::string RemoveAll(std::string_view text, char c)
{
    std::string result;
    result.reserve(text.size());
    for (char k : text) {
        if (k != c)
            result.push_back(k);
    }
    return result;
}

std::string ReplaceAllIgnoreCase(std::string_view text, std::string_view from, std::string_view to)
{
    if (from.empty())
        return std::string(text);
    const std::string upperText = ToUpper(text);
    const std::string upperFrom = ToUpper(from);
    std::string result;
    std::size_t pos = 0;
    for (;;) {
        const auto hit = upperText.find(upperFrom, pos);
        if (hit == std::string::npos)
            break;
        result.append(text.substr(pos, hit - pos));
        result.append(to);
        pos = hit + from.size();
    }
    result.append(text.substr(pos));
    return result;
}

std::vector<std::string> SplitLines(std::string_view content)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < content.size()) {
        const char c = content[i];
        if (c == '\n' || c == '\r') {
            lines.emplace_back(content.substr(start, i - start));
            if (c == '\r' && i + 1 < content.size() && content[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
        ++i;
    }
    if (start < content.size())
        lines.emplace_back(content.substr(start));
    return lines;
}

std::string JoinLinesCrLf(const std::vector<std::string>& lines)
{
    std::string result;
    for (const auto& line : lines) {
        result += line;
        result += "\r\n";
    }
    return result;
}

} // namespace korvane::core
