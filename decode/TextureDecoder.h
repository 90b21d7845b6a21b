#pragma once
// Decoding of texture and colour table records into pictures.

#include "decode/DibImage.h"
#include "decode/TextureRecord.h"

#include "archive/DATFormat.h"

#include <cstdint>
#include <span>
#include <vector>

namespace orvanel {

class CDATArchive;

// What DecodePicture makes beside the colour picture.
struct PictureRequest {
    // The greyscale picture the viewer switches to; saving files never needs it.
    bool grey = true;
    // The texture's own opacities, for files that keep them.
    bool ownAlpha = false;
};

// A decoded texture or colour table.
struct DecodedPicture {
    // Opaque, exactly as DecodeImage gives it: an alpha plane, when there is one, is all 255.
    CDibImage colour;
    // Empty unless the request asked for it.
    CDibImage grey;
    // The texture's own opacities beside the opaque colour picture: width × height bytes,
    // rows bottom-up like the picture's. DXT3 and DXT5 textures as decoded, 32-bit
    // textures as stored; empty for every other format, and unless the request asked.
    std::vector<uint8_t> alpha;
    float displayScale = 1.0f;
    uint32_t noteKind = kNoteNone;
    uint32_t noteFileID = 0;
};

// Decodes a stored texture or colour table record into a colour and a greyscale picture,
// with the scale to draw them at and the caption note. Indexed textures find their palettes
// in archive's catalogue. False, with both pictures empty, for anything that does not decode.
// Keeps no state: several threads may decode different records of one open archive at once.
bool DecodeImage(const CDATArchive& archive, std::span<const uint8_t> bytes, const DATEntry& entry,
    CDibImage& colour, CDibImage& grey, float& displayScale, uint32_t& noteKind, uint32_t& noteFileID);

// DecodeImage making only what request asks for beside the colour picture. False, with
// picture reset to its empty state, for anything that does not decode.
bool DecodePicture(const CDATArchive& archive, std::span<const uint8_t> bytes, const DATEntry& entry,
    const PictureRequest& request, DecodedPicture& picture);

// The indexed and 16-bit greyscale formats: the colour picture and the caption note, the
// palette looked up in archive, and with makeGrey the grey picture of the stored values.
// False, without touching the images, for a record of another format, and false for a
// record too short for its values and palette ID.
bool DecodeIndexedTexture(const CDATArchive& archive, const TextureRecord& record, CDibImage& colour,
    CDibImage& grey, uint32_t& noteKind, uint32_t& noteFileID, bool makeGrey = true);

} // namespace orvanel
