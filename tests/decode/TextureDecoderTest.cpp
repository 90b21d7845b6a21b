#include "decode/TextureDecoder.h"
#include "decode/TextureRecord.h"
#include "tests/decode/DecodeTestSupport.h"
#include "tests/support/CatalogueFixture.h"
#include "tools/demo/DemoArchive.h"
#include "writer/RecordBuilders.h"

#include <gtest/gtest.h>
#include <squish.h>

#include <algorithm>
#include <memory>
#include <thread>

namespace orvanel {
namespace {

using test::Grey;
using test::PixelFromTop;
using writer::MakeColourTableRecord;
using writer::MakeIndexedTextureRecord;
using writer::MakeTextureRecord;
using writer::Values16;

struct Decoded {
    bool ok = false;
    CDibImage colour;
    CDibImage grey;
    float scale = 0;
    uint32_t noteKind = 99;
    uint32_t noteFileID = 99;
};

// An opened archive holding the given stored files (palettes, for instance).
class CTextureArchive {
public:
    explicit CTextureArchive(const std::vector<writer::FileSpec>& files = {})
    {
        writer::CArchiveBuilder builder;
        std::vector<writer::FileSpec> stored = files;
        stored.push_back({0x01000001, writer::StoredFile(0x01000001)});
        builder.AddFilesAsTree(stored);
        m_opened = std::make_unique<fixture::COpenedArchive>(builder);
        EXPECT_TRUE(m_opened->archive->BuildCatalogue());
    }

    // Decodes bytes as the stored file fileID of the given size (all of bytes by default).
    Decoded Decode(uint32_t fileID, const std::vector<uint8_t>& bytes, int64_t size = -1) const
    {
        const DATEntry entry =
            writer::MakeEntry(fileID, 0, size < 0 ? uint32_t(bytes.size()) : uint32_t(size));
        Decoded d;
        d.ok = DecodeImage(
            *m_opened->archive, bytes, entry, d.colour, d.grey, d.scale, d.noteKind, d.noteFileID);
        return d;
    }

