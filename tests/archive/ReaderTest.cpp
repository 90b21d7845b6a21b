#include "archive/DATReader.h"
#include "writer/ArchiveBuilder.h"
#include "tests/support/CatalogueFixture.h"
#include "tests/support/FakePrompts.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <numeric>

namespace orvanel {
namespace {

using writer::CArchiveBuilder;
using fixture::CFakePrompts;
using writer::DirectoryNode;
using writer::MakeEntry;

std::vector<uint8_t> Bytes(size_t count, uint8_t first = 1)
{
    std::vector<uint8_t> bytes(count);
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

TEST(DirectoryWalk, PreOrderSlotOrderThenBranchOrder)
{
    CArchiveBuilder b;
    DirectoryNode grandchild;
    grandchild.slots[0] = MakeEntry(0x30, 0, 0);
    const uint32_t c = b.AddNode(grandchild);

    DirectoryNode first;
    first.slots[61] = MakeEntry(0x20, 0, 0);
    first.slots[2] = MakeEntry(0x21, 0, 0);
    first.branches[0] = c;
    const uint32_t a = b.AddNode(first);

    DirectoryNode second;
    second.slots[0] = MakeEntry(0x40, 0, 0);
    const uint32_t s = b.AddNode(second);

    DirectoryNode root;
    root.slots[5] = MakeEntry(0x11, 0, 0, kDATVersionLive3);
    root.slots[0] = MakeEntry(0x10, 0, 0);
    root.branches[0] = a;
    root.branches[1] = kDATNoBranchFill;
    root.branches[2] = 0;
    root.branches[3] = s;
    b.SetRoot(b.AddNode(root));

    const auto archive = b.Build();
    EXPECT_EQ(fixture::WalkFileIDs(archive, uint32_t(archive.size())),
        (std::vector<uint32_t>{0x10, 0x11, 0x21, 0x20, 0x30, 0x40}));
}

TEST(DirectoryWalk, OnlyVersions20000And30000AreLive)
{
    CArchiveBuilder b;
    DirectoryNode root;
    const uint32_t versions[] = {0x10000, 0, 0x20000, 0x20001, 0x30000, 0x40000, 0x2000};
    for (uint32_t i = 0; i < std::size(versions); ++i)
        root.slots[i] = MakeEntry(0x100 + i, 0, 0, versions[i]);
    b.SetRoot(b.AddNode(root));
    const auto archive = b.Build();
    EXPECT_EQ(fixture::WalkFileIDs(archive, uint32_t(archive.size())), (std::vector<uint32_t>{0x102, 0x104}));
}

TEST(DirectoryWalk, NoRootMeansNoEntries)
{
    for (uint32_t root : {kDATNoBranch, kDATNoBranchFill}) {
        CArchiveBuilder b;
        b.SetRoot(root);
        const auto archive = b.Build();
        EXPECT_TRUE(fixture::WalkFileIDs(archive, uint32_t(archive.size())).empty());
    }
}

TEST(DirectoryWalk, SizeMismatchAsksAndNoRefuses)
{
    CArchiveBuilder b;
    b.AddFilesAsTree({{0x0A000001, writer::StoredFile(0x0A000001)}});
    const auto archive = b.Build();
    int calls = 0;
    auto count = [](const DATEntry*, void* ctx) { return ++*static_cast<int*>(ctx); };
    {
        CFakePrompts prompts(false);
        EXPECT_FALSE(WalkDATDirectory(archive, prompts, count, uint32_t(archive.size()) + 1, &calls));
        ASSERT_EQ(prompts.asked.size(), 1u);
        EXPECT_EQ(prompts.asked[0], kImproperArchiveQuestion);
        EXPECT_EQ(calls, 0);
    }
    {
        CFakePrompts prompts(true);
        EXPECT_TRUE(WalkDATDirectory(archive, prompts, count, uint32_t(archive.size()) - 1, &calls));
        EXPECT_EQ(prompts.asked.size(), 1u);
        EXPECT_EQ(calls, 1);
    }
    {
        CFakePrompts prompts(false);
        EXPECT_TRUE(WalkDATDirectory(archive, prompts, nullptr, uint32_t(archive.size()), nullptr));
        EXPECT_TRUE(prompts.asked.empty());
    }
}

TEST(DirectoryWalk, NullViewInformsUnableToLoad)
{
    CFakePrompts prompts(true);
    EXPECT_FALSE(WalkDATDirectory(static_cast<const uint8_t*>(nullptr), prompts, nullptr, 0, nullptr));
    EXPECT_EQ(prompts.informed, std::vector<std::string>{kUnableToLoadMessage});
    EXPECT_TRUE(prompts.asked.empty());
}

TEST(MappedFileTable, HoldsFourViewsAtOnce)
{
    fixture::CTempDir dir;
    CArchiveBuilder b;
    ASSERT_TRUE(b.WriteFile(dir.File("a.dat")));

    uint8_t* views[kMappedFileSlots];
    for (auto& view : views) {
        view = MapDATFile(dir.File("a.dat"), false);
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(DATViewSize(view), b.Size());
    }
    EXPECT_EQ(MapDATFile(dir.File("a.dat"), false), nullptr);

    EXPECT_TRUE(UnmapDATFile(views[2]));
    EXPECT_FALSE(UnmapDATFile(views[2]));
    EXPECT_EQ(DATViewSize(views[2]), 0u);
    uint8_t* again = MapDATFile(dir.File("a.dat"), false);
    EXPECT_NE(again, nullptr);
    EXPECT_TRUE(UnmapDATFile(again));
    for (int i : {0, 1, 3})
        EXPECT_TRUE(UnmapDATFile(views[i]));

    const uint8_t unknown = 0;
    EXPECT_FALSE(UnmapDATFile(&unknown));
    EXPECT_FALSE(UnmapDATFile(nullptr));
}

TEST(MappedFileTable, MissingFileKeepsTheSystemError)
{
    fixture::CTempDir dir;
    errno = 0;
    EXPECT_EQ(MapDATFile(dir.File("missing.dat"), false), nullptr);
    EXPECT_EQ(errno, ENOENT);
}

TEST(MappedFileTable, WritableMappingWritesThrough)
{
    fixture::CTempDir dir;
    CArchiveBuilder b;
    ASSERT_TRUE(b.WriteFile(dir.File("w.dat")));
    uint8_t* view = MapDATFile(dir.File("w.dat"), true);
    ASSERT_NE(view, nullptr);
    view[0] = 0x5A;
    EXPECT_TRUE(UnmapDATFile(view));
    const uint8_t* reread = MapDATFile(dir.File("w.dat"), false);
    ASSERT_NE(reread, nullptr);
    EXPECT_EQ(reread[0], 0x5A);
    EXPECT_TRUE(UnmapDATFile(reread));
}

TEST(BlockChain, ExactlyOneBlockNeverFollowsTheLink)
{
    CArchiveBuilder b(64);
    const auto data = Bytes(60);
    const uint32_t first = b.StoreChain(data);
    b.Poke32(first, 0xFFFFFFF0); // a link that would leave the file
    const auto archive = b.Build();
    const auto read = ReadDATFile(archive, MakeEntry(1, first, 60));
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, data);
}

TEST(BlockChain, FollowsLinksInChainOrder)
{
    CArchiveBuilder b(16);
    const auto data = Bytes(100);
    const uint32_t first = b.StoreChain(data, writer::ChainLayout::Reverse);
    const auto archive = b.Build();
    const auto read = ReadDATFile(archive, MakeEntry(1, first, 100));
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, data);

