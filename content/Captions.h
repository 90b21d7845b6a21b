#pragma once
// The captions and labels the file view shows beside a picture, a sound or a bad file.

#include <cstdint>
#include <span>
#include <string>

namespace orvanel {

// "W x H x BPP x SCALE%", with " (%08X, Not Found)", " (%08X)" or " (Greyscale)" after it by
// the caption note kind the picture decoder reported.
std::string ImageCaption(uint32_t width, uint32_t height, uint32_t bitsPerPixel, float displayScale,
    uint32_t noteKind, uint32_t noteFileID);

// What is said of a texture record that decoded to no picture because its pixel format is
// none the decoder knows: "unknown pixel format 0x..."; empty for any other record.
std::string UndecodedTextureCaption(std::span<const uint8_t> bytes);

// The warning shown for a stored file whose first word is not its directory ID.
std::string BadFileMessage(uint32_t directoryID, uint32_t storedWord);

// "RATE Hz, BITS bits, CHANNELS channels, SECONDSs". The duration is the number of whole
// frames over the rate; a sound without frames or rate lasts 0.0 s.
std::string SoundLabel(uint32_t samplesPerSecond, uint32_t bitsPerSample, uint32_t channels,
    uint32_t blockAlign, uint32_t sampleBytes);

} // namespace orvanel
