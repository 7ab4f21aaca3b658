#include "core/simple_array.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace korvane::core {
namespace {

std::vector<std::string> Items(const clsSimpleArray& list)
{
    std::vector<std::string> items;
    for (std::int32_t i = 0; i < list.ListCount(); ++i)
        items.push_back(list.List(i));
    return items;
}

clsSimpleArray SortedOf(std::initializer_list<const char*> texts)
{
    clsSimpleArray list;
    list.SetSorted(true);
    for (const char* text : texts)
        list.AddItem(text);
    return list;
}

TEST(SimpleArraySorting, IgnoresCaseKeepsEqualItemsInAddOrderAndPutsPrefixesFirst)
{
    EXPECT_EQ(Items(SortedOf({"b", "A", "c"})), (std::vector<std::string>{"A", "b", "c"}));
    EXPECT_EQ(Items(SortedOf({"abc", "ABC"})), (std::vector<std::string>{"abc", "ABC"}));
    EXPECT_EQ(Items(SortedOf({"abcd", "abc.exe", "abc"})), (std::vector<std::string>{"abc", "abc.exe", "abcd"}));
    EXPECT_EQ(Items(SortedOf({"a", "_a"})), (std::vector<std::string>{"_a", "a"}));
    // Bytes above ASCII are compared as unsigned codes and not case-mapped.
    EXPECT_EQ(Items(SortedOf({"\xc3\xa9", "z", "\xc3\x89"})),
              (std::vector<std::string>{"z", "\xc3\x89", "\xc3\xa9"}));
}

TEST(SimpleArraySorting, NewIndexReportsWhereEachItemWent)
{
    clsSimpleArray unsorted;
    EXPECT_EQ(unsorted.NewIndex(), -1);
    for (int i = 0; i < 5; ++i) {
        unsorted.AddItem("x");
        EXPECT_EQ(unsorted.NewIndex(), unsorted.ListCount() - 1);
    }
    clsSimpleArray sorted = SortedOf({"b", "d"});
    sorted.AddItem("c");
    EXPECT_EQ(sorted.NewIndex(), 1);
    sorted.SetItemData(1, 7);
    sorted.AddItem("a");
    EXPECT_EQ(sorted.NewIndex(), 0);
    EXPECT_EQ(sorted.ItemData(2), 7); // the datum moved with its item
    sorted.AddItem("a", 3);           // the sorted position wins over the caller's
    EXPECT_EQ(sorted.NewIndex(), 1);

    clsSimpleArray explicitIndex;
    explicitIndex.AddItem("a");
    explicitIndex.AddItem("c");
    explicitIndex.AddItem("b", 1);
    EXPECT_EQ(explicitIndex.NewIndex(), 1);
    EXPECT_EQ(Items(explicitIndex), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(SimpleArrayCapacity, GrowsBySixtyAndShrinksToTheItemsWhenMoreThanSixtyAreSpare)
{
    clsSimpleArray list;
    EXPECT_EQ(list.UpperBound(), -1);
    for (int i = 0; i < 61; ++i)
        list.AddItem("item" + std::to_string(i));
    EXPECT_EQ(list.UpperBound(), 60);
    list.AddItem("62nd");
    EXPECT_EQ(list.UpperBound(), 121);
    EXPECT_EQ(list.List(121), "");
    EXPECT_EQ(list.ItemData(100), 0);

    // 61 items in 122 slots: more than 60 are spare, so the storage shrinks to the items.
    list.RemoveItem(0);
    EXPECT_EQ(list.ListCount(), 61);
    EXPECT_EQ(list.UpperBound(), 60);
    EXPECT_EQ(list.List(0), "item1");
    EXPECT_EQ(list.NewIndex(), 60);
    list.RemoveItem(0);
    EXPECT_EQ(list.UpperBound(), 60);
    list.AddItem("fits");
    EXPECT_EQ(list.UpperBound(), 60);
    list.AddItem("grows");
    EXPECT_EQ(list.UpperBound(), 121);
}

TEST(SimpleArrayRemoval, RemovesShiftsAndReleasesWhenEmpty)
{
    clsSimpleArray two;
    two.AddItem("a");
    two.AddItem("b");
    two.RemoveItem(0);
    EXPECT_EQ(Items(two), std::vector<std::string>{"b"});
    EXPECT_EQ(two.List(0), "b");
    EXPECT_EQ(two.List(1), ""); // the freed slot is cleared

    clsSimpleArray three;
    for (const char* text : {"a", "b", "c"})
        three.AddItem(text);
    three.RemoveItem(99); // past the last item: the last item goes
    EXPECT_EQ(Items(three), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(three.NewIndex(), 1);

    clsSimpleArray one;
    one.AddItem("only");
    one.RemoveItem(5);
    EXPECT_EQ(one.ListCount(), 0);
    EXPECT_EQ(one.NewIndex(), -1);
    EXPECT_THROW(one.List(0), std::out_of_range);
    one.AddItem("back");
    EXPECT_EQ(one.UpperBound(), 60);
}

TEST(SimpleArrayErrors, IndexErrorsThrowAndChangeNothing)
{
    clsSimpleArray list;
    EXPECT_THROW(list.List(0), std::out_of_range);
    EXPECT_THROW(list.RemoveItem(0), std::out_of_range);
    list.AddItem("a");
    list.AddItem("b");
    EXPECT_THROW(list.RemoveItem(-1), std::out_of_range);
    EXPECT_THROW(list.List(61), std::out_of_range);
    EXPECT_THROW(list.SetItemData(-1, 1), std::out_of_range);
    EXPECT_THROW(list.AddItem("c", 5), std::out_of_range); // would leave a hole past the last item
    EXPECT_EQ(Items(list), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(list.NewIndex(), 1);
}

TEST(SimpleArrayFind, IsACaseFreeContainmentTestFromTheTop)
{
    clsSimpleArray list;
    EXPECT_FALSE(list.FindItem(""));
    EXPECT_EQ(list.NewIndex(), -1);
    for (const char* text : {"calc.exe", "notepad.exe", "pad.exe"})
        list.AddItem(text);
    EXPECT_TRUE(list.FindItem(""));
    EXPECT_EQ(list.NewIndex(), 0);
    EXPECT_TRUE(list.FindItem("PAD.EXE"));
    EXPECT_EQ(list.NewIndex(), 1);
    EXPECT_FALSE(list.FindItem("word"));
    EXPECT_EQ(list.NewIndex(), -1);
    list.Clear();
    EXPECT_EQ(list.ListCount(), 0);
    EXPECT_EQ(list.UpperBound(), -1);
}

} // namespace
} // namespace korvane::core
