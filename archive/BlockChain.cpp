// Stored files out of their block chains: whole, head only, a batch of heads, or front to back
// in pieces. Every read runs guarded, so a file cut short under it fails the read, and every
// chain is checked for a block used twice, which would repeat the same bytes without end.

#include "archive/DATReader.h"

#include "archive/ByteOrder.h"
#include "archive/FileMapping.h"
#include "archive/Prefetch.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace orvanel {

namespace {

uint32_t LinkOf(const DATChainPosition& c, uint64_t block)
{
    return ReadLE32(c.archive + block);
}

// Moves on to block, which the chain links to, or ends the chain there. A block data is taken
// from twice makes the chain damaged: it would repeat the same bytes without end.
void EnterBlock(DATChainPosition& c, uint64_t block)
{
    const uint64_t take = std::min(c.remaining, c.dataPerBlock);
    if (block == 0 || c.blocksLeft == 0 || block + kDATBlockLinkSize + take > c.archiveSize) {
        c.block = 0;
        return;
    }
    if (c.used > 0) {
        if (block == c.tortoise) {
            c.damaged = true;
            c.block = 0;
            return;
        }
        if (++c.steps == c.power) {
            c.tortoise = block;
            c.power *= 2;
            c.steps = 0;
        }
    } else {
        c.tortoise = block;
    }
    c.block = c.last = block;
    c.blockEnd = take;
    c.inBlock = 0;
    ++c.used;
    --c.blocksLeft;
}

void StartChain(DATChainPosition& c, std::span<const uint8_t> archive, const DATEntry& entry)
{
    c.archive = archive.data();
    c.archiveSize = archive.size();
    const uint64_t blockSize = ReadLE32(c.archive + kDATBlockSizeOffset);
    if (blockSize <= kDATBlockLinkSize || blockSize > c.archiveSize || entry.size > c.archiveSize)
        return;
    c.usable = true;
    c.dataPerBlock = blockSize - kDATBlockLinkSize;
    c.blocksLeft = c.archiveSize / blockSize;
    c.remaining = entry.size;
    c.first = entry.offset;
    if (c.remaining > 0)
        EnterBlock(c, entry.offset);
}

// Delivers the next count bytes (at most what remains) into out, or passes over them when out
// is null; zeros once the chain has ended.
void AdvanceChain(DATChainPosition& c, uint8_t* out, uint64_t count)
{
    count = std::min(count, c.remaining);
    while (count > 0 && !c.damaged) {
        // The next block is entered only when its bytes are wanted: a head read stays in
        // the blocks it copies from.
        if (c.block != 0 && c.inBlock == c.blockEnd) {
            EnterBlock(c, LinkOf(c, c.block));
            continue;
        }
        if (c.block == 0) {
            if (out)
                std::memset(out, 0, count);
            c.remaining -= count;
            return;
        }
        const uint64_t take = std::min(count, c.blockEnd - c.inBlock);
        if (out) {
            std::memcpy(out, c.archive + c.block + kDATBlockLinkSize + c.inBlock, take);
            out += take;
        }
        c.inBlock += take;
        c.remaining -= take;
        count -= take;
    }
}

// Whether the blocks data was taken from hold a repeat that the detection has not caught yet
// (it lags the repeat by up to twice the chain's length). Follows the links on from the last
// block used: a chain that ends has no repeat; otherwise the cycle's length and start show
// whether its first repeated block lies among those used. A sound chain ends at once.
void CheckUsedBlocks(DATChainPosition& c)
{
    if (c.damaged || c.used < 2)
        return;
    auto next = [&c](uint64_t block) -> uint64_t {
        const uint64_t link = LinkOf(c, block);
        return link + kDATBlockLinkSize > c.archiveSize ? 0 : link;
    };
    uint64_t cycle = 0;
    uint64_t block = c.last;
    for (uint64_t budget = 3 * c.used + 2; budget > 0 && cycle == 0; --budget) {
        block = next(block);
        if (block == 0)
            return;
        if (block == c.tortoise)
            cycle = c.steps + 1;
        else if (++c.steps == c.power) {
            c.tortoise = block;
            c.power *= 2;
            c.steps = 0;
        }
    }
    if (cycle == 0)
        return;
    uint64_t lead = c.first;
    for (uint64_t k = 0; k < cycle; ++k)
        lead = next(lead);
    uint64_t start = 0;
    for (uint64_t trail = c.first; trail != lead && start < c.used; ++start) {
        trail = next(trail);
        lead = next(lead);
    }
    c.damaged = start + cycle < c.used;
}

struct HeadRead {
    DATChainPosition chain;
    std::span<const uint8_t> archive;
    const DATEntry* entry;
    uint8_t* out;
    uint64_t wanted;
};

void ReadHead(void* context)
{
    HeadRead& r = *static_cast<HeadRead*>(context);
    StartChain(r.chain, r.archive, *r.entry);
    if (!r.chain.usable)
        return;
    AdvanceChain(r.chain, r.out, r.wanted);
    CheckUsedBlocks(r.chain);
}

// The heads are read in file order, this many ahead of the one being read being fetched.
constexpr size_t kHeadsAhead = 16;

struct HeadsRead {
    std::span<const uint8_t> archive;
    std::span<const DATEntry> entries;
    size_t headSize;
    uint8_t* heads;
    uint8_t* complete;
};

void ReadHeads(void* context)
{
    HeadsRead& r = *static_cast<HeadsRead*>(context);
    for (size_t k = 0; k < r.entries.size(); ++k) {
        if (k + kHeadsAhead < r.entries.size() && r.entries[k + kHeadsAhead].offset < r.archive.size())
            PrefetchForRead(r.archive.data() + r.entries[k + kHeadsAhead].offset);
        DATChainPosition chain;
        StartChain(chain, r.archive, r.entries[k]);
        r.complete[k] = 0;
        if (!chain.usable || chain.remaining < r.headSize)
            continue;
        AdvanceChain(chain, r.heads + k * r.headSize, r.headSize);
        CheckUsedBlocks(chain);
        r.complete[k] = chain.damaged ? 0 : 1;
    }
}

} // namespace

