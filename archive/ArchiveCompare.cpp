#include "archive/ArchiveCompare.h"

#include "archive/ByteOrder.h"
#include "archive/FileMapping.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace orvanel {

namespace {

// Bytes compared in one guarded run; between runs the caller hears of progress and may cancel.
constexpr uint64_t kChunkBytes = 1 << 20;

// A stored file's bytes as ReadDATFile gives them, walked a run of one block's data at a time:
// the data parts of its chain in order, then zeros where the chain ends early. It follows the
// reader's rules: a block that does not lie wholly in the file ends the chain, and a chain
// never carries more blocks than the file holds. Plain data only, since it is used in
// guarded runs.
struct ChainCursor {
    const uint8_t* archive;
    uint64_t archiveSize;
    uint64_t dataPerBlock;
    uint64_t block;     // the next block to enter; 0 when none
    uint64_t remaining; // bytes of the file the chain has still to carry
    uint64_t blocksLeft;
    const uint8_t* run; // the current block's data not yet passed; null once the chain ended
    uint64_t runLeft;
};

// Sets up a cursor; false when the stored file cannot be read at all (the conditions under
// which ReadDATFile gives nothing). Reads the header, so it runs guarded.
bool StartCursor(ChainCursor& c, std::span<const uint8_t> archive, const DATEntry& entry)
{
    if (archive.size() < kDATHeaderEnd)
        return false;
    const uint64_t blockSize = ReadLE32(archive.data() + kDATBlockSizeOffset);
    if (blockSize <= kDATBlockLinkSize || blockSize > archive.size() || entry.size > archive.size())
        return false;
    c = {archive.data(), archive.size(), blockSize - kDATBlockLinkSize, entry.offset, entry.size,
        archive.size() / blockSize, archive.data(), 0};
    return true;
}

// Makes the current run non-empty, or marks the chain ended (run null).
void Refill(ChainCursor& c)
{
    if (!c.run || c.runLeft > 0)
        return;
    if (c.block == 0 || c.remaining == 0 || c.blocksLeft == 0) {
        c.run = nullptr;
        return;
    }
    --c.blocksLeft;
    const uint64_t chunk = std::min(c.remaining, c.dataPerBlock);
    if (c.block + kDATBlockLinkSize + chunk > c.archiveSize) {
        c.run = nullptr;
        return;
    }
    c.run = c.archive + c.block + kDATBlockLinkSize;
    c.runLeft = chunk;
    c.remaining -= chunk;
    c.block = ReadLE32(c.archive + c.block);
}

bool AllZero(const uint8_t* p, uint64_t n)
{
    return n == 0 || (p[0] == 0 && std::memcmp(p, p + 1, n - 1) == 0);
}

// One guarded stretch of the comparison of two equal-sized files.
struct PairCompare {
    std::span<const uint8_t> oldArchive;
    const DATEntry* oldEntry;
    std::span<const uint8_t> newArchive;
    const DATEntry* newEntry;
    ChainCursor a;
    ChainCursor b;
    bool started;
    bool readable;
    bool equal;
    uint64_t left;   // bytes of the files not yet compared
    uint64_t budget; // bytes this stretch may compare
};

void CompareStretch(void* context)
{
    PairCompare& p = *static_cast<PairCompare*>(context);
    if (!p.started) {
        p.started = true;
        p.readable = StartCursor(p.a, p.oldArchive, *p.oldEntry) && StartCursor(p.b, p.newArchive, *p.newEntry);
        if (!p.readable)
            return;
    }
    while (p.equal && p.left > 0 && p.budget > 0) {
        Refill(p.a);
        Refill(p.b);
        if (!p.a.run && !p.b.run)
            break; // both read as zeros from here on
        uint64_t n = std::min(p.left, p.budget);
        if (p.a.run)
            n = std::min(n, p.a.runLeft);
        if (p.b.run)
            n = std::min(n, p.b.runLeft);
        if (p.a.run && p.b.run)
            p.equal = std::memcmp(p.a.run, p.b.run, n) == 0;
        else
            p.equal = AllZero(p.a.run ? p.a.run : p.b.run, n);
        for (ChainCursor* c : {&p.a, &p.b}) {
            if (c->run) {
                c->run += n;
                c->runLeft -= n;
            }
        }
        p.left -= n;
        p.budget -= n;
    }
    if (!p.a.run && !p.b.run)
        p.left = 0;
}

enum class PairResult { Same, Different, Unreadable, Cancelled };

// Compares two stored files of equal size chunk by chunk; onChunk hears the bytes compared
// after each chunk and answers false to cancel.
template <typename OnChunk>
PairResult CompareEqualSized(std::span<const uint8_t> oldArchive, const DATEntry& oldEntry,
    std::span<const uint8_t> newArchive, const DATEntry& newEntry, OnChunk onChunk)
{
    PairCompare p{oldArchive, &oldEntry, newArchive, &newEntry, {}, {}, false, false, true,
        newEntry.size, 0};
    do {
        const uint64_t before = p.left;
        p.budget = kChunkBytes;
        // A file cut short under the mapping makes the stored file unreadable, as it does for
        // the reader.
        if (!RunGuarded(CompareStretch, &p) || !p.readable)
            return PairResult::Unreadable;
        if (!p.equal)
            return PairResult::Different;
        if (p.left > 0 && !onChunk(before - p.left))
            return PairResult::Cancelled;
    } while (p.left > 0);
    return PairResult::Same;
}

std::vector<uint32_t> SortedIDs(const CDATArchive& archive)
{
    std::vector<uint32_t> ids;
    ids.reserve(archive.FileRecords().size());
    for (const auto& [id, record] : archive.FileRecords())
        ids.push_back(id);
    std::sort(ids.begin(), ids.end());
    return ids;
}

const DATEntry* VersionZero(const CDATArchive& archive, uint32_t fileID)
{
    const DATFileRecord* record = archive.FindFile(fileID);
    return record ? record->GetVersion(0) : nullptr;
}

} // namespace

