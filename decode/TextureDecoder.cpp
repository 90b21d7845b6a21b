// Turning texture and colour table records into pictures.

#include "decode/TextureDecoder.h"

#include "archive/DATArchive.h"

#include <algorithm>
#include <cmath>
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
    return colour.CreateFromArray(
        record.pixels, record.width, record.height, bytesPerPixel * 8, record.width * bytesPerPixel, true);
}

// Where the pixels of decompressed DXT blocks go: the colour picture's rows and, when asked,
// the grey picture's and the opacities' rows.
struct BlockTargets {
    uint8_t* colour = nullptr;
    size_t colourStride = 0;
    uint8_t* grey = nullptr;
    size_t greyStride = 0;
    uint8_t* alpha = nullptr;
    size_t alphaStride = 0;
};

// One row of a block's pixels (red, green, blue, alpha) at column left of picture row y.
// Full rows of four pixels are the common case; the compiler unrolls them.
template <bool kGrey, bool kAlpha, uint32_t kColumns>
inline void PlaceRow(const uint8_t* src, uint32_t columns, const BlockTargets& t, size_t y, size_t left)
{
    const uint32_t count = kColumns != 0 ? kColumns : columns;
    uint8_t* dst = t.colour + y * t.colourStride + 3 * left;
    for (uint32_t c = 0; c < count; ++c) {
        const uint8_t* p = src + 4 * c;
        dst[3 * c] = p[2];
        dst[3 * c + 1] = p[1];
        dst[3 * c + 2] = p[0];
        if constexpr (kGrey)
            t.grey[y * t.greyStride + left + c] = GreyLevel(p[2], p[1], p[0]);
        if constexpr (kAlpha)
            t.alpha[y * t.alphaStride + left + c] = p[3];
    }
}

// Decompresses the blocks one at a time on the calling thread and writes each straight into
// the rows, the first stored row at the top (the last row in memory).
template <bool kGrey, bool kAlpha>
void PlaceBlocks(const uint8_t* block, size_t blockBytes, int flags, uint32_t width, uint32_t height,
    const BlockTargets& t)
{
    uint8_t rgba[16 * 4]; // one block's pixels, top row first
    for (uint32_t top = 0; top < height; top += 4) {
        const uint32_t rows = std::min<uint32_t>(4, height - top);
        for (uint32_t left = 0; left < width; left += 4, block += blockBytes) {
            squish::Decompress(rgba, block, flags);
            const uint32_t columns = std::min<uint32_t>(4, width - left);
            for (uint32_t r = 0; r < rows; ++r) {
                const size_t y = height - 1 - (top + r);
                if (columns == 4)
                    PlaceRow<kGrey, kAlpha, 4>(rgba + 16 * r, 4, t, y, left);
                else
                    PlaceRow<kGrey, kAlpha, 0>(rgba + 16 * r, columns, t, y, left);
            }
        }
    }
}

// DXT1, DXT3 and DXT5 blocks: a 24-bit picture without alpha plane and, when asked, its
// grey picture and the blocks' own alpha, all written in one pass over the blocks.
bool DecodeDXT(const TextureRecord& record, const PictureRequest& request, DecodedPicture& out)
{
    int flags = 0;
    switch (record.format) {
    case kTextureDXT1: flags = squish::kDxt1; break;
    case kTextureDXT3: flags = squish::kDxt3; break;
    case kTextureDXT5: flags = squish::kDxt5; break;
    default: return false;
    }
    const uint32_t width = record.width, height = record.height;
    const size_t blockBytes = flags == squish::kDxt1 ? 8 : 16;
    // Blocks cover 4 × 4 pixels; partial blocks at the right and bottom edges are stored whole.
    const uint64_t blocksPerRow = (uint64_t(width) + 3) / 4;
    const uint64_t blockRows = (uint64_t(height) + 3) / 4;
    if (!CStoredRecord::HoldsItems(record.pixels.size(), 0, blocksPerRow * blockRows, blockBytes))
        return false;
    CDibImage colour, grey;
    if (!colour.Create(width, height, 24))
        return false;
    if (request.grey && !grey.CreateGrey(width, height))
        return false;
    const bool withAlpha = request.ownAlpha && flags != squish::kDxt1;
    std::vector<uint8_t> alpha(withAlpha ? size_t(width) * height : 0);

    const BlockTargets t {
        colour.GetBits(), colour.GetEffWidth(), grey.GetBits(), grey.GetEffWidth(), alpha.data(), width};
    const uint8_t* blocks = record.pixels.data();
    if (request.grey && withAlpha)
        PlaceBlocks<true, true>(blocks, blockBytes, flags, width, height, t);
    else if (request.grey)
        PlaceBlocks<true, false>(blocks, blockBytes, flags, width, height, t);
    else if (withAlpha)
        PlaceBlocks<false, true>(blocks, blockBytes, flags, width, height, t);
    else
        PlaceBlocks<false, false>(blocks, blockBytes, flags, width, height, t);
    out.colour = std::move(colour);
    out.grey = std::move(grey);
    out.alpha = std::move(alpha);
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

bool DecodeTexture(const CDATArchive& archive, const TextureRecord& record, const PictureRequest& request,
    DecodedPicture& out)
{
    if (DecodeDXT(record, request, out))
        return true;
    if (DecodeRaw(record, out.colour)) {
        // A 32-bit texture's stored alpha, before the picture is made opaque.
        if (request.ownAlpha && record.format == kTextureRGBA32)
            out.alpha.assign(out.colour.GetAlpha().begin(), out.colour.GetAlpha().end());
        return true;
    }
    return DecodeJPEG(record, out.colour)
        || DecodeIndexedTexture(
            archive, record, out.colour, out.grey, out.noteKind, out.noteFileID, request.grey);
}

} // namespace

bool DecodePicture(const CDATArchive& archive, std::span<const uint8_t> bytes, const DATEntry& entry,
    const PictureRequest& request, DecodedPicture& picture)
{
    picture = DecodedPicture();
    const CStoredRecord stored(bytes, entry);
    bool decoded = false;
    try {
        switch (CategoryOf(entry.fileID)) {
        case kCategoryColourTable:
            if (const auto table = ReadColourTableRecord(stored))
                decoded = DecodeColourTable(*table, picture.colour, picture.displayScale);
            break;
        case kCategoryTexture:
            if (const auto texture = ReadTextureRecord(stored))
                decoded = DecodeTexture(archive, *texture, request, picture);
            break;
        default: break;
        }
        if (decoded && picture.colour.IsValid()) {
            picture.colour.AlphaSet(255);
            // The indexed and DXT decoders make their own grey picture; the others get the
            // colour picture turned grey. Without memory for it only the colour picture is shown.
            if (request.grey && !picture.grey.IsValid())
                picture.grey.GrayScaleOf(picture.colour);
        }
    } catch (const std::bad_alloc&) {
        decoded = false;
    }
    if (!decoded || !picture.colour.IsValid()) {
        picture = DecodedPicture();
        return false;
    }
    return true;
}

bool DecodeImage(const CDATArchive& archive, std::span<const uint8_t> bytes, const DATEntry& entry,
    CDibImage& colour, CDibImage& grey, float& displayScale, uint32_t& noteKind, uint32_t& noteFileID)
{
    DecodedPicture picture;
    const bool decoded = DecodePicture(archive, bytes, entry, PictureRequest {}, picture);
    colour = std::move(picture.colour);
    grey = std::move(picture.grey);
    displayScale = picture.displayScale;
    noteKind = picture.noteKind;
    noteFileID = picture.noteFileID;
    return decoded;
}

} // namespace orvanel
