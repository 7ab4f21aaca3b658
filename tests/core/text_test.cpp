#include "core/text.h"

#include "core/list_row.h"

#include <gtest/gtest.h>

namespace korvane::core {
namespace {

TEST(Text, ProperCaseStartsWordsOnlyAfterWhiteSpaceAndNul)
{
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"SVCHOST.EXE", "Svchost.exe"},
        {"my-app.EXE", "My-app.exe"},
        {"two words.BIN", "Two Words.bin"},
        {"tab\tsep", "Tab\tSep"},
        {"\xc3\xa9t\xc3\xa9.exe", "\xc3\x89t\xc3\xa9.exe"},           // été -> Été
        {"\xd0\x9f\xd0\xa0\xd0\x98.EXE", "\xd0\x9f\xd1\x80\xd0\xb8.exe"}, // ПРИ -> При
        {"\xce\xbb\xcf\x8c\xce\xb3\xce\xbf\xcf\x82", "\xce\x9b\xcf\x8c\xce\xb3\xce\xbf\xcf\x82"}, // λόγος: ς stays
        {"\xe6\x97\xa5\xe6\x9c\xac.exe", "\xe6\x97\xa5\xe6\x9c\xac.exe"}, // 日本 has no case
        {"a\xff\xc3", "A\xff\xc3"},                                       // bytes that are no UTF-8 stay
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProperCase(c.in), c.out) << c.in;
    EXPECT_EQ(ProperCase(std::string("a\0b", 3)), std::string("A\0B", 3));
}

TEST(Text, LinesEndAtCrLfLfOrCrAndTheLastNeedsNoEnd)
{
    EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(SplitLines(""), std::vector<std::string>{});
    EXPECT_EQ(JoinLinesCrLf({"a", "b"}), "a\r\nb\r\n");
    EXPECT_EQ(JoinLinesCrLf({}), "");
}

TEST(Text, TrimRemovesSpacesOnlyAndReplaceIgnoresCase)
{
    EXPECT_EQ(Trim("  a b  "), "a b");
    EXPECT_EQ(Trim("\ta\t"), "\ta\t");
    EXPECT_EQ(Trim("    "), "");
    EXPECT_EQ(ReplaceAllIgnoreCase("\\SystemRoot\\x \\SYSTEMROOT\\y", "\\systemroot\\", "C:\\W\\"),
              "C:\\W\\x C:\\W\\y");
    EXPECT_EQ(RemoveAll("<*a*", '*'), "<a");
}

TEST(Text, InvisibleCharactersThatChangeHowANameIsShownBecomeQuestionMarks)
{
    // "Bash" whose name, shown right to left after the override, would read as another program.
    EXPECT_EQ(VisibleName("evil\u202Eexe.hsab"), "evil?exe.hsab");
    for (const char* hidden : {"\u061C", "\u200B", "\u200D", "\u200F", "\u202A", "\u202E", "\u2060", "\u2066",
                               "\u2069", "\uFEFF"})
        EXPECT_EQ(VisibleName(std::string("a") + hidden + "b"), "a?b") << hidden;
    EXPECT_EQ(VisibleName("tab\tname\x7F"), "tab?name?");
    // Letters of any script, and their neighbours in the same blocks, stay as they are.
    for (const char* shown : {"Кодировщик.exe", "Ελληνικά", "编码器", "e\u0301", "\u2010dash", "\u2065", "\u202F",
                              "\uFEFE", "\u061B"})
        EXPECT_EQ(VisibleName(shown), shown) << shown;
    // A sequence cut short at the end is kept, not read past.
    EXPECT_EQ(VisibleName("x\xE2\x80"), "x\xE2\x80");

    EXPECT_EQ(WithoutByteOrderMark("\xEF\xBB\xBFGame.exe"), "Game.exe");
    EXPECT_EQ(WithoutByteOrderMark("Game.exe\xEF\xBB\xBF"), "Game.exe\xEF\xBB\xBF");
}

TEST(ListRowFormat, NameFieldIsPaddedOrCutTo34AndTheAffinityFollows)
{
    EXPECT_EQ(ListRow::NameFieldOf("Notepad.exe") + "01", "Notepad.exe" + std::string(23, ' ') + "01");
    const std::string forty(40, 'x');
    const std::string row = ListRow::NameFieldOf(forty) + "0";
    EXPECT_EQ(row.size(), 35U);
    EXPECT_EQ(ListRow(row).Affinity(), "0");
    EXPECT_EQ(ListRow(row).NameField(), std::string(34, 'x'));
    EXPECT_EQ(ListRow("short").Affinity(), "");
    EXPECT_EQ(ListRow("").NameAfterMarker(), "");
}

TEST(ListRowFormat, MarkersGoInFrontOfTheNameColumnAndEachReadingDropsItsOwn)
{
    // A hidden favorite as the process list builds it: "*" first, then "<" in front of it.
    const std::string name = ListRow::NameFieldOf("Notepad.exe");
    const std::string row = ListRow::Marked('<', ListRow::Marked('*', name)) + " 013";
    ASSERT_EQ(row.size(), 38U);
    const ListRow parsed(row);
    EXPECT_TRUE(parsed.Favorite());
    EXPECT_TRUE(parsed.Hidden());
    EXPECT_EQ(parsed.Name(), "<*Notepad.exe");
    EXPECT_EQ(parsed.NameWithoutFavoriteMark(), "<Notepad.exe");
    EXPECT_EQ(parsed.NameWithoutHiddenMark(), "*Notepad.exe");
    EXPECT_EQ(parsed.BareName(), "Notepad.exe");
    EXPECT_EQ(parsed.NameAfterMarker(), "*Notepad.exe");
    EXPECT_EQ(parsed.Affinity(), " 013");
    EXPECT_EQ(parsed.AffinityText(), "013");

    // A full-width name loses its last characters to the markers, never the affinity column.
    const std::string full = ListRow::Marked('*', ListRow::NameFieldOf(std::string(34, 'n'))) + "0";
    EXPECT_EQ(ListRow(full).NameField(), "*" + std::string(33, 'n'));
    EXPECT_EQ(ListRow(full).Affinity(), "0");
    EXPECT_FALSE(ListRow(ListRow::Format("Calc.exe", "1")).Favorite());
}

} // namespace
} // namespace korvane::core
