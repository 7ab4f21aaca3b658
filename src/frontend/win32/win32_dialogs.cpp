#include "frontend/win32/win32_dialogs.h"

#include "platform/win32/win32_text.h"
#include "ui/favorites_commands.h"

#include <windows.h>
#include <commdlg.h>
// winuser.h names MessageBoxW MessageBox, which is also the interface's name here.
#undef MessageBox

namespace korvane::win32front {

using platform::win32::Narrow;
using platform::win32::Widen;

int Win32Dialogs::MessageBox(const std::string& text, int style, const std::string& title)
{
    // The styles are the system's own: icon, buttons, default button and foreground bits.
    return ::MessageBoxW(static_cast<HWND>(owner), Widen(text).c_str(), Widen(title).c_str(),
                         static_cast<UINT>(style));
}

std::vector<std::string> PathsOfOpenFileResult(const std::wstring& result)
{
    const auto end = result.find(std::wstring(2, L'\0'));
    const std::string selection = Narrow(std::wstring_view(result).substr(0, end));
    return ui::ParseSelectionText(selection + std::string(2, '\0'), '\\');
}

std::optional<std::vector<std::string>> Win32FileDialogs::GetOpenFileNames(const std::string& title,
                                                                           const std::string& filter,
                                                                           bool allowMultiSelect)
{
    std::wstring buffer(ui::kFileNameBufferSize, L'\0');
    const std::wstring wideFilter = Widen(filter);
    const std::wstring wideTitle = Widen(title);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = static_cast<HWND>(owner);
    dialog.lpstrFilter = wideFilter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = static_cast<DWORD>(buffer.size());
    dialog.lpstrTitle = wideTitle.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | (allowMultiSelect ? OFN_ALLOWMULTISELECT : 0);
    if (!::GetOpenFileNameW(&dialog))
        return std::nullopt;
    return PathsOfOpenFileResult(buffer);
}

} // namespace korvane::win32front
