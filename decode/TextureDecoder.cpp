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
    return colour.CreateFromArray(record.pixels, record.width, record.height, bytesPerPixel * 8,
        record.width * bytesPerPixel, true);
}

// DXT1, DXT3 and DXT5 blocks: a 24-bit picture without alpha plane and, when asked, its
// grey picture and the blocks' own alpha, all written in one pass over the blocks. Each
// block is decompressed on its own, on the calling thread.
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

    const size_t stride = colour.GetEffWidth();
    const size_t greyStride = grey.GetEffWidth();
    const uint8_t* block = record.pixels.data();
    uint8_t rgba[16 * 4]; // one block's pixels: red, green, blue, alpha, top row first
    for (uint32_t top = 0; top < height; top += 4) {
        const uint32_t rows = std::min<uint32_t>(4, height - top);
        for (uint32_t left = 0; left < width; left += 4, block += blockBytes) {
            squish::Decompress(rgba, block, flags);
            const uint32_t columns = std::min<uint32_t>(4, width - left);
            for (uint32_t r = 0; r < rows; ++r) {
                // The first stored row is the picture's top row, the last row in memory.
                const size_t y = height - 1 - (top + r);
                const uint8_t* src = rgba + 16 * r;
                uint8_t* dst = colour.GetBits() + y * stride + 3 * size_t(left);
                for (uint32_t c = 0; c < columns; ++c, src += 4, dst += 3) {
                    dst[0] = src[2];
                    dst[1] = src[1];
                    dst[2] = src[0];
                }
                if (request.grey) {
                    src = rgba + 16 * r;
                    uint8_t* levels = grey.GetBits() + y * greyStride + left;
                    for (uint32_t c = 0; c < columns; ++c, src += 4)
                        levels[c] = GreyLevel(src[2], src[1], src[0]);
                }
                if (withAlpha) {
                    src = rgba + 16 * r;
                    uint8_t* opacities = alpha.data() + y * width + left;
                    for (uint32_t c = 0; c < columns; ++c, src += 4)
                        opacities[c] = src[3];
                }
            }
        }
    }
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

bool DecodeTexture(const CDATArchive& archive, const TextureRecord& record,
    const PictureRequest& request, DecodedPicture& out)
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
        || DecodeIndexedTexture(archive, record, out.colour, out.grey, out.noteKind, out.noteFileID,
            request.grey);
}

} // namespace

bool DecodePicture(const CDATArchive& archive, std::span<const uint8_t> bytes,
    const DATEntry& entry, const PictureRequest& request, DecodedPicture& picture)
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
        default:
            break;
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

bool DecodeImage(const CDATArchive& archive, std::span<const uint8_t> bytes,
    const DATEntry& entry, CDibImage& colour, CDibImage& grey, float& displayScale,
    uint32_t& noteKind, uint32_t& noteFileID)
{
    DecodedPicture picture;
    const bool decoded = DecodePicture(archive, bytes, entry, PictureRequest{}, picture);
    colour = std::move(picture.colour);
    grey = std::move(picture.grey);
    displayScale = picture.displayScale;
    noteKind = picture.noteKind;
    noteFileID = picture.noteFileID;
    return decoded;
}

} // namespace orvanel
