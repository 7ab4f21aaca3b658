#include "core/hidden_names.h"

#include "core/text.h"
#include "platform/file_system.h"

#include <vector>

namespace korvane::core {

void HiddenNames::LoadHiddenNames()
{
    m_names.Clear();
    m_names.SetSorted(true);
    const platform::FileRead read = m_files.ReadOwnFileChecked(FilePath());
    m_readFailed = read.status == platform::ReadStatus::Failed;
    for (const auto& line : SplitLines(WithoutByteOrderMark(platform::CompleteLines(read)))) {
        const std::string name = Trim(ProperCase(VisibleName(line)));
        if (!name.empty())
            m_names.AddItem(name);
    }
}

bool HiddenNames::SaveUnsavedHiddenNames()
{
    if (!m_unsaved || m_readFailed)
        return !m_unsaved;
    std::vector<std::string> lines;
    for (std::int32_t i = 0; i < m_names.ListCount(); ++i)
        lines.push_back(Trim(m_names.List(i)));
    if (m_files.WriteFileAtomic(FilePath(), JoinLinesCrLf(lines)))
        m_unsaved = false;
    return !m_unsaved;
}

bool HiddenNames::SaveHiddenNames()
{
    const bool saved = SaveUnsavedHiddenNames();
    // The list is released: nothing is left to save.
    m_names.Clear();
    m_changed = false;
    m_unsaved = false;
    return saved;
}

bool HiddenNames::IsHidden(std::string_view name)
{
    return m_names.FindItem(name);
}

void HiddenNames::HideName(std::string_view name)
{
    m_names.AddItem(name);
    m_changed = true;
    m_unsaved = true;
}

bool HiddenNames::UnhideName(std::string_view name)
{
    for (std::int32_t i = m_names.ListCount() - 1; i >= 0; --i) {
        if (m_names.List(i) == name) {
            m_names.RemoveItem(i);
            m_changed = true;
            m_unsaved = true;
            return true;
        }
    }
    return false;
}

} // namespace korvane::core
