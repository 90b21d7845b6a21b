#include "content/Captions.h"

#include "decode/TextureRecord.h"

#include <cstdio>

namespace orvanel {

std::string ImageCaption(uint32_t width, uint32_t height, uint32_t bitsPerPixel, float displayScale,
    uint32_t noteKind, uint32_t noteFileID)
{
    char caption[160];
    int length = std::snprintf(caption, sizeof caption, "%lu x %lu x %lu x %1.0f%%",
        static_cast<unsigned long>(width), static_cast<unsigned long>(height),
        static_cast<unsigned long>(bitsPerPixel), double(displayScale) * 100.0);
    if (length < 0 || size_t(length) >= sizeof caption)
        return caption;
    const size_t room = sizeof caption - size_t(length);
    if (noteKind == kNotePaletteNotFound)
        std::snprintf(caption + length, room, " (%08X, Not Found)", noteFileID);
    else if (noteKind == kNotePalette)
        std::snprintf(caption + length, room, " (%08X)", noteFileID);
    else if (noteKind == kNoteGreyscale16)
        std::snprintf(caption + length, room, " (Greyscale)");
    return caption;
}

std::string UndecodedTextureCaption(std::span<const uint8_t> bytes)
{
    const auto record = ReadTextureRecord(CStoredRecord(bytes));
    if (!record)
        return {};
    switch (record->format) {
    case kTextureDXT1:
    case kTextureDXT3:
    case kTextureDXT5:
    case kTextureGrey8:
    case kTextureGrey8Alt:
    case kTextureRGB24:
    case kTextureRGB24Alt:
    case kTextureRGBA32:
    case kTextureJPEG:
    case kTextureIndexed8:
    case kTextureIndexed16:
    case kTextureGrey16:
    case kTextureGrey16Alt: return {};
    default: break;
    }
    char caption[48];
    std::snprintf(caption, sizeof caption, "unknown pixel format 0x%X", record->format);
    return caption;
}

std::string BadFileMessage(uint32_t directoryID, uint32_t storedWord)
{
    char message[96];
    std::snprintf(message, sizeof message, "Bad/Corrupted File!!!\n\nID should be %08X\n\nID is set to %08X",
        directoryID, storedWord);
    return message;
}

std::string SoundLabel(uint32_t samplesPerSecond, uint32_t bitsPerSample, uint32_t channels,
    uint32_t blockAlign, uint32_t sampleBytes)
{
    double seconds = 0.0;
    if (blockAlign != 0 && samplesPerSecond != 0)
        seconds = double(sampleBytes / blockAlign) / double(samplesPerSecond);
    char label[128];
    std::snprintf(label, sizeof label, "%lu Hz, %lu bits, %lu channels, %2.1fs",
        static_cast<unsigned long>(samplesPerSecond), static_cast<unsigned long>(bitsPerSample),
        static_cast<unsigned long>(channels), seconds);
    return label;
}

} // namespace orvanel
