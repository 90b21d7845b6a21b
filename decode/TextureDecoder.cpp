// Turning texture and colour table records into pictures.

#include "decode/TextureDecoder.h"

#include "archive/DATArchive.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>
#include <squish.h>
#include <vector>

namespace orvanel {

namespace {

// Grey levels, blue-green-red or blue-green-red-alpha pixels: width × height pixels from the
// data offset, first stored row on top.
bool DecodeRaw(const TextureRecord& record, CDibImage& colour)
{
    uint32_t bytesPerPixel = 0;
    switch (record.format) {
    case kTextureGrey8:
    case kTextureGrey8Alt: bytesPerPixel = 1; break;
    case kTextureRGB24:
    case kTextureRGB24Alt: bytesPerPixel = 3; break;
    case kTextureRGBA32: bytesPerPixel = 4; break;
    default: return false;
    }
    const uint64_t pixels = uint64_t(record.width) * record.height;
    if (!CStoredRecord::HoldsItems(record.pixels.size(), 0, pixels, bytesPerPixel))
        return false;
    return colour.CreateFromArray(record.pixels, record.width, record.height, bytesPerPixel * 8,
        record.width * bytesPerPixel, true);
}

// DXT1, DXT3 and DXT5 blocks: a 24-bit picture without alpha plane.
bool DecodeDXT(const TextureRecord& record, CDibImage& colour)
{
    int flags = 0;
    switch (record.format) {
    case kTextureDXT1: flags = squish::kDxt1; break;
    case kTextureDXT3: flags = squish::kDxt3; break;
    case kTextureDXT5: flags = squish::kDxt5; break;
    default: return false;
    }
    const uint32_t width = record.width, height = record.height;
    const uint64_t blockBytes = flags == squish::kDxt1 ? 8 : 16;
    // Blocks cover 4 × 4 pixels; partial blocks at the right and bottom edges are stored whole.
    const uint64_t blocksPerRow = (uint64_t(width) + 3) / 4;
    const uint64_t blockRows = (uint64_t(height) + 3) / 4;
    if (!CStoredRecord::HoldsItems(record.pixels.size(), 0, blocksPerRow * blockRows, blockBytes))
        return false;
    CDibImage image;
    if (!image.Create(width, height, 24))
        return false;
    // One call for the whole picture: libsquish spreads it over its worker threads, and
    // every call pays for starting and joining them. It writes every pixel, so the buffer
    // needs no clearing.
    std::unique_ptr<uint8_t[]> rgba;
    try {
        rgba = std::make_unique_for_overwrite<uint8_t[]>(size_t(width) * height * 4);
    } catch (const std::bad_alloc&) {
        return false;
    }
    squish::DecompressImage(rgba.get(), int(width), int(height), record.pixels.data(), flags);
    // Red, green, blue become the picture's blue, green, red, first stored row on top.
    const size_t stride = image.GetEffWidth();
    const uint8_t* src = rgba.get();
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* dst = image.GetBits() + size_t(height - 1 - y) * stride;
        for (uint32_t x = 0; x < width; ++x, src += 4, dst += 3) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
        }
    }
    colour = std::move(image);
    return true;
}

// A JPEG stream of data-size bytes.
bool DecodeJPEG(const TextureRecord& record, CDibImage& colour)
{
    if (record.format != kTextureJPEG || record.dataSize > record.pixels.size())
        return false;
    return colour.Decode(record.pixels.first(record.dataSize), kImageTypeJPEG);
}

// Width of the colour table picture for count colours: the smallest divisor of count that is
// not below its truncated square root.
uint32_t ColourTableWidth(uint32_t count)
{
    uint32_t width = uint32_t(std::sqrt(double(count)));
    while (uint64_t(width) * width > count) // guard against the square root rounding up
        --width;
    width = std::max<uint32_t>(width, 1);
    while (count % width != 0)
        ++width;
    return width;
}

// A colour table as a picture of its colours, row by row from the top left, drawn at scale 8.
bool DecodeColourTable(const ColourTableRecord& record, CDibImage& colour, float& displayScale)
{
    const uint32_t count = record.count;
    if (count == 0 || record.PresentCount() < count)
        return false;
    const uint32_t width = ColourTableWidth(count);
    if (!colour.CreateFromArray(record.colours, width, count / width, 32, width * 4, true))
        return false;
    displayScale = 8.0f;
    return true;
}

bool DecodeTexture(const CDATArchive& archive, const TextureRecord& record, CDibImage& colour,
    CDibImage& grey, uint32_t& noteKind, uint32_t& noteFileID)
{
    return DecodeDXT(record, colour) || DecodeRaw(record, colour) || DecodeJPEG(record, colour)
        || DecodeIndexedTexture(archive, record, colour, grey, noteKind, noteFileID);
}

} // namespace

bool DecodeImage(const CDATArchive& archive, std::span<const uint8_t> bytes,
    const DATEntry& entry, CDibImage& colour, CDibImage& grey, float& displayScale,
    uint32_t& noteKind, uint32_t& noteFileID)
{
    colour.Destroy();
    grey.Destroy();
    displayScale = 1.0f;
    noteKind = kNoteNone;
    noteFileID = 0;
    const CStoredRecord stored(bytes, entry);
    bool decoded = false;
    try {
        switch (CategoryOf(entry.fileID)) {
        case kCategoryColourTable:
            if (const auto table = ReadColourTableRecord(stored))
                decoded = DecodeColourTable(*table, colour, displayScale);
            break;
        case kCategoryTexture:
            if (const auto texture = ReadTextureRecord(stored))
                decoded = DecodeTexture(archive, *texture, colour, grey, noteKind, noteFileID);
            break;
        default:
            break;
        }
        if (decoded && colour.IsValid()) {
            colour.AlphaSet(255);
            // The indexed decoders make their own grey picture; the others get the colour
            // picture turned grey. Without memory for it only the colour picture is shown.
            if (!grey.IsValid())
                grey.GrayScaleOf(colour);
        }
    } catch (const std::bad_alloc&) {
        decoded = false;
    }
    if (!decoded || !colour.IsValid()) {
        colour.Destroy();
        grey.Destroy();
        return false;
    }
    return true;
}

} // namespace orvanel
