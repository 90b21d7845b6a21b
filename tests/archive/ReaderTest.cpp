#include "archive/DATReader.h"
#include "archive/FileMapping.h"
#include "tests/support/CatalogueFixture.h"
#include "writer/ArchiveBuilder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <numeric>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace orvanel {
namespace {

using fixture::CFakePrompts;
using writer::CArchiveBuilder;
using writer::DirectoryNode;
using writer::MakeEntry;

std::vector<uint8_t> Bytes(size_t count)
{
    std::vector<uint8_t> bytes(count);
    std::iota(bytes.begin(), bytes.end(), uint8_t(1));
    return bytes;
}

TEST(DirectoryWalk, PreOrderOfLiveSlotsThenBranches)
{
    CArchiveBuilder b;
    DirectoryNode grandchild;
    grandchild.slots[0] = MakeEntry(0x30, 0, 0);
    DirectoryNode first;
    first.slots[61] = MakeEntry(0x20, 0, 0);
    first.slots[2] = MakeEntry(0x21, 0, 0);
    first.branches[0] = b.AddNode(grandchild);
    DirectoryNode second;
    second.slots[0] = MakeEntry(0x40, 0, 0);
    DirectoryNode root;
    // Only the versions 0x20000 and 0x30000 are live; the slots after a dead one still count.
    const uint32_t versions[] = {0x20000, 0x10000, 0, 0x20001, 0x30000, 0x40000};
    for (uint32_t i = 0; i < std::size(versions); ++i)
        root.slots[i] = MakeEntry(0x10 + i, 0, 0, versions[i]);
    root.branches = {b.AddNode(first), kDATNoBranchFill, 0, b.AddNode(second)};
    b.SetRoot(b.AddNode(root));

    const auto archive = b.Build();
    EXPECT_EQ(fixture::WalkFileIDs(archive, uint32_t(archive.size())),
        (std::vector<uint32_t> {0x10, 0x14, 0x21, 0x20, 0x30, 0x40}));
    for (uint32_t none : {kDATNoBranch, kDATNoBranchFill}) {
        b.SetRoot(none);
        EXPECT_TRUE(fixture::WalkFileIDs(b.Build(), uint32_t(archive.size())).empty());
    }
}

// A root node and its child, and the builder that places them.
struct Wiring {
    CArchiveBuilder& b;
    uint32_t root, child;
    DirectoryNode &r, &c;
};

TEST(DirectoryWalk, NodesOutsideTheFileRevisitedOrOverlappingAreSkipped)
{
    // Each shape gets a root with entries 1, 2, 3 and a child with entry 4, wired as it says.
    const struct {
        const char* name;
        std::function<void(Wiring&)> wire;
        std::vector<uint32_t> expected;
    } cases[] = {
        {"root past the end", [](Wiring& w) { w.b.SetRoot(0xFFFFFF00); }, {}},
        {"root partly past the end", [](Wiring& w) { w.b.SetRoot(w.child + 100); }, {}},
        {"cycles",
            [](Wiring& w) {
                w.r.branches = {w.child, w.root};
                w.c.branches = {w.root, w.child};
            },
            {1, 2, 3, 4}},
        {"child 24 bytes into the root", [](Wiring& w) { w.r.branches[0] = w.root + kDATEntrySize; },
            {1, 2, 3}},
    };
    for (const auto& c : cases) {
        CArchiveBuilder b;
        DirectoryNode root, child;
        for (uint32_t slot = 0; slot < 3; ++slot)
            root.slots[slot] = MakeEntry(1 + slot, 0, 0);
        child.slots[0] = MakeEntry(4, 0, 0);
        Wiring w {b, b.AddNode(root), b.AddNode(child), root, child};
        b.SetRoot(w.root);
        c.wire(w);
        b.WriteNode(w.root, root);
        b.WriteNode(w.child, child);
        const auto archive = b.Build();
        EXPECT_EQ(fixture::WalkFileIDs(archive, uint32_t(archive.size())), c.expected) << c.name;
    }
}

TEST(MappedFileTable, HoldsFourViewsAndFreesTheirSlots)
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
    views[2] = MapDATFile(dir.File("a.dat"), false);
    for (uint8_t* view : views)
        EXPECT_TRUE(UnmapDATFile(view));
    EXPECT_FALSE(UnmapDATFile(nullptr));
}

TEST(MappedFileTable, RefusesWhatIsNoRegularFileAtOnceAndSaysWhy)
{
    fixture::CTempDir dir;
    ASSERT_EQ(::mkfifo(dir.File("pipe").c_str(), 0600), 0);
    writer::WriteWholeFile(dir.File("empty"), {});
    const struct {
        std::string path;
        int error;
        const char* reason;
    } cases[] = {{dir.File("missing.dat"), ENOENT, "No such file"},
        {dir.Path().string(), EISDIR, "Is a folder"},
        {dir.File("pipe"), EINVAL, "Not a regular file"}, // with no writer: would block
        {dir.File("empty"), EINVAL, "Empty file"}};
    for (const auto& c : cases) {
        errno = 0;
        EXPECT_EQ(MapDATFile(c.path, false), nullptr) << c.path;
        EXPECT_EQ(errno, c.error) << c.path;
        EXPECT_EQ(LastMapFailureReason(), c.reason);
        // Only the empty file, a regular one, can be opened to be read.
        EXPECT_EQ(CanOpenForReading(c.path), c.path == dir.File("empty")) << c.path;
    }
    CArchiveBuilder().WriteFile(dir.File("a.dat"));
    EXPECT_TRUE(CanOpenForReading(dir.File("a.dat")));
    uint8_t* view = MapDATFile(dir.File("a.dat"), false);
    EXPECT_EQ(LastMapFailureReason(), "");
    UnmapDATFile(view);
}

