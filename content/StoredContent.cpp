#include "content/StoredContent.h"

#include "content/Captions.h"
#include "content/FileText.h"
#include "decode/SoundRecord.h"
#include "decode/TextureDecoder.h"
#include "decode/WaveFile.h"

#include <cstdio>

namespace orvanel {

namespace {

bool WriteBytes(const std::string& path, const void* data, size_t size)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool written = size == 0 || std::fwrite(data, 1, size, f) == size;
    const bool flushed = std::fflush(f) == 0 && !std::ferror(f);
    return std::fclose(f) == 0 && written && flushed;
}

} // namespace

bool DecodeStoredContent(const CDATArchive& archive, std::span<const uint8_t> bytes,
    const DATEntry& entry, StoredContent& content, std::string& reason)
{
    content.kind = ClassifyFileID(entry.fileID);
    switch (content.kind) {
    case FileKind::ColourTable:
    case FileKind::Texture:
        DecodeImage(archive, bytes, entry, content.colour, content.grey, content.displayScale,
            content.noteKind, content.noteFileID);
        if (!content.colour.IsValid()) {
            reason = "its picture does not decode";
            return false;
        }
        return true;
    case FileKind::Sound:
        LoadSoundRecord(bytes, entry, content.sound);
        if (!content.sound.GetSamples()) {
            reason = "its sound does not load";
            return false;
        }
        return true;
    case FileKind::TextRecord:
        if (!GetRecordText(bytes, &entry, content.text)) {
            reason = "no length fits its text";
            return false;
        }
        content.text = TextBeforeZero(content.text);
        return true;
    case FileKind::Raw:
        return true;
    }
    return false;
}

std::string DescribeContent(const StoredContent& content, std::span<const uint8_t> bytes,
    const DATEntry& entry)
{
    switch (content.kind) {
    case FileKind::ColourTable:
    case FileKind::Texture:
        return ImageCaption(content.colour.GetWidth(), content.colour.GetHeight(), content.colour.GetBpp(),
                   content.displayScale, content.noteKind, content.noteFileID) + "\n";
    case FileKind::Sound: {
        const auto& format = content.sound.GetFormat();
        return SoundLabel(format.samplesPerSec, format.bitsPerSample, format.channels, format.blockAlign,
                   content.sound.GetSampleCount()) + "\n";
    }
    case FileKind::TextRecord:
        return ShownText(content.text);
    case FileKind::Raw:
        break;
    }
    std::string text;
    GetRawText(bytes, &entry, text);
    return text;
}

bool WriteContent(const StoredContent& content, std::span<const uint8_t> bytes, const std::string& path)
{
    switch (content.kind) {
    case FileKind::ColourTable:
    case FileKind::Texture:
        return content.colour.Save(path, kImageTypeBMP);
    case FileKind::Sound:
        return WriteWaveFile(content.sound, path);
    case FileKind::TextRecord: {
        const std::string written = WithCRLF(content.text);
        return WriteBytes(path, written.data(), written.size());
    }
    case FileKind::Raw:
        break;
    }
    return WriteBytes(path, bytes.data(), bytes.size());
}

} // namespace orvanel
