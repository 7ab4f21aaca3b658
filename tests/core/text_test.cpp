#include "core/text.h"

#include "core/row_layout.h"

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
        {"\xc3\xa9t\xc3\xa9.exe", "\xc3\xa9t\xc3\xa9.exe"}, // UTF-8 passes through
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

TEST(RowLayout, NameFieldIsPaddedOrCutTo34AndTheAffinityFollows)
{
    EXPECT_EQ(NameField("Notepad.exe") + "01", "Notepad.exe" + std::string(23, ' ') + "01");
    const std::string forty(40, 'x');
    const std::string row = NameField(forty) + "0";
    EXPECT_EQ(row.size(), 35U);
    EXPECT_EQ(RowAffinity(row), "0");
    EXPECT_EQ(RowNameField(row), std::string(34, 'x'));
    EXPECT_EQ(RowAffinity("short"), "");
}

} // namespace
} // namespace korvane::core
