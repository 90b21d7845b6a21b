#include "content/CompareText.h"

#include <cstdio>
#include <unordered_map>

namespace orvanel {

namespace {

// The selector line labels of one archive's files.
class CLineLabels {
public:
    explicit CLineLabels(const CDATArchive& archive) : m_archive(archive)
    {
        // The catalogue lists each texture under its format; the lists are walked once so that
        // a texture's line is found without reading it again.
        for (const auto& [format, list] : archive.TextureFormatLists()) {
            for (const DATEntry* entry : list)
                m_formats.emplace(entry, format);
        }
    }

    std::string Of(const DATEntry& entry) const
    {
        const auto format = m_formats.find(&entry);
        return format != m_formats.end() ? m_archive.TextureFormatLineLabel(format->second)
                                         : m_archive.CategoryLineLabel(CategoryOf(entry.fileID));
    }

private:
    const CDATArchive& m_archive;
    std::unordered_map<const DATEntry*, uint32_t> m_formats;
};

const char* ChangeWord(FileChange change)
{
    switch (change) {
    case FileChange::Added: return "added";
    case FileChange::Removed: return "removed";
    case FileChange::Changed: return "changed";
    }
    return "";
}

} // namespace

std::vector<std::string> DifferenceLines(
    const ArchiveDifferences& differences, const CDATArchive& oldArchive, const CDATArchive& newArchive)
{
    const CLineLabels oldLabels(oldArchive);
    const CLineLabels newLabels(newArchive);
    std::vector<std::string> lines;
    lines.reserve(differences.files.size());
    char head[80];
    for (const FileDifference& file : differences.files) {
        const DATEntry* entry = file.newEntry ? file.newEntry : file.oldEntry;
        if (!entry)
            continue;
        if (file.change == FileChange::Changed && file.oldEntry && file.newEntry) {
            std::snprintf(head, sizeof head, "%-7s %08X  %lu -> %lu bytes  ", ChangeWord(file.change),
                file.fileID, static_cast<unsigned long>(file.oldEntry->size),
                static_cast<unsigned long>(file.newEntry->size));
        } else {
            std::snprintf(head, sizeof head, "%-7s %08X  %lu bytes  ", ChangeWord(file.change), file.fileID,
                static_cast<unsigned long>(entry->size));
        }
        lines.push_back(head + (file.newEntry ? newLabels : oldLabels).Of(*entry));
    }
    return lines;
}

std::string DifferenceSummary(const ArchiveDifferences& differences)
{
    char line[128];
    std::snprintf(line, sizeof line, "%zu added, %zu removed, %zu changed, %zu unchanged", differences.added,
        differences.removed, differences.changed, differences.unchanged);
    return line;
}

} // namespace orvanel
