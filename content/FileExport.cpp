#include "content/FileExport.h"

#include "content/FileKind.h"
#include "content/FileText.h"
#include "content/ReplacingFile.h"
#include "decode/DibImage.h"
#include "decode/TextureDecoder.h"
#include "decode/SoundRecord.h"
#include "decode/WaveFile.h"
#include "decode/WaveSound.h"

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

// Writes one exported file through a temporary, by the writer given.
template <typename Writer>
bool WriteReplacing(const std::string& path, Writer write)
{
    CReplacingFile file(path);
    if (!file.Create())
        return false;
    if (!write(file.TempPath()))
        return false;
    return file.Commit();
}

} // namespace

std::string ExportBaseName(const std::string& folder, uint32_t fileID)
{
    char id[16];
    std::snprintf(id, sizeof id, "%08X", fileID);
    std::string name = folder;
    if (name.empty() || name.back() != kPathSeparator)
        name += kPathSeparator;
    return name + id;
}

bool SaveStoredFile(const CDATArchive* archive, const DATEntry* entry, const std::string& folder)
{
    if (!archive || !entry || folder.empty())
        return false;
    const auto bytes = archive->ReadFile(*entry);
    if (!bytes)
        return false;
    uint32_t storedWord = 0;
    if (CheckStoredID(*bytes, *entry, storedWord) != StoredIDCheck::Matches)
        return false;

    const FileKind kind = ClassifyFileID(entry->fileID);
    const std::string path = ExportBaseName(folder, entry->fileID) + ExportExtension(kind);
    switch (kind) {
    case FileKind::Raw:
        return WriteReplacing(path, [&](const std::string& temp) {
            return WriteBytes(temp, bytes->data(), bytes->size());
        });
    case FileKind::ColourTable:
    case FileKind::Texture: {
        CDibImage colour, grey;
        float scale = 1.0f;
        uint32_t noteKind = 0, noteFileID = 0;
        DecodeImage(*archive, *bytes, *entry, colour, grey, scale, noteKind, noteFileID);
        if (!colour.IsValid())
            return false;
        return WriteReplacing(path, [&](const std::string& temp) {
            return colour.Save(temp, kImageTypeBMP);
        });
    }
    case FileKind::TextRecord: {
        std::string text;
        if (!GetRecordText(*bytes, entry, text))
            return false;
        const std::string written = WithCRLF(TextBeforeZero(text));
        return WriteReplacing(path, [&](const std::string& temp) {
            return WriteBytes(temp, written.data(), written.size());
        });
    }
    case FileKind::Sound: {
        CWaveSound sound;
        LoadSoundRecord(*bytes, *entry, sound);
        if (!sound.GetSamples())
            return false;
        return WriteReplacing(path, [&](const std::string& temp) {
            return WriteWaveFile(sound, temp);
        });
    }
    }
    return false;
}

size_t SaveStoredFiles(const CDATArchive& archive, const DATEntryList& entries,
    const std::string& folder, const std::function<bool(size_t, size_t)>& progress)
{
    size_t failed = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!SaveStoredFile(&archive, entries[i], folder))
            ++failed;
        if (progress && !progress(i + 1, entries.size()))
            break;
    }
    return failed;
}

} // namespace orvanel
