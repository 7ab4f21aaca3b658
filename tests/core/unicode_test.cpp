#include "core/unicode.h"

#include "core/list_row.h"
#include "core/text.h"

#include <gtest/gtest.h>

namespace korvane::core {
namespace {

TEST(Unicode, InvalidBytesAreCharactersOfTheirOwnAndNothingIsLost)
{
    EXPECT_EQ(DecodeUtf8("\xd0\x96").codePoint, U'\u0416');
    EXPECT_EQ(DecodeUtf8("\xf0\x9f\x98\x80").length, 4U);
    for (const char* bad : {"\xc0\xaf", "\xed\xa0\x80", "\xe6\x97", "\x80", "\xf8\x88\x80\x80\x80"}) {
        const Utf8Character character = DecodeUtf8(bad);
        EXPECT_EQ(character.codePoint, U'\uFFFD') << bad;
        EXPECT_EQ(character.length, 1U) << bad;
    }
    std::string text;
    for (const char32_t c : {U'a', U'\u00e9', U'\u65e5', U'\U0001F600'})
        AppendUtf8(text, c);
    EXPECT_EQ(text, "a\xc3\xa9\xe6\x97\xa5\xf0\x9f\x98\x80");
    EXPECT_EQ(DisplayColumns(text), 1 + 1 + 2 + 2);
}

TEST(Unicode, CaseFoldsInEveryScriptANameIsWrittenIn)
{
    const struct {
        char32_t upper, lower;
    } pairs[] = {
        {U'A', U'a'},           {U'\u00c4', U'\u00e4'}, {U'\u0178', U'\u00ff'}, {U'\u0141', U'\u0142'},
        {U'\u0100', U'\u0101'}, {U'\u0391', U'\u03b1'}, {U'\u03a3', U'\u03c3'}, {U'\u0386', U'\u03ac'},
        {U'\u038f', U'\u03ce'}, {U'\u0401', U'\u0451'}, {U'\u042f', U'\u044f'}, {U'\u0490', U'\u0491'},
        {U'\u0531', U'\u0561'}, {U'\u10a0', U'\u2d00'}, {U'\uff21', U'\uff41'}, {U'\u1e9e', U'\u00df'},
    };
    for (const auto& pair : pairs) {
        EXPECT_EQ(FoldCase(pair.upper), pair.lower) << static_cast<unsigned>(pair.upper);
        EXPECT_EQ(FoldCase(pair.lower), pair.lower) << static_cast<unsigned>(pair.lower);
        if (pair.upper != U'\u1e9e') {
            EXPECT_EQ(UpperCase(pair.lower), pair.upper) << static_cast<unsigned>(pair.lower);
        }
    }
    EXPECT_EQ(FoldCase(U'\u03c2'), U'\u03c3'); // final sigma folds as sigma
    EXPECT_EQ(FoldCase(U'\u00d7'), U'\u00d7'); // the multiplication sign has no case
    EXPECT_EQ(FoldCase(U'\u65e5'), U'\u65e5');
    // A name the file system sees as one is one name here.
    EXPECT_EQ(ProperCase("\xd0\x98\xd0\x93\xd0\xa0\xd0\x90.EXE"), ProperCase("\xd0\xb8\xd0\xb3\xd1\x80\xd0\xb0.exe"));
    EXPECT_EQ(ProperCase("\xc3\x84RGER.exe"), ProperCase("\xc3\xa4rger.EXE"));
}

TEST(ListRowColumns, TheNameColumnHolds34ColumnsOfWholeCharacters)
{
    // 20 Cyrillic letters: 40 bytes, 20 columns, padded to 34.
    std::string cyrillic;
    for (int i = 0; i < 20; ++i)
        cyrillic += "\xd0\x96";
    std::string row = ListRow::Format(cyrillic, "0-3");
    EXPECT_EQ(ListRow(row).Name(), cyrillic);
    EXPECT_EQ(ListRow(row).AffinityText(), "0-3");
    EXPECT_EQ(DisplayColumns(ListRow(row).NameField()), 34);

    // 40 Cyrillic letters are cut at 34, between characters.
    const std::string longName = cyrillic + cyrillic;
    row = ListRow::Format(longName, "1");
    EXPECT_EQ(ListRow(row).Name(), longName.substr(0, 68));
    EXPECT_EQ(ListRow(row).Affinity(), "1");

    // Wide characters take two columns: 17 fill the column; with one narrow letter first the
    // 17th no longer fits and a space keeps the affinity aligned.
    std::string wide;
    for (int i = 0; i < 17; ++i)
        wide += "\xe6\x97\xa5";
    EXPECT_EQ(ListRow::NameFieldOf(wide), wide);
    const std::string field = ListRow::NameFieldOf("a" + wide);
    EXPECT_EQ(field, "a" + wide.substr(0, 48) + " ");
    EXPECT_EQ(DisplayColumns(field), 34);

    // A combining mark stays with its letter, at the end of the column too.
    const std::string marked = std::string(33, 'x') + "e\xcc\x81" + "zz";
    EXPECT_EQ(ListRow::NameFieldOf(marked), std::string(33, 'x') + "e\xcc\x81");
    EXPECT_EQ(ListRow(ListRow::Format(marked, "2")).AffinityText(), "2");
}

TEST(ListRowSpoken, SaysTheNameTheCpusAndTheMarks)
{
    EXPECT_EQ(ListRow(ListRow::Format("*Encoder.exe", "0123")).Spoken(), "Encoder.exe, CPUs 0 to 3, favorite");
    EXPECT_EQ(ListRow(ListRow::Format("<Tool", "0-2,5,8-9")).Spoken(), "Tool, CPUs 0 to 2, 5, 8, 9, hidden");
    EXPECT_EQ(ListRow(ListRow::Format("Game", "1")).Spoken(), "Game, CPU 1");
    EXPECT_EQ(ListRow("Short").Spoken(), "Short");
}

TEST(ListRowColumns, RowsOf34BytesAreReadAgainAsColumnsAndAsciiRowsStayAsTheyAre)
{
    // "Игра.exe" padded to 34 bytes (12 bytes of name) as written before, then its affinity.
    const std::string old = "\xd0\x98\xd0\xb3\xd1\x80\xd0\xb0.exe" + std::string(22, ' ') + "0123";
    const std::string row = ListRow::Normalized(old);
    EXPECT_EQ(row, ListRow::Format("\xd0\x98\xd0\xb3\xd1\x80\xd0\xb0.exe", "0123"));
    EXPECT_EQ(ListRow::Normalized(row), row);
    EXPECT_EQ(ListRow::Normalized("NOTEPAD.EXE  01"), "NOTEPAD.EXE  01");
    EXPECT_EQ(ListRow::Normalized("\xd0\xb8\xd0\xb3\xd1\x80\xd0\xb0.exe"), "\xd0\x98\xd0\xb3\xd1\x80\xd0\xb0.exe");
}

} // namespace
} // namespace korvane::core
