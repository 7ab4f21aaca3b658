#include "platform/image/bitmap_file.h"

#include <gtest/gtest.h>

namespace korvane::image {
namespace {

TEST(BitmapFile, RoundTripsEveryPixelOfAnOddSizedSurface)
{
    Surface surface(5, 3);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x)
            surface.SetPixel(x, y, Rgb(x * 40, y * 80, 200 - x));
    }
    const std::string bytes = EncodeBitmap(surface);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(bytes.size(), 14U + 40U + 3U * 16U); // rows padded to 4 bytes
    EXPECT_EQ(DecodeBitmap(bytes), surface);
    EXPECT_EQ(EncodeBitmap(Surface(16, 16)).size(), 14U + 40U + 16U * 48U);
}

TEST(BitmapFile, RefusesWhatIsNotAWholeSupportedBitmap)
{
    const std::string good = EncodeBitmap(Surface(16, 16, kWhite));
    EXPECT_EQ(DecodeBitmap(""), std::nullopt);
    EXPECT_EQ(DecodeBitmap("BM"), std::nullopt);
    EXPECT_EQ(DecodeBitmap(good.substr(0, good.size() - 1)), std::nullopt);
    std::string huge = good;
    huge[18] = '\xff';
    huge[19] = '\xff';
    huge[20] = '\xff';
    huge[21] = '\x7f';
    EXPECT_EQ(DecodeBitmap(huge), std::nullopt);
    std::string eightBit = good;
    eightBit[28] = 8;
    EXPECT_EQ(DecodeBitmap(eightBit), std::nullopt);
    std::string noise(900, '\x5a');
    noise[0] = 'B';
    noise[1] = 'M';
    EXPECT_EQ(DecodeBitmap(noise), std::nullopt);
}

TEST(Surface, BlockCopiesAreClippedOnBothSides)
{
    Surface source(4, 4, kWhite);
    source.SetPixel(0, 0, kMagenta);
    Surface target(3, 3, kBlack);
    target.BlockCopy(-1, -1, 4, 4, source, 0, 0);
    EXPECT_EQ(target.Pixel(0, 0), kWhite);
    EXPECT_EQ(target.Pixel(2, 2), kWhite);
    target.Clear(kBlack);
    target.BlockCopy(2, 2, 10, 10, source, 0, 0);
    EXPECT_EQ(target.Pixel(2, 2), kMagenta);
    EXPECT_EQ(target.Pixel(1, 1), kBlack);
    target.BlockCopy(0, 0, 3, 3, source, 10, 10); // entirely outside the source
    EXPECT_EQ(target.Pixel(2, 2), kMagenta);
    EXPECT_EQ(target.Pixel(-1, 0), kBlack);
}

} // namespace
} // namespace korvane::image
