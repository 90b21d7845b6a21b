#pragma once
// The archive reader: a process-wide table of mapped archive files, the directory
// walk and the copy of one stored file out of its block chain.
//
// Archives are untrusted. Every read is bounds-checked against the mapped length:
// directory nodes outside the file, overlapping or revisited nodes are skipped, a
// block chain stops at the first link outside the file and never carries more blocks
// than the file holds, a chain that returns to a block it already used is damaged (the
// file is unreadable), and an entry larger than the archive itself is unreadable. Bytes
// are copied out of the view, never read in place, so that a file another program cuts
// short while it is mapped makes the read fail instead of ending the process.

#include "archive/DATFormat.h"
#include "archive/Platform.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace orvanel {

inline constexpr const char* kUnableToLoadMessage = "Unable to load file.";
inline constexpr const char* kImproperArchiveQuestion =
    "The file you are trying to load is does not appear to be a proper DAT file.\n\n"
    "Do you want to try to load the file anyway?\n"
    "(note: this program may crash or lock up if you choose Yes)";

// Why an archive that was mapped could still not be loaded; shown after kUnableToLoadMessage.
inline constexpr const char* kCutShortReason = "The file was cut short while it was being read.";
inline constexpr const char* kOutOfMemoryReason = "There is not enough memory to load it.";
// kUnableToLoadMessage with a reason on a paragraph of its own.
std::string UnableToLoadBecause(const char* reason);

// Number of archives that can be mapped at once.
inline constexpr int kMappedFileSlots = 4;

// An allocator whose containers leave new elements of plain types unset instead of zeroing
// them, for buffers whose every byte is written before it is read.
template <class T>
struct CUnsetAllocator : std::allocator<T> {
    template <class U>
    struct rebind {
        using other = CUnsetAllocator<U>;
    };
    CUnsetAllocator() = default;
    template <class U>
    CUnsetAllocator(const CUnsetAllocator<U>&) noexcept
    {
    }
    template <class U>
    void construct(U* place) noexcept
    {
        ::new (static_cast<void*>(place)) U;
    }
    template <class U, class... Args>
    void construct(U* place, Args&&... args)
    {
        ::new (static_cast<void*>(place)) U(std::forward<Args>(args)...);
    }
};

// A stored file's bytes. Every byte is copied from the archive (or zeroed where the chain has
// ended) when the file is read, so none is cleared beforehand.
using DATFileBytes = std::vector<uint8_t, CUnsetAllocator<uint8_t>>;

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
// entry. Informs the user through prompts and returns false when there is no archive, or when
// the walk could not finish (the file was cut short under it, or memory ran out: the message
// then gives the reason, and whatever the callback collected is incomplete); asks whether to
// go on when the header's file size differs from expectedSize, returning false on No.
bool WalkDATDirectory(const uint8_t* view, IUserPrompts& prompts, DATEntryCallback callback,
    uint32_t expectedSize, void* context);
// The same over an archive held in memory.
bool WalkDATDirectory(std::span<const uint8_t> archive, IUserPrompts& prompts, DATEntryCallback callback,
    uint32_t expectedSize, void* context);

enum class DATWalkResult {
    Done,        // every reachable node was walked (nothing, for a file without a header)
    CutShort,    // a node could no longer be copied: the file was cut short under the walk
    OutOfMemory, // the walk, or the callback, ran out of memory (std::bad_alloc)
};

// The walk alone, without the checks and questions of WalkDATDirectory: calls callback for
// every live entry of a directory in pre-order. A callback may throw std::bad_alloc; the walk
// then ends with OutOfMemory.
DATWalkResult ForEachLiveEntry(std::span<const uint8_t> archive, DATEntryCallback callback, void* context);

// Copies the stored file of entry out of its block chain: exactly entry.size bytes, with
// zeros where the chain ends early. Nothing when there is no archive, the archive's block
// size is unusable, the entry is larger than the archive, the chain returns to a block it
// already used (it would repeat the same bytes without end), or memory runs out.
std::optional<DATFileBytes> ReadDATFile(const uint8_t* view, const DATEntry& entry);
std::optional<DATFileBytes> ReadDATFile(std::span<const uint8_t> archive, const DATEntry& entry);

