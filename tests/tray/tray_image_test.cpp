#include "tray/tray_image.h"

#include "support/fake_form.h"

#include <gtest/gtest.h>

namespace korvane::tray {
namespace {

using image::Surface;

// "#" for a black pixel, "." for magenta, of one 16 x 32 cell.
std::vector<std::string> Cell(const Surface& s, int x0, int width = 16)
{
    std::vector<std::string> rows;
    for (int y = 0; y < 32; ++y) {
        std::string row;
        for (int x = 0; x < width; ++x)
            row += s.Pixel(x0 + x, y) == image::kBlack ? '#' : (s.Pixel(x0 + x, y) == kTransparent ? '.' : '?');
        rows.push_back(row);
    }
    return rows;
}

TEST(TraySources, DigitsAreSevenSegmentGlyphsInTheirCells)
{
    const Surface num = DrawNumSrc();
    ASSERT_EQ(num.Width(), 192);
    const auto eight = Cell(num, 128);
    EXPECT_EQ(eight[0], "................");
    EXPECT_EQ(eight[2], "##############..");
    EXPECT_EQ(eight[4], "##..........##..");
    EXPECT_EQ(eight[15], "##############..");
    EXPECT_EQ(eight[20], "##..........##..");
    EXPECT_EQ(eight[29], "##############..");
    EXPECT_EQ(eight[31], "................");
    const auto zero = Cell(num, 0);
    EXPECT_EQ(zero[15], "##..........##..");
    EXPECT_EQ(zero[3], "##############..");
    const auto one = Cell(num, 16);
    for (int y = 2; y <= 29; ++y)
        EXPECT_EQ(one[static_cast<std::size_t>(y)], "......##........");
    const auto four = Cell(num, 64);
    EXPECT_EQ(four[2], "##..........##..");
    EXPECT_EQ(four[16], "............##..");
    EXPECT_EQ(four[29], "............##..");
    const auto seven = Cell(num, 112);
    EXPECT_EQ(seven[3], "##############..");
    EXPECT_EQ(seven[15], "............##..");
    const auto nine = Cell(num, 144);
    EXPECT_EQ(nine[28], "............##..");
    const auto hundred = Cell(num, 158, 32);
    EXPECT_EQ(hundred[2], "..##..############..############");
    EXPECT_EQ(hundred[15], "..##..##........##..##........##");
    EXPECT_EQ(hundred[30], "................................");

    const Surface box = DrawTrayColorSrc();
    EXPECT_EQ(box.Pixel(15, 1), image::kBlack);
    EXPECT_EQ(box.Pixel(15, 31), image::kBlack);
    EXPECT_EQ(box.Pixel(1, 15), image::kBlack);
    EXPECT_EQ(box.Pixel(30, 15), image::kBlack);
    EXPECT_EQ(box.Pixel(2, 2), kFillMarker);
    EXPECT_EQ(box.Pixel(29, 30), kFillMarker);
}

struct TrayFixture : ::testing::Test {
    TrayFixture() : image(colurPik, swatch, p2) {}
    std::array<forms::MenuItem, 8> colurPik;
    forms::PictureBox swatch;
    forms::PictureBox p2;
    TrayImage image;
};

TEST_F(TrayFixture, GraphModeFillsTheBoxFromTheBottom)
{
    image.ColurPik_Click(5); // red: the box as drawn
    EXPECT_EQ(image.TrayColor(), DrawTrayColorSrc());

    const auto empty = image.ComposeTrayIcon(0, false);
    ASSERT_TRUE(empty.has_value());
    for (int y = 2; y <= 30; ++y)
        EXPECT_TRUE(empty->Transparent(15, y));
    EXPECT_FALSE(empty->Transparent(0, 15));
    EXPECT_EQ(empty->color.Pixel(15, 15), image::kBlack); // transparent pixels are black

    const auto half = image.ComposeTrayIcon(50, false);
    EXPECT_TRUE(half->Transparent(15, 15));
    for (int y = 16; y <= 30; ++y) {
        EXPECT_FALSE(half->Transparent(15, y));
        EXPECT_EQ(half->color.Pixel(15, y), kFillMarker);
    }

    const auto full = image.ComposeTrayIcon(100, false);
    EXPECT_EQ(full->color, DrawTrayColorSrc());
    EXPECT_TRUE(std::all_of(full->mask.begin(), full->mask.end(), [](auto m) { return m == 0; }));
    EXPECT_EQ(p2.Picture(), DrawTrayColorSrc());
}

TEST_F(TrayFixture, NumberModeShowsTwoDigitsOrTheHundredBlock)
{
    image.ColurPik_Click(0); // black digits stay black
    EXPECT_EQ(image.Nums(), DrawNumSrc());
    const Surface num = DrawNumSrc();

    const auto five = image.ComposeTrayIcon(5.2, true);
    Surface expected(32, 32);
    expected.BlockCopy(0, 0, 16, 32, num, 0, 0);
    expected.BlockCopy(16, 0, 16, 32, num, 80, 0);
    EXPECT_EQ(p2.Picture(), expected);
    EXPECT_EQ(five->color.Pixel(2, 2), image::kBlack);
    EXPECT_FALSE(five->Transparent(2, 2));
    EXPECT_TRUE(five->Transparent(5, 10));

    image.ComposeTrayIcon(99.6, true);
    expected.BlockCopy(0, 0, 32, 32, num, 158, 0);
    EXPECT_EQ(p2.Picture(), expected);
    image.ComposeTrayIcon(42.4, true);
    expected.BlockCopy(0, 0, 16, 32, num, 64, 0);
    expected.BlockCopy(16, 0, 16, 32, num, 32, 0);
    EXPECT_EQ(p2.Picture(), expected);
}

TEST_F(TrayFixture, ColoursRecolourTheWorkingPicturesAndPurpleStaysOpaque)
{
    image.ColurPik_Click(4);
    int ticked = 0;
    for (const auto& item : colurPik)
        ticked += item.Checked() ? 1 : 0;
    EXPECT_EQ(ticked, 1);
    EXPECT_TRUE(colurPik[4].Checked());
    EXPECT_EQ(swatch.BackColor(), 0xFE00FEU);
    EXPECT_EQ(swatch.Tag(), "4");
    const auto purple = image.ComposeTrayIcon(100, false);
    EXPECT_FALSE(purple->Transparent(15, 15));
    EXPECT_EQ(purple->color.Pixel(15, 15), 0xFE00FEU);
    const auto digits = image.ComposeTrayIcon(88, true);
    EXPECT_EQ(digits->color.Pixel(2, 2), 0xFE00FEU);
    EXPECT_FALSE(digits->Transparent(2, 2));

    image.ColurPik_Click(3);
    EXPECT_FALSE(colurPik[4].Checked());
    EXPECT_EQ(image.EmptyBox().Pixel(10, 10), kTransparent);
    EXPECT_EQ(image.NumSrc(), DrawNumSrc()); // the sources never change
}

TEST(IconConversion, ASmallerTrayIconKeepsEveryOnePixelStrokeAndTheFrameOverTheFill)
{
    // Three one-pixel strokes at odd columns, which taking every other pixel would drop, and a
    // box with a black frame around a red fill.
    image::Surface picture(32, 32, image::kMagenta);
    for (int y = 2; y < 14; ++y) {
        for (const int x : {5, 11, 17})
            picture.SetPixel(x, y, image::Rgb(255, 255, 0));
    }
    for (int i = 16; i < 32; ++i) {
        for (int j = 16; j < 32; ++j)
            picture.SetPixel(i, j, i == 17 || i == 31 || j == 17 || j == 31 ? image::kBlack : image::Rgb(255, 0, 0));
    }
    const image::Icon icon = *BitmapToIcon(picture, image::kMagenta);
    for (const int size : {16, 20, 24}) {
        SCOPED_TRACE(size);
        const image::Icon small = ShrinkIcon(icon, size);
        ASSERT_EQ(small.color.Width(), size);
        ASSERT_EQ(small.color.Height(), size);
        // Across the row at a third of the height: three separate yellow strokes.
        const int y = size / 4;
        int strokes = 0;
        for (int x = 0; x < size; ++x) {
            const bool ink = !small.Transparent(x, y);
            if (ink) {
                EXPECT_EQ(small.color.Pixel(x, y), image::Rgb(255, 255, 0));
                if (x == 0 || small.Transparent(x - 1, y))
                    ++strokes;
            }
        }
        EXPECT_EQ(strokes, 3);
        // The frame stays black where it meets the fill; the fill stays red inside.
        EXPECT_EQ(small.color.Pixel(size - 1, size - 1), image::kBlack);
        EXPECT_EQ(small.color.Pixel(size * 3 / 4, size * 3 / 4), image::Rgb(255, 0, 0));
        EXPECT_TRUE(small.Transparent(0, size - 1));
    }
    // No larger: the icon as it is.
    EXPECT_EQ(ShrinkIcon(icon, 32).mask, icon.mask);
    EXPECT_EQ(ShrinkIcon(icon, 48).color.Width(), 32);
}

TEST(IconConversion, MaskMarksExactlyTheTransparentColour)
{
    Surface s(3, 1);
    s.SetPixel(0, 0, kTransparent);
    s.SetPixel(1, 0, 0xFE00FE);
    s.SetPixel(2, 0, image::kWhite);
    const auto icon = BitmapToIcon(s, kTransparent);
    ASSERT_TRUE(icon.has_value());
    EXPECT_EQ(icon->mask, (std::vector<std::uint8_t>{1, 0, 0}));
    EXPECT_EQ(icon->color.Pixel(0, 0), image::kBlack);
    EXPECT_EQ(BitmapToIcon(Surface(), kTransparent), std::nullopt);
    EXPECT_EQ(CreateMaskBitmap(s, 0, 0, 0, 1, kTransparent), std::nullopt);
    EXPECT_EQ(CopyBitmap(s, 0, 6, 2, 4)->Pixel(5, 1), image::kWhite);
}

TEST(TrayTick, EveryUsageTickPutsTheComposedIconIntoTheTray)
{
    test::FakeForm f(2);
    f.counters.SetUsage(0, 50);
    f.counters.SetUsage(1, 50);
    f.Start();
    f.Run(500);
    const auto& current = f.tray.Current();
    ASSERT_TRUE(current.has_value());
    EXPECT_EQ(current->Tip(), "Korvane By Brannock");
    for (int y = 16; y <= 30; ++y)
        EXPECT_EQ(current->hIcon->color.Pixel(15, y), kFillMarker); // the default colour is red
    EXPECT_TRUE(current->hIcon->Transparent(15, 15));
}

} // namespace
} // namespace korvane::tray
