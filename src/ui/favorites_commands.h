#pragma once

#include "ui/main_controls.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::core {
class FavoritesStore;
class HiddenNames;
} // namespace korvane::core
namespace korvane::platform {
class Dialogs;
class FileDialogs;
class FileSystem;
} // namespace korvane::platform
namespace korvane::procmon { struct ProcessSelection; }

namespace korvane::ui {

class FavoritesView;
class IconCache;
class ProgramIcons;

inline constexpr const char* kAddFavoriteTitle = "Add Affinity Favorite";
inline constexpr const char* kRemoveFavoritesQuestion = "Remove selected file names from favorites?";
// Where programs are files ending in ".exe", their filter comes first; elsewhere (programs have no
// extension) every file comes first.
inline constexpr const char* kBrowseFilterProgramsFirst = "*.Exe, *.Src|*.exe;*.scr|All Files|*.*";
inline constexpr const char* kBrowseFilter = "All Files|*|*.Exe, *.Src|*.exe;*.scr";
inline constexpr std::size_t kFileNameBufferSize = 65535;

// "a|b" as the dialog wants it: every "|" a NUL, and one more NUL at the end.
std::string BuildDialogFilter(std::string_view filter);
// The chosen paths as the selection text: one path and two NULs, or the folder, a NUL, each name
// and a NUL, then one more NUL; followed by the rest of the file-name buffer (spaces). Paths are
// split at the platform's separator only: a Linux file name may hold a "\".
std::string SelectionTextOf(const std::vector<std::string>& paths, char separator);
// Shows the open-file dialog; the selection text, or empty when the user cancelled.
std::string ShowOpenDialog(platform::FileDialogs& dialogs, char separator);
// The full paths of a selection text; a folder gets the separator before the names it lacks.
std::vector<std::string> ParseSelectionText(std::string_view text, char separator);

// Adding favorites from the process list or by browsing, and removing them.
class FavoritesCommands {
public:
    FavoritesCommands(MainControls& controls, core::FavoritesStore& favorites, core::HiddenNames& hidden,
                      procmon::ProcessSelection& selection, FavoritesView& favoritesView, IconCache& cache,
                      ProgramIcons& icons, platform::FileSystem& files, platform::Dialogs& dialogs,
                      platform::FileDialogs& fileDialogs,
                      std::function<void()> refreshProcessList, std::function<void()> applyFavorites);

    void Command1_Click(); // "Add to Fav"
    void Command9_Click(); // "Add"
    void Command2_Click(); // "Remove"

private:
    MainControls& m_controls;
    core::FavoritesStore& m_favorites;
    core::HiddenNames& m_hidden;
    procmon::ProcessSelection& m_selection;
    FavoritesView& m_favoritesView;
    IconCache& m_cache;
    ProgramIcons& m_icons;
    platform::FileSystem& m_files;
    platform::Dialogs& m_dialogs;
    platform::FileDialogs& m_fileDialogs;
    std::function<void()> m_refreshProcessList;
    std::function<void()> m_applyFavorites;
};

} // namespace korvane::ui
