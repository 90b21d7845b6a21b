// LoadSoundRecord on one record, then WriteWaveFile of whatever the sound object holds.

#include "decode/SoundRecord.h"
#include "decode/WaveFile.h"
#include "decode/WaveSound.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace orvanel;
    DATEntry entry;
    entry.fileID = 0x0A000001;
    entry.size = uint32_t(size);
    CWaveSound sound;
    LoadSoundRecord(std::span<const uint8_t>(data, size), entry, sound);
    if (sound.GetSampleCount() > size)
        __builtin_trap();
    static const std::string path = (fuzz::ScratchFolder() / "sound.wav").string();
    if (!WriteWaveFile(sound, path))
        __builtin_trap();
    return 0;
}