bool ReadDATFileHeads(std::span<const uint8_t> archive, std::span<const DATEntry> entries, size_t headSize,
    uint8_t* heads, uint8_t* complete)
{
    if (archive.size() < kDATHeaderEnd) {
        std::fill(complete, complete + entries.size(), uint8_t(0));
        return true;
    }
    HeadsRead read {archive, entries, headSize, heads, complete};
    return RunGuarded(ReadHeads, &read);
}

std::optional<size_t> ReadDATFileHead(
    std::span<const uint8_t> archive, const DATEntry& entry, std::span<uint8_t> out)
{
    if (archive.size() < kDATHeaderEnd)
        return std::nullopt;
    HeadRead read {{}, archive, &entry, out.data(), std::min<uint64_t>(entry.size, out.size())};
    // A file cut short while mapped makes the stored file unreadable, not the process end.
    if (!RunGuarded(ReadHead, &read) || !read.chain.usable || read.chain.damaged)
        return std::nullopt;
    return size_t(read.wanted);
}

CDATFileCursor::CDATFileCursor(std::span<const uint8_t> archive, const DATEntry& entry)
{
    struct Start {
        DATChainPosition* chain;
        std::span<const uint8_t> archive;
        const DATEntry* entry;
    } start {&m_chain, archive, &entry};
    m_failed = archive.size() < kDATHeaderEnd
        || !RunGuarded(
            [](void* context) {
                auto* s = static_cast<Start*>(context);
                StartChain(*s->chain, s->archive, *s->entry);
            },
            &start)
        || !m_chain.usable || m_chain.damaged;
}

bool CDATFileCursor::Advance(uint8_t* out, uint64_t count)
{
    if (m_failed)
        return false;
    struct Step {
        DATChainPosition* chain;
        uint8_t* out;
        uint64_t count;
    } step {&m_chain, out, count};
    m_failed = !RunGuarded(
                   [](void* context) {
                       auto* s = static_cast<Step*>(context);
                       AdvanceChain(*s->chain, s->out, s->count);
                       if (s->chain->remaining == 0)
                           CheckUsedBlocks(*s->chain);
                   },
                   &step)
        || m_chain.damaged;
    return !m_failed;
}

std::optional<size_t> CDATFileCursor::Read(std::span<uint8_t> out)
{
    const size_t count = size_t(std::min<uint64_t>(out.size(), Remaining()));
    if (!Advance(out.data(), count))
        return std::nullopt;
    return count;
}

bool CDATFileCursor::Skip(uint64_t count)
{
    return Advance(nullptr, count);
}

bool StreamDATFile(std::span<const uint8_t> archive, const DATEntry& entry,
    const std::function<bool(std::span<const uint8_t>)>& sink)
{
    CDATFileCursor cursor(archive, entry);
    if (!cursor.IsReadable())
        return false;
    try {
        std::vector<uint8_t> chunk(size_t(std::min<uint64_t>(cursor.Remaining(), kDATStreamChunk)));
        while (cursor.Remaining() > 0) {
            const auto read = cursor.Read(chunk);
            if (!read || !sink(std::span<const uint8_t>(chunk.data(), *read)))
                return false;
        }
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

std::optional<DATFileBytes> ReadDATFile(std::span<const uint8_t> archive, const DATEntry& entry)
{
    if (archive.size() < kDATHeaderEnd || entry.size > archive.size())
        return std::nullopt;
    try {
        DATFileBytes bytes(entry.size);
        if (!ReadDATFileHead(archive, entry, bytes))
            return std::nullopt;
        return bytes;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

} // namespace orvanel
