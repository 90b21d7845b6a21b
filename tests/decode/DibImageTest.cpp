// The image buffer: its layout, drawing, and the BMP, PNG and JPEG files it writes and reads.
#include "decode/DibImage.h"
#include "archive/ByteOrder.h"
#include "decode/PngFile.h"
#include "tests/decode/DecodeTestSupport.h"
#include "tests/support/PngReadBack.h"
#include "writer/RecordBuilders.h"
#include "writer/TempDir.h"

#include <gtest/gtest.h>

#include <vector>

namespace orvanel {
namespace {

using fixture::CTempDir;
using test::PixelFromTop;
using writer::EncodeJPEG;

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
    const uint32_t sizes[][2] = {
        {0, 4}, {4, 0}, {0x80000001u, 0x80000001u}, {0xFFFFFFFFu, 1}, {100000, 100000}};
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
    EXPECT_EQ(image.GetBits()[0], 30);                    // first row in memory is the bottom row
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
    EXPECT_EQ(std::vector<uint8_t>(image.GetAlpha().begin(), image.GetAlpha().end()),
        (std::vector<uint8_t> {40, 80}));
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
    EXPECT_EQ(
        std::vector<uint8_t>(image.GetBits(), image.GetBits() + 3), (std::vector<uint8_t> {76, 149, 29}));
    EXPECT_EQ(image.GetAlpha().size(), 3u);
    EXPECT_FALSE(CDibImage().GrayScale());
}

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
                ASSERT_EQ(s.At(c.x + x, c.y + y), Colour(x / c.zoom, y / c.zoom))
                    << c.zoom << ": " << x << "," << y;
        EXPECT_EQ(s.At(3 * c.zoom + c.x, c.y), kBackground);
        EXPECT_EQ(s.target.painted.right, c.x + 3 * c.zoom);
        EXPECT_EQ(s.target.painted.bottom, c.y + 2 * c.zoom);
    }
}

TEST(DibDraw, ShrinkingSamplesByTheRatioAndAlphaBlendsOverWhatIsThere)
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

    // An alpha plane blends the picture over what is there.
    const uint8_t bgra[] = {0, 0, 255, 0, 0, 0, 255, 255, 0, 0, 255, 128};
    ASSERT_TRUE(image.CreateFromArray(bgra, 3, 1, 32, 12, true));
    Surface blended(0, 0, 3, 1);
    ASSERT_EQ(image.Draw(&blended.target, 0, 0, 3, 1), 1);
    EXPECT_EQ(blended.At(0, 0), kBackground);
    EXPECT_EQ(blended.At(1, 0), 0xFFFF0000u);
    EXPECT_EQ(blended.At(2, 0), 0xFF870F17u); // half of each: (target × 127 + image × 128) / 256
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
    const DibRect clip {2, 0, 3, 1};
    ASSERT_EQ(image.Draw(&clipped.target, 0, 0, 3, 2, &clip), 1);
    EXPECT_EQ(clipped.At(2, 0), Colour(2, 0));
    EXPECT_EQ(clipped.At(1, 0), kBackground);
    EXPECT_EQ(clipped.At(2, 1), kBackground);

    Surface away(100, 100, 2, 2);
    EXPECT_EQ(image.Draw(&away.target, 0, 0, 3, 2), 0);
    EXPECT_TRUE(away.target.painted.IsEmpty());
    // Nothing to draw: an empty image, a zero width or height, no target.
    EXPECT_EQ(CDibImage().Draw(&s.target, 0, 0, 4, 4) + image.Draw(&s.target, 0, 0, 0, 4)
            + image.Draw(&s.target, 0, 0, 4, 0) + image.Draw(nullptr, 0, 0, 4, 4),
        0);
}

TEST(ImageFiles, BmpIsHeaderThenBlockAndBmpOrPngFailuresAreReported)
{
    const uint8_t bytes[] = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
    const struct {
        uint32_t bits, bytesPerLine;
        size_t fileSize;
        uint32_t rowsOffset;
    } cases[] = {{24, 8, 70, 54}, {8, 4, 1086, 1078}};
    CTempDir dir;
    for (const auto& c : cases) {
        CDibImage image;
        ASSERT_TRUE(image.CreateFromArray(bytes, 2, 2, c.bits, c.bytesPerLine, false));
        ASSERT_TRUE(image.Save(dir.File("a.bmp"), kImageTypeBMP));
        const std::string bytes = fixture::ReadWholeFile(dir.File("a.bmp"));
        const std::span file(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        ASSERT_EQ(file.size(), c.fileSize) << c.bits;
        EXPECT_EQ(ReadLE16(&file[0]), 0x4D42u);
        EXPECT_EQ(ReadLE32(&file[2]), c.fileSize);
        EXPECT_EQ(ReadLE32(&file[6]), 0u);
        EXPECT_EQ(ReadLE32(&file[10]), c.rowsOffset);
        EXPECT_TRUE(std::ranges::equal(file.subspan(14), image.GetDib()));
        if (c.bits == 8) {
            EXPECT_EQ(ReadLE32(&file[54 + 4 * 200]), 0x00C8C8C8u); // grey palette
        }
    }

    // Failures are reported.
    const std::string path = dir.File("empty.bmp");
    EXPECT_FALSE(CDibImage().Save(path, kImageTypeBMP));
    ASSERT_TRUE(std::filesystem::exists(path)); // created, and left empty
    EXPECT_EQ(std::filesystem::file_size(path), 0u);

    CDibImage image;
    ASSERT_NE(image.Create(64, 64, 24), nullptr);
    EXPECT_FALSE(image.Save(dir.File("no/such/folder.bmp"), kImageTypeBMP));
    EXPECT_FALSE(image.Save(dir.File("other.jpg"), kImageTypeJPEG));
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_FALSE(image.Save("/dev/full", kImageTypeBMP)); // every write fails: disk full
    }
    // A PNG file is written whole or not at all.
    const std::vector<uint8_t> alpha(64 * 64 - 1, 128); // one opacity short
    EXPECT_FALSE(SavePNG(image, alpha, dir.File("short.png")));
    EXPECT_FALSE(SavePNG(CDibImage(), {}, dir.File("empty.png")));
    EXPECT_FALSE(SavePNG(image, {}, dir.File("missing/folder.png")));
    EXPECT_TRUE(SavePNG(image, {}, dir.File("whole.png")));
    EXPECT_TRUE(fixture::ReadPNG(dir.File("whole.png")).ok);
}

