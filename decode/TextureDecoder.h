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

// The indexed and 16-bit greyscale formats: both pictures and the caption note, the palette
// looked up in archive. False, without touching the images, for a record of another format,
// and false for a record too short for its values and palette ID.
bool DecodeIndexedTexture(const CDATArchive& archive, const TextureRecord& record,
    CDibImage& colour, CDibImage& grey, uint32_t& noteKind, uint32_t& noteFileID);

} // namespace orvanel
