#include "archive/DATReader.h"

#include "archive/ByteOrder.h"
#include "archive/FileMapping.h"
#include "archive/Platform.h"
#include "archive/Prefetch.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace orvanel {

namespace {

// The process-wide table of mapped archives; a slot is free while its view is null.
MappedFile g_mappedFiles[kMappedFileSlots];

std::span<const uint8_t> ArchiveOf(const uint8_t* view)
{
    return view ? std::span<const uint8_t>(view, DATViewSize(view)) : std::span<const uint8_t>();
}

DATEntry EntryAt(const uint8_t* p)
{
    DATEntry e;
    e.version = ReadLE32(p);
    e.fileID = ReadLE32(p + 4);
    e.offset = ReadLE32(p + 8);
    e.size = ReadLE32(p + 12);
    e.reserved1 = ReadLE32(p + 16);
    e.reserved2 = ReadLE32(p + 20);
    return e;
}

DATWalkResult WalkLiveEntries(std::span<const uint8_t> archive, DATEntryCallback callback, void* context);

bool HasNode(uint32_t offset)
{
    return offset != kDATNoBranch && offset != kDATNoBranchFill;
}

// A 32-bit field of a header at least kDATHeaderEnd long, or nothing when the file behind
// the view has been cut short since it was mapped.
std::optional<uint32_t> HeaderField(std::span<const uint8_t> archive, uint32_t offset)
{
    uint8_t bytes[4];
    if (!CopyFromView(bytes, archive.data() + offset, sizeof bytes))
        return std::nullopt;
    return ReadLE32(bytes);
}

} // namespace

uint8_t* MapDATFile(const std::string& path, bool writable)
{
    MappedFile* slot = nullptr;
    for (MappedFile& candidate : g_mappedFiles) {
        if (!candidate.view) {
            slot = &candidate;
            break;
        }
    }
    if (!slot)
        return nullptr;

    MappedFile mapped;
    if (!MapWholeFile(path, writable, mapped))
        return nullptr;
    *slot = mapped;
    return slot->view;
}

bool UnmapDATFile(const uint8_t* view)
{
    if (!view)
        return false;
    for (MappedFile& slot : g_mappedFiles) {
        if (slot.view == view) {
            UnmapWholeFile(slot);
            return true;
        }
    }
    return false;
}

size_t DATViewSize(const uint8_t* view)
{
    if (!view)
        return 0;
    for (const MappedFile& slot : g_mappedFiles) {
        if (slot.view == view)
            return slot.length;
    }
    return 0;
}

bool WalkDATDirectory(const uint8_t* view, IUserPrompts& prompts, DATEntryCallback callback,
    uint32_t expectedSize, void* context)
{
    return WalkDATDirectory(ArchiveOf(view), prompts, callback, expectedSize, context);
}

bool WalkDATDirectory(std::span<const uint8_t> archive, IUserPrompts& prompts, DATEntryCallback callback,
    uint32_t expectedSize, void* context)
{
    if (archive.size() < kDATHeaderEnd) {
        prompts.Report(MessageKind::Error, kUnableToLoadMessage);
        return false;
    }
    if (!callback)
        callback = [](const DATEntry*, void*) { return 1; };

    const auto recordedSize = HeaderField(archive, kDATFileSizeOffset);
    if (!recordedSize) {
        prompts.Report(MessageKind::Error, kUnableToLoadMessage);
        return false;
    }
    if (*recordedSize != expectedSize && !prompts.AskYesNo(kImproperArchiveQuestion))
        return false;

    switch (ForEachLiveEntry(archive, callback, context)) {
    case DATWalkResult::Done: return true;
    case DATWalkResult::CutShort: prompts.Inform(UnableToLoadBecause(kCutShortReason)); return false;
    case DATWalkResult::OutOfMemory: prompts.Inform(UnableToLoadBecause(kOutOfMemoryReason)); return false;
    }
    return false;
}

std::string UnableToLoadBecause(const char* reason)
{
    return std::string(kUnableToLoadMessage) + "\n\n" + reason;
}

