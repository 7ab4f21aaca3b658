#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvane::core {

// ASCII case mapping: bytes above 127 (UTF-8 names) pass through untouched.
std::string ToUpper(std::string_view text);
std::string ToLower(std::string_view text);

// First letter of every word upper case, every other letter lower case (in every script
// FoldCase knows); words are separated by white space and NUL only, so my-app.EXE becomes
// My-app.exe and ПРИВЕТ.EXE Привет.exe.
std::string ProperCase(std::string_view text);

// A file name as it is shown and stored: every control character (CR and LF among them) becomes
// "?", so that a name is always one line of a list or a file, and so does every invisible
// character that changes how the text around it is shown (right-to-left overrides, isolates,
// zero-width characters, byte-order marks in UTF-8), so that no program can show as another.
std::string VisibleName(std::string_view name);

// The text without a UTF-8 byte-order mark at its start (an editor's, not part of a name).
std::string_view WithoutByteOrderMark(std::string_view text);

// Removes leading and trailing spaces (spaces only, as the files and rows are padded with them).
std::string Trim(std::string_view text);
std::string RemoveAll(std::string_view text, char c);
// Replaces every occurrence of from (case ignored) by to.
std::string ReplaceAllIgnoreCase(std::string_view text, std::string_view from, std::string_view to);

// Lines of a text file: a line ends at CR LF, LF or CR; a last line without an end counts.
std::vector<std::string> SplitLines(std::string_view content);
// Every line followed by CR LF.
std::string JoinLinesCrLf(const std::vector<std::string>& lines);

} // namespace korvane::core
