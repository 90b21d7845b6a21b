#pragma once
// Stored picture records: textures (category 0x06) in their pixel formats and colour tables
// (category 0x04), lists of 32-bit colours that are also the palettes of indexed textures.

#include "archive/FileCodes.h"
#include "decode/StoredRecord.h"

#include <cstdint>
#include <optional>
#include <span>

namespace orvanel {

// Texture record: file ID, a field not read, width, height, format, data size, then the
// pixel data, rows top first.
inline constexpr uint32_t kTextureWidthOffset = 8;
inline constexpr uint32_t kTextureHeightOffset = 12;
inline constexpr uint32_t kTextureFormatOffset = 16;
inline constexpr uint32_t kTextureDataSizeOffset = 20;
inline constexpr uint32_t kTexturePixelsOffset = 24;

// Colour table record: file ID, colour count, then the colours (blue, green, red, alpha).
inline constexpr uint32_t kColourTableCountOffset = 4;
inline constexpr uint32_t kColourTableColoursOffset = 8;

// Caption note kinds reported with a decoded picture.
inline constexpr uint32_t kNoteNone = 0;
inline constexpr uint32_t kNotePaletteNotFound = 1;
inline constexpr uint32_t kNotePalette = 2;
inline constexpr uint32_t kNoteGreyscale16 = 3;

struct TextureRecord {
    uint32_t fileID = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t format = 0;
    uint32_t dataSize = 0; // meaningful only for JPEG
    // Everything after the header up to the end of the stored file.
    std::span<const uint8_t> pixels;
};

struct ColourTableRecord {
    uint32_t fileID = 0;
    uint32_t count = 0; // as stored: may claim more colours than follow
    std::span<const uint8_t> colours;

    // The colours really present: the stated count, cut to the bytes that follow.
    uint32_t PresentCount() const { return uint32_t(std::min<uint64_t>(count, colours.size() / 4)); }
};

// Nothing when the record is too short for its header.
std::optional<TextureRecord> ReadTextureRecord(const CStoredRecord& record);
std::optional<ColourTableRecord> ReadColourTableRecord(const CStoredRecord& record);

} // namespace orvanel
