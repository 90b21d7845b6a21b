// orvanel-cli info: what the file view shows for version 0 of one stored file.

#include "content/FileDescription.h"
#include "archive/DATArchive.h"
#include "tools/cli/Commands.h"
#include "tools/cli/OpenArchive.h"
#include "tools/cli/Terminal.h"

#include <cstdio>

namespace orvanel::cli {

int RunInfo(const InfoOptions& options)
{
    const auto open = OpenArchive(options.archive, options.force);
    if (!open)
        return kExitFailed;
    CDATArchive& archive = open->archive;
    const DATFileRecord* record = archive.FindFile(options.id);
    const DATEntry* entry = record ? record->GetVersion(0) : nullptr;
    if (!entry) {
        std::fprintf(stderr, "orvanel-cli info: no file %08X in %s\n", options.id,
            options.archive.c_str());
        return kExitFailed;
    }
    const auto bytes = archive.ReadFile(*entry);
    std::string shown = "it cannot be read";
    if (!bytes || !DescribeStoredFile(archive, *bytes, *entry, shown)) {
        std::fprintf(stderr, "orvanel-cli info: file %08X cannot be shown: %s\n", options.id,
            shown.c_str());
        return kExitNotShown;
    }
    if (IsTerminal(stdout))
        shown = TerminalSafe(shown);
    std::fwrite(shown.data(), 1, shown.size(), stdout);
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? kExitOk : kExitFailed;
}

} // namespace orvanel::cli
