#include "archive/DATArchive.h"
#include "tools/cli/CatalogueLines.h"
#include "tools/cli/Commands.h"
#include "tools/cli/TerminalPrompts.h"

#include <cstdio>

namespace orvanel::cli {

int RunList(const Args& args)
{
    std::string path;
    bool files = false;
    bool force = false;
    for (const std::string& arg : args) {
        if (arg == "--files")
            files = true;
        else if (arg == "--force")
            force = true;
        else if (!arg.empty() && arg[0] == '-')
            return UsageError("list", "unknown option " + arg);
        else if (path.empty())
            path = arg;
        else
            return UsageError("list", "more than one archive given");
    }
    if (path.empty())
        return UsageError("list", "no archive given");

    CTerminalPrompts prompts(force);
    CNoBusyIndicator busy;
    CDATArchive archive(path, prompts, busy);
    if (!archive.BuildCatalogue())
        return kExitFailed;

    CLineCollector selector;
    archive.FillCategoryList(selector);
    for (const auto& line : selector.Lines()) {
        std::printf("%s\n", line.text.c_str());
        if (!files || !line.list)
            continue;
        for (const DATEntry* entry : *line.list)
            std::printf("  %08X %08X %08X %lu\n", entry->fileID, entry->version, entry->offset,
                static_cast<unsigned long>(entry->size));
    }
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? kExitOk : kExitFailed;
}

} // namespace orvanel::cli
