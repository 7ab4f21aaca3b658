#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace korvane::core {

// Rows of text that a model keeps its data in, in display order, each selected or not: the
// favorites are the rows of the favorites list itself.
class RowList {
public:
    virtual ~RowList() = default;
    virtual std::int32_t RowCount() const = 0;
    virtual const std::string& Row(std::int32_t index) const = 0;
    virtual bool RowSelected(std::int32_t index) const = 0;
    virtual void SelectRow(std::int32_t index) = 0;
    virtual void AddRow(std::string text) = 0;
    virtual void ClearRows() = 0;
    // The first row that begins with the text, case ignored; -1 when none does.
    virtual std::int32_t FindRowPrefix(std::string_view text) const = 0;
};

} // namespace korvane::core
