#include "archive/ByteOrder.h"
#include "decode/DibImage.h"
#include "tests/decode/DecodeTestSupport.h"

#include <gtest/gtest.h>

namespace orvanel {
namespace {

using test::PixelFromTop;

TEST(DibImage, CreateLaysOutHeaderPaletteAndPaddedRows)
{
    const struct {
        uint32_t width, bits;
        uint16_t bpp;
        uint32_t stride, colours;
    } cases[] = {
        {3, 24, 24, 12, 0}, // 9 bytes raised to a multiple of 4
        {5, 8, 8, 8, 256},
        {2, 32, 24, 8, 0},
        {9, 3, 4, 8, 16},
        {9, 1, 1, 4, 2},
    };
    CDibImage image;
    for (const auto& c : cases) {
        ASSERT_NE(image.Create(c.width, 2, c.bits), nullptr) << c.bits;
        EXPECT_EQ(image.GetBpp(), c.bpp);
        EXPECT_EQ(image.GetEffWidth(), c.stride) << c.width << "x" << c.bits;
        const uint8_t* h = image.GetDib().data();
        EXPECT_EQ(ReadLE32(h), 40u);
        EXPECT_EQ(ReadLE32(h + 4), c.width);
        EXPECT_EQ(ReadLE32(h + 8), 2u);
        EXPECT_EQ(ReadLE16(h + 14), c.bpp);
        EXPECT_EQ(ReadLE32(h + 20), 2 * c.stride);
        EXPECT_EQ(ReadLE32(h + 24), 3780u);
        EXPECT_EQ(ReadLE32(h + 32), c.colours);
        EXPECT_EQ(image.GetBits() - h, ptrdiff_t(40 + 4 * c.colours));
    }
}

TEST(DibImage, CreateRefusesZeroAndAbsurdSizesAndLeavesImageEmpty)
{
    // Products that overflow 32 bits, and blocks of gigabytes, never reach an allocation.
    const uint32_t sizes[][2] = {{0, 4}, {4, 0}, {0x80000001u, 0x80000001u}, {0xFFFFFFFFu, 1}, {100000, 100000}};
    for (const auto& size : sizes) {
        CDibImage image;
        ASSERT_NE(image.Create(4, 4, 24), nullptr);
        EXPECT_EQ(image.Create(size[0], size[1], 24), nullptr) << size[0] << "x" << size[1];
        EXPECT_FALSE(image.IsValid());
        EXPECT_EQ(image.GetWidth(), 0u);
        EXPECT_EQ(image.GetBpp(), 0u);
    }
}

TEST(DibImage, CreateFromArrayPlacesRowsGivesGreyPaletteAndAlpha)
{
    const uint8_t rows[] = {10, 0, 20, 0, 30, 0}; // three rows of one pixel, 2 bytes per line
    CDibImage image;
    ASSERT_TRUE(image.CreateFromArray(rows, 1, 3, 8, 2, true));
    EXPECT_EQ(image.GetBits()[0], 30); // first row in memory is the bottom row
    EXPECT_EQ(PixelFromTop(image, 0, 0), test::Grey(10)); // grey palette: entry i is i
    ASSERT_TRUE(image.CreateFromArray(rows, 1, 3, 8, 2, false));
    EXPECT_EQ(image.GetBits()[0], 10);

    const uint8_t nibbles[] = {0x0F};
    ASSERT_TRUE(image.CreateFromArray(nibbles, 2, 1, 4, 1, false));
    EXPECT_EQ(image.GetDib()[40 + 4 * 1], 17); // 16 entries in steps of 17

    const uint8_t bgra[] = {1, 2, 3, 40, 5, 6, 7, 80};
    ASSERT_TRUE(image.CreateFromArray(bgra, 2, 1, 32, 8, true));
    EXPECT_EQ(image.GetBpp(), 24u);
    EXPECT_EQ(PixelFromTop(image, 1, 0), 0x070605u);
    EXPECT_EQ(std::vector<uint8_t>(image.GetAlpha().begin(), image.GetAlpha().end()), (std::vector<uint8_t>{40, 80}));
    image.AlphaSet(255);
    EXPECT_EQ(image.GetAlpha()[1], 255);

    // Bad depths and short sources leave the image as it was.
    EXPECT_FALSE(image.CreateFromArray(bgra, 2, 1, 16, 4, false));
    EXPECT_FALSE(image.CreateFromArray({}, 2, 1, 8, 2, false));
    EXPECT_FALSE(image.CreateFromArray(bgra, 2, 2, 24, 6, false)); // needs 12 bytes
    EXPECT_FALSE(image.CreateFromArray(std::span(bgra).first(7), 2, 1, 32, 8, false));
    EXPECT_EQ(PixelFromTop(image, 1, 0), 0x070605u);

    // Grey levels weigh red, green and blue.
    const uint8_t primaries[] = {0, 0, 255, 9, 0, 255, 0, 9, 255, 0, 0, 9};
    ASSERT_TRUE(image.CreateFromArray(primaries, 3, 1, 32, 12, false));
    ASSERT_TRUE(image.GrayScale());
    EXPECT_EQ(image.GetBpp(), 8u);
    EXPECT_EQ(std::vector<uint8_t>(image.GetBits(), image.GetBits() + 3), (std::vector<uint8_t>{76, 149, 29}));
    EXPECT_EQ(image.GetAlpha().size(), 3u);
    EXPECT_FALSE(CDibImage().GrayScale());
}

} // namespace
} // namespace orvanel
