#pragma once

#include "platform/dialogs.h"
#include "platform/file_dialogs.h"

#include <string>
#include <vector>

namespace korvane::win32front {

// Message boxes through MessageBoxW, owned by the main window when there is one.
class Win32Dialogs : public platform::Dialogs {
public:
    int MessageBox(const std::string& text, int style, const std::string& title) override;
    void* owner = nullptr;
};

// The paths of GetOpenFileNameW's multi-select result: the folder and the names, each ending in a
// NUL, or one full path, then one more NUL.
std::vector<std::string> PathsOfOpenFileResult(const std::wstring& result);

// The open-file dialog (GetOpenFileNameW, OFN_ALLOWMULTISELECT | OFN_EXPLORER).
class Win32FileDialogs : public platform::FileDialogs {
public:
    bool ProgramFilterFirst() const override { return true; }
    std::optional<std::vector<std::string>> GetOpenFileNames(const std::string& title, const std::string& filter,
                                                             bool allowMultiSelect) override;
    void* owner = nullptr;
};

} // namespace korvane::win32front
