#include "archive/ByteOrder.h"
#include "decode/DibImage.h"
#include "tests/decode/DecodeTestSupport.h"
#include "writer/RecordBuilders.h"
#include "tests/support/TempDir.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace orvanel {
namespace {

using fixture::CTempDir;
using writer::EncodeJPEG;
using test::PixelFromTop;
using test::ReadBytes;

TEST(BmpSave, TwentyFourBitFileIsHeaderThenBlock)
{
    const uint8_t bgr[] = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
    CDibImage image;
    ASSERT_TRUE(image.CreateFromArray(bgr, 2, 2, 24, 8, false));
    CTempDir dir;
    ASSERT_TRUE(image.Save(dir.File("a.bmp"), kImageTypeBMP));
    const auto file = ReadBytes(dir.File("a.bmp"));
    ASSERT_EQ(file.size(), 70u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(ReadLE32(&file[2]), 70u);
    EXPECT_EQ(ReadLE32(&file[6]), 0u);
    EXPECT_EQ(ReadLE32(&file[10]), 54u);
    EXPECT_EQ(ReadLE32(&file[14]), 40u);
    EXPECT_EQ(ReadLE32(&file[14 + 24]), 3780u);
    EXPECT_TRUE(std::equal(file.begin() + 54, file.end(), std::begin(bgr)));
}

TEST(BmpSave, EightBitFileCarriesItsPalette)
{
    const uint8_t levels[] = {0, 255, 0, 0, 128, 64, 0, 0};
    CDibImage image;
    ASSERT_TRUE(image.CreateFromArray(levels, 2, 2, 8, 4, false));
    CTempDir dir;
    ASSERT_TRUE(image.Save(dir.File("g.bmp"), kImageTypeBMP));
    const auto file = ReadBytes(dir.File("g.bmp"));
    ASSERT_EQ(file.size(), 1086u);
    EXPECT_EQ(ReadLE32(&file[10]), 1078u);
    EXPECT_EQ(ReadLE32(&file[14 + 32]), 256u);
    EXPECT_EQ(ReadLE32(&file[54 + 4 * 200]), 0x00C8C8C8u);
    EXPECT_EQ(file[1078 + 1], 255);
    EXPECT_EQ(file[1078 + 4], 128);
}

TEST(BmpSave, FailuresAreReported)
{
    CTempDir dir;
    CDibImage empty;
    const std::string path = dir.File("empty.bmp");
    EXPECT_FALSE(empty.Save(path, kImageTypeBMP));
    ASSERT_TRUE(std::filesystem::exists(path)); // created, and left empty
    EXPECT_EQ(std::filesystem::file_size(path), 0u);

    CDibImage image;
    image.Create(64, 64, 24);
    EXPECT_FALSE(image.Save(dir.File("no/such/folder.bmp"), kImageTypeBMP));
    EXPECT_FALSE(image.Save(dir.File("other.jpg"), kImageTypeJPEG));
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_FALSE(image.Save("/dev/full", kImageTypeBMP)); // every write fails: disk full
    }
}

// A picture with red rising to the right, green rising downwards, blue constant.
std::vector<uint8_t> Gradient(uint32_t width, uint32_t height)
{
    std::vector<uint8_t> rgb;
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x)
            rgb.insert(rgb.end(), {uint8_t(x * 255 / (width - 1)), uint8_t(y * 255 / (height - 1)), 90});
    return rgb;
}

TEST(JpegDecode, GreyStreamGivesEightBitsAndStatedDensity)
{
    std::vector<uint8_t> levels(8 * 8);
    for (size_t i = 0; i < levels.size(); ++i)
        levels[i] = uint8_t(i * 4);
    CDibImage image;
    ASSERT_TRUE(image.Decode(EncodeJPEG(levels, 8, 8, 1, 100, 300), kImageTypeJPEG));
    EXPECT_EQ(image.GetBpp(), 8u);
    EXPECT_EQ(ReadLE32(image.GetDib().data() + 32), 256u);
    EXPECT_EQ(ReadLE32(image.GetDib().data() + 24), 11811u); // 300 dots per inch
    EXPECT_NEAR(int(PixelFromTop(image, 7, 7) & 0xFF), 252, 6);
    EXPECT_NEAR(int(PixelFromTop(image, 0, 0) & 0xFF), 0, 6);
}

TEST(JpegDecode, LargeEvenPictureInAShortStreamDecodes)
{
    CDibImage image;
    ASSERT_TRUE(image.Decode(EncodeJPEG(std::vector<uint8_t>(512 * 512, 77), 512, 512, 1, 90), kImageTypeJPEG));
    EXPECT_EQ(image.GetWidth(), 512u);
    EXPECT_NEAR(int(PixelFromTop(image, 511, 511) & 0xFF), 77, 2);
}

TEST(JpegDecode, RejectedStreamsLeaveTheImageAsItWas)
{
    CDibImage image;
    image.Create(3, 3, 24);
    const uint8_t garbage[] = {0xFF, 0xD8, 0x12, 0x34, 0x56};
    EXPECT_FALSE(image.Decode(garbage, kImageTypeJPEG));
    EXPECT_FALSE(image.Decode({}, kImageTypeJPEG));
    EXPECT_FALSE(image.Decode(EncodeJPEG(Gradient(16, 8), 16, 8, 3), kImageTypeBMP));

    // Streams that claim far more pixels than their bytes can hold are refused before
    // anything that size exists: 4000 × 4000 needs some 30 KB, 60000 × 60000 is more than
    // the largest picture allowed.
    for (const uint16_t size : {4000, 60000}) {
        auto huge = EncodeJPEG(Gradient(16, 8), 16, 8, 3);
        for (size_t i = 0; i + 8 < huge.size(); ++i)
            if (huge[i] == 0xFF && huge[i + 1] == 0xC0) { // start of frame: height, width at +5
                const uint8_t bigEndian[] = {uint8_t(size >> 8), uint8_t(size), uint8_t(size >> 8), uint8_t(size)};
                std::copy(std::begin(bigEndian), std::end(bigEndian), huge.begin() + long(i) + 5);
                break;
            }
        EXPECT_FALSE(image.Decode(huge, kImageTypeJPEG));
    }
    EXPECT_EQ(image.GetWidth(), 3u);
}

} // namespace
} // namespace orvanel
