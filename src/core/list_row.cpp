#include "core/list_row.h"

#include "core/cpu_set.h"
#include "core/text.h"
#include "core/unicode.h"

#include <algorithm>
#include <cctype>

namespace korvane::core {

std::string ListRow::NameFieldOf(std::string_view name)
{
    // Columns, not bytes: a name in any script keeps whole characters, and a wide one takes two.
    std::string field(name.substr(0, PrefixOfColumns(name, static_cast<int>(kNameWidth))));
    field.append(kNameWidth - static_cast<std::size_t>(DisplayColumns(field)), ' ');
    return field;
}

std::string ListRow::Normalized(std::string_view row)
{
    const bool ascii = std::all_of(row.begin(), row.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii)
        return std::string(row);
    // The affinity is the digits, dashes and commas at the end; the name the text before them.
    // This reads rows written before the column held characters (34 bytes) as well.
    std::size_t start = row.size();
    while (start > 0 && (std::isdigit(static_cast<unsigned char>(row[start - 1])) != 0 || row[start - 1] == '-' ||
                         row[start - 1] == ','))
        --start;
    if (start == row.size())
        return ProperCase(Trim(row)); // a name alone, as written
    return Format(ProperCase(Trim(row.substr(0, start))), row.substr(start));
}

std::string ListRow::Format(std::string_view name, std::string_view affinity)
{
    return NameFieldOf(name) + std::string(affinity);
}

std::string_view ListRow::NameField() const
{
    return m_text.substr(0, PrefixOfColumns(m_text, static_cast<int>(kNameWidth)));
}

std::string_view ListRow::Affinity() const
{
    return m_text.substr(NameField().size());
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

std::string ListRow::Spoken() const
{
    std::string spoken = BareName();
    const std::string affinity = AffinityText();
    if (const std::optional<CpuSet> cpus = CpuSetToApply(affinity); cpus && !cpus->Empty()) {
        std::string list;
        for (const char c : CpuListText(*cpus))
            list += c == ',' ? std::string(", ") : c == '-' ? std::string(" to ") : std::string(1, c);
        spoken += (cpus->Count() == 1 ? ", CPU " : ", CPUs ") + list;
    } else if (!affinity.empty()) {
        spoken += ", CPUs " + affinity;
    }
    if (Favorite())
        spoken += ", favorite";
    if (Hidden())
        spoken += ", hidden";
    return spoken;
}

} // namespace korvane::core
