#include "archive/ByteOrder.h"
#include "decode/DibImage.h"
#include "decode/PngFile.h"
#include "tests/decode/DecodeTestSupport.h"
#include "tests/support/PngReadBack.h"
#include "writer/RecordBuilders.h"
#include "writer/TempDir.h"

#include <gtest/gtest.h>

namespace orvanel {
namespace {

using fixture::CTempDir;
using test::PixelFromTop;
using test::ReadBytes;
using writer::EncodeJPEG;

TEST(BmpSave, FileIsHeaderThenBlock)
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
        const auto file = ReadBytes(dir.File("a.bmp"));
        ASSERT_EQ(file.size(), c.fileSize) << c.bits;
        EXPECT_EQ(ReadLE16(&file[0]), 0x4D42u);
        EXPECT_EQ(ReadLE32(&file[2]), c.fileSize);
        EXPECT_EQ(ReadLE32(&file[6]), 0u);
        EXPECT_EQ(ReadLE32(&file[10]), c.rowsOffset);
        EXPECT_TRUE(std::ranges::equal(std::span(file).subspan(14), image.GetDib()));
    }
    EXPECT_EQ(ReadLE32(&ReadBytes(dir.File("a.bmp"))[54 + 4 * 200]), 0x00C8C8C8u); // grey palette
}

TEST(BmpSave, FailuresAreReported)
{
    CTempDir dir;
    const std::string path = dir.File("empty.bmp");
    EXPECT_FALSE(CDibImage().Save(path, kImageTypeBMP));
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

TEST(PngSave, RefusesWhatItCannotWriteWhole)
{
    CTempDir dir;
    CDibImage picture;
    ASSERT_TRUE(picture.Create(3, 2, 24));
    const std::vector<uint8_t> alpha(5, 128); // one opacity short
    EXPECT_FALSE(SavePNG(picture, alpha, dir.File("short.png")));
    EXPECT_FALSE(SavePNG(CDibImage(), {}, dir.File("empty.png")));
    EXPECT_FALSE(SavePNG(picture, {}, dir.File("missing/folder.png")));
    EXPECT_TRUE(SavePNG(picture, {}, dir.File("whole.png")));
    EXPECT_TRUE(fixture::ReadPNG(dir.File("whole.png")).ok);
}

TEST(JpegDecode, GreyStreamGivesEightBitsAndStatedDensity)
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
}

TEST(JpegDecode, RejectedStreamsLeaveTheImageAsItWas)
{
    CDibImage image;
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
