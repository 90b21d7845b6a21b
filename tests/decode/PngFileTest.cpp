// PNG files of every picture in the sample archive, read back with libpng: the same pixels as
// the decoded picture, with the texture's own alpha, and no alpha channel for opaque formats.

#include "decode/PngFile.h"

#include "archive/ByteOrder.h"
#include "decode/TextureDecoder.h"
#include "tests/decode/DecodeTestSupport.h"
#include "tests/support/PngReadBack.h"
#include "tools/demo/DemoArchive.h"

#include <gtest/gtest.h>
#include <png.h>

#include <set>

namespace orvanel {
namespace {

using test::PixelFromTop;

using fixture::ReadPNG;

TEST(PngFile, SampleArchivePicturesReadBackWithTheirOwnAlpha)
{
    const fixture::COpenedArchive opened(demo::WriteDemoArchive);
    CDATArchive& archive = *opened.archive;
    ASSERT_TRUE(archive.BuildCatalogue());
    const fixture::CTempDir& dir = opened.dir;

    std::set<uint32_t> formatsWithAlpha, opaqueFormats;
    for (uint8_t category : {kCategoryColourTable, kCategoryTexture})
        for (const DATEntry* entry : archive.CategoryLists().at(category)) {
            const auto bytes = archive.ReadFile(*entry);
            ASSERT_TRUE(bytes);
            DecodedPicture picture;
            if (!DecodePicture(archive, *bytes, *entry, {.grey = false, .ownAlpha = true}, picture))
                continue; // the sample's texture of an unknown format
            const uint32_t format = category == kCategoryTexture ? ReadLE32(&(*bytes)[16]) : 0;
            const std::string path = dir.File("picture.png");
            ASSERT_TRUE(SavePNG(picture.colour, picture.alpha, path)) << std::hex << entry->fileID;
            const auto png = ReadPNG(path);
            ASSERT_TRUE(png.ok) << std::hex << entry->fileID;
            const bool hasAlpha = !picture.alpha.empty();
            (hasAlpha ? formatsWithAlpha : opaqueFormats).insert(format);
            EXPECT_EQ((png.fileFormat & PNG_FORMAT_FLAG_ALPHA) != 0, hasAlpha) << std::hex << entry->fileID;
            // 8-bit grey pictures stay grey.
            EXPECT_EQ((png.fileFormat & PNG_FORMAT_FLAG_COLOR) == 0, picture.colour.GetBpp() == 8)
                << std::hex << entry->fileID;
            ASSERT_EQ(png.width, picture.colour.GetWidth());
            ASSERT_EQ(png.height, picture.colour.GetHeight());
            const uint32_t w = png.width, h = png.height;
            for (uint32_t y = 0; y < h; ++y)
                for (uint32_t x = 0; x < w; ++x) {
                    const uint8_t* p = &png.rgba[(size_t(y) * w + x) * 4];
                    ASSERT_EQ(uint32_t(p[0] << 16 | p[1] << 8 | p[2]), PixelFromTop(picture.colour, x, y))
                        << std::hex << entry->fileID << " " << std::dec << x << "," << y;
                    ASSERT_EQ(p[3], hasAlpha ? picture.alpha[size_t(h - 1 - y) * w + x] : 255)
                        << std::hex << entry->fileID << " " << std::dec << x << "," << y;
                }
        }
    EXPECT_EQ(formatsWithAlpha, (std::set<uint32_t> {kTextureDXT3, kTextureDXT5, kTextureRGBA32}));
    EXPECT_TRUE(opaqueFormats.contains(kTextureDXT1) && opaqueFormats.contains(kTextureGrey8)
        && opaqueFormats.contains(kTextureJPEG) && opaqueFormats.contains(kTextureIndexed8));
}

TEST(PngFile, RefusesWhatItCannotWriteWhole)
{
    fixture::CTempDir dir;
    CDibImage picture;
    ASSERT_TRUE(picture.Create(3, 2, 24));
    const std::vector<uint8_t> alpha(5, 128); // one opacity short
    EXPECT_FALSE(SavePNG(picture, alpha, dir.File("short.png")));
    EXPECT_FALSE(SavePNG(CDibImage(), {}, dir.File("empty.png")));
    EXPECT_FALSE(SavePNG(picture, {}, dir.File("missing/folder.png")));
    EXPECT_TRUE(SavePNG(picture, {}, dir.File("whole.png")));
    EXPECT_TRUE(ReadPNG(dir.File("whole.png")).ok);
}

} // namespace
} // namespace orvanel
