#pragma once
// What changed from one archive to the next: for every file ID, the stored bytes of its
// version 0 (the lowest entry key, the version lookups by ID use) in the old archive against
// those in the new one. Offsets and block layout never count, only the bytes.

#include "archive/DATArchive.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace orvanel {

enum class FileChange : uint8_t {
    Added,   // the ID is only in the new archive
    Removed, // the ID is only in the old archive
    Changed, // both hold it and the bytes differ, or either side cannot be read
};

struct FileDifference {
    FileChange change = FileChange::Changed;
    uint32_t fileID = 0;
    const DATEntry* oldEntry = nullptr; // null when added
    const DATEntry* newEntry = nullptr; // null when removed
};

struct ArchiveDifferences {
    // Ascending file ID. Unchanged IDs are only counted.
    std::vector<FileDifference> files;
    size_t added = 0;
    size_t removed = 0;
    size_t changed = 0;
    size_t unchanged = 0;

    bool Any() const { return added + removed + changed > 0; }
};

// Hears (done, total) in units of work (bytes compared plus one per file ID) as the
// comparison goes on, at least once per file and once per chunk of a long file; answers false
// to cancel.
using CompareProgress = std::function<bool(uint64_t done, uint64_t total)>;

// Compares two archives whose catalogues are built. The entries of the result are the
// archives' own entry copies, valid while the catalogues are. Files whose sizes differ are
// decided without reading them; files of equal size are compared chain against chain, a chunk
// at a time, reading both archives in place. Nothing when cancelled or out of memory.
std::optional<ArchiveDifferences> CompareArchives(
    const CDATArchive& oldArchive, const CDATArchive& newArchive, const CompareProgress& progress = {});

} // namespace orvanel
