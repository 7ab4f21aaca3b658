#include "platform/forms/list_box.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

namespace korvane::forms {

namespace {

int CharClass(unsigned char c)
{
    if (c <= ' ' || c == 127)
        return 0;
    if (c >= '0' && c <= '9')
        return 2;
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
        return 3;
    if (c >= 128)
        return 4;
    return 1;
}

unsigned char Lower(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

} // namespace

int CompareListText(std::string_view a, std::string_view b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto ca = Lower(static_cast<unsigned char>(a[i]));
        const auto cb = Lower(static_cast<unsigned char>(b[i]));
        if (ca == cb)
            continue;
        const int classA = CharClass(ca);
        const int classB = CharClass(cb);
        if (classA != classB)
            return classA < classB ? -1 : 1;
        return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

void ListBox::CheckIndex(std::int32_t index) const
{
    if (index < 0 || index >= ListCount())
        throw std::out_of_range("list box index out of range");
}

void ListBox::RaiseClick()
{
    NotifyChanged();
    if (OnClick)
        OnClick();
}

void ListBox::AddItem(std::string text)
{
    auto position = m_rows.end();
    if (m_kind == ListBoxKind::Sorted) {
        position = std::upper_bound(m_rows.begin(), m_rows.end(), text,
            [](const std::string& value, const Row& row) { return CompareListText(value, row.text) < 0; });
    }
    const auto index = static_cast<std::int32_t>(position - m_rows.begin());
    m_rows.insert(position, Row{std::move(text), 0, false});
    m_newIndex = index;
    if (m_listIndex >= index)
        ++m_listIndex;
    if (m_anchor >= index)
        ++m_anchor;
    NotifyChanged();
}

void ListBox::AddItems(std::vector<std::pair<std::string, std::int32_t>> rows)
{
    if (rows.empty())
        return;
    std::vector<Row> added;
    added.reserve(rows.size());
    for (auto& [text, data] : rows)
        added.push_back(Row{std::move(text), data, false});
    if (m_kind == ListBoxKind::MultiSelect || m_rows.empty() || m_listIndex < 0) {
        if (m_kind == ListBoxKind::Sorted) {
            std::stable_sort(added.begin(), added.end(),
                             [](const Row& a, const Row& b) { return CompareListText(a.text, b.text) < 0; });
            std::vector<Row> merged;
            merged.reserve(m_rows.size() + added.size());
            // Existing rows were added first, so they stay ahead of equal new ones.
            std::merge(std::make_move_iterator(m_rows.begin()), std::make_move_iterator(m_rows.end()),
                       std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()),
                       std::back_inserter(merged),
                       [](const Row& a, const Row& b) { return CompareListText(a.text, b.text) < 0; });
            m_rows = std::move(merged);
        } else {
            std::move(added.begin(), added.end(), std::back_inserter(m_rows));
        }
        m_newIndex = -1;
        NotifyChanged();
        return;
    }
    // With a caret to keep in place, add one by one.
    for (auto& row : added) {
        AddItem(std::move(row.text));
        m_rows[static_cast<std::size_t>(m_newIndex)].itemData = row.itemData;
    }
    m_newIndex = -1;
}

void ListBox::RemoveItem(std::int32_t index)
{
    CheckIndex(index);
    const bool wasSelected = m_rows[static_cast<std::size_t>(index)].selected;
    m_rows.erase(m_rows.begin() + index);
    if (m_kind == ListBoxKind::Sorted && wasSelected) {
        m_listIndex = -1;
    } else if (m_listIndex > index) {
        --m_listIndex;
    } else if (m_listIndex == index) {
        m_listIndex = std::min(index, ListCount() - 1);
    }
    if (m_anchor >= ListCount())
        m_anchor = ListCount() - 1;
    NotifyChanged();
}

void ListBox::Clear()
{
    m_rows.clear();
    m_listIndex = -1;
    m_anchor = -1;
    NotifyChanged();
}

const std::string& ListBox::List(std::int32_t index) const
{
    CheckIndex(index);
    return m_rows[static_cast<std::size_t>(index)].text;
}

std::int32_t ListBox::ItemData(std::int32_t index) const
{
    CheckIndex(index);
    return m_rows[static_cast<std::size_t>(index)].itemData;
}

void ListBox::SetItemData(std::int32_t index, std::int32_t value)
{
    CheckIndex(index);
    m_rows[static_cast<std::size_t>(index)].itemData = value;
}

bool ListBox::Selected(std::int32_t index) const
{
    CheckIndex(index);
    return m_rows[static_cast<std::size_t>(index)].selected;
}

void ListBox::SetSelected(std::int32_t index, bool value)
{
    CheckIndex(index);
    if (m_kind == ListBoxKind::Sorted) {
        for (auto& row : m_rows)
            row.selected = false;
        m_rows[static_cast<std::size_t>(index)].selected = value;
        m_listIndex = value ? index : -1;
    } else {
        m_rows[static_cast<std::size_t>(index)].selected = value;
        if (value)
            m_listIndex = index;
    }
    RaiseClick();
}

void ListBox::SetListIndex(std::int32_t index)
{
    if (index < -1 || index >= ListCount())
        throw std::out_of_range("list box index out of range");
    if (m_kind == ListBoxKind::Sorted) {
        for (auto& row : m_rows)
            row.selected = false;
        if (index >= 0)
            m_rows[static_cast<std::size_t>(index)].selected = true;
    }
    m_listIndex = index;
    m_anchor = index;
    RaiseClick();
}

std::int32_t ListBox::FindPrefix(std::string_view text) const
{
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const std::string& row = m_rows[i].text;
        if (row.size() < text.size())
            continue;
        bool match = true;
        for (std::size_t k = 0; k < text.size() && match; ++k)
            match = Lower(static_cast<unsigned char>(row[k])) == Lower(static_cast<unsigned char>(text[k]));
        if (match)
            return static_cast<std::int32_t>(i);
    }
    return -1;
}

void ListBox::UserClickRow(std::int32_t index, bool ctrl, bool shift)
{
    if (!Enabled() || index < 0 || index >= ListCount())
        return;
    if (m_kind == ListBoxKind::Sorted || (!ctrl && !shift)) {
        for (auto& row : m_rows)
            row.selected = false;
        m_rows[static_cast<std::size_t>(index)].selected = true;
        m_anchor = index;
    } else if (ctrl) {
        auto& row = m_rows[static_cast<std::size_t>(index)];
        row.selected = !row.selected;
        m_anchor = index;
    } else {
        const std::int32_t from = std::min(std::max(m_anchor, 0), index);
        const std::int32_t to = std::max(std::max(m_anchor, 0), index);
        for (std::int32_t i = 0; i < ListCount(); ++i)
            m_rows[static_cast<std::size_t>(i)].selected = i >= from && i <= to;
    }
    m_listIndex = index;
    RaiseClick();
}

void ListBox::UserMouseUp(int button, int shift, float x, float y)
{
    if (OnMouseUp)
        OnMouseUp(button, shift, x, y);
}

int ListBox::UserKeyDown(int keyCode, int shift)
{
    if (OnKeyDown)
        OnKeyDown(keyCode, shift);
    return keyCode;
}

void ListBox::UserGotFocus()
{
    if (OnGotFocus)
        OnGotFocus();
}

} // namespace korvane::forms
