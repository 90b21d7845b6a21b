#include "content/FileKind.h"

#include "archive/ByteOrder.h"

namespace orvanel {

FileKind ClassifyFileID(uint32_t fileID)
{
    switch (fileID >> 24) {
    case 0x04: return FileKind::ColourTable;
    case 0x06: return FileKind::Texture;
    case 0x0A: return FileKind::Sound;
    case 0x31: return FileKind::TextRecord;
    default: return FileKind::Raw;
    }
}

const char* ExportExtension(FileKind kind)
{
    switch (kind) {
    case FileKind::ColourTable:
    case FileKind::Texture: return ".bmp";
    case FileKind::TextRecord: return ".txt";
    case FileKind::Sound: return ".wav";
    case FileKind::Raw: break;
    }
    return ".bin";
}

StoredIDCheck CheckStoredID(std::span<const uint8_t> bytes, const DATEntry& entry,
    uint32_t& storedWord)
{
    storedWord = 0;
    if (bytes.size() < 4 || entry.size < 4)
        return StoredIDCheck::TooShort;
    storedWord = ReadLE32(bytes.data());
    if (storedWord == entry.fileID || CategoryOf(entry.fileID) == kUncheckedCategory)
        return StoredIDCheck::Matches;
    return StoredIDCheck::Differs;
}

} // namespace orvanel