DATWalkResult ForEachLiveEntry(std::span<const uint8_t> archive, DATEntryCallback callback, void* context)
{
    try {
        return WalkLiveEntries(archive, callback, context);
    } catch (const std::bad_alloc&) {
        return DATWalkResult::OutOfMemory;
    }
}

namespace {

// The nodes a walk has entered, for the test that a node overlaps none of them. Walked nodes
// never overlap each other, so each stretch of kDATNodeSize bytes of the file holds the start
// of at most one, and a node can only overlap those starting in its own stretch or the two
// beside it. One slot per stretch, found by division, holds where in the stretch its node
// starts: no allocation per node, and the test costs the same however many nodes there are.
class CWalkedNodes {
public:
    explicit CWalkedNodes(uint64_t archiveSize) : m_starts(size_t(archiveSize / kDATNodeSize) + 1, kNone) { }

    // True when node overlaps no node entered before; it is then entered.
    bool Enter(uint32_t node)
    {
        const size_t stretch = node / kDATNodeSize;
        for (size_t s = stretch > 0 ? stretch - 1 : 0; s <= stretch + 1 && s < m_starts.size(); ++s) {
            if (m_starts[s] == kNone)
                continue;
            const uint64_t start = uint64_t(s) * kDATNodeSize + m_starts[s];
            if ((start > node ? start - node : node - start) < kDATNodeSize)
                return false;
        }
        m_starts[stretch] = uint16_t(node % kDATNodeSize);
        return true;
    }

private:
    static constexpr uint16_t kNone = 0xFFFF;
    std::vector<uint16_t> m_starts;
};

DATWalkResult WalkLiveEntries(std::span<const uint8_t> archive, DATEntryCallback callback, void* context)
{
    if (archive.size() < kDATHeaderEnd || !callback)
        return DATWalkResult::Done;
    // Depth-first, pre-order, branches in order: an explicit stack (branches pushed in
    // reverse) gives the same order as recursion without its depth limit. A node that
    // does not lie wholly inside the file, or that overlaps a node already walked (a
    // cycle, a node reached twice, a crafted overlap), is skipped; so the walk ends, and
    // it reports at most one entry per 24 bytes of the file. A node that can no longer be
    // copied (the file was cut short under the walk) ends the walk, which then has failed.
    const auto root = HeaderField(archive, kDATRootOffset);
    if (!root)
        return DATWalkResult::CutShort;
    CWalkedNodes walked(archive.size());
    std::vector<uint32_t> pending;
    pending.push_back(*root);
    uint8_t base[kDATNodeSize]; // the node being read
    while (!pending.empty()) {
        const uint32_t node = pending.back();
        pending.pop_back();
        if (!HasNode(node) || uint64_t(node) + kDATNodeSize > archive.size() || !walked.Enter(node))
            continue;
        if (!CopyFromView(base, archive.data() + node, kDATNodeSize))
            return DATWalkResult::CutShort;
        for (uint32_t slot = 0; slot < kDATSlotCount; ++slot) {
            const uint8_t* p = base + kDATSlotsOffset + slot * kDATEntrySize;
            if (!IsLiveVersion(ReadLE32(p)))
                continue;
            const DATEntry entry = EntryAt(p);
            callback(&entry, context);
        }
        for (uint32_t branch = kDATBranchCount; branch-- > 0;) {
            const uint32_t child = ReadLE32(base + kDATBranchesOffset + branch * 4);
            if (!HasNode(child))
                continue;
            pending.push_back(child);
            // The children of a node low in the tree are read one after the other next.
            if (uint64_t(child) + kDATNodeSize <= archive.size())
                PrefetchRangeForRead(archive.data() + child, kDATNodeSize);
        }
    }
    return DATWalkResult::Done;
}

} // namespace

std::optional<DATFileBytes> ReadDATFile(const uint8_t* view, const DATEntry& entry)
{
    return ReadDATFile(ArchiveOf(view), entry);
}

} // namespace orvanel
