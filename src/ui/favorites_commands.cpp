#include "ui/favorites_commands.h"

#include "core/affinity.h"
#include "core/favorites_store.h"
#include "core/hidden_names.h"
#include "core/list_row.h"
#include "core/text.h"
#include "platform/dialogs.h"
#include "platform/file_dialogs.h"
#include "platform/file_system.h"
#include "procmon/affinity_control.h"
#include "procmon/process_table.h"
#include "ui/favorites_view.h"
#include "ui/icon_cache.h"
#include "ui/program_icons.h"

namespace korvane::ui {

std::string BuildDialogFilter(std::string_view filter)
{
    std::string result;
    result.reserve(filter.size() + 1);
    for (char c : filter)
        result.push_back(c == '|' ? '\0' : c);
    result.push_back('\0');
    return result;
}

std::string SelectionTextOf(const std::vector<std::string>& paths, char separator)
{
    std::string text;
    if (paths.size() == 1) {
        text = paths.front() + std::string(2, '\0');
    } else if (!paths.empty()) {
        const std::string& first = paths.front();
        const auto slash = first.rfind(separator);
        const std::string folder = slash == std::string::npos ? std::string() : first.substr(0, slash == 0 ? 1 : slash);
        text = folder + '\0';
        for (const auto& path : paths) {
            const auto at = path.rfind(separator);
            text += (at == std::string::npos ? path : path.substr(at + 1)) + '\0';
        }
        text += '\0';
    }
    // The rest of the buffer as it was prepared: spaces.
    text.resize(std::max(text.size() + 2, kFileNameBufferSize), ' ');
    return text;
}

std::string ShowOpenDialog(platform::FileDialogs& dialogs, char separator)
{
    const char* filter = dialogs.ProgramFilterFirst() ? kBrowseFilterProgramsFirst : kBrowseFilter;
    const auto paths = dialogs.GetOpenFileNames(kAddFavoriteTitle, BuildDialogFilter(filter), true);
    if (!paths || paths->empty())
        return {};
    return SelectionTextOf(*paths, separator);
}

std::vector<std::string> ParseSelectionText(std::string_view text, char separator)
{
    std::string rest = core::Trim(text.substr(0, text.size() >= 2 ? text.size() - 2 : 0));
    std::vector<std::string> parts;
    // Every non-empty part up to the closing NUL pair counts, however short: a one-letter file
    // name at the end is a file the user chose.
    while (!rest.empty()) {
        const auto nul = rest.find('\0');
        std::string part = rest.substr(0, nul);
        if (part.empty())
            break;
        parts.push_back(std::move(part));
        if (nul == std::string::npos)
            break;
        rest.erase(0, nul + 1);
    }
    if (parts.size() <= 1)
        return parts;
    std::string folder = parts.front();
    if (folder.empty() || folder.back() != separator)
        folder += separator;
    std::vector<std::string> paths;
    for (std::size_t i = 1; i < parts.size(); ++i)
        paths.push_back(folder + parts[i]);
    return paths;
}

FavoritesCommands::FavoritesCommands(MainControls& controls, core::FavoritesStore& favorites,
                                     core::HiddenNames& hidden, procmon::ProcessSelection& selection,
                                     FavoritesView& favoritesView, IconCache& cache, ProgramIcons& icons,
                                     platform::FileSystem& files, platform::Dialogs& dialogs,
                                     platform::FileDialogs& fileDialogs,
                                     std::function<void()> refreshProcessList, std::function<void()> applyFavorites)
    : m_controls(controls), m_favorites(favorites), m_hidden(hidden), m_selection(selection),
      m_favoritesView(favoritesView), m_cache(cache), m_icons(icons), m_files(files), m_dialogs(dialogs), m_fileDialogs(fileDialogs),
      m_refreshProcessList(std::move(refreshProcessList)), m_applyFavorites(std::move(applyFavorites))
{
}

void FavoritesCommands::Command1_Click()
{
    if (m_selection.SelectedProcessName.empty())
        return;
    m_controls.Timer1.SetEnabled(false);
    const std::string affinity = m_controls.ChosenAffinity();
    if (affinity.empty()) {
        m_dialogs.MessageBox(procmon::kSetAffinityFirst, platform::kMbIconInformation, procmon::kProgramTitle);
        m_controls.Timer1.SetEnabled(true);
        return;
    }
    std::string& name = m_selection.SelectedProcessName;
    if (name.find('<') != std::string::npos) {
        m_hidden.UnhideName(core::RemoveAll(name, '<'));
        // The marker goes even when only a longer hidden entry contained the name.
        name = core::RemoveAll(name, '<');
    }
    m_controls.List2.AddItem(core::ListRow::Format(name, affinity));
    m_favorites.SetFavoritesChanged();
    m_favoritesView.UpdateFavoritesCaption();

    m_controls.Form.SetUpdatesFrozen(true);
    if (!m_cache.Exists(name))
        m_cache.Save(name, DrawDummyIcon());
    m_favoritesView.UpdateFavIcons();
    m_refreshProcessList();
    if (m_controls.Check1.Value() == 1)
        m_applyFavorites();
    m_controls.Form.SetUpdatesFrozen(false);
    m_controls.Timer1.SetEnabled(true);
}

void FavoritesCommands::Command9_Click()
{
    m_controls.Timer1.SetEnabled(false);
    const std::string affinity = procmon::OfferedAffinityText(m_controls.CpuBoxes(), m_controls.CpuSetField);
    const char separator = m_files.PathSeparator();
    const std::string selection = ShowOpenDialog(m_fileDialogs, separator);
    if (!selection.empty()) {
        for (const auto& fullPath : ParseSelectionText(selection, separator)) {
            const std::string fileName = core::VisibleName(procmon::FileNameFromPath(fullPath, separator));
            const std::string name = core::Trim(core::ProperCase(fileName));
            if (name.empty())
                continue;
            const std::string nameField = core::ListRow::NameFieldOf(name);
            if (m_hidden.UnhideName(name))
                m_refreshProcessList();
            if (m_favorites.HasExactNameField(nameField))
                continue;
            m_controls.Form.SetUpdatesFrozen(true);
            m_controls.List2.AddItem(nameField + affinity);
            m_favorites.SetFavoritesChanged();
            m_favoritesView.UpdateFavoritesCaption();
            if (!m_cache.Exists(fileName)) {
                if (const auto picture = m_icons.SmallIconPicture(fullPath))
                    m_cache.Save(fileName, *picture);
            }
            m_controls.Form.SetUpdatesFrozen(false);
        }
        m_favoritesView.UpdateFavIcons();
        if (m_controls.Check1.Value() == 1)
            m_applyFavorites();
        else
            m_refreshProcessList();
    }
    m_controls.Timer1.SetEnabled(true);
}

void FavoritesCommands::Command2_Click()
{
    forms::ListBox& list2 = m_controls.List2;
    if (list2.ListCount() == 0)
        return;
    if (m_controls.ConfirmRemvFav.Value() == 1) {
        const int answer = m_dialogs.MessageBox(
            kRemoveFavoritesQuestion, platform::kMbYesNo | platform::kMbIconQuestion | platform::kMbDefaultButton2,
            procmon::kProgramTitle);
        if (answer == platform::kAnswerNo)
            return;
    }
    m_controls.Form.SetUpdatesFrozen(true);
    bool removed = false;
    for (std::int32_t i = list2.ListCount() - 1; i >= 0; --i) {
        if (list2.Selected(i)) {
            list2.RemoveItem(i);
            m_favorites.SetFavoritesChanged();
            removed = true;
        }
    }
    if (removed) {
        m_favoritesView.UpdateFavoritesCaption();
        if (list2.ListCount() > 0)
            list2.SetSelected(0, true);
        m_favoritesView.UpdateFavIcons();
        m_refreshProcessList();
    }
    m_controls.Form.SetUpdatesFrozen(false);
}

} // namespace korvane::ui
