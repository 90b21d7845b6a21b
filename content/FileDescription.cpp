#include "content/FileDescription.h"

#include "content/Captions.h"
#include "content/FileKind.h"
#include "content/FileText.h"
#include "decode/DibImage.h"
#include "decode/TextureDecoder.h"
#include "decode/SoundRecord.h"
#include "decode/WaveSound.h"

namespace orvanel {

bool DescribeStoredFile(const CDATArchive& archive, std::span<const uint8_t> bytes,
    const DATEntry& entry, std::string& shown)
{
    uint32_t storedWord = 0;
    switch (CheckStoredID(bytes, entry, storedWord)) {
    case StoredIDCheck::TooShort:
        shown = "it is shorter than its ID";
        return false;
    case StoredIDCheck::Differs:
        shown = BadFileMessage(entry.fileID, storedWord) + "\n";
        return true;
    case StoredIDCheck::Matches:
        break;
    }
    switch (ClassifyFileID(entry.fileID)) {
    case FileKind::ColourTable:
    case FileKind::Texture: {
        CDibImage colour, grey;
        float scale = 1.0f;
        uint32_t noteKind = 0, noteFileID = 0;
        DecodeImage(archive, bytes, entry, colour, grey, scale, noteKind, noteFileID);
        if (!colour.IsValid()) {
            shown = "its picture does not decode";
            return false;
        }
        shown = ImageCaption(colour.GetWidth(), colour.GetHeight(), colour.GetBpp(), scale,
                    noteKind, noteFileID) + "\n";
        return true;
    }
    case FileKind::Sound: {
        CWaveSound sound;
        LoadSoundRecord(bytes, entry, sound);
        if (!sound.GetSamples()) {
            shown = "its sound does not load";
            return false;
        }
        const auto& format = sound.GetFormat();
        shown = SoundLabel(format.samplesPerSec, format.bitsPerSample, format.channels,
                    format.blockAlign, sound.GetSampleCount()) + "\n";
        return true;
    }
    case FileKind::TextRecord:
        if (!GetRecordText(bytes, &entry, shown)) {
            shown = "no length fits its text";
            return false;
        }
        shown = TextBeforeZero(shown);
        return true;
    case FileKind::Raw:
        GetRawText(bytes, &entry, shown);
        return true;
    }
    return false;
}

} // namespace orvanel
