// orvanel-cli export: saves stored files into a folder as the desktop program's Save does.

#include "archive/DATArchive.h"
#include "content/CategoryExport.h"
#include "content/FileExport.h"
#include "decode/OutputFile.h"
#include "tools/cli/CatalogueLines.h"
#include "tools/cli/Commands.h"
#include "tools/cli/ExportFolder.h"
#include "tools/cli/OpenArchive.h"
#include "tools/cli/Terminal.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>
#include <system_error>

namespace orvanel::cli {

namespace {

// Every entry copy of the catalogue once, in category and file-ID order: each one stands in
// exactly one category list.
DATEntryList AllEntries(const CDATArchive& archive)
{
    DATEntryList all;
    for (const auto& [category, list] : archive.CategoryLists())
        all.insert(all.end(), list.begin(), list.end());
    return all;
}

} // namespace

int RunExport(const ExportOptions& options)
{
    const std::set<uint32_t> ids(options.ids.begin(), options.ids.end());
    const std::string& folder = options.folder;
    if (!PrepareExportFolder("export", folder))
        return kExitFailed;

    const auto open = OpenArchive(options.archive, options.force);
    if (!open)
        return kExitFailed;
    CDATArchive& archive = open->archive;

    if (options.byCategory) {
        InstallInterruptCleanup();
        const bool showProgress = IsTerminal(stderr);
        const ExportResult result = SaveByCategory(
            archive, folder,
            [&](size_t done, size_t total) {
                if (showProgress)
                    DrawProgress(done, total);
                return true;
            },
            options.format);
        return ReportExport(result, folder) ? kExitOk : kExitFailed;
    }

    DATEntryList entries;
    bool missing = false;
    if (options.line) {
        CLineCollector selector;
        archive.FillCategoryList(selector);
        if (*options.line >= selector.Lines().size() || !selector.Lines()[*options.line].list) {
            std::fprintf(stderr, "orvanel-cli export: the archive has %zu lines; there is no line %u\n",
                selector.Lines().size(), *options.line);
            return kExitFailed;
        }
        entries = *selector.Lines()[*options.line].list;
    } else {
        entries = AllEntries(archive);
        if (!ids.empty()) {
            std::erase_if(entries, [&](const DATEntry* e) { return !ids.contains(e->fileID); });
            for (uint32_t id : ids) {
                if (!archive.FindFile(id)) {
                    std::fprintf(stderr, "orvanel-cli export: no file %08X in the archive\n", id);
                    missing = true;
                }
            }
        }
    }

    const bool saved = SaveIntoFolder(archive, entries, folder, options.format);
    return !saved || missing ? kExitFailed : kExitOk;
}

bool PrepareExportFolder(const char* command, const std::string& folder)
{
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (std::filesystem::is_directory(folder, ec))
        return true;
    std::fprintf(
        stderr, "orvanel-cli %s: %s is not a folder that can be written to\n", command, folder.c_str());
    return false;
}

bool SaveIntoFolder(
    const CDATArchive& archive, const DATEntryList& entries, const std::string& folder, ExportFormat format)
{
    InstallInterruptCleanup();
    const bool showProgress = IsTerminal(stderr) && !entries.empty();
    const ExportResult result = SaveStoredFiles(
        archive, entries, folder,
        [&](size_t done, size_t total) {
            if (showProgress)
                DrawProgress(done, total);
            return true;
        },
        format);
    return ReportExport(result, folder);
}

bool ReportExport(const ExportResult& result, const std::string& folder)
{
    const std::string summary = ExportSummaryText(result, folder);
    if (!summary.empty())
        std::fprintf(stderr, "%s\n", TerminalSafe(summary).c_str());
    return result.Failed() == 0;
}

} // namespace orvanel::cli
