#pragma once

#include <string>
#include <string_view>

namespace korvane::platform::win32 {

// Korvane keeps text as UTF-8; the wide-character calls take UTF-16.
std::wstring Widen(std::string_view text);
std::string Narrow(std::wstring_view text);

} // namespace korvane::platform::win32
