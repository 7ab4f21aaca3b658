#include "core/unicode.h"

namespace korvane::core {

Utf8Character DecodeUtf8(std::string_view text)
{
    if (text.empty())
        return {0, 0};
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char first = byte(0);
    if (first < 0x80)
        return {first, 1};
    std::size_t length = 0;
    char32_t codePoint = 0;
    char32_t least = 0;
    if ((first & 0xE0) == 0xC0) {
        length = 2;
        codePoint = first & 0x1F;
        least = 0x80;
    } else if ((first & 0xF0) == 0xE0) {
        length = 3;
        codePoint = first & 0x0F;
        least = 0x800;
    } else if ((first & 0xF8) == 0xF0) {
        length = 4;
        codePoint = first & 0x07;
        least = 0x10000;
    } else {
        return {0xFFFD, 1};
    }
    if (text.size() < length)
        return {0xFFFD, 1};
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return {0xFFFD, 1};
        codePoint = (codePoint << 6) | (byte(i) & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are no characters.
    if (codePoint < least || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return {0xFFFD, 1};
    return {codePoint, length};
}

void AppendUtf8(std::string& text, char32_t c)
{
    if (c < 0x80) {
        text.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        text.push_back(static_cast<char>(0xC0 | (c >> 6)));
        text.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        text.push_back(static_cast<char>(0xE0 | (c >> 12)));
        text.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        text.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        text.push_back(static_cast<char>(0xF0 | (c >> 18)));
        text.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        text.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        text.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

int DisplayWidth(char32_t c)
{
    const auto in = [c](char32_t low, char32_t high) { return c >= low && c <= high; };
    if (in(0x0300, 0x036F) || in(0x0483, 0x0489) || in(0x0591, 0x05BD) || in(0x0610, 0x061A) ||
        in(0x064B, 0x065F) || in(0x0E31, 0x0E31) || in(0x0E34, 0x0E3A) || in(0x0E47, 0x0E4E) ||
        in(0x1AB0, 0x1AFF) || in(0x1DC0, 0x1DFF) || in(0x20D0, 0x20FF) || in(0x3099, 0x309A) ||
        in(0xFE00, 0xFE0F) || in(0xFE20, 0xFE2F))
        return 0;
    if (in(0x1100, 0x115F) || in(0x2E80, 0x303E) || in(0x3041, 0x33FF) || in(0x3400, 0x4DBF) ||
        in(0x4E00, 0x9FFF) || in(0xA000, 0xA4CF) || in(0xAC00, 0xD7A3) || in(0xF900, 0xFAFF) ||
        in(0xFE30, 0xFE4F) || in(0xFF00, 0xFF60) || in(0xFFE0, 0xFFE6) || in(0x1F300, 0x1F64F) ||
        in(0x1F900, 0x1F9FF) || in(0x20000, 0x3FFFD))
        return 2;
    return 1;
}

int DisplayColumns(std::string_view text)
{
    int columns = 0;
    for (std::size_t at = 0; at < text.size();) {
        const Utf8Character character = DecodeUtf8(text.substr(at));
        columns += DisplayWidth(character.codePoint);
        at += character.length;
    }
    return columns;
}

std::size_t PrefixOfColumns(std::string_view text, int columns)
{
    int used = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        const Utf8Character character = DecodeUtf8(text.substr(at));
        const int width = DisplayWidth(character.codePoint);
        if (used + width > columns)
            break;
        used += width;
        at += character.length;
    }
    return at;
}

namespace {

// Pairs where the upper case is even and the lower the next code point.
bool EvenUpperPair(char32_t c)
{
    const auto in = [c](char32_t low, char32_t high) { return c >= low && c <= high; };
    return (in(0x0100, 0x012F) || in(0x0132, 0x0137) || in(0x014A, 0x0177) || in(0x0182, 0x0185) ||
            in(0x01A0, 0x01A5) || in(0x01DE, 0x01EF) || in(0x01F8, 0x021F) || in(0x0222, 0x0233) ||
            in(0x0246, 0x024F) || in(0x03D8, 0x03EF) || in(0x0460, 0x0481) || in(0x048A, 0x04BF) ||
            in(0x04D0, 0x052F) || in(0x1E00, 0x1E95) || in(0x1EA0, 0x1EFF) || in(0x2C80, 0x2CE3) ||
            in(0xA640, 0xA66D) || in(0xA680, 0xA69B) || in(0xA722, 0xA72F) || in(0xA732, 0xA76F) ||
            in(0xA77E, 0xA787) || in(0xA790, 0xA793) || in(0xA796, 0xA7A9));
}

// Pairs where the upper case is odd.
bool OddUpperPair(char32_t c)
{
    const auto in = [c](char32_t low, char32_t high) { return c >= low && c <= high; };
    return in(0x0139, 0x0148) || in(0x0179, 0x017E) || in(0x01B3, 0x01B6) || in(0x01CD, 0x01DC) ||
           in(0x04C1, 0x04CE);
}

} // namespace

char32_t FoldCase(char32_t c)
{
    const auto in = [c](char32_t low, char32_t high) { return c >= low && c <= high; };
    if (in(U'A', U'Z'))
        return c + 0x20;
    if (c < 0xB5)
        return c;
    if (c == 0xB5)
        return 0x03BC; // micro sign: Greek mu
    if (in(0xC0, 0xDE) && c != 0xD7)
        return c + 0x20;
    if (c == 0x0178)
        return 0xFF;
    if (c == 0x017F)
        return U's';
    if (c == 0x1E9E)
        return 0xDF;
    if (EvenUpperPair(c))
        return (c % 2 == 0) ? c + 1 : c;
    if (OddUpperPair(c))
        return (c % 2 == 1) ? c + 1 : c;
    if (c == 0x0386)
        return 0x03AC;
    if (in(0x0388, 0x038A))
        return c + 37;
    if (c == 0x038C)
        return 0x03CC;
    if (in(0x038E, 0x038F))
        return c + 63;
    if (in(0x0391, 0x03AB) && c != 0x03A2)
        return c + 0x20;
    if (c == 0x03C2)
        return 0x03C3; // final sigma
    if (in(0x0400, 0x040F))
        return c + 0x50;
    if (in(0x0410, 0x042F))
        return c + 0x20;
    if (c == 0x04C0)
        return 0x04CF;
    if (in(0x0531, 0x0556))
        return c + 0x30;
    if (in(0x10A0, 0x10C5))
        return c + 0x1C60;
    if (in(0x2160, 0x216F))
        return c + 0x10;
    if (in(0x24B6, 0x24CF))
        return c + 26;
    if (in(0xFF21, 0xFF3A))
        return c + 0x20;
    if (in(0x10400, 0x10427))
        return c + 0x28;
    return c;
}

char32_t UpperCase(char32_t c)
{
    const auto in = [c](char32_t low, char32_t high) { return c >= low && c <= high; };
    if (in(U'a', U'z'))
        return c - 0x20;
    if (c < 0xDF)
        return c;
    if (in(0xE0, 0xFE) && c != 0xF7)
        return c - 0x20;
    if (c == 0xFF)
        return 0x0178;
    if (EvenUpperPair(c) && c % 2 == 1 && EvenUpperPair(c - 1))
        return c - 1;
    if (OddUpperPair(c) && c % 2 == 0 && OddUpperPair(c - 1))
        return c - 1;
    if (c == 0x03AC)
        return 0x0386;
    if (in(0x03AD, 0x03AF))
        return c - 37;
    if (c == 0x03CC)
        return 0x038C;
    if (in(0x03CD, 0x03CE))
        return c - 63;
    if (in(0x03B1, 0x03CB) && c != 0x03C2)
        return c - 0x20;
    if (in(0x0430, 0x044F))
        return c - 0x20;
    if (in(0x0450, 0x045F))
        return c - 0x50;
    if (c == 0x04CF)
        return 0x04C0;
    if (in(0x0561, 0x0586))
        return c - 0x30;
    if (in(0x2D00, 0x2D25))
        return c - 0x1C60;
    if (in(0x2170, 0x217F))
        return c - 0x10;
    if (in(0x24D0, 0x24E9))
        return c - 26;
    if (in(0xFF41, 0xFF5A))
        return c - 0x20;
    if (in(0x10428, 0x1044F))
        return c - 0x28;
    return c;
}

} // namespace korvane::core
