#include "decode/TextureRecord.h"
#include "tests/decode/DecodeTestSupport.h"
#include "writer/RecordBuilders.h"

#include <gtest/gtest.h>

namespace orvanel {
namespace {

using test::CTextureArchive;
using writer::MakeIndexedTextureRecord;
using writer::MakeTextureRecord;

constexpr uint32_t kTexture = 0x06000200;

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
        test::ExpectEmpty(archive.Decode(kTexture, std::vector<uint8_t>(record.begin(), record.end() - 1)));
        test::ExpectEmpty(archive.Decode(kTexture, record, int64_t(record.size()) - 1));
        test::ExpectEmpty(
            archive.Decode(kTexture, std::vector<uint8_t>(record.begin(), record.begin() + 23)));
    }
    // A JPEG data size past the record.
    auto record = records[6].second;
    WriteLE32(&record[kTextureDataSizeOffset], uint32_t(record.size())); // 24 more than follow
    test::ExpectEmpty(archive.Decode(kTexture, record));
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
            test::ExpectEmpty(archive.Decode(
                kTexture, MakeTextureRecord(kTexture, size.width, size.height, format, little)));
    }
}

} // namespace
} // namespace orvanel
