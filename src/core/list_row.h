#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace korvane::core {

// A row of the process list or of the favorites list: a name column of 34 characters' columns
// (a wide character takes two, a combining mark none; never a split character) followed by the
// affinity text. In the process list the name column begins with "*" for a favorite and "<" for a
// hidden name. A ListRow reads the text it is given, which must outlive it.
class ListRow {
public:
    static constexpr std::size_t kNameWidth = 34;

    // The name padded with spaces or cut to exactly 34 columns.
    static std::string NameFieldOf(std::string_view name);
    // A row read from a file as Korvane writes it: a row with characters beyond ASCII gets its
    // name cased and its column laid out again, which also reads such rows of 34 bytes.
    static std::string Normalized(std::string_view row);
    // The name column of the name, then the affinity text.
    static std::string Format(std::string_view name, std::string_view affinity);
    // A name column with a marker in front, cut to 34 characters again.
    static std::string Marked(char marker, std::string_view nameField) { return NameFieldOf(marker + std::string(nameField)); }

    explicit ListRow(std::string_view text) : m_text(text) {}

    // The row as a screen reader says it: "Encoder.exe, CPUs 0 to 3, favorite".
    std::string Spoken() const;

    // The first 34 columns (fewer when the row is shorter) and the rest, as they stand.
    std::string_view NameField() const;
    std::string_view Affinity() const;
    // The name column trimmed of spaces, markers kept.
    std::string Name() const;
    // The name without the favorite marker (a hidden marker stays), without the hidden marker, or
    // without both.
    std::string NameWithoutFavoriteMark() const;
    std::string NameWithoutHiddenMark() const;
    std::string BareName() const;
    // The name column after its first character (the marker), trimmed.
    std::string NameAfterMarker() const;
    // The affinity text trimmed of spaces.
    std::string AffinityText() const;

    bool Favorite() const { return m_text.find('*') != std::string_view::npos; }
    bool Hidden() const { return m_text.find('<') != std::string_view::npos; }

private:
    std::string_view m_text;
};

} // namespace korvane::core
