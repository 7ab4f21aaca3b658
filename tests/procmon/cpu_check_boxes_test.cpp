#include "procmon/cpu_check_boxes.h"

#include <gtest/gtest.h>

namespace korvane::procmon {
namespace {

struct Boxes {
    forms::CheckBox box[4] = {forms::CheckBox("CPU 0"), forms::CheckBox("CPU 1"), forms::CheckBox("CPU 2"),
                              forms::CheckBox("CPU 3")};
    CpuCheckBoxes pointers{&box[0], &box[1], &box[2], &box[3]};
};

TEST(AffinityCheckBoxes, TextIsAscendingAndShowingATextTicksTheBoxesOfItsCpus)
{
    Boxes boxes;
    EXPECT_EQ(AffinityTextOfCheckBoxes(boxes.pointers), "");
    boxes.box[3].SetValue(1);
    boxes.box[0].SetValue(1);
    EXPECT_EQ(AffinityTextOfCheckBoxes(boxes.pointers), "03");

    ShowAffinityInCheckBoxes("013", boxes.pointers);
    EXPECT_EQ(boxes.box[0].Value(), 1);
    EXPECT_EQ(boxes.box[1].Value(), 1);
    EXPECT_EQ(boxes.box[2].Value(), 0);
    EXPECT_EQ(boxes.box[3].Value(), 1);
    ShowAffinityInCheckBoxes("?", boxes.pointers);
    EXPECT_EQ(AffinityTextOfCheckBoxes(boxes.pointers), "");
    // A CPU list ticks the boxes of the CPUs it names, not of the digits it is written with.
    for (const auto& [text, ticked] : {std::pair{"10-13", ""}, {"0-7", "0123"}, {"1,3,12", "13"}, {"2-5", "23"},
                                       {"5-3", ""}, {"12-12", ""}}) {
        ShowAffinityInCheckBoxes(text, boxes.pointers);
        EXPECT_EQ(AffinityTextOfCheckBoxes(boxes.pointers), ticked) << text;
    }

    boxes.box[2].SetEnabled(false);
    boxes.box[3].SetEnabled(false);
    EXPECT_EQ(AffinityTextOfEnabledBoxes(boxes.pointers), "01");
}

} // namespace
} // namespace korvane::procmon
