// orvanel-cli export: saves stored files into a folder as the desktop program's Save does.

#include "app/FileExport.h"
#include "archive/DATArchive.h"
#include "tools/cli/Arguments.h"
#include "tools/cli/CatalogueLines.h"
#include "tools/cli/Commands.h"
#include "tools/cli/Terminal.h"
#include "tools/cli/TerminalPrompts.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
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

int RunExport(const Args& args)
{
    std::vector<std::string> positional;
    std::optional<uint32_t> line;
    bool force = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--force") {
            force = true;
        } else if (arg == "--line") {
            uint32_t index = 0;
            if (i + 1 >= args.size() || !ParseIndex(args[i + 1], index))
                return UsageError("export", "--line needs a line number (0 for the first line)");
            line = index;
            ++i;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return UsageError("export", "unknown option " + arg);
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() < 2)
        return UsageError("export", "an archive and a folder are needed");
    std::set<uint32_t> ids;
    for (size_t i = 2; i < positional.size(); ++i) {
        uint32_t id = 0;
        if (!ParseFileID(positional[i], id))
            return UsageError("export", "not a hexadecimal file ID: " + positional[i]);
        ids.insert(id);
    }
    if (line && !ids.empty())
        return UsageError("export", "give either --line or file IDs, not both");

    const std::string& folder = positional[1];
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (!std::filesystem::is_directory(folder, ec)) {
        std::fprintf(stderr, "orvanel-cli export: %s is not a folder that can be written to\n",
            folder.c_str());
        return kExitFailed;
    }

    CTerminalPrompts prompts(force);
    CNoBusyIndicator busy;
    CDATArchive archive(positional[0], prompts, busy);
    if (!archive.BuildCatalogue())
        return kExitFailed;

    DATEntryList entries;
    bool missing = false;
    if (line) {
        CLineCollector selector;
        archive.FillCategoryList(selector);
        if (*line >= selector.Lines().size() || !selector.Lines()[*line].list) {
            std::fprintf(stderr, "orvanel-cli export: the archive has %zu lines; there is no line %u\n",
                selector.Lines().size(), *line);
            return kExitFailed;
        }
        entries = *selector.Lines()[*line].list;
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

    CleanUpWritesOnInterrupt();
    const bool showProgress = IsTerminal(stderr) && !entries.empty();
    const size_t failed = SaveStoredFiles(archive, entries, folder,
        showProgress ? DrawProgress : std::function<void(size_t, size_t)>());
    if (failed > 0)
        std::fprintf(stderr, "%s\n", kExportSummaryMessage);
    return failed > 0 || missing ? kExitFailed : kExitOk;
}

} // namespace orvanel::cli
