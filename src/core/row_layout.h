#pragma once

#include <string>
#include <string_view>

namespace korvane::core {

// Both lists lay out a row as a 34-character name column followed by the affinity text.
inline constexpr std::size_t kNameFieldWidth = 34;

// The name padded with spaces or cut to exactly 34 characters.
std::string NameField(std::string_view name);
// Characters 1 to 34 of a row (fewer when the row is shorter).
std::string_view RowNameField(std::string_view row);
// Characters 35 onward of a row; empty when the row is shorter.
std::string_view RowAffinity(std::string_view row);

} // namespace korvane::core
