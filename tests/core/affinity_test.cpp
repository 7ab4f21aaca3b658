#include "core/affinity.h"

#include "platform/fake/fixed_processor_info.h"

#include <gtest/gtest.h>

namespace korvane::core {
namespace {

TEST(AffinityText, EveryMaskHasTheTextOfItsBitsAndHighBitsMakeAList)
{
    const struct {
        CpuMask mask;
        const char* text;
    } cases[] = {
        {0, "?"}, {1, "0"}, {10, "13"}, {15, "0123"}, {12, "23"},
        {0xFF, "0-7"}, {0x12, "1,4"}, {0x21, "0,5"}, {0xF0, "4-7"}, {0x80000000U, "31-31"}, {0x1000, "12-12"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AffinityTextOfMask(c.mask), c.text) << c.mask;

    for (CpuMask mask = 1; mask < 16; ++mask) {
        std::string expected;
        for (int bit = 0; bit < 4; ++bit) {
            if ((mask >> bit) & 1U)
                expected.push_back(static_cast<char>('0' + bit));
        }
        EXPECT_EQ(AffinityTexts()[mask], expected);
        EXPECT_EQ(MaskOfAffinityText(expected), mask);
    }
}

TEST(AffinityText, TextsConvertDigitByDigitInAnyOrder)
{
    const struct {
        const char* text;
        CpuMask mask;
    } cases[] = {
        {"?", 1}, {"3", 8}, {"03", 9}, {"30", 9}, {"0033", 9}, {"x2", 5}, {"", 0},
        {"4", 0}, {"0459", 1}, {"13", 10},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MaskOfAffinityText(c.text), c.mask) << c.text;
}

TEST(AffinityText, SplitMaskBitsListsSetBitsLowestFirst)
{
    EXPECT_EQ(SplitMaskBits(15), (std::vector<std::int32_t>{1, 2, 4, 8}));
    EXPECT_EQ(SplitMaskBits(0), std::vector<std::int32_t>{});
    EXPECT_EQ(SplitMaskBits(static_cast<std::int32_t>(0x80000001U)),
              (std::vector<std::int32_t>{1, INT32_MIN}));
}

TEST(AffinityCpus, MaxCpuIndexIsCountMinusOneAtMostThree)
{
    const struct {
        int count;
        std::int16_t maxIndex;
    } cases[] = {{1, 0}, {2, 1}, {4, 3}, {8, 3}, {256, 3}, {0, 0}};
    for (const auto& c : cases) {
        platform::fake::FixedProcessorInfo processors(c.count);
        EXPECT_EQ(DetectMaxCpuIndex(processors), c.maxIndex) << c.count;
    }
}

} // namespace
} // namespace korvane::core
