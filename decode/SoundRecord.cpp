#include "decode/SoundRecord.h"

namespace orvanel {

std::optional<SoundRecord> ReadSoundRecord(const CStoredRecord& record)
{
    if (!record.Holds(0, kSoundSamplesOffset) || record.U32(kSoundFormatSizeOffset) != kWaveFormatSize)
        return std::nullopt;
    SoundRecord sound;
    sound.fileID = record.U32(0);
    sound.formatSize = kWaveFormatSize;
    sound.sampleByteCount = record.U32(kSoundSampleCountOffset);
    sound.format = ReadWaveFormat(record.Bytes().subspan(kSoundFormatOffset).first<kWaveFormatSize>());
    const uint64_t samplesOffset = uint64_t(kSoundSamplesOffset) + sound.format.extraSize;
    if (!record.Holds(samplesOffset, sound.sampleByteCount))
        return std::nullopt;
    sound.samples = record.Bytes().subspan(size_t(samplesOffset), sound.sampleByteCount);
    return sound;
}

void LoadSoundRecord(std::span<const uint8_t> bytes, const DATEntry& entry, CWaveSound& sound)
{
    if (const auto record = ReadSoundRecord(CStoredRecord(bytes, entry)))
        sound.SetWave(record->format, record->samples);
}

} // namespace orvanel
