#include "core/favorites_store.h"

#include "core/list_row.h"
#include "core/text.h"
#include "platform/fake/memory_file_system.h"
#include "ui/list_box_rows.h"

#include <gtest/gtest.h>

namespace korvane::core {
namespace {

constexpr const char* kFolder = "/opt/korvane/";
constexpr const char* kPath = "/opt/korvane/MyFav.Affinity";

std::string Row(const std::string& name, const std::string& affinity) { return ListRow::NameFieldOf(name) + affinity; }

class FavoritesStoreTest : public ::testing::Test {
protected:
    FavoritesStoreTest()
    {
        files.CreateFolder(kFolder);
        store.SetProgramFolder(kFolder);
    }

    std::vector<std::string> Names()
    {
        std::vector<std::string> names;
        for (std::int32_t i = 0; i < list2.ListCount(); ++i)
            names.push_back(ListRow(list2.List(i)).Name());
        return names;
    }

    platform::fake::MemoryFileSystem files;
    forms::ListBox list2{forms::ListBoxKind::MultiSelect};
    ui::ListBoxRows rows{list2};
    FavoritesStore store{rows, files};
};

TEST_F(FavoritesStoreTest, FirstRunHasNoFileNoRowsAndWritesNothing)
{
    store.LoadFavorites();
    EXPECT_EQ(list2.ListCount(), 0);
    EXPECT_EQ(store.FavoritesCaption(), "Favorites (0)");
    EXPECT_FALSE(store.FavoritesChanged());
    EXPECT_EQ(files.WriteCount(), 0);
}

TEST_F(FavoritesStoreTest, LoadTrimsLinesSkipsBlankOnesAndAcceptsEveryLineEnd)
{
    files.PutFile(kPath, Row("Calc.exe", "0") + "\r\n\r\n      \r\n  Zip.exe  1\nLast.exe 0");
    store.LoadFavorites();
    ASSERT_EQ(list2.ListCount(), 3);
    EXPECT_EQ(list2.List(0), Row("Calc.exe", "0"));
    EXPECT_EQ(list2.List(1), "Zip.exe  1");
    EXPECT_EQ(list2.List(2), "Last.exe 0");
    EXPECT_EQ(store.FavoritesCaption(), "Favorites (3)");
}

TEST_F(FavoritesStoreTest, GarbageFilesLoadWithoutLosingTheGoodRows)
{
    std::string content = Row("Good.exe", "01") + "\r\n";
    content += std::string(1 << 20, 'x') + "\r\n";             // a line of a megabyte
    content += std::string("Nul\0Name.exe", 12) + "   0\r\n"; // NUL bytes
    for (int c = 1; c < 256; ++c)
        content.push_back(static_cast<char>(c));               // not text at all
    content += "\r\n" + Row("Other.exe", "1");
    files.PutFile(kPath, content);

    store.LoadFavorites();
    EXPECT_EQ(list2.List(0), Row("Good.exe", "01"));
    EXPECT_EQ(list2.List(1).size(), std::size_t{1} << 20);
    EXPECT_EQ(list2.List(list2.ListCount() - 1), Row("Other.exe", "1"));
    EXPECT_TRUE(store.SaveFavorites());
    store.LoadFavorites();
    EXPECT_EQ(list2.List(0), Row("Good.exe", "01"));
    EXPECT_EQ(list2.List(list2.ListCount() - 1), Row("Other.exe", "1"));
}

TEST_F(FavoritesStoreTest, SaveWritesEveryRowWithCrLfAndAnEmptyStoreAsAnEmptyFile)
{
    list2.AddItem(Row("Notepad.exe", "01"));
    list2.AddItem(Row("Calc.exe", "0"));
    ASSERT_TRUE(store.SaveFavorites());
    EXPECT_EQ(files.Content(kPath), Row("Notepad.exe", "01") + "\r\n" + Row("Calc.exe", "0") + "\r\n");
    EXPECT_EQ(Row("Notepad.exe", "01").size(), 36U);

    list2.Clear();
    ASSERT_TRUE(store.SaveFavorites());
    EXPECT_EQ(files.Content(kPath), "");
}

TEST_F(FavoritesStoreTest, FailedSaveKeepsThePreviousFile)
{
    files.PutFile(kPath, Row("Old.exe", "0") + "\r\n");
    list2.AddItem(Row("New.exe", "1"));
    files.FailAllWrites(true);
    EXPECT_FALSE(store.SaveFavorites());
    EXPECT_EQ(files.Content(kPath), Row("Old.exe", "0") + "\r\n");
}

TEST_F(FavoritesStoreTest, OrdersByNameOrByAffinityGroupKeepingUnknownAffinitiesLast)
{
    for (const auto& row : {Row("Zz.exe", "0"), Row("Aa.exe", "01"), Row("Abc.exe2", "0"), Row("Abc.exe", "3"),
                            Row("Abcd.exe", "0123"), Row("Odd.exe", "?"), Row("Bad.exe", "10"), std::string("Short")})
        list2.AddItem(row);

    store.OrderFavorites(false);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Aa.exe", "Abc.exe", "Abc.exe2", "Abcd.exe", "Bad.exe", "Odd.exe",
                                                 "Short", "Zz.exe"}));
    store.OrderFavorites(true);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Abc.exe2", "Zz.exe", "Aa.exe", "Abc.exe", "Abcd.exe", "Bad.exe",
                                                 "Odd.exe", "Short"}));
    EXPECT_EQ(list2.ListCount(), 8);
    EXPECT_FALSE(store.FavoritesChanged());
}

TEST_F(FavoritesStoreTest, ReorderKeepsSelectedRowsSelectedWhereverTheyMoved)
{
    list2.AddItem(Row("Notepad.exe", "0"));
    list2.AddItem(Row("Calc.exe", "01"));
    list2.AddItem(Row("Zip.exe", "0"));
    list2.SetSelected(1, true);
    list2.SetSelected(2, true);

    store.OrderFavorites(true);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Notepad.exe", "Zip.exe", "Calc.exe"}));
    EXPECT_FALSE(list2.Selected(0));
    EXPECT_TRUE(list2.Selected(1));
    EXPECT_TRUE(list2.Selected(2));

    store.OrderFavorites(false);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Calc.exe", "Notepad.exe", "Zip.exe"}));
    EXPECT_TRUE(list2.Selected(0));
    EXPECT_FALSE(list2.Selected(1));
    EXPECT_TRUE(list2.Selected(2));
}

TEST_F(FavoritesStoreTest, MarkerLookupIgnoresCaseButTheExactLookupDoesNot)
{
    list2.AddItem(Row("NOTEPAD.EXE", "0"));
    EXPECT_TRUE(store.IsFavoriteNameField(ListRow::NameFieldOf("Notepad.exe")));
    EXPECT_FALSE(store.IsFavoriteNameField(ListRow::NameFieldOf("Notepad.ex")));
    EXPECT_FALSE(store.HasExactNameField(ListRow::NameFieldOf("Notepad.exe")));
    EXPECT_TRUE(store.HasExactNameField(ListRow::NameFieldOf("NOTEPAD.EXE")));
}

} // namespace
} // namespace korvane::core
