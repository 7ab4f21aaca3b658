#pragma once

#include "core/row_list.h"
#include "platform/forms/list_box.h"

namespace korvane::ui {

// A list box's rows as the rows a model keeps its data in.
class ListBoxRows : public core::RowList {
public:
    explicit ListBoxRows(forms::ListBox& list) : m_list(list) {}
    std::int32_t RowCount() const override { return m_list.ListCount(); }
    const std::string& Row(std::int32_t index) const override { return m_list.List(index); }
    bool RowSelected(std::int32_t index) const override { return m_list.Selected(index); }
    void SelectRow(std::int32_t index) override { m_list.SetSelected(index, true); }
    void AddRow(std::string text) override { m_list.AddItem(std::move(text)); }
    void ClearRows() override { m_list.Clear(); }
    std::int32_t FindRowPrefix(std::string_view text) const override { return m_list.FindPrefix(text); }

private:
    forms::ListBox& m_list;
};

} // namespace korvane::ui
