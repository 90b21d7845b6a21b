#pragma once
// Stored sound records (category 0x0A): an uncompressed wave sound behind a short header.

#include "archive/DATFormat.h"
#include "decode/StoredRecord.h"
#include "decode/WaveSound.h"

#include <cstdint>
#include <optional>
#include <span>

namespace orvanel {

// File ID, format size (18), sample byte count, the wave format header, then the samples at
// 32 + extra size: the two bytes after the header and the extra format bytes are not read.
inline constexpr uint32_t kSoundFormatSizeOffset = 4;
inline constexpr uint32_t kSoundSampleCountOffset = 8;
inline constexpr uint32_t kSoundFormatOffset = 12;
inline constexpr uint32_t kSoundSamplesOffset = 32;

struct SoundRecord {
    uint32_t fileID = 0;
    uint32_t formatSize = 0;
    uint32_t sampleByteCount = 0;
    WaveFormat format;
    std::span<const uint8_t> samples;
};

// Nothing when the format size is not 18, or the record is too short for its header, its
// extra format bytes and its samples.
std::optional<SoundRecord> ReadSoundRecord(const CStoredRecord& record);

// Loads a stored sound into sound. A record that ReadSoundRecord refuses leaves the sound
// as it was; one that is not PCM empties it.
void LoadSoundRecord(std::span<const uint8_t> bytes, const DATEntry& entry, CWaveSound& sound);

} // namespace orvanel