// Copies only the first min(entry.size, out.size()) bytes of the stored file into out,
// by the same rules as ReadDATFile, whose result it matches byte for byte (zeros where the
// chain ends early). Only the blocks it copies from are checked for repeats, so that the
// catalogue's reads of texture heads cost one block each. Returns the number of bytes
// copied, or nothing where the file is unreadable, cut short or its blocks repeat.
std::optional<size_t> ReadDATFileHead(
    std::span<const uint8_t> archive, const DATEntry& entry, std::span<uint8_t> out);

// The heads of many stored files at once, in one guarded run: for each entries[k], the first
// headSize bytes go to heads[k * headSize], and complete[k] is 1 when ReadDATFileHead would
// have copied all headSize of them (0 for a file that is shorter, unreadable or whose blocks
// repeat). False when the archive was cut short under the reads: what was read is then not
// to be trusted.
bool ReadDATFileHeads(std::span<const uint8_t> archive, std::span<const DATEntry> entries, size_t headSize,
    uint8_t* heads, uint8_t* complete);

// Where a read stands in a stored file's block chain (see BlockChain.cpp). Plain data.
struct DATChainPosition {
    const uint8_t* archive = nullptr;
    uint64_t archiveSize = 0;
    uint64_t dataPerBlock = 0;
    uint64_t first = 0;      // the entry's first block
    uint64_t block = 0;      // the block being read; 0 once the chain has ended
    uint64_t last = 0;       // the last block data was taken from
    uint64_t blockEnd = 0;   // data bytes taken from the current block
    uint64_t inBlock = 0;    // of which already delivered
    uint64_t remaining = 0;  // bytes of the stored file not yet delivered
    uint64_t blocksLeft = 0; // a chain never carries more blocks than the file holds
    uint64_t used = 0;       // blocks data was taken from
    // Brent's cycle detection over the blocks used (constant memory, one comparison a
    // block): the block compared with, and the steps since it was set and before it moves.
    uint64_t tortoise = 0;
    uint64_t power = 1;
    uint64_t steps = 0;
    bool usable = false;
    bool damaged = false;
};

// Reads one stored file front to back in pieces, by the rules of ReadDATFile (zeros where
// the chain ends early, a chain that uses a block twice is damaged), without ever holding the
// whole file: the export of raw files and orvanel-cli info read large files through it, so
// that their memory does not follow the file's size. Every piece is copied out of the view
// through the guarded copy, so a file cut short under the read fails the read.
class CDATFileCursor {
public:
    CDATFileCursor(std::span<const uint8_t> archive, const DATEntry& entry);

    // False when the file cannot be read at all (as ReadDATFile gives nothing) or a read failed.
    bool IsReadable() const { return !m_failed; }
    // Bytes of the stored file not yet read or skipped.
    uint64_t Remaining() const { return m_chain.remaining; }

    // Copies the next min(out.size(), Remaining()) bytes into out and returns their count.
    // Nothing once the read has failed: the file is unreadable, was cut short, or its chain
    // is damaged. A damaged chain may show only when the last bytes are delivered, so
    // whatever was delivered before is worthless unless the read of the last bytes succeeds.
    std::optional<size_t> Read(std::span<uint8_t> out);
    // Passes over the next count bytes (at most Remaining()) by the same rules, copying nothing.
    bool Skip(uint64_t count);

private:
    bool Advance(uint8_t* out, uint64_t count);

    DATChainPosition m_chain;
    bool m_failed = false;
};

// The largest piece StreamDATFile hands over.
inline constexpr size_t kDATStreamChunk = size_t(1) << 20;

// Hands the stored file to sink in order, in pieces of at most kDATStreamChunk bytes, through
// one buffer of that size. True when the whole file was delivered and its chain is sound;
// false when the file is unreadable, damaged or cut short, memory ran out, or sink returned
// false. Only after true is what sink received the stored file: the caller discards it
// otherwise (the export writes into a temporary file and keeps it only then).
bool StreamDATFile(std::span<const uint8_t> archive, const DATEntry& entry,
    const std::function<bool(std::span<const uint8_t>)>& sink);

} // namespace orvanel
