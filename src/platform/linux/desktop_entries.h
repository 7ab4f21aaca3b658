#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::platform { class FileSystem; }

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

// The programs' icons named by the desktop entries of the applications folders, indexed by the
// program's full path and by its file name. Folders listed first win, as in the XDG search order.
class DesktopEntryIndex {
public:
    // Reads every *.desktop file of the folders once.
    void Build(FileSystem& files, const std::vector<std::string>& applicationFolders);
    // The icon of a program path: by the full path, else by its file name; empty when none.
    std::string IconFor(const std::string& programPath) const;
    bool Built() const { return m_built; }

private:
    void Add(const DesktopEntry& entry);

    std::map<std::string, std::string> m_byPath;
    std::map<std::string, std::string> m_byName;
    bool m_built = false;
};

// $XDG_DATA_HOME/applications, then every $XDG_DATA_DIRS folder's applications.
std::vector<std::string> ApplicationFolders();

} // namespace korvane::platform::linuxos
