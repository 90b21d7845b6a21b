#pragma once
// Makes the bytes of stored picture and sound records, and the compressed pixel data that
// goes in them, for tests, benchmarks and sample archives.

#include "decode/WaveSound.h"

#include <cstdint>
#include <span>
#include <vector>

namespace orvanel::writer {

// Texture record: ID, an unread word, width, height, format, data size (the size of data),
// then data.
std::vector<uint8_t> MakeTextureRecord(
    uint32_t id, uint32_t width, uint32_t height, uint32_t format, std::span<const uint8_t> data);
// Indexed texture record: the header, the indices (1 or 2 bytes each, as given), then the
// palette's file ID.
std::vector<uint8_t> MakeIndexedTextureRecord(uint32_t id, uint32_t width, uint32_t height, uint32_t format,
    std::span<const uint8_t> indices, uint32_t paletteID);
// 16-bit values stored little-endian, for the 16-bit indexed and greyscale formats.
std::vector<uint8_t> Values16(std::span<const uint16_t> values);
// Colour table record of colours written as 0xAARRGGBB little-endian.
std::vector<uint8_t> MakeColourTableRecord(uint32_t id, std::span<const uint32_t> colours);

// A PCM format header (its extra size 0).
WaveFormat PCMFormat(uint16_t channels, uint32_t samplesPerSec, uint16_t bitsPerSample);
// Sound record: ID, format size 18, sample byte count, the format with its extra size set to
// the size of extra, two unread bytes, the extra bytes, then the samples.
std::vector<uint8_t> MakeSoundRecord(
    uint32_t id, WaveFormat format, std::span<const uint8_t> samples, std::span<const uint8_t> extra = {});

// DXT blocks compressed by libsquish from red-green-blue-alpha pixels, top row first;
// format is one of the three DXT texture format codes.
std::vector<uint8_t> CompressDXT(
    std::span<const uint8_t> rgba, uint32_t width, uint32_t height, uint32_t format);
// A JPEG stream of grey levels (components 1) or red-green-blue pixels (components 3), top
// row first; dotsPerInch 0 leaves the density unstated.
std::vector<uint8_t> EncodeJPEG(std::span<const uint8_t> pixels, uint32_t width, uint32_t height,
    int components, int quality = 95, uint16_t dotsPerInch = 0);

} // namespace orvanel::writer
