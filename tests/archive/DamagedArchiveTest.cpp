#include "archive/DATReader.h"
#include "tests/support/CatalogueFixture.h"
#include "writer/ArchiveBuilder.h"

#include <gtest/gtest.h>

#include <functional>
#include <numeric>
#include <optional>

namespace orvanel {
namespace {

using writer::CArchiveBuilder;
using writer::DirectoryNode;
using writer::MakeEntry;

TEST(DamagedDirectory, NodesOutsideTheFileRevisitedOrOverlappingAreSkipped)
{
    // Each shape gets a root with entries 1, 2, 3 and a child with entry 4, wired as it says.
    const struct {
        const char* name;
        std::function<void(CArchiveBuilder&, uint32_t root, uint32_t child, DirectoryNode&, DirectoryNode&)>
            wire;
        std::vector<uint32_t> expected;
    } cases[] = {
        {"root past the end", [](auto& b, uint32_t, uint32_t, auto&, auto&) { b.SetRoot(0xFFFFFF00); }, {}},
        {"root partly past the end",
            [](auto& b, uint32_t, uint32_t child, auto&, auto&) { b.SetRoot(child + 100); }, {}},
        {"cycles",
            [](auto&, uint32_t root, uint32_t child, auto& r, auto& c) {
                r.branches = {child, root};
                c.branches = {root, child};
            },
            {1, 2, 3, 4}},
        {"child 24 bytes into the root",
            [](auto&, uint32_t root, uint32_t, auto& r, auto&) { r.branches[0] = root + kDATEntrySize; },
            {1, 2, 3}},
    };
    for (const auto& c : cases) {
        CArchiveBuilder b;
        DirectoryNode root, child;
        for (uint32_t slot = 0; slot < 3; ++slot)
            root.slots[slot] = MakeEntry(1 + slot, 0, 0);
        child.slots[0] = MakeEntry(4, 0, 0);
        const uint32_t r = b.AddNode(root), at = b.AddNode(child);
        b.SetRoot(r);
        c.wire(b, r, at, root, child);
        b.WriteNode(r, root);
        b.WriteNode(at, child);
        const auto archive = b.Build();
        EXPECT_EQ(fixture::WalkFileIDs(archive, uint32_t(archive.size())), c.expected) << c.name;
    }
}

// Whole reads, head reads and streamed reads of one entry, held against each other.
std::optional<std::vector<uint8_t>> ReadEveryWay(std::span<const uint8_t> archive, const DATEntry& entry)
{
    const auto whole = ReadDATFile(archive, entry);
    for (size_t chunk : {size_t(1), size_t(5), size_t(4096)}) {
        CDATFileCursor cursor(archive, entry);
        std::vector<uint8_t> streamed, piece(chunk);
        bool ok = cursor.IsReadable();
        while (ok && cursor.Remaining() > 0) {
            const auto got = cursor.Read(piece);
            ok = got.has_value();
            if (ok)
                streamed.insert(streamed.end(), piece.begin(), piece.begin() + std::ptrdiff_t(*got));
        }
        EXPECT_EQ(ok, whole.has_value()) << chunk;
        if (ok && whole) {
            EXPECT_EQ(streamed, *whole) << chunk;
        }
    }
    CDATFileCursor skipped(archive, entry);
    EXPECT_EQ(skipped.Skip(entry.size), whole.has_value());
    std::vector<uint8_t> sunk;
    EXPECT_EQ(StreamDATFile(archive, entry,
                  [&sunk](std::span<const uint8_t> piece) {
                      sunk.insert(sunk.end(), piece.begin(), piece.end());
                      return true;
                  }),
        whole.has_value());
    if (whole) {
        EXPECT_EQ(sunk, *whole);
    }
    return whole;
}

TEST(DamagedChain, EndsInsideTheFileAndABlockUsedTwiceMakesItUnreadable)
{
    CArchiveBuilder b(16);
    const uint32_t loop = b.StoreChain(std::vector<uint8_t>(12, 0xAB));
    b.Poke32(loop, loop); // the block links to itself
    const uint32_t leaving = b.StoreChain(std::vector<uint8_t>(24, 0x11));
    b.Poke32(leaving, 0x7FFFFFF0);
    // Blocks A B C, then C links back to B: the fourth block read repeats one.
    std::vector<uint8_t> abc(36);
    std::iota(abc.begin(), abc.end(), uint8_t(1));
    const uint32_t a = b.StoreChain(abc);
    b.Poke32(a + 32, a + 16);
    // A and B linking to each other: the third block read is A again.
    const uint32_t pair = b.StoreChain(std::vector<uint8_t>(24, 0x22));
    b.Poke32(pair + 16, pair);
    b.AppendZeros(4096);
    const auto archive = b.Build();
    const auto size = uint32_t(archive.size());

    auto tail = std::vector<uint8_t>(12, 0x11);
    tail.resize(24, 0);
    const struct {
        DATEntry entry;
        std::optional<std::vector<uint8_t>> expected;
    } cases[] = {
        {MakeEntry(1, loop, 12), std::vector<uint8_t>(12, 0xAB)}, // the loop is never followed
        {MakeEntry(1, loop, 13), std::nullopt},
        {MakeEntry(1, loop, 2000), std::nullopt},
        {MakeEntry(1, a, 36), abc},
        {MakeEntry(1, a, 37), std::nullopt},
        {MakeEntry(1, pair, 24), std::vector<uint8_t>(24, 0x22)},
        {MakeEntry(1, pair, 25), std::nullopt},
        {MakeEntry(1, pair, size), std::nullopt},
        // A link, or a first block, outside the file ends the chain: zeros follow.
        {MakeEntry(1, leaving, 24), tail},
        {MakeEntry(1, size - 6, 10), std::vector<uint8_t>(10, 0)},
        // An entry larger than the archive cannot be real.
        {MakeEntry(1, 0, size + 1), std::nullopt},
        {MakeEntry(1, 0, size), std::vector<uint8_t>(size, 0)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadEveryWay(archive, c.entry), c.expected) << c.entry.offset << " " << c.entry.size;
    // A head read looks only at the blocks it copies from.
    uint8_t head[12];
    EXPECT_EQ(ReadDATFileHead(archive, MakeEntry(1, loop, 2000), head), 12u);
}

TEST(DamagedChain, UnusableBlockSizeMakesFilesUnreadable)
{
    for (uint32_t blockSize : {0u, 1u, 4u, 5u, 0x100000u, 0xFFFFFFFFu}) {
        CArchiveBuilder b(64);
        const uint32_t first = b.StoreChain(std::vector<uint8_t>(3, 7));
        b.SetHeaderBlockSize(blockSize);
        // Five bytes a block still carry one data byte.
        EXPECT_EQ(ReadDATFile(b.Build(), MakeEntry(1, first, 3)).has_value(), blockSize == 5) << blockSize;
    }
}

} // namespace
} // namespace orvanel
