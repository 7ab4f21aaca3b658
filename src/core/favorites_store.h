#pragma once

#include "core/row_list.h"

#include <string>
#include <string_view>
#include <vector>

namespace korvane::platform { class FileSystem; }

namespace korvane::core {

inline constexpr const char* kFavoritesFileName = "MyFav.Affinity";

// The favorites live in the rows of the favorites list itself (List2): each row is a 34-character
// name column followed by the affinity text. This class loads, saves, orders and looks them up.
class FavoritesStore {
public:
    FavoritesStore(RowList& list2, platform::FileSystem& files);

    // The file's folder, ending in a separator.
    void SetProgramFolder(std::string folder) { m_programFolder = std::move(folder); }
    std::string FilePath() const { return m_programFolder + kFavoritesFileName; }

    // Empties the store and fills it from the file: every line with its control characters made
    // visible and trimmed of spaces, empty ones skipped.
    // A file that exists but could not be read whole gives the complete lines read before the error.
    void LoadFavorites();
    // The last load found the file but could not read it whole.
    bool ReadFailed() const { return m_readFailed; }
    // Rewrites the whole file (lines ending in CR LF) atomically; false when it could not be written.
    // Never writes after a failed read: that would replace favorites the run never saw.
    bool SaveFavorites();

    // "Favorites (n)".
    std::string FavoritesCaption() const;

    // Puts the rows into name order, or grouped by affinity ("0", "1", "01", ... "0123") with the
    // rows of any other affinity after the last group, and selects again the rows that were
    // selected. Split in two for the view, which redraws between them.
    std::vector<std::string> RefillInOrder(bool byAffinity);
    void Reselect(const std::vector<std::string>& selectedTexts);
    void OrderFavorites(bool byAffinity) { Reselect(RefillInOrder(byAffinity)); }

    bool FavoritesChanged() const { return m_changed; }
    void SetFavoritesChanged()
    {
        m_changed = true;
        m_unsaved = true;
    }
    // Writes the file when a change has not reached it yet; true when nothing is left unsaved.
    bool SaveUnsavedFavorites();

    // Is a process a favorite: some row begins with its 34-character name column, case ignored.
    bool IsFavoriteNameField(std::string_view nameField) const;
    // Does a favorite with exactly this 34-character name column (case included) exist.
    bool HasExactNameField(std::string_view nameField) const;

private:
    RowList& m_list;
    platform::FileSystem& m_files;
    std::string m_programFolder;
    bool m_changed = false;
    bool m_unsaved = false;
    bool m_readFailed = false;
};

} // namespace korvane::core
