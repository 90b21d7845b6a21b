#include "content/FileExport.h"

#include "content/ReplacingFile.h"
#include "content/StoredContent.h"

#include <cstdio>

namespace orvanel {

namespace {

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

    StoredContent content;
    std::string reason;
    if (!DecodeStoredContent(*archive, *bytes, *entry, content, reason))
        return false;
    const std::string path = ExportBaseName(folder, entry->fileID) + ExportExtension(content.kind);
    return WriteReplacing(path, [&](const std::string& temp) { return WriteContent(content, *bytes, temp); });
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
