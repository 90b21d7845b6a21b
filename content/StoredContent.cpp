#include "content/StoredContent.h"

#include "content/Captions.h"
#include "content/FileText.h"
#include "decode/PngFile.h"
#include "decode/SoundRecord.h"
#include "decode/TextureDecoder.h"
#include "decode/WaveFile.h"

namespace orvanel {

bool DecodeStoredContent(const CDATArchive& archive, std::span<const uint8_t> bytes, const DATEntry& entry,
    StoredContent& content, std::string& reason, ExportFormat format)
{
    content.kind = ClassifyFileID(entry.fileID);
    switch (content.kind) {
    case FileKind::ColourTable:
    case FileKind::Texture:
        if (!DecodePicture(archive, bytes, entry,
                PictureRequest {.grey = false, .ownAlpha = format == ExportFormat::PNG}, content.picture)
            || !content.picture.colour.IsValid()) {
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
    case FileKind::Raw: return true;
    }
    return false;
}

std::string DescribeContent(
    const StoredContent& content, std::span<const uint8_t> bytes, const DATEntry& entry)
{
    switch (content.kind) {
    case FileKind::ColourTable:
    case FileKind::Texture: {
        const DecodedPicture& p = content.picture;
        return ImageCaption(p.colour.GetWidth(), p.colour.GetHeight(), p.colour.GetBpp(), p.displayScale,
                   p.noteKind, p.noteFileID)
            + "\n";
    }
    case FileKind::Sound: {
        const auto& format = content.sound.GetFormat();
        return SoundLabel(format.samplesPerSec, format.bitsPerSample, format.channels, format.blockAlign,
                   content.sound.GetSampleCount())
            + "\n";
    }
    case FileKind::TextRecord: return ShownText(content.text);
    case FileKind::Raw: break;
    }
    std::string text;
    GetRawText(bytes, &entry, text);
    return text;
}

bool EncodeContent(StoredContent& content, ExportFormat format)
{
    if (format != ExportFormat::PNG
        || (content.kind != FileKind::Texture && content.kind != FileKind::ColourTable))
        return true;
    return EncodePNG(content.picture.colour, content.picture.alpha, content.encoded);
}

bool WriteContent(const StoredContent& content, CByteStream& stream, ExportFormat format)
{
    switch (content.kind) {
    case FileKind::ColourTable:
    case FileKind::Texture:
        if (format == ExportFormat::PNG && !content.encoded.empty())
            return stream.Write(content.encoded.data(), content.encoded.size(), 1) == 1 && !stream.Error();
        if (format == ExportFormat::PNG)
            return EncodePNG(content.picture.colour, content.picture.alpha, stream) && !stream.Error();
        return content.picture.colour.Save(stream, kImageTypeBMP) && !stream.Error();
    case FileKind::Sound: return WriteWaveFile(content.sound, stream) && !stream.Error();
    case FileKind::TextRecord: {
        const std::string written = WithCRLF(content.text);
        return (written.empty() || stream.Write(written.data(), written.size(), 1) == 1) && !stream.Error();
    }
    case FileKind::Raw: break;
    }
    return false;
}

} // namespace orvanel
