#include "core/row_layout.h"

namespace korvane::core {

std::string NameField(std::string_view name)
{
    std::string field(name.substr(0, kNameFieldWidth));
    field.resize(kNameFieldWidth, ' ');
    return field;
}

std::string_view RowNameField(std::string_view row)
{
    return row.substr(0, kNameFieldWidth);
}

std::string_view RowAffinity(std::string_view row)
{
    return row.size() > kNameFieldWidth ? row.substr(kNameFieldWidth) : std::string_view{};
}

} // namespace korvane::core
