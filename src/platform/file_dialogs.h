#pragma once

#include <optional>
#include <string>
#include <vector>

namespace korvane::platform {

// The open-file dialog.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // True where programs are files of their own extension ("*.exe"), whose filter then comes first.
    virtual bool ProgramFilterFirst() const { return false; }
    // Shows the dialog; filter is pairs of description and pattern list ("*.exe;*.scr"), each
    // ending in a NUL, with one more NUL at the end. Returns the full paths chosen, or nullopt
    // when the user cancelled.
    virtual std::optional<std::vector<std::string>> GetOpenFileNames(const std::string& title,
                                                                     const std::string& filter,
                                                                     bool allowMultiSelect) = 0;
};

} // namespace korvane::platform
