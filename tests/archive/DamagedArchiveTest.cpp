#include "archive/DATArchive.h"
#include "writer/ArchiveBuilder.h"
#include "tests/support/CatalogueFixture.h"
#include "tests/support/FakePrompts.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace orvanel {
namespace {

using writer::CArchiveBuilder;
using fixture::CFakePrompts;
using writer::DirectoryNode;
using writer::MakeEntry;

std::vector<uint32_t> WalkIDs(std::span<const uint8_t> archive)
{
    return fixture::WalkFileIDs(archive, uint32_t(archive.size()));
}

TEST(DamagedDirectory, NodePastTheEndIsSkipped)
{
    CArchiveBuilder b;
    DirectoryNode root;
    root.slots[0] = MakeEntry(1, 0, 0);
    const uint32_t at = b.AddNode(root);
    // The root's last 100 bytes fall outside the file.
    b.SetRoot(at + 100);
    EXPECT_TRUE(WalkIDs(b.Build()).empty());

    b.SetRoot(0xFFFFFF00);
    EXPECT_TRUE(WalkIDs(b.Build()).empty());
}

TEST(DamagedDirectory, CyclesEndAndEachNodeIsWalkedOnce)
{
    CArchiveBuilder b;
    DirectoryNode root, child;
    const uint32_t r = b.AddNode(root);
    const uint32_t c = b.AddNode(child);
    root.slots[0] = MakeEntry(1, 0, 0);
    root.branches[0] = c;
    root.branches[1] = r; // itself
    child.slots[0] = MakeEntry(2, 0, 0);
    child.branches[0] = r; // back to the root
    child.branches[1] = c;
    b.WriteNode(r, root);
    b.WriteNode(c, child);
    b.SetRoot(r);
    EXPECT_EQ(WalkIDs(b.Build()), (std::vector<uint32_t>{1, 2}));
}

TEST(DamagedDirectory, OverlappingNodeIsSkipped)
{
    CArchiveBuilder b;
    DirectoryNode root;
    const uint32_t r = b.AddNode(root);
    b.AddNode(DirectoryNode{});
    for (uint32_t slot = 0; slot < 3; ++slot)
        root.slots[slot] = MakeEntry(1 + slot, 0, 0);
    // A child starting 24 bytes into the root would report the root's slots again, shifted.
    root.branches[0] = r + kDATEntrySize;
    b.WriteNode(r, root);
    b.SetRoot(r);
    EXPECT_EQ(WalkIDs(b.Build()), (std::vector<uint32_t>{1, 2, 3}));
}

TEST(DamagedDirectory, ThousandsOfLevelsDeepWalkWithoutRecursion)
{
    CArchiveBuilder b(64);
    constexpr uint32_t kDepth = 5000;
    std::vector<uint32_t> nodes(kDepth);
    for (auto& n : nodes)
        n = b.AddNode(DirectoryNode{});
    for (uint32_t level = 0; level < kDepth; ++level) {
        DirectoryNode node;
        node.slots[0] = MakeEntry(level, 0, 0);
        if (level + 1 < kDepth)
            node.branches[61] = nodes[level + 1];
        b.WriteNode(nodes[level], node);
    }
    b.SetRoot(nodes[0]);
    const auto ids = WalkIDs(b.Build());
    ASSERT_EQ(ids.size(), kDepth);
    EXPECT_EQ(ids.back(), kDepth - 1);
}

TEST(DamagedChain, LoopEndsWithinTheFile)
{
    CArchiveBuilder b(32);
    std::vector<uint8_t> data(28, 0xAB);
    const uint32_t first = b.StoreChain(data);
    b.Poke32(first, first); // the block links to itself
    b.AppendZeros(4096);
    const auto archive = b.Build();
    const auto read = ReadDATFile(archive, MakeEntry(1, first, 2000));
    ASSERT_TRUE(read);
    ASSERT_EQ(read->size(), 2000u);
    EXPECT_EQ((*read)[0], 0xAB);
}

TEST(DamagedChain, LinkOutsideTheFileEndsTheChain)
{
    CArchiveBuilder b(16);
    std::vector<uint8_t> data(24, 0x11);
    const uint32_t first = b.StoreChain(data);
    b.Poke32(first, 0x7FFFFFF0);
    const auto archive = b.Build();
    const auto read = ReadDATFile(archive, MakeEntry(1, first, 24));
    ASSERT_TRUE(read);
    EXPECT_EQ(std::count(read->begin(), read->end(), 0x11), 12);
    EXPECT_EQ(std::count(read->begin(), read->end(), 0), 12);

    // A first block that starts inside but ends outside the file is not read either.
    const auto partial = ReadDATFile(archive, MakeEntry(1, uint32_t(archive.size()) - 6, 10));
    ASSERT_TRUE(partial);
    EXPECT_EQ(*partial, std::vector<uint8_t>(10, 0));
}

TEST(DamagedChain, UnusableBlockSizeMakesFilesUnreadable)
{
    for (uint32_t blockSize : {0u, 1u, 4u, 0x100000u, 0xFFFFFFFFu}) {
        CArchiveBuilder b(64);
        const uint32_t first = b.StoreChain(std::vector<uint8_t>(10, 1));
        b.SetHeaderBlockSize(blockSize);
        const auto archive = b.Build();
        EXPECT_FALSE(ReadDATFile(archive, MakeEntry(1, first, 10))) << blockSize;
        EXPECT_FALSE(ReadDATFile(archive, MakeEntry(1, 0, 0))) << blockSize;
    }
    CArchiveBuilder b(64);
    b.SetHeaderBlockSize(5); // one data byte per block still works
    const uint32_t first = b.StoreChain(std::vector<uint8_t>(3, 7));
    EXPECT_TRUE(ReadDATFile(b.Build(), MakeEntry(1, first, 3)));
}

TEST(DamagedChain, EntryLargerThanTheArchiveIsUnreadable)
{
    CArchiveBuilder b(64);
    const auto archive = b.Build();
    EXPECT_FALSE(ReadDATFile(archive, MakeEntry(1, 0, uint32_t(archive.size()) + 1)));
    EXPECT_FALSE(ReadDATFile(archive, MakeEntry(1, 0, 0xFFFFFFFF)));
    EXPECT_TRUE(ReadDATFile(archive, MakeEntry(1, 0, uint32_t(archive.size()))));
}

TEST(DamagedHeader, ShortFileOpensAsARefusedEmptyArchive)
{
    fixture::CTempDir dir;
    const auto full = CArchiveBuilder().Build();
    for (size_t length : {size_t(0), size_t(1), size_t(0x140), size_t(kDATHeaderEnd - 1)}) {
        const std::string path = dir.File("short.dat");
        ASSERT_TRUE(writer::WriteWholeFile(path, std::span(full).first(length)));

        CFakePrompts prompts(true);
        CNoBusyIndicator busy;
        CDATArchive archive(path, prompts, busy);
        EXPECT_FALSE(archive.BuildCatalogue()) << length;
        EXPECT_EQ(prompts.informed, std::vector<std::string>{kUnableToLoadMessage});
        EXPECT_TRUE(archive.FileRecords().empty());
        EXPECT_FALSE(archive.ReadFile(MakeEntry(1, 0, 0)));
    }
}

} // namespace
} // namespace orvanel
