#include "content/FileKind.h"

#include "archive/ByteOrder.h"

namespace orvanel {

FileKind ClassifyFileID(uint32_t fileID)
{
    for (const FileKindInfo& info : kFileKinds) {
        if (info.category == CategoryOf(fileID))
            return info.kind;
    }
    return FileKind::Raw;
}

bool IsPicture(FileKind kind)
{
    return kind == FileKind::ColourTable || kind == FileKind::Texture;
}

const char* ExportExtension(FileKind kind, ExportFormat format)
{
    if (format == ExportFormat::PNG && IsPicture(kind))
        return ".png";
    for (const FileKindInfo& info : kFileKinds) {
        if (info.kind == kind)
            return info.extension;
    }
    return kRawKind.extension;
}

StoredIDCheck CheckStoredID(std::span<const uint8_t> bytes, const DATEntry& entry, uint32_t& storedWord)
{
    storedWord = 0;
    if (bytes.size() < 4 || entry.size < 4)
        return StoredIDCheck::TooShort;
    storedWord = ReadLE32(bytes.data());
    if (storedWord == entry.fileID || CategoryOf(entry.fileID) == kCategoryUnchecked)
        return StoredIDCheck::Matches;
    return StoredIDCheck::Differs;
}

} // namespace orvanel
