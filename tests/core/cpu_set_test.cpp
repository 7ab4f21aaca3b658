#include "core/cpu_set.h"

#include "core/affinity.h"

#include <gtest/gtest.h>

#include <random>

namespace korvane::core {
namespace {

CpuSet Of(std::initializer_list<int> cpus)
{
    CpuSet set;
    for (const int cpu : cpus)
        set.Add(cpu);
    return set;
}

TEST(CpuSet, SetOperationsAcrossWordsAndEqualityWhateverTheHistory)
{
    CpuSet set = CpuSet::Range(60, 70);
    EXPECT_EQ(set.Count(), 11);
    EXPECT_EQ(set.First(), 60);
    EXPECT_EQ(set.Next(63), 64);
    EXPECT_EQ(set.Highest(), 70);
    EXPECT_EQ(set.Next(70), -1);
    EXPECT_TRUE(set.Contains(64));
    EXPECT_FALSE(set.Contains(71));
    EXPECT_FALSE(set.Contains(-1));

    EXPECT_EQ(set & CpuSet::Range(0, 63), CpuSet::Range(60, 63));
    EXPECT_EQ((set & CpuSet::Range(0, 63)).Highest(), 63);
    EXPECT_EQ(CpuSet::Range(0, 1) | Of({1000}), Of({0, 1, 1000}));
    // A set emptied of its high CPUs equals one that never had them.
    CpuSet shrunk = Of({3, 900});
    shrunk.Remove(900);
    EXPECT_EQ(shrunk, Of({3}));
    EXPECT_EQ(shrunk.Highest(), 3);
    EXPECT_EQ(CpuSet::Range(0, 63).Count(), 64);
    EXPECT_EQ(CpuSet::Range(64, 127).First(), 64);
    EXPECT_TRUE(CpuSet::Range(5, 4).Empty());
    EXPECT_EQ(CpuSet().First(), -1);
    EXPECT_EQ(CpuSet::FromMask(0b1010).LowMask(), 0b1010U);
}

TEST(CpuSetText, DigitTextsInsideCpus0To3AndListsBeyond)
{
    const struct {
        CpuSet set;
        const char* text;
    } cases[] = {
        {CpuSet(), "?"},
        {Of({0}), "0"},
        {Of({0, 1, 3}), "013"},
        {CpuSet::Range(0, 3), "0123"},
        {Of({4}), "4"},
        {Of({0, 1, 4}), "0,1,4"},
        {CpuSet::Range(0, 7), "0-7"},
        {CpuSet::Range(0, 3) | CpuSet::Range(8, 11) | Of({16}), "0-3,8-11,16"},
        {CpuSet::Range(10, 13), "10-13"},
        {Of({12}), "12-12"}, // "12" is CPUs 1 and 2
        {Of({10}), "10-10"},
        {Of({100}), "100-100"},
        {Of({14}), "14"},
        {Of({1023}), "1023-1023"},
        {CpuSet::Range(0, 15), "0-15"},
        {Of({0, 2, 4, 6}), "0,2,4,6"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CpuSetText(c.set), c.text);
        EXPECT_EQ(CpuSetOfText(c.text), c.set) << c.text;
    }
    // The list form of any set, digit sets included.
    EXPECT_EQ(CpuListText(Of({2, 3})), "2,3");
    EXPECT_EQ(CpuListText(Of({12})), "12");
    EXPECT_EQ(CpuListText(CpuSet()), "");
    // Every specified text stays what it was.
    for (CpuMask mask = 0; mask < 16; ++mask)
        EXPECT_EQ(CpuSetText(CpuSet::FromMask(mask)), AffinityTextOfMask(mask));
}

TEST(CpuSetText, EverySetReadsBackAsItself)
{
    std::mt19937 random(20261209);
    for (int round = 0; round < 2000; ++round) {
        const int size = 1 + static_cast<int>(random() % 1024);
        const int density = 1 + static_cast<int>(random() % 8);
        CpuSet set;
        for (int cpu = 0; cpu < size; ++cpu) {
            if (random() % static_cast<unsigned>(density) == 0)
                set.Add(cpu);
        }
        const std::string text = CpuSetText(set);
        ASSERT_EQ(CpuSetOfText(text), set) << text;
    }
    CpuSet alternating;
    for (int cpu = 0; cpu < 1024; cpu += 2)
        alternating.Add(cpu);
    EXPECT_EQ(CpuSetOfText(CpuSetText(alternating)), alternating);
    EXPECT_EQ(CpuSetText(CpuSet::Range(0, 1023)), "0-1023");
}

TEST(CpuSetText, StoredTextsReadAsBeforeAndBadListsReadAsNothing)
{
    EXPECT_EQ(CpuSetOfText("12"), Of({1, 2}));
    EXPECT_EQ(CpuSetOfText("31"), Of({1, 3}));
    EXPECT_EQ(CpuSetOfText("x"), Of({0}));
    EXPECT_EQ(CpuSetOfText(""), CpuSet());
    for (const char* bad : {"5-3", "0,,1", "1,", "-4", "4-", "0-1-2"})
        EXPECT_EQ(CpuSetOfText(bad), std::nullopt) << bad;
}

TEST(TypedCpuSet, ReadsWhatTheUserMeansOrSaysWhyNot)
{
    EXPECT_EQ(ParseTypedCpuSet(" 0-3, 8 ", 15).set, CpuSet::Range(0, 3) | Of({8}));
    EXPECT_EQ(ParseTypedCpuSet("013", 15).set, Of({0, 1, 3}));
    EXPECT_EQ(ParseTypedCpuSet("12-12", 15).set, Of({12}));
    const struct {
        const char* text;
        const char* error;
    } bad[] = {
        {"5-3", "\"5-3\" runs backwards."},
        {"0,,1", "An empty place between commas."},
        {"x", "\"x\" is not part of a CPU list."},
        {"", "No CPU given."},
        {"  ", "No CPU given."},
        {"0-16", "CPU 16 is not on this machine, whose CPUs are 0 to 15."},
        {"0123", "CPU 3 is not on this machine, whose CPUs are 0 to 1."},
        {"99999999999", "\"99999999999\" is neither a CPU number nor a range of them."},
    };
    for (const auto& c : bad) {
        const TypedCpuSet typed = ParseTypedCpuSet(c.text, std::string_view(c.text) == "0123" ? 1 : 15);
        EXPECT_EQ(typed.set, std::nullopt) << c.text;
        EXPECT_EQ(typed.error, c.error) << c.text;
    }
}

} // namespace
} // namespace korvane::core