TEST(MappedFileTable, FileCutShortWhileMappedReadsAsUnreadableAndFailsTheWalk)
{
    fixture::CTempDir dir;
    CArchiveBuilder b(4096);
    const uint32_t first = b.StoreChain(Bytes(3 * 4092));
    std::vector<writer::FileSpec> files;
    for (uint32_t id = 1; id <= 6; ++id)
        files.push_back({0x0E000000 + id, {}});
    b.AddFilesAsTree(files, {1, 1}); // six nodes, each below the one before
    ASSERT_TRUE(b.WriteFile(dir.File("a.dat")));
    const uint8_t* view = MapDATFile(dir.File("a.dat"), false);
    ASSERT_NE(view, nullptr);
    const DATEntry stored = MakeEntry(1, first, 3 * 4092);
    ASSERT_TRUE(ReadDATFile(view, stored));

    // The first entry reported cuts the file: the header and part of the first block stay.
    struct Cut {
        std::string path;
        int entries = 0;
    } cut {dir.File("a.dat")};
    CFakePrompts prompts;
    EXPECT_FALSE(WalkDATDirectory(
        view, prompts,
        [](const DATEntry*, void* context) {
            auto* c = static_cast<Cut*>(context);
            if (c->entries++ == 0) {
                EXPECT_EQ(::truncate(c->path.c_str(), 4096 + 100), 0);
            }
            return 1;
        },
        uint32_t(b.Size()), &cut));
    EXPECT_EQ(cut.entries, 1);
    EXPECT_FALSE(ReadDATFile(view, stored));
    ASSERT_EQ(::truncate(dir.File("a.dat").c_str(), 0), 0);
    EXPECT_FALSE(WalkDATDirectory(view, prompts, nullptr, uint32_t(b.Size()), nullptr));
    EXPECT_EQ(prompts.informed,
        (std::vector<std::string> {UnableToLoadBecause(kCutShortReason), kUnableToLoadMessage}));
    EXPECT_FALSE(ReadDATFile(view, MakeEntry(1, 0, 0)));
    EXPECT_TRUE(UnmapDATFile(view));
}

// Whole reads, head reads and streamed reads of one entry, held against each other.
std::optional<std::vector<uint8_t>> ReadEveryWay(std::span<const uint8_t> archive, const DATEntry& entry)
{
    const auto read = ReadDATFile(archive, entry);
    const auto whole = read ? std::optional(std::vector<uint8_t>(read->begin(), read->end())) : std::nullopt;
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

// Whole chains in any block order, cut to the entry's size; zeros where a chain ends early or
// leaves the file; unreadable when a block comes round again or the entry outgrows the file.
TEST(BlockChain, CopiesTheChainCutToTheEntrySizeAndRefusesABlockUsedTwice)
{
    CArchiveBuilder b(16);
    const auto data = Bytes(100);
    const uint32_t reversed = b.StoreChain(data, writer::ChainLayout::Reverse);
    const uint32_t oneBlock = b.StoreChain(Bytes(12));
    b.Poke32(oneBlock, 0xFFFFFFF0); // a link that a read of one block must not follow
    const uint32_t shortChain = b.StoreChain(Bytes(20));
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
    auto shortTail = Bytes(20);
    shortTail.resize(40, 0);
    const struct {
        DATEntry entry;
        std::optional<std::vector<uint8_t>> expected;
    } cases[] = {
        {MakeEntry(1, reversed, 100), data},
        {MakeEntry(1, oneBlock, 12), Bytes(12)},
        {MakeEntry(1, shortChain, 40), shortTail},
        {MakeEntry(1, 0, 0), std::vector<uint8_t> {}},
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
    // A head read stops early, zeros what the chain does not reach, and looks only at the
    // blocks it copies from.
    uint8_t head[30];
    EXPECT_EQ(ReadDATFileHead(archive, MakeEntry(1, reversed, 100), head), 30u);
    EXPECT_TRUE(std::equal(head, head + 30, data.begin()));
    std::fill(std::begin(head), std::end(head), 0xEE);
    EXPECT_EQ(ReadDATFileHead(archive, MakeEntry(1, shortChain, 40), head), 30u);
    EXPECT_TRUE(std::equal(head, head + 30, shortTail.begin()));
    EXPECT_EQ(ReadDATFileHead(archive, MakeEntry(1, loop, 2000), std::span(head).first(12)), 12u);
    EXPECT_FALSE(ReadDATFile(static_cast<const uint8_t*>(nullptr), MakeEntry(1, 0, 0)));
}

TEST(BlockChain, UnusableBlockSizeMakesFilesUnreadable)
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
