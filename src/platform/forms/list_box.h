#pragma once

#include "platform/forms/control.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvane::forms {

enum class ListBoxKind {
    Sorted,      // rows placed in collation order, one selected row (the process list)
    MultiSelect, // rows kept where they are added, several selected rows (the favorites list)
};

// Order of the sorted kind: case-insensitive, character by character; space and control
// characters < punctuation and symbols (in code order) < digits < letters < bytes above ASCII;
// a prefix sorts first. Negative, zero or positive like strcmp.
int CompareListText(std::string_view a, std::string_view b);

// The list box the process and favorites lists rest on. Rows have a text, a signed 32-bit item
// datum and a selected flag; the caret row is ListIndex (-1 for none). Index errors throw
// std::out_of_range and leave the list unchanged.
class ListBox : public Control {
public:
    explicit ListBox(ListBoxKind kind) : m_kind(kind) {}

    ListBoxKind Kind() const { return m_kind; }

    // Appends (multi-select) or inserts at its sorted place after equal rows (sorted).
    void AddItem(std::string text);
    // Adds many rows with their item data at once, each where AddItem would put it, in one
    // pass; NewIndex is then -1.
    void AddItems(std::vector<std::pair<std::string, std::int32_t>> rows);
    std::int32_t NewIndex() const { return m_newIndex; }
    void RemoveItem(std::int32_t index);
    void Clear();

    std::int32_t ListCount() const { return static_cast<std::int32_t>(m_rows.size()); }
    const std::string& List(std::int32_t index) const;
    std::int32_t ItemData(std::int32_t index) const;
    void SetItemData(std::int32_t index, std::int32_t value);

    // Setting a selected flag or the caret from code runs Click, as a user selection does.
    bool Selected(std::int32_t index) const;
    void SetSelected(std::int32_t index, bool value);
    std::int32_t ListIndex() const { return m_listIndex; }
    void SetListIndex(std::int32_t index);

    // First row from the top whose text begins with text, case ignored; -1 when none.
    std::int32_t FindPrefix(std::string_view text) const;

    // What the user does, delivered by the front end (or by a test).
    // A left click selects the row (with ctrl toggling and shift extending on the multi-select
    // kind); a right click moves neither the caret nor the selection.
    void UserMouseUp(int button, int shift, float x, float y);
    void UserClickRow(std::int32_t index, bool ctrl = false, bool shift = false);
    int UserKeyDown(int keyCode, int shift); // returns the key code left by the handler
    void UserGotFocus();

    std::function<void()> OnClick;
    std::function<void(int& keyCode, int shift)> OnKeyDown;
    std::function<void()> OnGotFocus;
    std::function<void(int button, int shift, float x, float y)> OnMouseUp;

private:
    struct Row {
        std::string text;
        std::int32_t itemData = 0;
        bool selected = false;
    };

    void CheckIndex(std::int32_t index) const;
    void RaiseClick();

    ListBoxKind m_kind;
    std::vector<Row> m_rows;
    std::int32_t m_newIndex = -1;
    std::int32_t m_listIndex = -1;
    std::int32_t m_anchor = -1;
};

} // namespace korvane::forms
