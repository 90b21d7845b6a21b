#include "content/CategoryExport.h"

#include "decode/OutputFile.h"

#include <unordered_set>

namespace orvanel {

std::string FolderNameOf(const std::string& lineLabel)
{
    std::string name = lineLabel;
    for (char& c : name) {
        if (c == '/' || c == '\0')
            c = '_';
    }
    return name;
}

std::vector<ExportGroup> CategoryFolders(const CDATArchive& archive)
{
    std::vector<ExportGroup> groups;
    for (const auto& [category, list] : archive.CategoryLists()) {
        if (category != kCategoryTexture) {
            groups.push_back({FolderNameOf(archive.CategoryLineLabel(category)), list});
            continue;
        }
        std::unordered_set<const DATEntry*> inFormatLine;
        for (const auto& [format, formatList] : archive.TextureFormatLists()) {
            groups.push_back({FolderNameOf(archive.TextureFormatLineLabel(format)), formatList});
            inFormatLine.insert(formatList.begin(), formatList.end());
        }
        DATEntryList unformatted;
        for (const DATEntry* entry : list) {
            if (!inFormatLine.contains(entry))
                unformatted.push_back(entry);
        }
        if (!unformatted.empty())
            groups.push_back({FolderNameOf(archive.CategoryLineLabel(category)), std::move(unformatted)});
    }
    return groups;
}

ExportResult SaveByCategory(const CDATArchive& archive, const std::string& folderPath,
    const std::function<bool(size_t, size_t)>& progress, ExportFormat format)
{
    const std::vector<ExportGroup> groups = CategoryFolders(archive);
    size_t total = 0;
    for (const ExportGroup& group : groups)
        total += group.entries.size();

    ExportResult result;
    size_t before = 0;
    bool stopped = false;
    const COutputFolder top(folderPath);
    for (const ExportGroup& group : groups) {
        if (group.entries.empty())
            continue;
        bool made = false;
        COutputFolder folder(top, group.folderName, made);
        const auto step = [&](size_t done, size_t) {
            if (progress && !progress(before + done, total))
                stopped = true;
            return !stopped;
        };
        // A folder that cannot be made or opened refuses each of its files, with the system's
        // reason.
        const ExportResult part = SaveStoredFiles(archive, group.entries, folder, step, true, format);
        // A folder made for files none of which could be saved is not left behind empty.
        if (made && part.saved == 0)
            top.RemoveEmptyFolder(group.folderName);
        result.Add(part);
        before += group.entries.size();
        if (stopped) {
            result.notReached += total - before; // the groups after this one
            break;
        }
    }
    return result;
}

} // namespace orvanel
