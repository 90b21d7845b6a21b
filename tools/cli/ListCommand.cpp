#include "archive/DATArchive.h"
#include "tools/cli/CatalogueLines.h"
#include "tools/cli/Commands.h"
#include "tools/cli/OpenArchive.h"

#include <cstdio>

namespace orvanel::cli {

int RunList(const ListOptions& options)
{
    const auto open = OpenArchive(options.archive, options.force);
    if (!open)
        return kExitFailed;
    CDATArchive& archive = open->archive;

    CLineCollector selector;
    archive.FillCategoryList(selector);
    for (const auto& line : selector.Lines()) {
        std::printf("%s\n", line.text.c_str());
        if (!options.files || !line.list)
            continue;
        for (const DATEntry* entry : *line.list)
            std::printf("  %08X %08X %08X %lu\n", entry->fileID, entry->version, entry->offset,
                static_cast<unsigned long>(entry->size));
    }
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? kExitOk : kExitFailed;
}

} // namespace orvanel::cli
