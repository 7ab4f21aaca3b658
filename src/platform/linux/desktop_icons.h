#pragma once

#include "platform/linux/desktop_entries.h"

#include <map>
#include <string>
#include <vector>

namespace korvane::platform { class FileSystem; }

namespace korvane::platform::linuxos {

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

// A program's icon as the desktop names it: a theme name or an icon file's path, empty when no
// desktop entry names one. The applications folders are read on the first question only.
class DesktopIcons {
public:
    explicit DesktopIcons(FileSystem& files) : m_files(files) {}
    std::string IconNameOf(const std::string& programPath);

private:
    FileSystem& m_files;
    DesktopEntryIndex m_index;
};

} // namespace korvane::platform::linuxos