std::optional<ArchiveDifferences> CompareArchives(const CDATArchive& oldArchive,
    const CDATArchive& newArchive, const CompareProgress& progress)
{
    try {
        const std::vector<uint32_t> oldIDs = SortedIDs(oldArchive);
        const std::vector<uint32_t> newIDs = SortedIDs(newArchive);
        std::vector<uint32_t> ids;
        ids.reserve(std::max(oldIDs.size(), newIDs.size()));
        std::set_union(oldIDs.begin(), oldIDs.end(), newIDs.begin(), newIDs.end(), std::back_inserter(ids));

        // The work ahead: every ID, and the bytes of every pair that has to be read.
        uint64_t total = ids.size();
        for (uint32_t id : ids) {
            const DATEntry* o = VersionZero(oldArchive, id);
            const DATEntry* n = VersionZero(newArchive, id);
            if (o && n && o->size == n->size)
                total += n->size;
        }

        ArchiveDifferences result;
        uint64_t done = 0;
        for (uint32_t id : ids) {
            const DATEntry* o = VersionZero(oldArchive, id);
            const DATEntry* n = VersionZero(newArchive, id);
            FileDifference difference{FileChange::Changed, id, o, n};
            if (!o || !n) {
                difference.change = o ? FileChange::Removed : FileChange::Added;
            } else if (o->size == n->size) {
                const uint64_t start = done;
                const PairResult same = CompareEqualSized(oldArchive.Data(), *o, newArchive.Data(), *n,
                    [&](uint64_t compared) { return !progress || progress(start + compared, total); });
                if (same == PairResult::Cancelled)
                    return std::nullopt;
                done = start + n->size;
                if (same == PairResult::Same) {
                    ++result.unchanged;
                    if (progress && !progress(++done, total))
                        return std::nullopt;
                    continue;
                }
                // A file that cannot be read in either archive cannot be shown to be the same,
                // so it is listed where the user can look at it.
            }
            switch (difference.change) {
            case FileChange::Added: ++result.added; break;
            case FileChange::Removed: ++result.removed; break;
            case FileChange::Changed: ++result.changed; break;
            }
            result.files.push_back(difference);
            if (progress && !progress(++done, total))
                return std::nullopt;
        }
        return result;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

} // namespace orvanel
