#include "ui/program_icons.h"

#include <gtest/gtest.h>
#include <set>

namespace korvane::ui {
namespace {

TEST(PathRewrites, SystemPrefixesBecomeRealFolders)
{
    EXPECT_EQ(RewriteSystemPath("\\SystemRoot\\System32\\smss.exe", "C:\\Windows\\"),
              "C:\\Windows\\System32\\smss.exe");
    EXPECT_EQ(RewriteSystemPath("\\??\\C:\\Windows\\system32\\csrss.exe", ""), "C:\\Windows\\system32\\csrss.exe");
    EXPECT_EQ(RewriteSystemPath("/usr/bin/bash", ""), "/usr/bin/bash");
}

TEST(DummyIcon, IsASmallComputerInBlackGreyAndWhite)
{
    const image::Surface icon = DrawDummyIcon();
    ASSERT_EQ(icon.Width(), 16);
    for (int x = 0; x < 16; ++x)
        EXPECT_EQ(icon.Pixel(x, 15), image::kWhite); // 14 rows drawn, the rest white
    std::set<image::Color> colours(icon.Pixels().begin(), icon.Pixels().end());
    for (const image::Color c : colours) {
        EXPECT_EQ(image::RedOf(c), image::GreenOf(c));
        EXPECT_EQ(image::RedOf(c), image::BlueOf(c));
    }
    EXPECT_TRUE(colours.count(image::kBlack) && colours.count(image::kWhite));
}

} // namespace
} // namespace korvane::ui