    // The head copy stops early but matches the whole read.
    uint8_t head[30];
    EXPECT_EQ(ReadDATFileHead(archive, MakeEntry(1, first, 100), head), 30u);
    EXPECT_TRUE(std::equal(head, head + 30, data.begin()));
}

TEST(BlockChain, ShortChainLeavesAZeroTail)
{
    CArchiveBuilder b(16);
    const auto data = Bytes(20);
    const uint32_t first = b.StoreChain(data);
    const auto archive = b.Build();
    const auto read = ReadDATFile(archive, MakeEntry(1, first, 50));
    ASSERT_TRUE(read);
    ASSERT_EQ(read->size(), 50u);
    // Two blocks of 12 data bytes: 20 bytes written, then the rest of the second block is zero.
    EXPECT_TRUE(std::equal(data.begin(), data.end(), read->begin()));
    EXPECT_TRUE(std::all_of(read->begin() + 20, read->end(), [](uint8_t v) { return v == 0; }));

    const auto noBlock = ReadDATFile(archive, MakeEntry(1, 0, 10));
    ASSERT_TRUE(noBlock);
    EXPECT_EQ(*noBlock, std::vector<uint8_t>(10, 0));
}

TEST(BlockChain, SizeZeroGivesAnEmptyBuffer)
{
    CArchiveBuilder b(64);
    const auto archive = b.Build();
    const auto read = ReadDATFile(archive, MakeEntry(1, 0, 0));
    ASSERT_TRUE(read.has_value());
    EXPECT_TRUE(read->empty());
}

TEST(BlockChain, NullViewReadsNothing)
{
    EXPECT_FALSE(ReadDATFile(static_cast<const uint8_t*>(nullptr), MakeEntry(1, 0, 0)));
}

} // namespace
} // namespace orvanel
