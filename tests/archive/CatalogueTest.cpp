#include "archive/DATArchive.h"
#include "archive/WalkedEntries.h"
#include "tests/support/CatalogueFixture.h"
#include "tests/support/ChildProcess.h"
#include "writer/ArchiveBuilder.h"
#include "writer/DamagedArchives.h"
#include "writer/RecordBuilders.h"

#include <gtest/gtest.h>

#include <bit>
#include <fstream>
#include <random>
#include <span>
#include <sys/resource.h>
#include <unistd.h>

namespace orvanel {
namespace {

using fixture::AddressSpace;
using fixture::COpenedArchive;
using fixture::CRecordingSelector;
using fixture::InChild;
using fixture::kSanitized;
using writer::CArchiveBuilder;
using writer::FileSpec;
using writer::MakeEntry;
using writer::StoredFile;

// A texture header without pixels whose format code is format.
FileSpec Texture(uint32_t id, uint32_t format)
{
    return {id, writer::MakeTextureRecord(id, 0, 0, format, {})};
}

std::vector<uint32_t> IDs(const DATEntryList& list)
{
    std::vector<uint32_t> ids;
    for (const DATEntry* e : list)
        ids.push_back(e->fileID);
    return ids;
}

CRecordingSelector Lines(const CDATArchive& archive)
{
    CRecordingSelector selector;
    selector.AppendLine("left over from before");
    archive.FillCategoryList(selector);
    return selector;
}

TEST(FileRecord, VersionsInKeyOrderWithoutDuplicates)
{
    DATFileRecord record(0x06000001);
    bool inserted = false;
    const DATEntry newer = MakeEntry(0x06000001, 0x400, 10, kDATVersionLive3);
    const DATEntry* first = record.AddVersion(&newer, inserted);
    EXPECT_TRUE(inserted);
    EXPECT_NE(first, &newer); // a copy, not the caller's entry
    EXPECT_EQ(record.AddVersion(&newer, inserted), first);
    EXPECT_FALSE(inserted);
    // The first version stored keeps its place in key order among later ones.
    for (uint32_t offset : {0x500u, 0x100u, 0x900u}) {
        const DATEntry e = MakeEntry(0x06000001, offset, 10, kDATVersionLive2);
        record.AddVersion(&e, inserted);
    }
    ASSERT_EQ(record.VersionCount(), 4u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(record.GetVersion(i)->offset, 0x100u + 0x400u * i) << i;
    EXPECT_EQ(record.GetVersion(3), first);
    EXPECT_EQ(record.GetVersion(4), nullptr);
}

TEST(Catalogue, LinesInCategoryOrderCarryTheirSortedLists)
{
    std::vector<FileSpec> files;
    for (uint32_t i = 0; i < 12; ++i)
        files.push_back({0x0A000010 - i, StoredFile(0x0A000010 - i)});
    for (uint32_t i = 0; i < 3; ++i)
        files.push_back({0x05000000 + i, StoredFile(0x05000000 + i)});
    for (uint32_t i = 0; i < 40; ++i)
        files.push_back(Texture(0x06000100 + i, 0x31545844));
    uint32_t id = 0x06000001;
    for (uint32_t format : {0x17u, 0x16u, 0x35545844u})
        files.push_back(Texture(id++, format));
    // Too short to hold a format code: listed in its category, in no format list.
    files.push_back({0x06000004, StoredFile(0x06000004, std::vector<uint8_t>(8, 0))});
    files.push_back({0x31000001, StoredFile(0x31000001)});
    // The same entry twice counts once; one differing in version or place is another version.
    CArchiveBuilder b(256);
    auto entries = b.AddFilesAsTree(files, {5, 3});
    DATEntry newer = entries[0];
    newer.version = kDATVersionLive3;
    writer::DirectoryNode extra;
    extra.slots = {entries[0], newer};
    writer::DirectoryNode root;
    root.branches = {b.Root(), b.AddNode(extra)};
    b.SetRoot(b.AddNode(root));

    COpenedArchive opened(b);
    ASSERT_TRUE(opened.archive->BuildCatalogue());
    const CRecordingSelector selector = Lines(*opened.archive);
    EXPECT_EQ(selector.lines,
        (std::vector<std::string> {
            "05 - ??? (3 files)",
            "06 - UI Graphics, Textures, etc. (44 files)",
            "06 - 00000016 - ??? (1 files)",
            "06 - 00000017 - 16bit Greyscale (1 files)",
            "06 - 31545844 - DXT1 (40 files)",
            "06 - 35545844 - DXT5 (1 files)",
            "0A - Sounds (13 files)",
            "31 - Help (1 files)",
        }));
    const auto& lists = opened.archive->CategoryLists();
    EXPECT_EQ(selector.lists[6], &lists.at(0x0A));
    EXPECT_EQ(selector.lists[3], &opened.archive->TextureFormatLists().at(0x17));
    const auto sounds = IDs(lists.at(0x0A));
    EXPECT_TRUE(std::is_sorted(sounds.begin(), sounds.end()));
    EXPECT_EQ(opened.archive->FindFile(0x0A000010)->VersionCount(), 2u);
    EXPECT_EQ(opened.archive->FindFile(0x0A000011), nullptr);

    // A rebuild starts from empty.
    ASSERT_TRUE(opened.archive->BuildCatalogue());
    EXPECT_EQ(Lines(*opened.archive).lines, selector.lines);
    opened.archive->ClearCatalogue();
    EXPECT_TRUE(Lines(*opened.archive).lines.empty());
    EXPECT_EQ(opened.archive->CategoryNames().at(0x31), "Help");
}

TEST(Catalogue, RefusedOrMissingArchiveHasNoLines)
{
    CArchiveBuilder b;
    b.AddFilesAsTree({{0x0A000001, StoredFile(0x0A000001)}});
    b.SetRecordedSize(12345);
    COpenedArchive opened(b);
    EXPECT_FALSE(opened.archive->BuildCatalogue());
    EXPECT_EQ(opened.prompts.asked.size(), 1u);
    EXPECT_TRUE(Lines(*opened.archive).lines.empty());
    opened.prompts.answer = true;
    EXPECT_TRUE(opened.archive->BuildCatalogue());
    EXPECT_EQ(Lines(*opened.archive).lines.size(), 1u);

    CDATArchive missing(opened.dir.File("missing.dat"), opened.prompts, opened.busy);
    EXPECT_FALSE(missing.BuildCatalogue());
    EXPECT_EQ(opened.prompts.informed, std::vector<std::string> {kUnableToLoadMessage});
}

TEST(Catalogue, OutOfMemoryOrAFileCutShortFailsTheOpenAndLeavesNoLines)
{
    if (kSanitized)
        GTEST_SKIP() << "sanitizers reserve address space of their own";
    // 600,000 entries without stored data behind one stored file that puts the directory
    // beyond the first pages. Written by a child, so that this process keeps no freed heap
    // the catalogue could reuse below the limit.
    fixture::CTempDir dir;
    const std::string path = dir.File("big.dat");
    ASSERT_TRUE(InChild([&path] {
        CArchiveBuilder b(4096);
        b.StoreChain(std::vector<uint8_t>(3 * 4092, 1));
        std::vector<FileSpec> files;
        for (uint32_t k = 0; k < 600000; ++k)
            files.push_back({0x01000000 + k, {}});
        b.AddFilesAsTree(files);
        return b.WriteFile(path);
    }));
    fixture::CFakePrompts prompts;
    CNoBusyIndicator busy;
    CDATArchive archive(path, prompts, busy);

    // With only 8 MiB of address space to spare: the catalogue needs far more.
    EXPECT_TRUE(InChild([&] {
        const uint64_t limit = AddressSpace() + (8u << 20);
        const rlimit cap {limit, limit};
        return ::setrlimit(RLIMIT_AS, &cap) == 0 && !archive.BuildCatalogue()
            && archive.CategoryLists().empty() && !archive.FindFile(0x01000000)
            && prompts.informed == std::vector<std::string> {UnableToLoadBecause(kOutOfMemoryReason)};
    }));

    // The file cut short after it was mapped.
    ASSERT_EQ(::truncate(path.c_str(), 4096 + 100), 0);
    EXPECT_FALSE(archive.BuildCatalogue());
    EXPECT_TRUE(Lines(archive).lines.empty());
    EXPECT_EQ(prompts.informed, std::vector<std::string> {UnableToLoadBecause(kCutShortReason)});
}

bool ByID(const DATEntry* a, const DATEntry* b)
{
    return a->fileID < b->fileID;
}

DATEntryList ListOf(const std::vector<DATEntry>& entries)
{
    DATEntryList list;
    for (const DATEntry& e : entries)
        list.push_back(&e);
    return list;
}

TEST(EntrySort, EqualIDsComeOutInTheQuicksortOrder)
{
    // Walk order 2a, 1, 2b: the sort leaves 1, 2b, 2a, where a stable sort would keep 2a first.
    const std::vector<DATEntry> few = {MakeEntry(2, 0xA, 0), MakeEntry(1, 0, 0), MakeEntry(2, 0xB, 0)};
    DATEntryList list = ListOf(few);
    SortEntriesByFileID(list);
    EXPECT_EQ(list, (DATEntryList {&few[1], &few[2], &few[0]}));

    // Unsigned order, with and without shared IDs, every entry kept.
    std::mt19937 random(7);
    for (uint32_t idRange : {50u, 5000u, 0xFFFFFFFFu}) {
        std::vector<DATEntry> entries(800);
        for (uint32_t k = 0; k < entries.size(); ++k)
            entries[k] = MakeEntry(uint32_t(random() % idRange) | (random() % 2 ? 0x80000000u : 0), k, 0);
        DATEntryList sorted = ListOf(entries);
        SortEntriesByFileID(sorted);
        EXPECT_TRUE(std::is_sorted(sorted.begin(), sorted.end(), ByID)) << idRange;
        EXPECT_TRUE(std::is_permutation(sorted.begin(), sorted.end(), ListOf(entries).begin())) << idRange;
    }
}

TEST(EntrySort, CraftedOrderCostsNoMoreThanALogarithmicFactor)
{
    constexpr uint32_t kCount = 100000;
    const std::vector<uint32_t> ids = writer::IDsAgainstTheSort(kCount);
    std::vector<DATEntry> entries;
    for (uint32_t k = 0; k < kCount; ++k)
        entries.push_back(MakeEntry(ids[k], k, 0));
    DATEntryList list = ListOf(entries);
    const uint64_t comparisons = SortEntriesByFileID(list);
    EXPECT_LE(comparisons, 12u * kCount * std::bit_width(kCount));
    EXPECT_TRUE(std::is_sorted(list.begin(), list.end(), ByID));
    // The two entries sharing an ID end up side by side, in entry key order.
    EXPECT_LT(list[kCount - 2]->offset, list[kCount - 1]->offset);
}

// The entries of an archive of files in the order its directory walk meets them.
std::vector<DATEntry> WalkOf(const std::vector<FileSpec>& files, writer::TreeShape shape)
{
    CArchiveBuilder builder(64);
    builder.AddFilesAsTree(files, shape);
    const std::vector<uint8_t> bytes = builder.Build();
    std::vector<DATEntry> walk;
    const auto collect = [](const DATEntry* entry, void* context) {
        static_cast<std::vector<DATEntry>*>(context)->push_back(*entry);
        return 1;
    };
    EXPECT_EQ(ForEachLiveEntry(bytes, collect, &walk), DATWalkResult::Done);
    return walk;
}

TEST(WalkedEntries, SortByIDIsStableWhateverTheWalkOrder)
{
    // IDs that repeat (a few versions each) and IDs with the top bit set; entries of one ID
    // differ in their offsets. A walk far from order (shuffled) takes the radix sort. 20,000 entries fill more than one of the walk's blocks.
    std::mt19937 random(11);
    std::vector<FileSpec> files;
    for (uint32_t k = 0; k < 20000; ++k) {
        const uint32_t id = (random() % 9000) * 0x9E3779u | (k % 7 == 0 ? 0x80000000u : 0);
        files.push_back({id, StoredFile(id)});
    }
    const auto byID = [](const DATEntry& a, const DATEntry& b) { return a.fileID < b.fileID; };
    std::vector<std::pair<std::string, std::vector<DATEntry>>> walks;
    // Directories as the game keeps them (nearly in order), with small and full nodes, and in
    // random order.
    walks.emplace_back("search tree", WalkOf(files, {30, 8, true}));
    walks.emplace_back("full search tree", WalkOf(files, {.searchTree = true}));
    walks.emplace_back("shuffled", WalkOf(files, {30, 8}));
    std::vector<DATEntry> ordered = walks.back().second;
    std::stable_sort(ordered.begin(), ordered.end(), byID);
    walks.emplace_back("in order", ordered);
    walks.emplace_back("none", std::vector<DATEntry> {});
    walks.emplace_back("one", std::vector<DATEntry> {ordered[0]});

    for (const auto& [name, walk] : walks) {
        CWalkedEntries walked;
        for (const DATEntry& entry : walk)
            walked.Add(entry);
        std::vector<DATEntry> sorted;
        SortByID(walked, sorted);
        std::vector<DATEntry> expected = walk;
        std::stable_sort(expected.begin(), expected.end(), byID);
        ASSERT_EQ(sorted.size(), expected.size()) << name;
        for (size_t k = 0; k < sorted.size(); ++k) {
            ASSERT_EQ(sorted[k].fileID, expected[k].fileID) << name << " at " << k;
            ASSERT_EQ(sorted[k].offset, expected[k].offset) << name << " at " << k;
        }
    }
}

} // namespace
} // namespace orvanel
