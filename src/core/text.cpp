#include "core/text.h"

#include "core/unicode.h"

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
    std::string result;
    result.reserve(text.size());
    bool wordStart = true;
    for (std::size_t at = 0; at < text.size();) {
        const char c = text[at];
        if (static_cast<unsigned char>(c) < 0x80) {
            ++at;
            if (IsWordSeparator(c)) {
                wordStart = true;
                result.push_back(c);
                continue;
            }
            result.push_back(wordStart ? UpperChar(c) : LowerChar(c));
            wordStart = false;
            continue;
        }
        const Utf8Character character = DecodeUtf8(text.substr(at));
        if (character.codePoint == 0xFFFD && character.length == 1) {
            result.push_back(c); // not UTF-8: the byte as it was
        } else {
            // Final sigma, the micro sign and long s keep their shape; they fold alike only.
            const char32_t point = character.codePoint;
            const bool keep = point == 0x03C2 || point == 0xB5 || point == 0x017F;
            AppendUtf8(result, keep ? point : wordStart ? UpperCase(FoldCase(point)) : FoldCase(point));
        }
        at += character.length;
        wordStart = false;
    }
    return result;
}

namespace {

// The length of the UTF-8 sequence at the start of text when it encodes an invisible format
// character (U+061C, U+200B-U+200F, U+202A-U+202E, U+2060-U+2064, U+2066-U+2069, U+FEFF); else 0.
std::size_t FormatCharacterLength(std::string_view text)
{
    const auto byte = [&text](std::size_t i) { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0U; };
    if (byte(0) == 0xD8 && byte(1) == 0x9C)
        return 2;
    if (byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF)
        return 3;
    if (byte(0) != 0xE2)
        return 0;
    const unsigned third = byte(2);
    if (byte(1) == 0x80 && ((third >= 0x8B && third <= 0x8F) || (third >= 0xAA && third <= 0xAE)))
        return 3;
    if (byte(1) == 0x81 && ((third >= 0xA0 && third <= 0xA4) || (third >= 0xA6 && third <= 0xA9)))
        return 3;
    return 0;
}

} // namespace

std::string VisibleName(std::string_view name)
{
    std::string result;
    result.reserve(name.size());
    for (std::size_t i = 0; i < name.size();) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c < 0x20 || c == 0x7F) {
            result.push_back('?');
            ++i;
        } else if (const std::size_t length = c >= 0xD8 ? FormatCharacterLength(name.substr(i)) : 0; length > 0) {
            result.push_back('?');
            i += length;
        } else {
            result.push_back(name[i]);
            ++i;
        }
    }
    return result;
}

std::string_view WithoutByteOrderMark(std::string_view text)
{
    return text.starts_with("\xEF\xBB\xBF") ? text.substr(3) : text;
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
