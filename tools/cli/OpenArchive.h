#pragma once
// The archive a command works on, opened and catalogued, with the terminal prompts and busy
// indicator it keeps using while it is open.

#include "archive/DATArchive.h"
#include "tools/cli/TerminalPrompts.h"

#include <memory>
#include <string>

namespace orvanel::cli {

struct COpenArchive {
    COpenArchive(const std::string& path, bool force) : prompts(force), archive(path, prompts, busy) { }
    CTerminalPrompts prompts;
    CNoBusyIndicator busy;
    CDATArchive archive;
};

// Null when the archive cannot be used; the reason has been told on the terminal.
inline std::unique_ptr<COpenArchive> OpenArchive(const std::string& path, bool force)
{
    auto open = std::make_unique<COpenArchive>(path, force);
    if (!open->archive.BuildCatalogue())
        return nullptr;
    return open;
}

} // namespace orvanel::cli
