#include "platform/forms/list_box.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace korvane::forms {
namespace {

std::vector<std::string> Rows(const ListBox& list)
{
    std::vector<std::string> rows;
    for (std::int32_t i = 0; i < list.ListCount(); ++i)
        rows.push_back(list.List(i));
    return rows;
}

TEST(ListBoxCollation, ClassesOrderSpacePunctuationDigitsLettersHighBytes)
{
    EXPECT_LT(CompareListText(" ", "*"), 0);
    EXPECT_LT(CompareListText("*", "<"), 0);
    EXPECT_LT(CompareListText("<", "0"), 0);
    EXPECT_LT(CompareListText("~", "0"), 0); // punctuation above letters in code still sorts first
    EXPECT_LT(CompareListText("_a", "a"), 0);
    EXPECT_LT(CompareListText("9", "a"), 0);
    EXPECT_LT(CompareListText("z", "\xc3\xa9"), 0);
    EXPECT_EQ(CompareListText("Calc.exe", "CALC.EXE"), 0);
    EXPECT_LT(CompareListText("abc", "abcd"), 0);
    EXPECT_LT(CompareListText("Abc.exe   0", "Abc.exe2  0"), 0);
}

TEST(ListBoxSorted, RowsTakeTheirPlaceAndEqualTextsKeepInsertionOrder)
{
    ListBox list(ListBoxKind::Sorted);
    list.AddItem("b");
    list.AddItem("*a");
    list.AddItem("<c");
    EXPECT_EQ(Rows(list), (std::vector<std::string>{"*a", "<c", "b"}));

    list.AddItem("B");
    EXPECT_EQ(list.NewIndex(), 3);
    list.SetItemData(3, 42);
    list.AddItem("a");
    EXPECT_EQ(list.NewIndex(), 2);
    EXPECT_EQ(Rows(list), (std::vector<std::string>{"*a", "<c", "a", "b", "B"}));
    EXPECT_EQ(list.ItemData(4), 42);
}

TEST(ListBoxSorted, CodeSelectionRunsClickOnceAndKeepsOneRow)
{
    ListBox list(ListBoxKind::Sorted);
    int clicks = 0;
    list.OnClick = [&] { ++clicks; };
    for (const char* text : {"c", "a", "b"})
        list.AddItem(text);
    list.SetSelected(1, true);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(list.ListIndex(), 1);
    list.SetListIndex(2);
    EXPECT_EQ(clicks, 2);
    EXPECT_FALSE(list.Selected(1));
    EXPECT_TRUE(list.Selected(2));

    list.AddItem("0"); // inserted above: the selected row moves down with the caret
    EXPECT_EQ(list.ListIndex(), 3);
    EXPECT_TRUE(list.Selected(3));
    list.RemoveItem(3);
    EXPECT_EQ(list.ListIndex(), -1);
    list.Clear();
    EXPECT_EQ(list.ListCount(), 0);
    EXPECT_EQ(clicks, 2);
}

TEST(ListBoxMultiSelect, KeepsAddOrderAndSeveralSelectedRows)
{
    ListBox list(ListBoxKind::MultiSelect);
    for (const char* text : {"z", "a", "m"})
        list.AddItem(text);
    EXPECT_EQ(Rows(list), (std::vector<std::string>{"z", "a", "m"}));
    list.SetSelected(0, true);
    list.SetSelected(2, true);
    EXPECT_TRUE(list.Selected(0));
    EXPECT_TRUE(list.Selected(2));
    list.RemoveItem(1);
    EXPECT_TRUE(list.Selected(0));
    EXPECT_TRUE(list.Selected(1));
}

TEST(ListBoxMultiSelect, UserClicksSelectToggleAndExtendButRightClickMovesNothing)
{
    ListBox list(ListBoxKind::MultiSelect);
    for (const char* text : {"a", "b", "c", "d"})
        list.AddItem(text);
    list.UserClickRow(1);
    list.UserClickRow(3, false, true);
    EXPECT_FALSE(list.Selected(0));
    EXPECT_TRUE(list.Selected(1) && list.Selected(2) && list.Selected(3));
    list.UserClickRow(2, true);
    EXPECT_FALSE(list.Selected(2));
    EXPECT_EQ(list.ListIndex(), 2);

    int button = 0;
    list.OnMouseUp = [&](int b, int, float, float) { button = b; };
    list.UserMouseUp(kRightButton, 0, 10.0F, 300.0F);
    EXPECT_EQ(button, kRightButton);
    EXPECT_EQ(list.ListIndex(), 2);
}

TEST(ListBoxFind, PrefixIgnoresCaseAndSearchesFromTheTop)
{
    ListBox list(ListBoxKind::MultiSelect);
    list.AddItem("Notepad.exe                       0");
    list.AddItem("Calc.exe                          01");
    list.AddItem("Calc.exe                          1");
    EXPECT_EQ(list.FindPrefix("CALC.EXE"), 1);
    EXPECT_EQ(list.FindPrefix("calc.exe   "), 1);
    EXPECT_EQ(list.FindPrefix("Calc.exe2"), -1);
    EXPECT_EQ(list.FindPrefix(""), 0);
    EXPECT_EQ(ListBox(ListBoxKind::Sorted).FindPrefix(""), -1);
}

TEST(ListBoxEvents, KeyDownHandlerCanSwallowTheKey)
{
    ListBox list(ListBoxKind::Sorted);
    EXPECT_EQ(list.UserKeyDown(40, 0), 40);
    list.OnKeyDown = [](int& key, int) { key = 0; };
    EXPECT_EQ(list.UserKeyDown(40, 0), 0);
}

TEST(ListBoxErrors, BadIndexesThrowAndLeaveTheListUnchanged)
{
    ListBox list(ListBoxKind::Sorted);
    list.AddItem("a");
    EXPECT_THROW(list.List(1), std::out_of_range);
    EXPECT_THROW(list.RemoveItem(-1), std::out_of_range);
    EXPECT_THROW(list.SetSelected(5, true), std::out_of_range);
    EXPECT_THROW(list.SetListIndex(2), std::out_of_range);
    EXPECT_EQ(list.ListCount(), 1);
}

TEST(ListBoxChanges, EveryVisibleChangeReachesTheFrontEnd)
{
    ListBox list(ListBoxKind::Sorted);
    int changes = 0;
    list.SetChangedHandler([&] { ++changes; });
    list.AddItem("a");
    list.SetVisible(false);
    list.Move(1, 2, 3, 4);
    list.Move(1, 2, 3, 4);
    list.Clear();
    EXPECT_EQ(changes, 4);
}

} // namespace
} // namespace korvane::forms
