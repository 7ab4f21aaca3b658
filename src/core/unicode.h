#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace korvane::core {

// One character of UTF-8 text: its code point and its length in bytes. A byte that starts no
// valid sequence is a character of its own (U+FFFD, one byte long), so that nothing is lost.
struct Utf8Character {
    char32_t codePoint = 0;
    std::size_t length = 1;
};
Utf8Character DecodeUtf8(std::string_view text);
void AppendUtf8(std::string& text, char32_t codePoint);

// The columns a character takes in a fixed-pitch list: 0 for a combining mark, 2 for an East
// Asian wide or full-width one (CJK, Hangul, kana, full-width forms, most emoji), else 1.
int DisplayWidth(char32_t codePoint);
// The columns of the text.
int DisplayColumns(std::string_view text);
// The byte length of the longest start of the text that takes at most the columns, with the
// combining marks of its last character, never splitting a character.
std::size_t PrefixOfColumns(std::string_view text, int columns);

// Unicode simple case folding of the scripts names are written in (Latin with its extensions,
// Greek, Cyrillic, Armenian, Georgian, full-width Latin), as a file system that ignores case
// compares: "Ä" and "ä", "Σ" and "σ" and "ς" fold alike. Other characters stay.
char32_t FoldCase(char32_t codePoint);
// The upper case of a character FoldCase lowers; other characters stay.
char32_t UpperCase(char32_t codePoint);

} // namespace korvane::core
