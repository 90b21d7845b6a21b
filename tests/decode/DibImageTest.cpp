#include "archive/ByteOrder.h"
#include "decode/DibImage.h"
#include "tests/decode/DecodeTestSupport.h"

#include <gtest/gtest.h>

namespace orvanel {
namespace {

using test::PixelFromTop;

TEST(DibImage, CreateLaysOutHeaderPaletteAndPaddedRows)
{
    CDibImage image;
    EXPECT_FALSE(image.IsValid());
    ASSERT_NE(image.Create(3, 2, 24), nullptr);
    EXPECT_EQ(image.GetEffWidth(), 12u); // 9 bytes raised to a multiple of 4
    EXPECT_EQ(image.GetDib().size(), 40u + 24u);
    const uint8_t* h = image.GetDib().data();
    EXPECT_EQ(ReadLE32(h), 40u);
    EXPECT_EQ(ReadLE32(h + 4), 3u);
    EXPECT_EQ(ReadLE32(h + 8), 2u);
    EXPECT_EQ(ReadLE16(h + 12), 1u);
    EXPECT_EQ(ReadLE16(h + 14), 24u);
    EXPECT_EQ(ReadLE32(h + 20), 24u);
    EXPECT_EQ(ReadLE32(h + 24), 3780u);
    EXPECT_EQ(ReadLE32(h + 32), 0u);
    for (size_t i = 40; i < image.GetDib().size(); ++i)
        ASSERT_EQ(image.GetDib()[i], 0) << "pixel bytes start zeroed";

    ASSERT_NE(image.Create(5, 1, 8), nullptr);
    EXPECT_EQ(image.GetEffWidth(), 8u);
    EXPECT_EQ(ReadLE32(image.GetDib().data() + 32), 256u);
    EXPECT_EQ(image.GetBits() - image.GetDib().data(), 40 + 1024);

    ASSERT_NE(image.Create(2, 2, 32), nullptr);
    EXPECT_EQ(image.GetBpp(), 24u);
    ASSERT_NE(image.Create(2, 2, 3), nullptr);
    EXPECT_EQ(image.GetBpp(), 4u);
}

TEST(DibImage, CreateRefusesZeroAndAbsurdSizesAndLeavesImageEmpty)
{
    CDibImage image;
    ASSERT_NE(image.Create(4, 4, 24), nullptr);
    EXPECT_EQ(image.Create(0, 4, 24), nullptr);
    EXPECT_FALSE(image.IsValid());
    EXPECT_EQ(image.GetWidth(), 0u);
    EXPECT_EQ(image.GetBpp(), 0u);
    EXPECT_EQ(image.Create(4, 0, 8), nullptr);
    // Products that overflow 32 bits, and blocks of gigabytes, never reach an allocation.
    EXPECT_EQ(image.Create(0x80000001u, 0x80000001u, 24), nullptr);
    EXPECT_EQ(image.Create(0xFFFFFFFFu, 1, 8), nullptr);
    EXPECT_EQ(image.Create(100000, 100000, 24), nullptr);
    EXPECT_FALSE(image.IsValid());
}

TEST(DibImage, CreateFromArrayWithFlipPutsFirstSourceRowOnTop)
{
    const uint8_t rows[] = {10, 0, 20, 0, 30, 0}; // three rows of one pixel, 2 bytes per line
    CDibImage image;
    ASSERT_TRUE(image.CreateFromArray(rows, 1, 3, 8, 2, true));
    EXPECT_EQ(image.GetBits()[0], 30); // first row in memory is the bottom row
    EXPECT_EQ(image.GetBits()[2 * image.GetEffWidth()], 10);
    EXPECT_EQ(PixelFromTop(image, 0, 0), test::Grey(10)); // grey palette: entry i is i
    ASSERT_TRUE(image.CreateFromArray(rows, 1, 3, 8, 2, false));
    EXPECT_EQ(image.GetBits()[0], 10);

    const uint8_t nibbles[] = {0x0F};
    ASSERT_TRUE(image.CreateFromArray(nibbles, 2, 1, 4, 1, false));
    EXPECT_EQ(image.GetBits()[0], 0x0F);
    EXPECT_EQ(image.GetDib()[40 + 4 * 15], 255); // 16 entries in steps of 17
    EXPECT_EQ(image.GetDib()[40 + 4 * 1], 17);
}

TEST(DibImage, CreateFromArrayOf32BitsGivesColoursAndAlphaPlane)
{
    const uint8_t bgra[] = {1, 2, 3, 40, 5, 6, 7, 80};
    CDibImage image;
    ASSERT_TRUE(image.CreateFromArray(bgra, 2, 1, 32, 8, true));
    EXPECT_EQ(image.GetBpp(), 24u);
    EXPECT_EQ(PixelFromTop(image, 0, 0), 0x030201u);
    EXPECT_EQ(PixelFromTop(image, 1, 0), 0x070605u);
    ASSERT_EQ(image.GetAlpha().size(), 2u);
    EXPECT_EQ(image.GetAlpha()[0], 40);
    EXPECT_EQ(image.GetAlpha()[1], 80);

    image.AlphaSet(255);
    EXPECT_EQ(image.GetAlpha()[1], 255);
}

TEST(DibImage, CreateFromArrayRefusesBadDepthsAndShortSourcesUnchanged)
{
    const uint8_t six[6] = {1, 2, 3, 4, 5, 6};
    CDibImage image;
    ASSERT_TRUE(image.CreateFromArray(six, 2, 1, 24, 6, false));
    EXPECT_FALSE(image.CreateFromArray(six, 2, 1, 16, 4, false));
    EXPECT_FALSE(image.CreateFromArray({}, 2, 1, 8, 2, false));
    EXPECT_FALSE(image.CreateFromArray(six, 2, 2, 24, 6, false)); // needs 12 bytes
    EXPECT_FALSE(image.CreateFromArray(six, 2, 1, 32, 8, false)); // needs 8 bytes
    EXPECT_EQ(PixelFromTop(image, 1, 0), 0x060504u);
}

TEST(DibImage, GrayScaleWeighsRedGreenAndBlue)
{
    const uint8_t bgra[] = {0, 0, 255, 9, 0, 255, 0, 9, 255, 0, 0, 9};
    CDibImage image;
    ASSERT_TRUE(image.CreateFromArray(bgra, 3, 1, 32, 12, false));
    ASSERT_TRUE(image.GrayScale());
    EXPECT_EQ(image.GetBpp(), 8u);
    EXPECT_EQ(image.GetBits()[0], 76);
    EXPECT_EQ(image.GetBits()[1], 149);
    EXPECT_EQ(image.GetBits()[2], 29);
    EXPECT_EQ(image.GetAlpha().size(), 3u);

    const uint8_t nibbles[] = {0x1F};
    ASSERT_TRUE(image.CreateFromArray(nibbles, 2, 1, 4, 1, false));
    ASSERT_TRUE(image.GrayScale());
    EXPECT_EQ(image.GetBpp(), 8u);
    EXPECT_EQ(image.GetBits()[0], 17);
    EXPECT_EQ(image.GetBits()[1], 255);

    CDibImage empty;
    EXPECT_FALSE(empty.GrayScale());
}

TEST(DibImage, FlipReversesRowsAndAlphaRows)
{
    const uint8_t bgra[] = {1, 1, 1, 10, 2, 2, 2, 20};
    CDibImage image;
    ASSERT_TRUE(image.CreateFromArray(bgra, 1, 2, 32, 4, false));
    ASSERT_TRUE(image.Flip());
    EXPECT_EQ(image.GetBits()[0], 2);
    EXPECT_EQ(image.GetAlpha()[0], 20);
    EXPECT_EQ(image.GetAlpha()[1], 10);
    EXPECT_FALSE(CDibImage().Flip());

    CDibImage noAlpha;
    noAlpha.Create(1, 1, 24);
    noAlpha.AlphaSet(7);
    EXPECT_TRUE(noAlpha.GetAlpha().empty());
}

TEST(DibImage, SetPixelColorWritesInsideOnlyAndPicksNearestPaletteEntry)
{
    CDibImage image;
    ASSERT_NE(image.Create(2, 2, 24), nullptr);
    image.SetPixelColor(1, 0, {30, 20, 10, 0});
    image.SetPixelColor(2, 0, {255, 255, 255, 0});
    image.SetPixelColor(-1, 1, {255, 255, 255, 0});
    EXPECT_EQ(PixelFromTop(image, 1, 1), 0x0A141Eu); // y = 0 is the bottom row
    EXPECT_EQ(PixelFromTop(image, 0, 1), 0u);
    EXPECT_EQ(PixelFromTop(image, 0, 0), 0u);

    const uint8_t grey[] = {0, 0};
    ASSERT_TRUE(image.CreateFromArray(grey, 2, 1, 8, 2, false));
    image.SetPixelColor(0, 0, {100, 102, 104, 0});
    EXPECT_EQ(image.GetBits()[0], 102);
}

TEST(DibImage, SplitRGBAndCombineExchangeChannels)
{
    const uint8_t bgr[] = {1, 2, 3, 4, 5, 6};
    CDibImage image;
    ASSERT_TRUE(image.CreateFromArray(bgr, 2, 1, 24, 6, false));
    CDibImage r, g, b;
    ASSERT_TRUE(image.SplitRGB(&r, &g, &b));
    EXPECT_EQ(r.GetBpp(), 8u);
    EXPECT_EQ(r.GetBits()[1], 6);
    EXPECT_EQ(g.GetBits()[1], 5);
    EXPECT_EQ(b.GetBits()[1], 4);
    EXPECT_EQ(PixelFromTop(b, 0, 0), test::Grey(1));

    ASSERT_TRUE(image.Combine(&b, &g, &r));
    EXPECT_EQ(image.GetBpp(), 24u);
    EXPECT_EQ(PixelFromTop(image, 0, 0), 0x010203u);
    EXPECT_EQ(PixelFromTop(image, 1, 0), 0x040506u);
    EXPECT_TRUE(image.GetAlpha().empty());
    ASSERT_TRUE(image.Combine(&b, &g, &r, &g));
    EXPECT_EQ(image.GetAlpha()[1], 5);

    EXPECT_FALSE(image.SplitRGB(nullptr, nullptr, nullptr));
    EXPECT_FALSE(image.Combine(&r, nullptr, &b));
    CDibImage wider;
    wider.Create(3, 1, 8);
    EXPECT_FALSE(image.Combine(&r, &wider, &b));
    EXPECT_FALSE(image.Combine(&r, &image, &b)); // a 24-bit image has no pixel indices
}

TEST(DibImage, CopyTakesPixelsPaletteAndAlpha)
{
    const uint8_t bgra[] = {1, 2, 3, 44};
    CDibImage source;
    ASSERT_TRUE(source.CreateFromArray(bgra, 1, 1, 32, 4, false));
    CDibImage copy(source);
    EXPECT_TRUE(std::equal(copy.GetDib().begin(), copy.GetDib().end(), source.GetDib().begin(),
        source.GetDib().end()));
    ASSERT_EQ(copy.GetAlpha().size(), 1u);
    EXPECT_EQ(copy.GetAlpha()[0], 44);
    CDibImage without;
    ASSERT_TRUE(without.Copy(source, false, false));
    EXPECT_EQ(PixelFromTop(without, 0, 0), 0u);
    EXPECT_TRUE(without.GetAlpha().empty());
    EXPECT_FALSE(without.Copy(CDibImage()));
    EXPECT_FALSE(without.IsValid());
}

} // namespace
} // namespace orvanel
