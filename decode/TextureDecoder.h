#pragma once
// Decoding of texture and colour table records into pictures.

#include "decode/DibImage.h"
#include "decode/TextureRecord.h"

#include "archive/DATFormat.h"

#include <cstdint>
#include <span>

namespace orvanel {

class CDATArchive;

// Decodes a stored texture or colour table record into a colour and a greyscale picture,
// with the scale to draw them at and the caption note. Indexed textures find their palettes
// in archive's catalogue. False, with both pictures empty, for anything that does not decode.
bool DecodeImage(const CDATArchive& archive, std::span<const uint8_t> bytes,
    const DATEntry& entry, CDibImage& colour, CDibImage& grey, float& displayScale,
    uint32_t& noteKind, uint32_t& noteFileID);

// The format steps of DecodeImage. Each returns false, without touching the images, for a
// record of another format, and false for a record too short for what its width, height and
// format imply.

// DXT1, DXT3 and DXT5 blocks: a 24-bit picture without alpha plane.
bool DecodeDXT(const TextureRecord& record, CDibImage& colour);
// One grey level, blue-green-red or blue-green-red-alpha per pixel, first stored row on top.
bool DecodeGrey8(const TextureRecord& record, CDibImage& colour);
bool DecodeRGB24(const TextureRecord& record, CDibImage& colour);
bool DecodeRGBA32(const TextureRecord& record, CDibImage& colour);
// A JPEG stream of data-size bytes.
bool DecodeJPEG(const TextureRecord& record, CDibImage& colour);
// Palette indices of 8 or 16 bits (and 16-bit grey values): both pictures and the caption
// note, the palette looked up in archive.
bool DecodeIndexed8(const CDATArchive& archive, const TextureRecord& record, CDibImage& colour,
    CDibImage& grey, uint32_t& noteKind, uint32_t& noteFileID);
bool DecodeIndexed16(const CDATArchive& archive, const TextureRecord& record, CDibImage& colour,
    CDibImage& grey, uint32_t& noteKind, uint32_t& noteFileID);
// A colour table as a picture of its colours, row by row from the top left, drawn at scale 8.
bool DecodeColourTable(const ColourTableRecord& record, CDibImage& colour, float& displayScale);

// Width of the colour table picture for count colours: the smallest divisor of count that is
// not below its truncated square root; 0 for no colours.
uint32_t ColourTableWidth(uint32_t count);

} // namespace orvanel