    const CDATArchive& Archive() const { return *m_opened->archive; }

private:
    std::unique_ptr<fixture::COpenedArchive> m_opened;
};

void ExpectEmpty(const Decoded& d)
{
    EXPECT_FALSE(d.ok);
    EXPECT_FALSE(d.colour.IsValid());
    EXPECT_FALSE(d.grey.IsValid());
}

constexpr uint32_t kTexture = 0x06000010;
constexpr uint32_t kTable = 0x04000020;

std::vector<uint32_t> Colours(uint32_t count)
{
    std::vector<uint32_t> colours(count);
    for (uint32_t i = 0; i < count; ++i)
        colours[i] = 0x80000000u | ((i & 0xFF) << 16) | (((i >> 8) & 0xFF) << 8) | 0x33;
    return colours;
}

uint32_t TableColour(uint32_t i)
{
    return Colours(256)[i] & 0xFFFFFF;
}

TEST(ColourTable, PictureShapeFollowsTheColourCount)
{
    const CTextureArchive archive;
    struct Case {
        uint32_t count, width, height;
    };
    // The width is the smallest divisor of the count not below its truncated square root.
    for (const Case c : {Case {256, 16, 16}, Case {255, 15, 17}, Case {7, 7, 1}, Case {2, 1, 2},
             Case {2048, 64, 32}, Case {1, 1, 1}}) {
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
        for (uint8_t a : d.colour.GetAlpha())
            ASSERT_EQ(a, 255);
    }
}

// Arbitrary block bytes reach every colour and alpha mode of the formats.
std::vector<uint8_t> NoiseBytes(size_t count, uint32_t seed)
{
    std::vector<uint8_t> bytes(count);
    for (uint8_t& b : bytes) {
        seed = seed * 1103515245u + 12345u;
        b = uint8_t(seed >> 16);
    }
    return bytes;
}

// The pictures and alpha are libsquish's whole-image decompression, turned
// into bottom-up rows (red and blue in their places), at sizes that leave partial blocks at
// the edges. The picture is 24-bit without alpha plane: DXT alpha is never drawn.
TEST(TextureDecode, DXTPixelsEqualLibsquishAtEverySize)
{
    const CTextureArchive archive;
    const struct {
        uint32_t format;
        int flags;
    } formats[] = {
        {kTextureDXT1, squish::kDxt1}, {kTextureDXT3, squish::kDxt3}, {kTextureDXT5, squish::kDxt5}};
    const uint32_t sizes[][2] = {{1, 1}, {5, 3}, {4, 8}, {13, 7}, {30, 9}};
    for (const auto& f : formats)
        for (const auto& size : sizes) {
            const uint32_t w = size[0], h = size[1];
            const size_t blockBytes = f.flags == squish::kDxt1 ? 8 : 16;
            const auto blocks = NoiseBytes((w + 3) / 4 * ((h + 3) / 4) * blockBytes, w * 31 + h);
            std::vector<uint8_t> rgba(size_t(w) * h * 4);
            squish::DecompressImage(rgba.data(), int(w), int(h), blocks.data(), f.flags);
            const auto record = MakeTextureRecord(kTexture, w, h, f.format, blocks);
            DecodedPicture picture;
            ASSERT_TRUE(DecodePicture(archive.Archive(), record,
                writer::MakeEntry(kTexture, 0, uint32_t(record.size())), {.grey = true, .ownAlpha = true},
                picture));
            ASSERT_EQ(picture.alpha.size(), f.format == kTextureDXT1 ? 0 : size_t(w) * h);
            EXPECT_EQ(picture.colour.GetBpp(), 24u);
            EXPECT_TRUE(picture.colour.GetAlpha().empty());
            EXPECT_EQ(picture.noteKind, kNoteNone);
            EXPECT_EQ(picture.displayScale, 1.0f);
            for (uint32_t y = 0; y < h; ++y)
                for (uint32_t x = 0; x < w; ++x) {
                    const uint8_t* want = &rgba[(size_t(y) * w + x) * 4];
                    const uint32_t rgb = uint32_t(want[0] << 16 | want[1] << 8 | want[2]);
                    ASSERT_EQ(PixelFromTop(picture.colour, x, y), rgb) << f.format << " " << w << "x" << h;
                    if (!picture.alpha.empty()) {
                        ASSERT_EQ(picture.alpha[size_t(h - 1 - y) * w + x], want[3]);
                    }
                }
        }
}

// The first stored row on top, drawn opaque; only the 32-bit texture keeps its fourth bytes as
// its own alpha, bottom row first.
TEST(TextureDecode, RawFormatsPutFirstStoredRowOnTopAndDrawOpaque)
{
    const CTextureArchive archive;
    const uint8_t bytes[] = {10, 20, 30, 40, 50, 60, 70, 80};
    const struct {
        uint32_t format, width, height, bytesPerPixel;
        uint32_t top, bottom; // the left pixel of the top and the bottom row
        std::vector<uint8_t> alpha = {};
    } cases[] = {{kTextureGrey8, 2, 4, 1, Grey(10), Grey(70)},
        {kTextureGrey8Alt, 2, 4, 1, Grey(10), Grey(70)}, {kTextureRGB24, 1, 2, 3, 0x1E140Au, 0x3C3228u},
        {kTextureRGB24Alt, 1, 2, 3, 0x1E140Au, 0x3C3228u},
        {kTextureRGBA32, 1, 2, 4, 0x1E140Au, 0x463C32u, {80, 40}}};
    for (const auto& c : cases) {
        const auto record = MakeTextureRecord(kTexture, c.width, c.height, c.format,
            std::span(bytes).first(c.width * c.height * c.bytesPerPixel));
        DecodedPicture d;
        ASSERT_TRUE(DecodePicture(archive.Archive(), record,
            writer::MakeEntry(kTexture, 0, uint32_t(record.size())), {.grey = false, .ownAlpha = true}, d))
            << c.format;
        EXPECT_EQ(PixelFromTop(d.colour, 0, 0), c.top) << c.format;
        EXPECT_EQ(PixelFromTop(d.colour, 0, c.height - 1), c.bottom) << c.format;
        for (uint8_t a : d.colour.GetAlpha())
            EXPECT_EQ(a, 255) << c.format;
        EXPECT_EQ(d.alpha, c.alpha) << c.format;
    }
}

// Grey streams are the image buffer's tests; here the record's data size and colour order.
TEST(TextureDecode, JPEGTexturesDecodeCloseToTheirSource)
{
    const CTextureArchive archive;
    std::vector<uint8_t> rgb;
    for (uint32_t y = 0; y < 16; ++y)
        for (uint32_t x = 0; x < 32; ++x)
            rgb.insert(rgb.end(), {uint8_t(x * 8), uint8_t(255 - y * 16), 60});
    const auto d = archive.Decode(
        kTexture, MakeTextureRecord(kTexture, 32, 16, kTextureJPEG, writer::EncodeJPEG(rgb, 32, 16, 3, 100)));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.colour.GetBpp(), 24u);
    for (uint32_t k = 0; k < 32 * 16; k += 7) {
        const uint32_t p = PixelFromTop(d.colour, k % 32, k / 32);
        EXPECT_NEAR(int(p >> 16), rgb[3 * k], 10) << k;
        EXPECT_NEAR(int((p >> 8) & 0xFF), rgb[3 * k + 1], 10) << k;
        EXPECT_NEAR(int(p & 0xFF), rgb[3 * k + 2], 10) << k;
    }
}

TEST(TextureDecode, UnknownFormatsAndCategoriesDecodeToNothing)
{
    const CTextureArchive archive;
    const uint8_t pixels[16] = {};
    const auto d = archive.Decode(kTexture, MakeTextureRecord(kTexture, 2, 2, 0x12345678, pixels));
    ExpectEmpty(d);
    EXPECT_EQ(d.noteKind, 0u);
    EXPECT_EQ(d.scale, 1.0f);
    ExpectEmpty(archive.Decode(0x0A000001, MakeTextureRecord(0x0A000001, 2, 2, kTextureGrey8, pixels)));
    ExpectEmpty(archive.Decode(kTexture, {}));
    ExpectEmpty(archive.Decode(kTexture, MakeTextureRecord(kTexture, 0, 2, kTextureGrey8, pixels)));
    // Colour tables without colours, or with fewer than they state.
    ExpectEmpty(archive.Decode(kTable, MakeColourTableRecord(kTable, {})));
    auto table = MakeColourTableRecord(kTable, Colours(16));
    table.resize(table.size() - 1);
    ExpectEmpty(archive.Decode(kTable, table));
}

TEST(IndexedTexture, IndicesShowPaletteColoursFirstRowOnTopOrGreyWithoutIt)
{
    const CTextureArchive archive({{kTable, MakeColourTableRecord(kTable, Colours(256))}});
    const uint8_t indices[] = {1, 2, 3, 4, 5, 6};
    auto d =
        archive.Decode(kTexture, MakeIndexedTextureRecord(kTexture, 3, 2, kTextureIndexed8, indices, kTable));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.noteKind, kNotePalette);
    EXPECT_EQ(d.noteFileID, kTable);
    for (uint32_t k = 0; k < 6; ++k) {
        EXPECT_EQ(PixelFromTop(d.colour, k % 3, k / 3), TableColour(indices[k]));
        // The grey picture keeps the indices as levels even with the palette applied.
        EXPECT_EQ(PixelFromTop(d.grey, k % 3, k / 3), Grey(indices[k]));
    }

