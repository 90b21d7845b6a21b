#include "decode/DibImage.h"

#include <gtest/gtest.h>

#include <vector>

namespace orvanel {
namespace {

constexpr uint32_t kBackground = 0xFF102030;

// A device area of width × height pixels at (left, top), filled with the background.
struct Surface {
    Surface(int32_t left, int32_t top, int32_t width, int32_t height)
        : pixels(size_t(width) * height, kBackground)
    {
        target.pixels = pixels.data();
        target.stride = size_t(width);
        target.clipBox = {left, top, left + width, top + height};
    }
    uint32_t At(int32_t x, int32_t y) const
    {
        return pixels[size_t(y - target.clipBox.top) * target.stride + size_t(x - target.clipBox.left)];
    }

    std::vector<uint32_t> pixels;
    DibDrawTarget target;
};

// A 3 × 2 picture whose pixel (x, row from top) has red 10 × x + row and blue 200.
CDibImage Picture()
{
    std::vector<uint8_t> bgr;
    for (int row = 0; row < 2; ++row) {
        for (int x = 0; x < 3; ++x)
            bgr.insert(bgr.end(), {200, 0, uint8_t(10 * x + row)});
        bgr.insert(bgr.end(), {0, 0, 0});
    }
    CDibImage image;
    image.CreateFromArray(bgr, 3, 2, 24, 12, true);
    return image;
}

uint32_t Colour(int x, int row)
{
    return 0xFF0000C8u | (uint32_t(10 * x + row) << 16);
}

TEST(DibDraw, NearestNeighbourAtOwnSizeAndWholeZoom)
{
    const CDibImage image = Picture();
    // Own size at (1, 1), given as -1 × -1; then eight times, each pixel an 8 × 8 square.
    const struct {
        int32_t x, y, cx, cy, zoom;
    } cases[] = {{1, 1, -1, -1, 1}, {0, 0, 24, 16, 8}};
    for (const auto& c : cases) {
        Surface s(0, 0, 26, 18);
        ASSERT_EQ(image.Draw(&s.target, c.x, c.y, c.cx, c.cy), 1);
        for (int y = 0; y < 2 * c.zoom; ++y)
            for (int x = 0; x < 3 * c.zoom; ++x)
                ASSERT_EQ(s.At(c.x + x, c.y + y), Colour(x / c.zoom, y / c.zoom)) << c.zoom << ": " << x << "," << y;
        EXPECT_EQ(s.At(3 * c.zoom + c.x, c.y), kBackground);
        EXPECT_EQ(s.target.painted.right, c.x + 3 * c.zoom);
        EXPECT_EQ(s.target.painted.bottom, c.y + 2 * c.zoom);
    }
}

TEST(DibDraw, ShrinkingSamplesByTheRatio)
{
    // Five columns drawn into two: fx = 2.5, columns floor(0) = 0 and floor(2.5) = 2.
    // Two rows into one: row floor(2 - 1 × 2) = 0 from the bottom, the lower row.
    std::vector<uint8_t> levels = {0, 1, 2, 3, 4, 0, 0, 0, 5, 6, 7, 8, 9, 0, 0, 0};
    CDibImage image;
    ASSERT_TRUE(image.CreateFromArray(levels, 5, 2, 8, 8, true));
    Surface s(0, 0, 2, 1);
    ASSERT_EQ(image.Draw(&s.target, 0, 0, 2, 1), 1);
    EXPECT_EQ(s.At(0, 0), 0xFF050505u);
    EXPECT_EQ(s.At(1, 0), 0xFF070707u);
}

TEST(DibDraw, PaintsOnlyInsideClipBoxAndClip)
{
    const CDibImage image = Picture();
    Surface s(10, 20, 2, 2); // the visible area starts inside the picture's rectangle
    ASSERT_EQ(image.Draw(&s.target, 9, 19, 3, 2), 1);
    EXPECT_EQ(s.At(10, 20), Colour(1, 1));
    EXPECT_EQ(s.At(11, 20), Colour(2, 1));
    EXPECT_EQ(s.At(10, 21), kBackground);
    EXPECT_EQ(s.target.painted.top, 20);
    EXPECT_EQ(s.target.painted.bottom, 21);

    Surface clipped(0, 0, 3, 2);
    const DibRect clip{2, 0, 3, 1};
    ASSERT_EQ(image.Draw(&clipped.target, 0, 0, 3, 2, &clip), 1);
    EXPECT_EQ(clipped.At(2, 0), Colour(2, 0));
    EXPECT_EQ(clipped.At(1, 0), kBackground);
    EXPECT_EQ(clipped.At(2, 1), kBackground);

    Surface away(100, 100, 2, 2);
    EXPECT_EQ(image.Draw(&away.target, 0, 0, 3, 2), 0);
    EXPECT_TRUE(away.target.painted.IsEmpty());
    // Nothing to draw: an empty image, a zero width or height, no target.
    EXPECT_EQ(CDibImage().Draw(&s.target, 0, 0, 4, 4) + image.Draw(&s.target, 0, 0, 0, 4)
            + image.Draw(&s.target, 0, 0, 4, 0) + image.Draw(nullptr, 0, 0, 4, 4), 0);
}

TEST(DibDraw, AlphaPlaneBlendsOverWhatIsThere)
{
    const uint8_t bgra[] = {0, 0, 255, 0, 0, 0, 255, 255, 0, 0, 255, 128};
    CDibImage image;
    ASSERT_TRUE(image.CreateFromArray(bgra, 3, 1, 32, 12, true));
    Surface s(0, 0, 3, 1);
    ASSERT_EQ(image.Draw(&s.target, 0, 0, 3, 1), 1);
    EXPECT_EQ(s.At(0, 0), kBackground);
    EXPECT_EQ(s.At(1, 0), 0xFFFF0000u);
    // Each channel (target × 127 + image × 128) / 256.
    EXPECT_EQ(s.At(2, 0), 0xFF000000u | ((0x10 * 127 + 255 * 128) / 256) << 16
            | ((0x20 * 127) / 256) << 8 | ((0x30 * 127) / 256));
}

} // namespace
} // namespace orvanel