// Rows are converted several pixels at a time: every width up to a few steps, with and
// without alpha, must come back pixel for pixel, the last pixels of each row included.
TEST(ImageFiles, PngRowsOfEveryWidthComeBackExactly)
{
    CTempDir dir;
    for (uint32_t width = 1; width <= 13; ++width) {
        const uint32_t height = 3, stride = (width * 3 + 3) & ~3u;
        std::vector<uint8_t> bgr(size_t(stride) * height);
        for (size_t i = 0; i < bgr.size(); ++i)
            bgr[i] = uint8_t(i * 37 + width);
        std::vector<uint8_t> alpha(size_t(width) * height);
        for (size_t i = 0; i < alpha.size(); ++i)
            alpha[i] = uint8_t(255 - i * 11);
        CDibImage image;
        ASSERT_TRUE(image.CreateFromArray(bgr, width, height, 24, stride, false));
        for (const bool withAlpha : {false, true}) {
            const std::string path = dir.File("w" + std::to_string(width) + (withAlpha ? "a.png" : ".png"));
            ASSERT_TRUE(SavePNG(
                image, withAlpha ? std::span<const uint8_t>(alpha) : std::span<const uint8_t>(), path));
            const fixture::PngReadBack png = fixture::ReadPNG(path);
            ASSERT_TRUE(png.ok) << path;
            EXPECT_EQ(png.HasAlpha(), withAlpha) << path;
            for (uint32_t y = 0; y < height; ++y)
                for (uint32_t x = 0; x < width; ++x) {
                    const uint8_t* p = &png.rgba[(size_t(y) * width + x) * 4];
                    ASSERT_EQ(uint32_t(p[0] << 16 | p[1] << 8 | p[2]), PixelFromTop(image, x, y))
                        << path << " " << x;
                    ASSERT_EQ(p[3], withAlpha ? alpha[size_t(height - 1 - y) * width + x] : 255)
                        << path << " " << x;
                }
        }
    }
}

TEST(JpegDecode, GreyStreamGivesEightBitsAndStatedDensityAndBadStreamsChangeNothing)
{
    std::vector<uint8_t> levels(8 * 8);
    for (size_t i = 0; i < levels.size(); ++i)
        levels[i] = uint8_t(i * 4);
    CDibImage image;
    ASSERT_TRUE(image.Decode(EncodeJPEG(levels, 8, 8, 1, 100, 300), kImageTypeJPEG));
    EXPECT_EQ(image.GetBpp(), 8u);
    EXPECT_EQ(ReadLE32(image.GetDib().data() + 24), 11811u); // 300 dots per inch
    EXPECT_NEAR(int(PixelFromTop(image, 7, 7) & 0xFF), 252, 6);
    EXPECT_NEAR(int(PixelFromTop(image, 0, 0) & 0xFF), 0, 6);
    // A large picture in a short, well-compressed stream is not mistaken for a truncated one.
    ASSERT_TRUE(
        image.Decode(EncodeJPEG(std::vector<uint8_t>(512 * 512, 77), 512, 512, 1, 90), kImageTypeJPEG));
    EXPECT_NEAR(int(PixelFromTop(image, 511, 511) & 0xFF), 77, 2);

    // Rejected streams leave the image as it was.
    image.Create(3, 3, 24);
    const uint8_t garbage[] = {0xFF, 0xD8, 0x12, 0x34, 0x56};
    EXPECT_FALSE(image.Decode(garbage, kImageTypeJPEG));
    EXPECT_FALSE(image.Decode({}, kImageTypeJPEG));
    const auto small = EncodeJPEG(std::vector<uint8_t>(16 * 8, 9), 16, 8, 1);
    EXPECT_FALSE(image.Decode(small, kImageTypeBMP));

    // Streams that claim far more pixels than their bytes can hold are refused before
    // anything that size exists: 4000 × 4000 needs some 30 KB, 60000 × 60000 is more than
    // the largest picture allowed.
    for (const uint16_t size : {4000, 60000}) {
        auto huge = small;
        for (size_t i = 0; i + 8 < huge.size(); ++i)
            if (huge[i] == 0xFF && huge[i + 1] == 0xC0) { // start of frame: height, width at +5
                const uint8_t bigEndian[] = {
                    uint8_t(size >> 8), uint8_t(size), uint8_t(size >> 8), uint8_t(size)};
                std::copy(std::begin(bigEndian), std::end(bigEndian), huge.begin() + long(i) + 5);
                break;
            }
        EXPECT_FALSE(image.Decode(huge, kImageTypeJPEG));
    }
    EXPECT_EQ(image.GetWidth(), 3u);
}

} // namespace
} // namespace orvanel
