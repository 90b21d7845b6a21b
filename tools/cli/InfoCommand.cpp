// orvanel-cli info: what the file view shows for version 0 of one stored file.

#include "archive/DATArchive.h"
#include "content/FileDescription.h"
#include "content/FileKind.h"
#include "tools/cli/Commands.h"
#include "tools/cli/OpenArchive.h"
#include "tools/cli/Terminal.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <new>

namespace orvanel::cli {

namespace {

// A raw file is shown as its bytes read as characters; a terminal gets at most this much of
// it, however large the file.
constexpr uint64_t kRawTextShown = 64 * 1024;

// Describes a raw file from its head alone. The rest is passed over through its chain without
// being kept, so that memory stays small for a file of any size and a damaged chain still
// makes the file unreadable. leftOut receives the number of bytes not shown; shown is left
// alone when the file cannot be read.
bool DescribeRawHead(const CDATArchive& archive, const DATEntry& entry, std::string& shown, uint64_t& leftOut)
{
    CDATFileCursor cursor(archive.Data(), entry);
    DATEntry head = entry;
    head.size = uint32_t(std::min<uint64_t>(entry.size, kRawTextShown));
    std::vector<uint8_t> bytes;
    try {
        bytes.resize(head.size);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!cursor.Read(bytes) || !cursor.Skip(cursor.Remaining()))
        return false;
    if (!DescribeStoredFile(archive, bytes, head, shown))
        return false;
    // A bad file shows its warning, not its bytes.
    uint32_t storedWord = 0;
    if (CheckStoredID(bytes, entry, storedWord) != StoredIDCheck::Differs)
        leftOut = entry.size - head.size;
    return true;
}

} // namespace

int RunInfo(const InfoOptions& options)
{
    const auto open = OpenArchive(options.archive, options.force);
    if (!open)
        return kExitFailed;
    CDATArchive& archive = open->archive;
    const DATFileRecord* record = archive.FindFile(options.id);
    const DATEntry* entry = record ? record->GetVersion(0) : nullptr;
    if (!entry) {
        std::fprintf(stderr, "orvanel-cli info: no file %08X in %s\n", options.id, options.archive.c_str());
        return kExitFailed;
    }
    std::string shown = "it cannot be read";
    uint64_t leftOut = 0;
    bool described = false;
    if (ClassifyFileID(entry->fileID) == FileKind::Raw)
        described = DescribeRawHead(archive, *entry, shown, leftOut);
    else if (const auto bytes = archive.ReadFile(*entry)) {
        described = DescribeStoredFile(archive, *bytes, *entry, shown);
    }
    if (!described) {
        std::fprintf(stderr, "orvanel-cli info: file %08X cannot be shown: %s\n", options.id, shown.c_str());
        return kExitNotShown;
    }
    if (IsTerminal(stdout))
        shown = TerminalSafe(shown);
    if (leftOut > 0) {
        char line[64];
        std::snprintf(line, sizeof line, "\n(%" PRIu64 " more bytes not shown)\n", leftOut);
        shown += line;
    }
    std::fwrite(shown.data(), 1, shown.size(), stdout);
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? kExitOk : kExitFailed;
}

} // namespace orvanel::cli
