#include "app/FileExport.h"

#include "app/FileKind.h"
#include "app/FileText.h"
#include "app/ReplacingFile.h"
#include "decode/DibImage.h"
#include "decode/OutputFile.h"
#include "decode/SoundRecord.h"
#include "decode/TextureDecoder.h"
#include "decode/WaveFile.h"
#include "decode/WaveSound.h"

#include <cstdio>
#include <optional>

namespace orvanel {

std::string ExportSummaryText(const ExportResult& result, const std::string& folder)
{
    std::string text;
    if (result.bad > 0)
        text = kExportSummaryMessage;
    if (result.notWritten > 0) {
        if (!text.empty())
            text += "\n\n";
        text += std::to_string(result.notWritten) + (result.notWritten == 1 ? " file" : " files")
            + " could not be written to " + folder + ": " + result.reason;
    }
    return text;
}

std::string CExportNames::NameFor(const DATEntry& entry)
{
    const char* extension = ExportExtension(ClassifyFileID(entry.fileID));
    char name[64];
    std::snprintf(name, sizeof name, "%08X%s", entry.fileID, extension);
    if (m_used.insert(name).second)
        return name;
    std::snprintf(name, sizeof name, "%08X-v%08X%s", entry.fileID, entry.version, extension);
    // Two entries of one ID can carry the same version field; the later ones are numbered.
    for (unsigned copy = 2; !m_used.insert(name).second; ++copy)
        std::snprintf(name, sizeof name, "%08X-v%08X-%u%s", entry.fileID, entry.version, copy, extension);
    return name;
}

bool ReadStoredChunks(const CDATArchive& archive, const DATEntry& entry,
    const std::function<bool(std::span<const uint8_t>)>& sink)
{
    // The whole file is copied out and handed on in pieces; a chunked read from the
    // archive's mapping takes the place of these lines so that memory stays bounded.
    const auto bytes = archive.ReadFile(entry);
    if (!bytes)
        return false;
    const std::span<const uint8_t> all(*bytes);
    size_t at = 0;
    do {
        const size_t n = std::min(kExportChunkSize, all.size() - at);
        if (!sink(all.subspan(at, n)))
            return false;
        at += n;
    } while (at < all.size());
    return true;
}

namespace {

// A raw file streams: the first piece decides the ID check, and the output file is made
// only for a file that passes it.
ExportOutcome SaveRawFile(const CDATArchive& archive, const DATEntry& entry, COutputFolder& folder,
    const std::string& name, std::string& reason)
{
    std::optional<CReplacingFile> file;
    bool bad = false;
    const bool read = ReadStoredChunks(archive, entry, [&](std::span<const uint8_t> piece) {
        if (!file) {
            uint32_t storedWord = 0;
            if (CheckStoredID(piece, entry, storedWord) != StoredIDCheck::Matches) {
                bad = true;
                return false;
            }
            file.emplace(folder);
            if (!file->Create())
                return false;
        }
        return piece.empty() || file->Stream().Write(piece.data(), piece.size(), 1) == 1;
    });
    if (bad || !file)
        return ExportOutcome::Bad;
    if (!read && !file->Stream().Error())
        return ExportOutcome::Bad; // the archive failed, not the folder
    return file->Commit(name, reason) ? ExportOutcome::Saved : ExportOutcome::NotWritten;
}

template <typename Writer>
ExportOutcome WriteOne(COutputFolder& folder, const std::string& name, std::string& reason, Writer write)
{
    CReplacingFile file(folder);
    if (!file.Create()) {
        reason = file.Reason();
        return ExportOutcome::NotWritten;
    }
    write(file.Stream());
    return file.Commit(name, reason) ? ExportOutcome::Saved : ExportOutcome::NotWritten;
}

} // namespace

ExportOutcome SaveStoredFile(const CDATArchive* archive, const DATEntry* entry,
    COutputFolder& folder, const std::string& name, std::string& reason)
{
    if (!archive || !entry)
        return ExportOutcome::Bad;
    const FileKind kind = ClassifyFileID(entry->fileID);
    if (kind == FileKind::Raw)
        return SaveRawFile(*archive, *entry, folder, name, reason);

    const auto bytes = archive->ReadFile(*entry);
    if (!bytes)
        return ExportOutcome::Bad;
    uint32_t storedWord = 0;
    if (CheckStoredID(*bytes, *entry, storedWord) != StoredIDCheck::Matches)
        return ExportOutcome::Bad;

    switch (kind) {
    case FileKind::Raw:
        break;
    case FileKind::ColourTable:
    case FileKind::Texture: {
        CDibImage colour, grey;
        float scale = 1.0f;
        uint32_t noteKind = 0, noteFileID = 0;
        DecodeImage(*archive, *bytes, *entry, colour, grey, scale, noteKind, noteFileID);
        if (!colour.IsValid())
            return ExportOutcome::Bad;
        return WriteOne(folder, name, reason, [&](CByteStream& out) { colour.Save(out, kImageTypeBMP); });
    }
    case FileKind::TextRecord: {
        std::string text;
        if (!GetRecordText(*bytes, entry, text))
            return ExportOutcome::Bad;
        const std::string written = WithCRLF(TextBeforeZero(text));
        return WriteOne(folder, name, reason, [&](CByteStream& out) {
            if (!written.empty())
                out.Write(written.data(), written.size(), 1);
        });
    }
    case FileKind::Sound: {
        CWaveSound sound;
        LoadSoundRecord(*bytes, *entry, sound);
        if (!sound.GetSamples())
            return ExportOutcome::Bad;
        return WriteOne(folder, name, reason, [&](CByteStream& out) { WriteWaveFile(sound, out); });
    }
    }
    return ExportOutcome::Bad;
}

ExportResult SaveStoredFiles(const CDATArchive& archive, const DATEntryList& entries,
    const std::string& folderPath, const std::function<bool(size_t, size_t)>& progress)
{
    COutputFolder folder(folderPath);
    return SaveStoredFiles(archive, entries, folder, progress);
}

ExportResult SaveStoredFiles(const CDATArchive& archive, const DATEntryList& entries,
    COutputFolder& folder, const std::function<bool(size_t, size_t)>& progress)
{
    ExportResult result;
    CExportNames names;
    for (size_t i = 0; i < entries.size(); ++i) {
        std::string reason;
        const DATEntry* entry = entries[i];
        const std::string name = entry ? names.NameFor(*entry) : std::string();
        switch (SaveStoredFile(&archive, entry, folder, name, reason)) {
        case ExportOutcome::Saved:
            ++result.saved;
            break;
        case ExportOutcome::Bad:
            ++result.bad;
            break;
        case ExportOutcome::NotWritten:
            if (result.notWritten++ == 0)
                result.reason = reason;
            break;
        }
        if (progress && !progress(i + 1, entries.size()))
            break;
    }
    return result;
}

} // namespace orvanel
