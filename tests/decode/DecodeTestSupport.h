#pragma once
// Reading pictures back in the decoding tests, and decoding records through an archive built
// for the test.

#include "archive/DATArchive.h"
#include "decode/DibImage.h"
#include "decode/TextureDecoder.h"
#include "tests/support/CatalogueFixture.h"
#include "writer/ArchiveBuilder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace orvanel::test {

// The colour at (x, y) counted from the top-left, as 0xRRGGBB, read from the image's
// bottom-up rows (a palette image through its palette).
inline uint32_t PixelFromTop(const CDibImage& image, uint32_t x, uint32_t y)
{
    const uint8_t* row = image.GetBits() + size_t(image.GetHeight() - 1 - y) * image.GetEffWidth();
    const uint8_t* bgr = row + 3 * x;
    if (image.GetBpp() == 8)
        bgr = image.GetDib().data() + kDibHeaderSize + 4 * size_t(row[x]);
    return (uint32_t(bgr[2]) << 16) | (uint32_t(bgr[1]) << 8) | bgr[0];
}

inline uint32_t Grey(uint8_t level)
{
    return level * 0x010101u;
}

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

inline void ExpectEmpty(const Decoded& d)
{
    EXPECT_FALSE(d.ok);
    EXPECT_FALSE(d.colour.IsValid());
    EXPECT_FALSE(d.grey.IsValid());
}

} // namespace orvanel::test
