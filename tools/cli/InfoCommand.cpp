// orvanel-cli info: what the file view shows for version 0 of one stored file.

#include "app/FileDescription.h"
#include "archive/DATArchive.h"
#include "tools/cli/Arguments.h"
#include "tools/cli/Commands.h"
#include "tools/cli/Terminal.h"
#include "tools/cli/TerminalPrompts.h"

#include <cstdio>

namespace orvanel::cli {

int RunInfo(const Args& args)
{
    std::vector<std::string> positional;
    bool force = false;
    for (const std::string& arg : args) {
        if (arg == "--force")
            force = true;
        else if (arg.size() > 1 && arg[0] == '-')
            return UsageError("info", "unknown option " + arg);
        else
            positional.push_back(arg);
    }
    if (positional.size() != 2)
        return UsageError("info", "an archive and one file ID are needed");
    uint32_t id = 0;
    if (!ParseFileID(positional[1], id))
        return UsageError("info", "not a hexadecimal file ID: " + positional[1]);

    CTerminalPrompts prompts(force);
    CNoBusyIndicator busy;
    CDATArchive archive(positional[0], prompts, busy);
    if (!archive.BuildCatalogue())
        return kExitFailed;
    const DATFileRecord* record = archive.FindFile(id);
    const DATEntry* entry = record ? record->GetVersion(0) : nullptr;
    if (!entry) {
        std::fprintf(stderr, "orvanel-cli info: no file %08X in %s\n", id, positional[0].c_str());
        return kExitFailed;
    }
    const auto bytes = archive.ReadFile(*entry);
    std::string shown;
    if (!bytes || !DescribeStoredFile(archive, *bytes, *entry, shown)) {
        std::fprintf(stderr, "orvanel-cli info: file %08X cannot be shown: %s\n", id,
            !bytes || bytes->size() < 4 ? "it is unreadable or shorter than its ID"
                                        : "its picture does not decode");
        return kExitOk;
    }
    if (IsTerminal(stdout))
        shown = TerminalSafe(shown);
    std::fwrite(shown.data(), 1, shown.size(), stdout);
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? kExitOk : kExitFailed;
}

} // namespace orvanel::cli