    const uint16_t values[] = {255, 0, 300, 10};
    d = archive.Decode(
        kTexture, MakeIndexedTextureRecord(kTexture, 2, 2, kTextureIndexed16, Values16(values), kTable));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.noteKind, kNotePalette);
    EXPECT_EQ(PixelFromTop(d.colour, 0, 0), TableColour(255));
    EXPECT_EQ(PixelFromTop(d.colour, 0, 1), 0u); // 300: past the palette
    EXPECT_EQ(PixelFromTop(d.colour, 1, 1), TableColour(10));
    // Grey levels stretch 0 … 300 over 0 … 255.
    EXPECT_EQ(PixelFromTop(d.grey, 0, 0), Grey(216)); // 255 of 0 … 300
    EXPECT_EQ(PixelFromTop(d.grey, 0, 1), Grey(255));

    // Without the palette the indices show as grey.
    const uint8_t levels[] = {0, 100, 200, 255};
    d = CTextureArchive().Decode(
        kTexture, MakeIndexedTextureRecord(kTexture, 2, 2, kTextureIndexed8, levels, kTable));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.noteKind, kNotePaletteNotFound);
    EXPECT_EQ(d.noteFileID, kTable);
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
        auto palette = MakeColourTableRecord(kTable, Colours(c.stored));
        WriteLE32(&palette[4], c.stated);
        const CTextureArchive archive({{kTable, palette}});
        const uint8_t indices[] = {1, 4, 2, 150, 3};
        const auto d = archive.Decode(
            kTexture, MakeIndexedTextureRecord(kTexture, 5, 1, kTextureIndexed8, indices, kTable));
        ASSERT_TRUE(d.ok) << c.stated;
        EXPECT_EQ(d.noteKind, kNotePalette);
        const uint32_t want[] = {TableColour(1), 0, TableColour(2), 0, TableColour(3)};
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

