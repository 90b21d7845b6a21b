#include "decode/TextureDecoder.h"
#include "tests/decode/DecodeTestSupport.h"
#include "tests/decode/TextureTestSupport.h"
#include "writer/RecordBuilders.h"

#include <gtest/gtest.h>

namespace orvanel {
namespace {

using writer::MakeColourTableRecord;
using writer::MakeTextureRecord;
using test::CTextureArchive;
using test::Grey;
using test::PixelFromTop;

constexpr uint32_t kTexture = 0x06000010;
constexpr uint32_t kTable = 0x04000020;

// The grey picture of every format but the indexed ones is the colour picture turned grey.
void ExpectGreyOfColour(const test::Decoded& d)
{
    ASSERT_TRUE(d.grey.IsValid());
    EXPECT_EQ(d.grey.GetBpp(), 8u);
    for (uint32_t y = 0; y < d.colour.GetHeight(); ++y)
        for (uint32_t x = 0; x < d.colour.GetWidth(); ++x) {
            const uint32_t c = PixelFromTop(d.colour, x, y);
            ASSERT_EQ(PixelFromTop(d.grey, x, y), Grey(GreyLevel(c & 0xFF, (c >> 8) & 0xFF, c >> 16)));
        }
}

std::vector<uint32_t> Colours(uint32_t count)
{
    std::vector<uint32_t> colours(count);
    for (uint32_t i = 0; i < count; ++i)
        colours[i] = 0x80000000u | ((i & 0xFF) << 16) | (((i >> 8) & 0xFF) << 8) | 0x33;
    return colours;
}

TEST(ColourTable, PictureShapeFollowsTheColourCount)
{
    const CTextureArchive archive;
    struct Case {
        uint32_t count, width, height;
    };
    for (const Case c : {Case{256, 16, 16}, Case{255, 15, 17}, Case{7, 7, 1}, Case{2, 1, 2},
             Case{3, 1, 3}, Case{2048, 64, 32}, Case{1, 1, 1}}) {
        const auto colours = Colours(c.count);
        const auto d = archive.Decode(kTable, MakeColourTableRecord(kTable, colours));
        ASSERT_TRUE(d.ok) << c.count;
        EXPECT_EQ(d.colour.GetWidth(), c.width) << c.count;
        EXPECT_EQ(d.colour.GetHeight(), c.height) << c.count;
        EXPECT_EQ(d.scale, 8.0f);
        EXPECT_EQ(d.noteKind, 0u);
        // Colour 0 at the top left, the colours running row by row, all drawn opaque.
        EXPECT_EQ(PixelFromTop(d.colour, 0, 0), colours[0] & 0xFFFFFF);
        EXPECT_EQ(PixelFromTop(d.colour, c.width - 1, c.height - 1), colours.back() & 0xFFFFFF);
        if (c.height > 1) {
            EXPECT_EQ(PixelFromTop(d.colour, 0, 1), colours[c.width] & 0xFFFFFF);
        }
        for (uint8_t a : d.colour.GetAlpha())
            ASSERT_EQ(a, 255);
        ExpectGreyOfColour(d);
    }
}

TEST(ColourTable, EmptyOrShortTableDecodesToNothing)
{
    const CTextureArchive archive;
    test::ExpectEmpty(archive.Decode(kTable, MakeColourTableRecord(kTable, {})));
    auto record = MakeColourTableRecord(kTable, Colours(16));
    record.resize(record.size() - 1);
    test::ExpectEmpty(archive.Decode(kTable, record));
    EXPECT_EQ(ColourTableWidth(0), 0u);
    EXPECT_EQ(ColourTableWidth(1000003), 1000003u); // a prime: one row
}

// A picture of 4 × 4 blocks, each one solid colour so that DXT keeps it exactly:
// red, green / blue, white, with the partial blocks of a 6 × 5 picture at the edges.
std::vector<uint8_t> BlockPicture(uint32_t width, uint32_t height, bool varyAlpha)
{
    static const uint8_t colours[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    std::vector<uint8_t> rgba;
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            const uint8_t* c = colours[(x / 4) + 2 * (y / 4)];
            rgba.insert(rgba.end(), {c[0], c[1], c[2], uint8_t(varyAlpha ? x * 40 : 255)});
        }
    return rgba;
}

TEST(TextureDecode, DXTBlocksKeepRedAndBlueInPlaceWithoutAlpha)
{
    const CTextureArchive archive;
    for (uint32_t format : {kTextureDXT1, kTextureDXT3, kTextureDXT5}) {
        const auto rgba = BlockPicture(6, 5, format != kTextureDXT1);
        const auto d = archive.Decode(kTexture,
            MakeTextureRecord(kTexture, 6, 5, format, writer::CompressDXT(rgba, 6, 5, format)));
        ASSERT_TRUE(d.ok) << format;
        EXPECT_EQ(d.colour.GetBpp(), 24u);
        EXPECT_TRUE(d.colour.GetAlpha().empty());
        EXPECT_EQ(d.noteKind, 0u);
        EXPECT_EQ(d.scale, 1.0f);
        for (uint32_t y = 0; y < 5; ++y)
            for (uint32_t x = 0; x < 6; ++x) {
                const uint8_t* want = &rgba[(y * 6 + x) * 4];
                ASSERT_EQ(PixelFromTop(d.colour, x, y), uint32_t(want[0] << 16 | want[1] << 8 | want[2]))
                    << format << " " << x << "," << y;
            }
        ExpectGreyOfColour(d);
    }
}

TEST(TextureDecode, RawFormatsPutFirstStoredRowOnTop)
{
    const CTextureArchive archive;
    const uint8_t grey[] = {10, 20, 30, 40};
    for (uint32_t format : {kTextureGrey8, kTextureGrey8Alt}) {
        const auto d = archive.Decode(kTexture, MakeTextureRecord(kTexture, 2, 2, format, grey));
        ASSERT_TRUE(d.ok);
        EXPECT_EQ(PixelFromTop(d.colour, 1, 0), Grey(20));
        EXPECT_EQ(PixelFromTop(d.colour, 0, 1), Grey(30));
        ExpectGreyOfColour(d);
    }
    const uint8_t bgr[] = {1, 2, 3, 4, 5, 6};
    for (uint32_t format : {kTextureRGB24, kTextureRGB24Alt}) {
        const auto d = archive.Decode(kTexture, MakeTextureRecord(kTexture, 1, 2, format, bgr));
        ASSERT_TRUE(d.ok);
        EXPECT_EQ(PixelFromTop(d.colour, 0, 0), 0x030201u);
        EXPECT_EQ(PixelFromTop(d.colour, 0, 1), 0x060504u);
    }
}

TEST(TextureDecode, Format21KeepsColoursAndDrawsOpaque)
{
    const CTextureArchive archive;
    const uint8_t bgra[] = {1, 2, 3, 0, 4, 5, 6, 7};
    const auto d = archive.Decode(kTexture, MakeTextureRecord(kTexture, 2, 1, kTextureRGBA32, bgra));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(PixelFromTop(d.colour, 1, 0), 0x060504u);
    ASSERT_EQ(d.colour.GetAlpha().size(), 2u);
    EXPECT_EQ(d.colour.GetAlpha()[0], 255);
    EXPECT_EQ(d.colour.GetAlpha()[1], 255);
    ExpectGreyOfColour(d);
}

TEST(TextureDecode, JPEGTexturesDecodeCloseToTheirSource)
{
    const CTextureArchive archive;
    std::vector<uint8_t> rgb, levels;
    for (uint32_t y = 0; y < 16; ++y)
        for (uint32_t x = 0; x < 32; ++x) {
            rgb.insert(rgb.end(), {uint8_t(x * 8), uint8_t(255 - y * 16), 60});
            levels.push_back(uint8_t(x * 4 + y * 8));
        }
    for (int components : {3, 1}) {
        const auto& source = components == 3 ? rgb : levels;
        const auto d = archive.Decode(kTexture, MakeTextureRecord(kTexture, 32, 16, kTextureJPEG,
            writer::EncodeJPEG(source, 32, 16, components, 100)));
        ASSERT_TRUE(d.ok) << components;
        ASSERT_EQ(d.colour.GetWidth(), 32u);
        EXPECT_EQ(d.colour.GetBpp(), components == 3 ? 24u : 8u);
        for (uint32_t y = 0; y < 16; ++y)
            for (uint32_t x = 0; x < 32; ++x) {
                const uint32_t p = PixelFromTop(d.colour, x, y);
                const uint8_t* want = &source[(y * 32 + x) * size_t(components)];
                const int last = components - 1;
                EXPECT_NEAR(int(p >> 16), want[0], 10);
                EXPECT_NEAR(int((p >> 8) & 0xFF), want[last / 2], 10);
                EXPECT_NEAR(int(p & 0xFF), want[last], 10);
            }
        ExpectGreyOfColour(d);
    }
}

TEST(TextureDecode, UnknownFormatsAndCategoriesDecodeToNothing)
{
    const CTextureArchive archive;
    const uint8_t pixels[16] = {};
    const auto d = archive.Decode(kTexture, MakeTextureRecord(kTexture, 2, 2, 0x12345678, pixels));
    test::ExpectEmpty(d);
    EXPECT_EQ(d.noteKind, 0u);
    EXPECT_EQ(d.scale, 1.0f);
    test::ExpectEmpty(archive.Decode(0x0A000001, MakeTextureRecord(0x0A000001, 2, 2, kTextureGrey8, pixels)));
    test::ExpectEmpty(archive.Decode(kTexture, {}));
    test::ExpectEmpty(archive.Decode(kTexture, MakeTextureRecord(kTexture, 0, 2, kTextureGrey8, pixels)));
}

} // namespace
} // namespace orvanel
