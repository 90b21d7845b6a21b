#pragma once
// The archive reader: a process-wide table of mapped archive files, the directory
// walk and the copy of one stored file out of its block chain.
//
// Archives are untrusted. Every read is bounds-checked against the mapped length:
// directory nodes outside the file, overlapping or revisited nodes are skipped, a
// block chain stops at the first link outside the file and never carries more blocks
// than the file holds, and an entry larger than the archive itself is unreadable. Bytes
// are copied out of the view, never read in place, so that a file another program cuts
// short while it is mapped makes the read fail instead of ending the process.

#include "archive/DATFormat.h"
#include "archive/Platform.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace orvanel {

inline constexpr const char* kUnableToLoadMessage = "Unable to load file.";
inline constexpr const char* kImproperArchiveQuestion =
    "The file you are trying to load is does not appear to be a proper DAT file.\n\n"
    "Do you want to try to load the file anyway?\n"
    "(note: this program may crash or lock up if you choose Yes)";

// Number of archives that can be mapped at once.
inline constexpr int kMappedFileSlots = 4;

using DATFileBytes = std::vector<uint8_t>;

// The walk's callback; its result is ignored.
using DATEntryCallback = int (*)(const DATEntry* entry, void* context);

// Maps the whole file and records it in the table. Null when the table is full or the
// file cannot be opened or mapped (the platform error code is then left as the failing
// call set it).
uint8_t* MapDATFile(const std::string& path, bool writable);
// Releases a view made by MapDATFile; false when the view is not in the table.
bool UnmapDATFile(const uint8_t* view);
// Length of a mapped view, 0 when the view is not in the table.
size_t DATViewSize(const uint8_t* view);

// Walks the directory of a mapped archive in pre-order, calling callback for every live
// entry. Informs the user through prompts and returns false when there is no archive; asks
// whether to go on when the header's file size differs from expectedSize, returning false
// on No.
bool WalkDATDirectory(const uint8_t* view, IUserPrompts& prompts, DATEntryCallback callback,
    uint32_t expectedSize, void* context);
// The same over an archive held in memory.
bool WalkDATDirectory(std::span<const uint8_t> archive, IUserPrompts& prompts,
    DATEntryCallback callback, uint32_t expectedSize, void* context);

// The walk alone, without the checks and questions of WalkDATDirectory: calls callback for
// every live entry of a directory in pre-order. Does nothing for a file without a header.
void ForEachLiveEntry(std::span<const uint8_t> archive, DATEntryCallback callback, void* context);

// Copies the stored file of entry out of its block chain: exactly entry.size bytes, with
// zeros where the chain ends early. Nothing when there is no archive, the archive's block
// size is unusable, the entry is larger than the archive, or memory runs out.
std::optional<DATFileBytes> ReadDATFile(const uint8_t* view, const DATEntry& entry);
std::optional<DATFileBytes> ReadDATFile(std::span<const uint8_t> archive, const DATEntry& entry);

// Copies only the first min(entry.size, out.size()) bytes of the stored file into out,
// by the same rules as ReadDATFile (which the result matches byte for byte, zeros where
// the chain ends early). Returns the
// number of bytes copied, or nothing where ReadDATFile would give nothing.
std::optional<size_t> ReadDATFileHead(std::span<const uint8_t> archive, const DATEntry& entry,
    std::span<uint8_t> out);

} // namespace orvanel
