#include "core/list_row.h"

#include "core/text.h"

namespace korvane::core {

std::string ListRow::NameFieldOf(std::string_view name)
{
    std::string field(name.substr(0, kNameWidth));
    field.resize(kNameWidth, ' ');
    return field;
}

std::string ListRow::Format(std::string_view name, std::string_view affinity)
{
    return NameFieldOf(name) + std::string(affinity);
}

std::string_view ListRow::Affinity() const
{
    return m_text.size() > kNameWidth ? m_text.substr(kNameWidth) : std::string_view{};
}

std::string ListRow::Name() const
{
    return Trim(NameField());
}

std::string ListRow::NameWithoutFavoriteMark() const
{
    return RemoveAll(Name(), '*');
}

std::string ListRow::NameWithoutHiddenMark() const
{
    return RemoveAll(Name(), '<');
}

std::string ListRow::BareName() const
{
    return RemoveAll(NameWithoutFavoriteMark(), '<');
}

std::string ListRow::NameAfterMarker() const
{
    const std::string_view field = NameField();
    return Trim(field.empty() ? field : field.substr(1));
}

std::string ListRow::AffinityText() const
{
    return Trim(Affinity());
}

} // namespace korvane::core
