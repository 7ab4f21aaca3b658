#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::platform::linuxos {

struct DesktopEntry {
    std::string program; // the first word of Exec (or TryExec): a path or a name
    std::string icon;    // Icon=: a theme name or a path
};

// The keys and values of the [Desktop Entry] group of a .desktop file, spaces around them
// stripped; the first of a repeated key counts.
std::map<std::string, std::string> DesktopEntryKeys(std::string_view text);

// The [Desktop Entry] group of a .desktop file; nullopt without Exec/TryExec and Icon.
std::optional<DesktopEntry> ParseDesktopEntry(std::string_view text);

} // namespace korvane::platform::linuxos
