#pragma once

#include "core/simple_array.h"

#include <string>
#include <string_view>

namespace korvane::platform { class FileSystem; }

namespace korvane::core {

inline constexpr const char* kHiddenFileName = "Hidden.txt";

// The names the user never wants to see in the process list, sorted, in proper case, kept in
// "Hidden.txt". A name counts as hidden when it occurs, case ignored, inside some entry.
class HiddenNames {
public:
    explicit HiddenNames(platform::FileSystem& files) : m_files(files) {}

    // The file's folder, ending in a separator.
    void SetProgramFolder(std::string folder) { m_programFolder = std::move(folder); }
    std::string FilePath() const { return m_programFolder + kHiddenFileName; }

    // Empties the list and reads the file: each line with its control characters made visible, in
    // proper case, trimmed, empty ones skipped.
    // A file that exists but could not be read whole gives the complete lines read before the error.
    void LoadHiddenNames();
    // The last load found the file but could not read it whole.
    bool ReadFailed() const { return m_readFailed; }
    // Rewrites the file when a change has not reached it yet, then releases the list; a second call
    // writes nothing. Never writes after a failed read. False when a write failed or was refused.
    bool SaveHiddenNames();
    // The same write without releasing the list, after each change the user makes.
    bool SaveUnsavedHiddenNames();

    bool IsHidden(std::string_view name);
    // Adds a name (sorted position) and marks the list changed.
    void HideName(std::string_view name);
    // Removes one entry exactly equal to name, searching from the end; true when one was removed.
    bool UnhideName(std::string_view name);

    bool HiddenNamesChanged() const { return m_changed; }
    const clsSimpleArray& Names() const { return m_names; }

private:
    platform::FileSystem& m_files;
    std::string m_programFolder;
    clsSimpleArray m_names;
    bool m_changed = false;
    bool m_unsaved = false;
    bool m_readFailed = false;
};

} // namespace korvane::core
