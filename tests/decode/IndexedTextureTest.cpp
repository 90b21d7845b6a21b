#include "decode/TextureRecord.h"
#include "tests/decode/DecodeTestSupport.h"
#include "writer/RecordBuilders.h"

#include <gtest/gtest.h>

namespace orvanel {
namespace {

using test::CTextureArchive;
using test::Grey;
using test::PixelFromTop;
using writer::MakeColourTableRecord;
using writer::MakeIndexedTextureRecord;
using writer::MakeTextureRecord;
using writer::Values16;

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

uint32_t PaletteColour(uint32_t i)
{
    return Palette(256)[i] & 0xFFFFFF;
}

TEST(IndexedTexture, EightAndSixteenBitIndicesShowPaletteColoursFirstRowOnTop)
{
    const CTextureArchive archive({{kPalette, MakeColourTableRecord(kPalette, Palette(256))}});
    const uint8_t indices[] = {1, 2, 3, 4, 5, 6};
    auto d = archive.Decode(
        kTexture, MakeIndexedTextureRecord(kTexture, 3, 2, kTextureIndexed8, indices, kPalette));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.noteKind, kNotePalette);
    EXPECT_EQ(d.noteFileID, kPalette);
    for (uint32_t k = 0; k < 6; ++k) {
        EXPECT_EQ(PixelFromTop(d.colour, k % 3, k / 3), PaletteColour(indices[k]));
        // The grey picture keeps the indices as levels even with the palette applied.
        EXPECT_EQ(PixelFromTop(d.grey, k % 3, k / 3), Grey(indices[k]));
    }

    const uint16_t values[] = {255, 0, 300, 10};
    d = archive.Decode(
        kTexture, MakeIndexedTextureRecord(kTexture, 2, 2, kTextureIndexed16, Values16(values), kPalette));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.noteKind, kNotePalette);
    EXPECT_EQ(PixelFromTop(d.colour, 0, 0), PaletteColour(255));
    EXPECT_EQ(PixelFromTop(d.colour, 0, 1), 0u); // 300: past the palette
    EXPECT_EQ(PixelFromTop(d.colour, 1, 1), PaletteColour(10));
    // Grey levels stretch 0 … 300 over 0 … 255.
    EXPECT_EQ(PixelFromTop(d.grey, 0, 0), Grey(255 * 255 / 300));
    EXPECT_EQ(PixelFromTop(d.grey, 0, 1), Grey(255));
}

TEST(IndexedTexture, MissingPaletteShowsIndicesAsGrey)
{
    const CTextureArchive archive;
    const uint8_t indices[] = {0, 100, 200, 255};
    const auto d = archive.Decode(
        kTexture, MakeIndexedTextureRecord(kTexture, 2, 2, kTextureIndexed8, indices, kPalette));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.noteKind, kNotePaletteNotFound);
    EXPECT_EQ(d.noteFileID, kPalette);
    EXPECT_EQ(PixelFromTop(d.colour, 1, 1), Grey(255));
    EXPECT_TRUE(std::ranges::equal(d.colour.GetDib(), d.grey.GetDib()));
}

TEST(IndexedTexture, IndexPastTheColoursPresentLeavesOnlyThatPixelBlack)
{
    // A count below the colours stored, and a count above them: only the colours both
    // counted and present are used; the other pixels keep their places.
    const struct {
        uint32_t stored, stated;
    } cases[] = {{6, 4}, {4, 200}};
    for (const auto& c : cases) {
        auto palette = MakeColourTableRecord(kPalette, Palette(c.stored));
        WriteLE32(&palette[4], c.stated);
        const CTextureArchive archive({{kPalette, palette}});
        const uint8_t indices[] = {1, 4, 2, 150, 3};
        const auto d = archive.Decode(
            kTexture, MakeIndexedTextureRecord(kTexture, 5, 1, kTextureIndexed8, indices, kPalette));
        ASSERT_TRUE(d.ok) << c.stated;
        EXPECT_EQ(d.noteKind, kNotePalette);
        const uint32_t want[] = {PaletteColour(1), 0, PaletteColour(2), 0, PaletteColour(3)};
        for (uint32_t x = 0; x < 5; ++x)
            EXPECT_EQ(PixelFromTop(d.colour, x, 0), want[x]) << c.stated << " " << x;
    }
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
    const uint16_t flat[] = {777, 777}; // all equal: all black
    const auto d =
        archive.Decode(kTexture, MakeTextureRecord(kTexture, 1, 2, kTextureGrey16, Values16(flat)));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(PixelFromTop(d.colour, 0, 0) | PixelFromTop(d.colour, 0, 1), 0u);
}

} // namespace
} // namespace orvanel
