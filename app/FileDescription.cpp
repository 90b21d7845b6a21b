#include "app/FileDescription.h"

#include "app/Captions.h"
#include "app/FileKind.h"
#include "app/FileText.h"
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
        if (!colour.IsValid())
            return false;
        shown = ImageCaption(colour.GetWidth(), colour.GetHeight(), colour.GetBpp(), scale,
                    noteKind, noteFileID) + "\n";
        return true;
    }
    case FileKind::Sound: {
        CWaveSound sound;
        LoadSoundRecord(bytes, entry, sound);
        const auto& format = sound.GetFormat();
        shown = SoundLabel(format.samplesPerSec, format.bitsPerSample, format.channels,
                    format.blockAlign, sound.GetSampleCount()) + "\n";
        return true;
    }
    case FileKind::TextRecord:
        GetRecordText(bytes, &entry, shown);
        shown = TextBeforeZero(shown);
        return true;
    case FileKind::Raw:
        GetRawText(bytes, &entry, shown);
        return true;
    }
    return false;
}

} // namespace orvanel
