#include "archive/DATReader.h"
#include "tests/support/CatalogueFixture.h"
#include "writer/ArchiveBuilder.h"

#include <gtest/gtest.h>

#include <functional>

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
        std::function<void(CArchiveBuilder&, uint32_t root, uint32_t child, DirectoryNode&,
            DirectoryNode&)> wire;
        std::vector<uint32_t> expected;
    } cases[] = {
        {"root past the end", [](auto& b, uint32_t, uint32_t, auto&, auto&) { b.SetRoot(0xFFFFFF00); }, {}},
        {"root partly past the end", [](auto& b, uint32_t, uint32_t child, auto&, auto&) {
            b.SetRoot(child + 100); }, {}},
        {"cycles", [](auto&, uint32_t root, uint32_t child, auto& r, auto& c) {
            r.branches = {child, root};
            c.branches = {root, child}; }, {1, 2, 3, 4}},
        {"child 24 bytes into the root", [](auto&, uint32_t root, uint32_t, auto& r, auto&) {
            r.branches[0] = root + kDATEntrySize; }, {1, 2, 3}},
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

TEST(DamagedChain, ReadEndsInsideTheFile)
{
    CArchiveBuilder b(16);
    const uint32_t loop = b.StoreChain(std::vector<uint8_t>(12, 0xAB));
    b.Poke32(loop, loop); // the block links to itself
    const uint32_t leaving = b.StoreChain(std::vector<uint8_t>(24, 0x11));
    b.Poke32(leaving, 0x7FFFFFF0);
    b.AppendZeros(4096);
    const auto archive = b.Build();
    const auto size = uint32_t(archive.size());

    const auto looped = ReadDATFile(archive, MakeEntry(1, loop, 2000));
    ASSERT_TRUE(looped);
    EXPECT_EQ(looped->back(), 0xAB);
    // A link, or a first block, outside the file ends the chain: zeros follow.
    const auto cut = ReadDATFile(archive, MakeEntry(1, leaving, 24));
    ASSERT_TRUE(cut);
    EXPECT_EQ(std::count(cut->begin(), cut->end(), 0x11), 12);
    EXPECT_EQ(ReadDATFile(archive, MakeEntry(1, size - 6, 10)), std::vector<uint8_t>(10, 0));
    // An entry larger than the archive cannot be real.
    EXPECT_FALSE(ReadDATFile(archive, MakeEntry(1, 0, size + 1)));
    EXPECT_TRUE(ReadDATFile(archive, MakeEntry(1, 0, size)));
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
