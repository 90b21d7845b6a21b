#include "decode/TextureRecord.h"
#include "tests/decode/DecodeTestSupport.h"
#include "tests/decode/TextureTestSupport.h"
#include "writer/RecordBuilders.h"

#include <gtest/gtest.h>

namespace orvanel {
namespace {

using writer::MakeColourTableRecord;
using writer::MakeIndexedTextureRecord;
using writer::MakeTextureRecord;
using writer::Values16;
using test::CTextureArchive;
using test::Grey;
using test::PixelFromTop;

constexpr uint32_t kTexture = 0x06000100;
constexpr uint32_t kPalette = 0x04000007;

// Palette entry i is 0xAA000000 | i << 16 | (255 - i) << 8 | 7.
std::vector<uint32_t> Palette(uint32_t count)
{
    std::vector<uint32_t> colours;
    for (uint32_t i = 0; i < count; ++i)
        colours.push_back(0xAA000000u | (i << 16) | ((255 - i) << 8) | 7);
    return colours;
}

writer::FileSpec PaletteFile(uint32_t count)
{
    return {kPalette, MakeColourTableRecord(kPalette, Palette(count))};
}

uint32_t PaletteColour(uint32_t i)
{
    return Palette(256)[i] & 0xFFFFFF;
}

TEST(IndexedTexture, EightBitWithPaletteShowsItsColoursFirstRowOnTop)
{
    const CTextureArchive archive({PaletteFile(256)});
    const uint8_t indices[] = {1, 2, 3, 4, 5, 6};
    const auto d = archive.Decode(kTexture, MakeIndexedTextureRecord(kTexture, 3, 2, kTextureIndexed8, indices, kPalette));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.noteKind, kNotePalette);
    EXPECT_EQ(d.noteFileID, kPalette);
    EXPECT_EQ(d.colour.GetBpp(), 24u);
    for (uint32_t k = 0; k < 6; ++k) {
        EXPECT_EQ(PixelFromTop(d.colour, k % 3, k / 3), PaletteColour(indices[k]));
        // The grey picture keeps the indices as levels even with the palette applied.
        EXPECT_EQ(PixelFromTop(d.grey, k % 3, k / 3), Grey(indices[k]));
    }
}

TEST(IndexedTexture, MissingPaletteShowsIndicesAsGrey)
{
    const CTextureArchive archive;
    const uint8_t indices[] = {0, 100, 200, 255};
    const auto d = archive.Decode(kTexture, MakeIndexedTextureRecord(kTexture, 2, 2, kTextureIndexed8, indices, kPalette));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.noteKind, kNotePaletteNotFound);
    EXPECT_EQ(d.noteFileID, kPalette);
    EXPECT_EQ(PixelFromTop(d.colour, 1, 1), Grey(255));
    EXPECT_TRUE(std::ranges::equal(d.colour.GetDib(), d.grey.GetDib()));
}

TEST(IndexedTexture, IndexPastThePaletteLeavesOnlyThatPixelBlack)
{
    // Four colours, with two more stored after them that are not part of the palette.
    auto palette = MakeColourTableRecord(kPalette, Palette(6));
    WriteLE32(&palette[4], 4);
    const CTextureArchive archive({{kPalette, palette}});
    const uint8_t indices[] = {1, 4, 2, 9, 3};
    const auto d = archive.Decode(kTexture, MakeIndexedTextureRecord(kTexture, 5, 1, kTextureIndexed8, indices, kPalette));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(PixelFromTop(d.colour, 0, 0), PaletteColour(1));
    EXPECT_EQ(PixelFromTop(d.colour, 1, 0), 0u);
    EXPECT_EQ(PixelFromTop(d.colour, 2, 0), PaletteColour(2)); // the pixels after keep their places
    EXPECT_EQ(PixelFromTop(d.colour, 3, 0), 0u);
    EXPECT_EQ(PixelFromTop(d.colour, 4, 0), PaletteColour(3));
}

TEST(IndexedTexture, PaletteClaimingMoreColoursThanItHoldsIsReadOnlyAsFarAsItGoes)
{
    auto palette = MakeColourTableRecord(kPalette, Palette(3));
    WriteLE32(&palette[4], 200); // says 200 colours, holds 3
    const CTextureArchive archive({{kPalette, palette}});
    const uint8_t indices[] = {2, 3, 150};
    const auto d = archive.Decode(kTexture, MakeIndexedTextureRecord(kTexture, 3, 1, kTextureIndexed8, indices, kPalette));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.noteKind, kNotePalette);
    EXPECT_EQ(PixelFromTop(d.colour, 0, 0), PaletteColour(2));
    EXPECT_EQ(PixelFromTop(d.colour, 1, 0), 0u);
    EXPECT_EQ(PixelFromTop(d.colour, 2, 0), 0u);
}

TEST(IndexedTexture, SixteenBitIndicesUseThePalette)
{
    const CTextureArchive archive({PaletteFile(256)});
    const uint16_t values[] = {255, 0, 300, 10};
    const auto d = archive.Decode(kTexture, MakeIndexedTextureRecord(kTexture, 2, 2, kTextureIndexed16, Values16(values), kPalette));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.noteKind, kNotePalette);
    EXPECT_EQ(PixelFromTop(d.colour, 0, 0), PaletteColour(255));
    EXPECT_EQ(PixelFromTop(d.colour, 0, 1), 0u);
    EXPECT_EQ(PixelFromTop(d.colour, 1, 1), PaletteColour(10));
    // Grey levels stretch 0 … 300 over 0 … 255.
    EXPECT_EQ(PixelFromTop(d.grey, 0, 0), Grey(255 * 255 / 300));
    EXPECT_EQ(PixelFromTop(d.grey, 0, 1), Grey(255));
}

TEST(IndexedTexture, SixteenBitGreyscaleStretchesValues)
{
    const CTextureArchive archive;
    for (uint32_t format : {kTextureGrey16, kTextureGrey16Alt}) {
        const uint16_t values[] = {1000, 1500, 2000};
        const auto d = archive.Decode(kTexture, MakeTextureRecord(kTexture, 3, 1, format, Values16(values)));
        ASSERT_TRUE(d.ok);
        EXPECT_EQ(d.noteKind, kNoteGreyscale16);
        EXPECT_EQ(d.noteFileID, 0u);
        EXPECT_EQ(PixelFromTop(d.colour, 0, 0), Grey(0));
        EXPECT_EQ(PixelFromTop(d.colour, 1, 0), Grey(127));
        EXPECT_EQ(PixelFromTop(d.colour, 2, 0), Grey(255));
        EXPECT_TRUE(std::ranges::equal(d.colour.GetDib(), d.grey.GetDib()));
    }
    const uint16_t flat[] = {777, 777};
    const auto d = archive.Decode(kTexture, MakeTextureRecord(kTexture, 1, 2, kTextureGrey16, Values16(flat)));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.noteKind, kNoteGreyscale16);
    EXPECT_EQ(PixelFromTop(d.colour, 0, 0), 0u);
    EXPECT_EQ(PixelFromTop(d.colour, 0, 1), 0u);
}

} // namespace
} // namespace orvanel
