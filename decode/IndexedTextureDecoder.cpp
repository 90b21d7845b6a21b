// Indexed and 16-bit greyscale textures: a grey picture of the stored values, and a colour
// picture through the palette (a colour table record) that the texture names.

#include "archive/DATArchive.h"
#include "decode/TextureDecoder.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace orvanel {

namespace {

// The stored values of an indexed texture: width × height values of 1 or 2 bytes, top row
// first, followed (for palette formats) by the palette's file ID.
struct IndexedValues {
    std::span<const uint8_t> data;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bytesPerValue = 1;

    uint32_t At(size_t k) const { return bytesPerValue == 1 ? data[k] : ReadLE16(&data[2 * k]); }
};

// A 24-bit picture whose pixel for stored value k is colourOf(k); the first stored row is
// the top row.
template <typename ColourOf>
bool PaintValues(CDibImage& image, const IndexedValues& values, ColourOf colourOf)
{
    CDibImage painted;
    if (!painted.Create(values.width, values.height, 24))
        return false;
    const size_t stride = painted.GetEffWidth();
    for (uint32_t r = 0; r < values.height; ++r) {
        uint8_t* dst = painted.GetBits() + size_t(values.height - 1 - r) * stride;
        const size_t first = size_t(r) * values.width;
        for (uint32_t x = 0; x < values.width; ++x, dst += 3)
            colourOf(first + x, dst);
    }
    image = std::move(painted);
    return true;
}

// The palette's colours as stored, or nothing when the archive does not hold it.
std::optional<DATFileBytes> ReadPalette(const CDATArchive& archive, uint32_t fileID)
{
    const DATFileRecord* file = archive.FindFile(fileID);
    const DATEntry* entry = file ? file->GetVersion(0) : nullptr;
    if (!entry)
        return std::nullopt;
    return archive.ReadFile(*entry);
}

// The grey picture: 8-bit values are grey levels; 16-bit values are stretched so that the
// smallest becomes 0 and the largest 255 (all black when they are all equal).
bool PaintGrey(CDibImage& grey, const IndexedValues& values)
{
    if (values.bytesPerValue == 1) {
        return PaintValues(grey, values, [&](size_t k, uint8_t* p) { p[0] = p[1] = p[2] = values.data[k]; });
    }
    const size_t count = size_t(values.width) * values.height;
    uint32_t low = 65535, high = 0;
    for (size_t k = 0; k < count; ++k) {
        low = std::min(low, values.At(k));
        high = std::max(high, values.At(k));
    }
    return PaintValues(grey, values, [&](size_t k, uint8_t* p) {
        p[0] = p[1] = p[2] = high == low ? 0 : uint8_t((values.At(k) - low) * 255 / (high - low));
    });
}

// The colour picture through a palette record. An index at or past the palette's colours
// leaves its pixel black in its own place; no colour outside the palette is read.
bool PaintPalette(CDibImage& colour, const IndexedValues& values, std::span<const uint8_t> palette)
{
    const auto table = ReadColourTableRecord(CStoredRecord(palette));
    const uint32_t count = table ? table->PresentCount() : 0;
    const uint8_t* colours = table ? table->colours.data() : nullptr;
    return PaintValues(colour, values, [&](size_t k, uint8_t* p) {
        const uint32_t index = values.At(k);
        if (index < count) {
            const uint8_t* c = colours + 4 * size_t(index);
            p[0] = c[0];
            p[1] = c[1];
            p[2] = c[2];
        }
    });
}

// The pictures of an indexed texture. Palette formats store the palette's file ID after
// the values; the colour picture is the grey one when that palette is not in the archive.
// Without makeGrey the grey picture is painted only when it is the colour picture.
bool DecodeIndexed(const CDATArchive& archive, const TextureRecord& record, uint32_t bytesPerValue,
    bool withPalette, bool makeGrey, CDibImage& colour, CDibImage& grey, uint32_t& noteKind,
    uint32_t& noteFileID)
{
    const IndexedValues values {record.pixels, record.width, record.height, bytesPerValue};
    const uint64_t count = uint64_t(record.width) * record.height;
    if (!CStoredRecord::HoldsItems(record.pixels.size(), 0, count, bytesPerValue))
        return false;
    const uint64_t paletteIDOffset = count * bytesPerValue;
    if (withPalette && !CStoredRecord::HoldsItems(record.pixels.size(), paletteIDOffset, 4, 1))
        return false;
    noteKind = kNotePaletteNotFound;
    std::optional<DATFileBytes> palette;
    if (withPalette) {
        noteFileID = ReadLE32(record.pixels.data() + paletteIDOffset);
        palette = ReadPalette(archive, noteFileID);
    }
    if (!palette) {
        if (!withPalette)
            noteKind = kNoteGreyscale16;
        if (!makeGrey)
            return PaintGrey(colour, values);
        return PaintGrey(grey, values) && colour.Copy(grey);
    }
    if (makeGrey && !PaintGrey(grey, values))
        return false;
    noteKind = kNotePalette;
    return PaintPalette(colour, values, *palette);
}

} // namespace

bool DecodeIndexedTexture(const CDATArchive& archive, const TextureRecord& record, CDibImage& colour,
    CDibImage& grey, uint32_t& noteKind, uint32_t& noteFileID, bool makeGrey)
{
    switch (record.format) {
    case kTextureIndexed8:
        return DecodeIndexed(archive, record, 1, true, makeGrey, colour, grey, noteKind, noteFileID);
    case kTextureIndexed16:
        return DecodeIndexed(archive, record, 2, true, makeGrey, colour, grey, noteKind, noteFileID);
    case kTextureGrey16:
    case kTextureGrey16Alt:
        return DecodeIndexed(archive, record, 2, false, makeGrey, colour, grey, noteKind, noteFileID);
    default: return false;
    }
}

} // namespace orvanel
