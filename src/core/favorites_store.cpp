#include "core/favorites_store.h"

#include "core/affinity.h"
#include "core/list_row.h"
#include "core/simple_array.h"
#include "core/text.h"
#include "platform/file_system.h"

#include <algorithm>
#include <set>

namespace korvane::core {

FavoritesStore::FavoritesStore(RowList& list2, platform::FileSystem& files) : m_list(list2), m_files(files)
{
}

void FavoritesStore::LoadFavorites()
{
    m_list.ClearRows();
    const platform::FileRead read = m_files.ReadOwnFileChecked(FilePath());
    m_readFailed = read.status == platform::ReadStatus::Failed;
    for (const auto& line : SplitLines(WithoutByteOrderMark(platform::CompleteLines(read)))) {
        std::string row = ListRow::Normalized(Trim(VisibleName(line)));
        if (!row.empty())
            m_list.AddRow(std::move(row));
    }
}

bool FavoritesStore::SaveFavorites()
{
    if (m_readFailed)
        return false;
    std::vector<std::string> rows;
    rows.reserve(static_cast<std::size_t>(m_list.RowCount()));
    for (std::int32_t i = 0; i < m_list.RowCount(); ++i)
        rows.push_back(m_list.Row(i));
    return m_files.WriteFileAtomic(FilePath(), JoinLinesCrLf(rows));
}

bool FavoritesStore::SaveUnsavedFavorites()
{
    if (m_unsaved && SaveFavorites())
        m_unsaved = false;
    return !m_unsaved;
}

std::string FavoritesStore::FavoritesCaption() const
{
    return "Favorites (" + std::to_string(m_list.RowCount()) + ")";
}

std::vector<std::string> FavoritesStore::RefillInOrder(bool byAffinity)
{
    std::vector<std::string> selected;
    clsSimpleArray ordered;
    ordered.SetSorted(true);
    for (std::int32_t i = 0; i < m_list.RowCount(); ++i) {
        if (m_list.RowSelected(i))
            selected.push_back(m_list.Row(i));
        ordered.AddItem(m_list.Row(i));
    }
    m_list.ClearRows();

    if (!byAffinity) {
        for (std::int32_t i = 0; i < ordered.ListCount(); ++i)
            m_list.AddRow(ordered.List(i));
        return selected;
    }

    std::vector<bool> placed(static_cast<std::size_t>(ordered.ListCount()), false);
    for (CpuMask mask = 1; mask <= 15; ++mask) {
        const std::string group = AffinityTextOfMask(mask);
        for (std::int32_t i = 0; i < ordered.ListCount(); ++i) {
            if (ListRow(ordered.List(i)).Affinity() == group) {
                m_list.AddRow(ordered.List(i));
                placed[static_cast<std::size_t>(i)] = true;
            }
        }
    }
    // A hand-edited row of no group is kept after the last group so that no favorite is lost.
    for (std::int32_t i = 0; i < ordered.ListCount(); ++i) {
        if (!placed[static_cast<std::size_t>(i)])
            m_list.AddRow(ordered.List(i));
    }
    return selected;
}

void FavoritesStore::Reselect(const std::vector<std::string>& selectedTexts)
{
    if (selectedTexts.empty())
        return;
    const std::set<std::string> wanted(selectedTexts.begin(), selectedTexts.end());
    for (std::int32_t i = 0; i < m_list.RowCount(); ++i) {
        if (wanted.count(m_list.Row(i)) != 0)
            m_list.SelectRow(i);
    }
}

bool FavoritesStore::IsFavoriteNameField(std::string_view nameField) const
{
    return m_list.FindRowPrefix(nameField) >= 0;
}

bool FavoritesStore::HasExactNameField(std::string_view nameField) const
{
    for (std::int32_t i = 0; i < m_list.RowCount(); ++i) {
        if (ListRow(m_list.Row(i)).NameField() == nameField)
            return true;
    }
    return false;
}

} // namespace korvane::core