TEST(TextureBounds, EveryFormatNeedsAllItsBytes)
{
    // One record of each format that decodes exactly when nothing of it is missing.
    const std::vector<uint8_t> rgba(5 * 5 * 4, 200);
    const std::vector<uint8_t> bytes(4 * 3 * 4, 9);
    const std::vector<uint8_t> jpeg = writer::EncodeJPEG(std::vector<uint8_t>(16 * 8, 50), 16, 8, 1);
    const std::pair<const char*, std::vector<uint8_t>> records[] = {
        {"DXT1",
            MakeTextureRecord(kTexture, 5, 5, kTextureDXT1, writer::CompressDXT(rgba, 5, 5, kTextureDXT1))},
        {"DXT3",
            MakeTextureRecord(kTexture, 5, 5, kTextureDXT3, writer::CompressDXT(rgba, 5, 5, kTextureDXT3))},
        {"DXT5",
            MakeTextureRecord(kTexture, 5, 5, kTextureDXT5, writer::CompressDXT(rgba, 5, 5, kTextureDXT5))},
        {"8bit", MakeTextureRecord(kTexture, 4, 3, kTextureGrey8, std::span(bytes).first(12))},
        {"24bit", MakeTextureRecord(kTexture, 4, 3, kTextureRGB24, std::span(bytes).first(36))},
        {"32bit", MakeTextureRecord(kTexture, 4, 3, kTextureRGBA32, bytes)},
        {"JPEG", MakeTextureRecord(kTexture, 16, 8, kTextureJPEG, jpeg)},
        {"8bit Indexed",
            MakeIndexedTextureRecord(
                kTexture, 4, 3, kTextureIndexed8, std::span(bytes).first(12), 0x04000001)},
        {"16bit Indexed",
            MakeIndexedTextureRecord(
                kTexture, 4, 3, kTextureIndexed16, std::span(bytes).first(24), 0x04000001)},
        {"16bit Greyscale", MakeTextureRecord(kTexture, 4, 3, kTextureGrey16, std::span(bytes).first(24))},
    };
    const CTextureArchive archive;
    for (const auto& [name, record] : records) {
        ASSERT_TRUE(archive.Decode(kTexture, record).ok) << name;
        // One byte short, either in the bytes themselves or in the size the entry gives.
        ExpectEmpty(archive.Decode(kTexture, std::vector<uint8_t>(record.begin(), record.end() - 1)));
        ExpectEmpty(archive.Decode(kTexture, record, int64_t(record.size()) - 1));
        ExpectEmpty(archive.Decode(kTexture, std::vector<uint8_t>(record.begin(), record.begin() + 23)));
    }
    // A JPEG data size past the record.
    auto record = records[6].second;
    WriteLE32(&record[kTextureDataSizeOffset], uint32_t(record.size())); // 24 more than follow
    ExpectEmpty(archive.Decode(kTexture, record));
}

TEST(TextureBounds, SizesThatOverflowThirtyTwoBitsFailWithoutAllocating)
{
    const CTextureArchive archive;
    const std::vector<uint8_t> little(64, 1);
    struct Size {
        uint32_t width, height;
    };
    // 65536 × 65536 is 0 in 32 bits; the others overflow 64-bit products of four.
    for (const Size size : {Size {65536, 65536}, Size {0xFFFFFFFF, 0xFFFFFFFF}, Size {0x80000000, 2}}) {
        for (uint32_t format : {kTextureDXT1, kTextureDXT5, kTextureGrey8, kTextureRGB24, kTextureRGBA32,
                 kTextureIndexed8, kTextureIndexed16, kTextureGrey16})
            ExpectEmpty(archive.Decode(
                kTexture, MakeTextureRecord(kTexture, size.width, size.height, format, little)));
    }
}

struct Record {
    const DATEntry* entry;
    DATFileBytes bytes;
};

std::vector<std::vector<uint8_t>> DecodeAll(const CDATArchive& archive, const std::vector<Record>& records)
{
    std::vector<std::vector<uint8_t>> results;
    for (const Record& r : records) {
        DecodedPicture picture;
        DecodePicture(archive, r.bytes, *r.entry, {.grey = true, .ownAlpha = true}, picture);
        std::vector<uint8_t> result(picture.colour.GetDib().begin(), picture.colour.GetDib().end());
        result.insert(result.end(), picture.grey.GetDib().begin(), picture.grey.GetDib().end());
        result.insert(result.end(), picture.alpha.begin(), picture.alpha.end());
        results.push_back(std::move(result));
    }
    return results;
}

// Every thread of a pool decodes every picture of one open archive (palettes looked up in its
// catalogue included) and gets the pictures that one thread alone gets.
TEST(ConcurrentDecode, ThreadsGetWhatOneThreadGets)
{
    const fixture::COpenedArchive opened(demo::WriteDemoArchive);
    CDATArchive& archive = *opened.archive;
    ASSERT_TRUE(archive.BuildCatalogue());
    std::vector<Record> records;
    for (uint8_t category : {kCategoryColourTable, kCategoryTexture})
        for (const DATEntry* entry : archive.CategoryLists().at(category))
            records.push_back({entry, archive.ReadFile(*entry).value_or(DATFileBytes {})});
    const auto alone = DecodeAll(archive, records);
    ASSERT_GT(std::ranges::count_if(alone, [](const auto& r) { return !r.empty(); }), 10);

    std::vector<std::vector<std::vector<uint8_t>>> together(4);
    std::vector<std::thread> threads;
    for (auto& results : together)
        threads.emplace_back([&] { results = DecodeAll(archive, records); });
    for (auto& t : threads)
        t.join();
    for (const auto& results : together)
        EXPECT_EQ(results, alone);
}

} // namespace
} // namespace orvanel
