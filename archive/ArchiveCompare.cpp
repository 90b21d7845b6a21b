#include "archive/ArchiveCompare.h"

#include "archive/DATReader.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace orvanel {

namespace {

// Bytes read from each file at a time; after each such piece the caller hears of progress and
// may cancel.
constexpr size_t kPieceBytes = size_t(64) << 10;

enum class PairResult { Same, Different, Unreadable, Cancelled };

// Compares two stored files of equal size piece by piece through the reader's cursors, so
// that neither is ever held whole and both follow the reader's rules (zeros where a chain ends
// early; a chain that uses a block twice or a file cut short is unreadable). onPiece hears the
// bytes compared so far and answers false to cancel.
template <typename OnPiece>
PairResult CompareEqualSized(std::span<const uint8_t> oldArchive, const DATEntry& oldEntry,
    std::span<const uint8_t> newArchive, const DATEntry& newEntry, OnPiece onPiece)
{
    CDATFileCursor a(oldArchive, oldEntry);
    CDATFileCursor b(newArchive, newEntry);
    std::vector<uint8_t> pieceA(std::min<uint64_t>(kPieceBytes, newEntry.size));
    std::vector<uint8_t> pieceB(pieceA.size());
    uint64_t compared = 0;
    while (b.Remaining() > 0) {
        const auto readA = a.Read(pieceA);
        const auto readB = b.Read(pieceB);
        if (!readA || !readB || *readA != *readB)
            return PairResult::Unreadable;
        if (std::memcmp(pieceA.data(), pieceB.data(), *readB) != 0)
            return PairResult::Different;
        compared += *readB;
        if (b.Remaining() > 0 && !onPiece(compared))
            return PairResult::Cancelled;
    }
    return a.IsReadable() && b.IsReadable() ? PairResult::Same : PairResult::Unreadable;
}

std::vector<uint32_t> SortedIDs(const CDATArchive& archive)
{
    std::vector<uint32_t> ids;
    ids.reserve(archive.FileRecords().size());
    // The records are held in ascending ID order.
    for (const DATFileRecord& record : archive.FileRecords())
        ids.push_back(record.m_fileID);
    return ids;
}

const DATEntry* VersionZero(const CDATArchive& archive, uint32_t fileID)
{
    const DATFileRecord* record = archive.FindFile(fileID);
    return record ? record->GetVersion(0) : nullptr;
}

} // namespace

std::optional<ArchiveDifferences> CompareArchives(
    const CDATArchive& oldArchive, const CDATArchive& newArchive, const CompareProgress& progress)
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
            FileDifference difference {FileChange::Changed, id, o, n};
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
