#include "archive/ByteOrder.h"
#include "archive/DATArchive.h"
#include "writer/ArchiveBuilder.h"
#include "tests/support/CatalogueFixture.h"
#include "tests/support/FakePrompts.h"

#include <gtest/gtest.h>

#include <random>

namespace orvanel {
namespace {

using writer::CArchiveBuilder;
using fixture::COpenedArchive;
using fixture::CRecordingSelector;
using writer::DirectoryNode;
using writer::FileSpec;
using writer::MakeEntry;
using writer::StoredFile;

// A stored texture header: ID, second field, width, height, format code.
FileSpec Texture(uint32_t id, uint32_t format)
{
    std::vector<uint8_t> payload(20, 0);
    WriteLE32(&payload[12], format);
    return {id, StoredFile(id, payload)};
}

std::vector<uint32_t> IDs(const DATEntryList& list)
{
    std::vector<uint32_t> ids;
    for (const DATEntry* e : list)
        ids.push_back(e->fileID);
    return ids;
}

std::vector<std::string> Lines(const CDATArchive& archive)
{
    CRecordingSelector selector;
    selector.AppendLine("left over from before");
    archive.FillCategoryList(selector);
    for (size_t i = 0; i < selector.lines.size(); ++i)
        EXPECT_NE(selector.lists[i], nullptr) << selector.lines[i];
    return selector.lines;
}

TEST(EntryKey, PrintsFourFieldsAsUpperHex)
{
    EXPECT_EQ(MakeEntryKey(MakeEntry(0x0600ABCD, 0x1234, 0xFF, 0x30000)),
        "000300000600ABCD00001234000000FF");
}

TEST(FileRecord, VersionsInKeyOrderWithoutDuplicates)
{
    DATFileRecord record(0x06000001);
    EXPECT_EQ(record.m_category, 0x06u);
    bool inserted = false;
    const DATEntry newer = MakeEntry(0x06000001, 0x400, 10, kDATVersionLive3);
    const DATEntry older = MakeEntry(0x06000001, 0x800, 10, kDATVersionLive2);
    const DATEntry* first = record.AddVersion(&newer, inserted);
    EXPECT_TRUE(inserted);
    EXPECT_NE(first, &newer); // a copy, not the caller's entry
    EXPECT_TRUE(record.AddVersion(&older, inserted));
    EXPECT_TRUE(inserted);
    EXPECT_EQ(record.AddVersion(&newer, inserted), first);
    EXPECT_FALSE(inserted);

    ASSERT_EQ(record.VersionCount(), 2u);
    EXPECT_EQ(record.GetVersion(0)->version, kDATVersionLive2);
    EXPECT_EQ(record.GetVersion(1), first);
    EXPECT_EQ(record.GetVersion(2), nullptr);

    // The first version stored keeps its place in key order among later ones.
    DATFileRecord mixed(1);
    const uint32_t offsets[] = {0x500, 0x100, 0x900, 0x300, 0x700};
    for (uint32_t offset : offsets) {
        const DATEntry e = MakeEntry(1, offset, 4);
        mixed.AddVersion(&e, inserted);
    }
    ASSERT_EQ(mixed.VersionCount(), 5u);
    for (size_t i = 0; i < 5; ++i)
        EXPECT_EQ(mixed.GetVersion(i)->offset, 0x100u + 0x200u * i) << i;
}

TEST(Catalogue, DuplicateEntriesCountOnceAndDifferingOnesTwice)
{
    CArchiveBuilder b;
    const DATEntry sound = b.StoreFile({0x0A000001, StoredFile(0x0A000001)});
    DATEntry moved = sound;
    moved.offset = b.StoreChain(StoredFile(0x0A000001));
    DATEntry newer = sound;
    newer.version = kDATVersionLive3;
    DirectoryNode root;
    root.slots[0] = sound;
    root.slots[1] = sound;
    root.slots[2] = moved;
    root.slots[3] = newer;
    b.SetRoot(b.AddNode(root));

    COpenedArchive opened(b);
    ASSERT_TRUE(opened.archive->BuildCatalogue());
    EXPECT_EQ(Lines(*opened.archive), std::vector<std::string>{"0A - Sounds (3 files)"});
    const DATFileRecord* record = opened.archive->FindFile(0x0A000001);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->VersionCount(), 3u);
    EXPECT_EQ(record->GetVersion(0)->version, kDATVersionLive2);
    EXPECT_EQ(record->GetVersion(2)->version, kDATVersionLive3);
    EXPECT_EQ(opened.archive->FindFile(0x0A000002), nullptr);
}

TEST(Catalogue, LinesInCategoryOrderWithTextureFormatsUnderCategory06)
{
    std::vector<FileSpec> files;
    for (uint32_t i = 0; i < 12; ++i)
        files.push_back({0x0A000000 + i, StoredFile(0x0A000000 + i)});
    for (uint32_t i = 0; i < 3; ++i)
        files.push_back({0x05000000 + i, StoredFile(0x05000000 + i)});
    for (uint32_t i = 0; i < 40; ++i)
        files.push_back(Texture(0x06000100 + i, 0x31545844));
    files.push_back(Texture(0x06000001, 0x17));
    files.push_back(Texture(0x06000002, 0x16));
    files.push_back(Texture(0x06000003, 0x35545844));
    // Too short to hold a format code: listed in its category, in no format list.
    files.push_back({0x06000004, StoredFile(0x06000004, std::vector<uint8_t>(8, 0))});
    files.push_back({0x31000001, StoredFile(0x31000001)});

    CArchiveBuilder b(256);
    b.AddFilesAsTree(files, {5, 3});
    COpenedArchive opened(b);
    ASSERT_TRUE(opened.archive->BuildCatalogue());
    EXPECT_EQ(Lines(*opened.archive), (std::vector<std::string>{
        "05 - ??? (3 files)",
        "06 - UI Graphics, Textures, etc. (44 files)",
        "06 - 00000016 - ??? (1 files)",
        "06 - 00000017 - 16bit Greyscale (1 files)",
        "06 - 31545844 - DXT1 (40 files)",
        "06 - 35545844 - DXT5 (1 files)",
        "0A - Sounds (12 files)",
        "31 - Help (1 files)",
    }));
}

TEST(Catalogue, SelectorLinesCarryTheirLists)
{
    CArchiveBuilder b;
    b.AddFilesAsTree({Texture(0x06000002, 21), Texture(0x06000001, 500),
        {0x01000001, StoredFile(0x01000001)}});
    COpenedArchive opened(b);
    ASSERT_TRUE(opened.archive->BuildCatalogue());
    CRecordingSelector selector;
    opened.archive->FillCategoryList(selector);
    ASSERT_EQ(selector.lines.size(), 4u);
    EXPECT_EQ(IDs(*selector.lists[0]), std::vector<uint32_t>{0x01000001});
    EXPECT_EQ(IDs(*selector.lists[1]), (std::vector<uint32_t>{0x06000001, 0x06000002}));
    EXPECT_EQ(selector.lines[2], "06 - 00000015 - 32bit (1 files)");
    EXPECT_EQ(IDs(*selector.lists[2]), std::vector<uint32_t>{0x06000002});
    EXPECT_EQ(IDs(*selector.lists[3]), std::vector<uint32_t>{0x06000001});
}

TEST(Catalogue, ListsSortedByUnsignedFileID)
{
    std::vector<FileSpec> files;
    for (uint32_t id : {0x0180000Fu, 0x01000003u, 0x01FFFFFFu, 0x01000001u, 0x017FFFFFu})
        files.push_back({id, StoredFile(id)});
    CArchiveBuilder b;
    b.AddFilesAsTree(files, {2, 2});
    COpenedArchive opened(b);
    ASSERT_TRUE(opened.archive->BuildCatalogue());
    EXPECT_EQ(IDs(opened.archive->CategoryLists().at(0x01)),
        (std::vector<uint32_t>{0x01000001, 0x01000003, 0x017FFFFF, 0x0180000F, 0x01FFFFFF}));

    DATEntry high = MakeEntry(0x80000001, 0, 0), low = MakeEntry(0x7FFFFFFF, 0, 0);
    DATEntryList list{&high, &low};
    SortEntriesByFileID(list);
    EXPECT_EQ(IDs(list), (std::vector<uint32_t>{0x7FFFFFFF, 0x80000001}));
}

TEST(Catalogue, EqualIDsComeOutInTheQuicksortOrder)
{
    // Walk order 2a, 1, 2b: the sort leaves 1, 2b, 2a, where a stable sort would keep 2a first.
    const DATEntry a = MakeEntry(2, 0xA, 0), one = MakeEntry(1, 0, 0), bb = MakeEntry(2, 0xB, 0);
    DATEntryList list{&a, &one, &bb};
    SortEntriesByFileID(list);
    EXPECT_EQ(list, (DATEntryList{&one, &bb, &a}));

    const DATEntry c = MakeEntry(2, 0xC, 0);
    DATEntryList three{&a, &bb, &c};
    SortEntriesByFileID(three);
    EXPECT_EQ(three, (DATEntryList{&c, &bb, &a}));

    DATEntryList two{&a, &bb};
    SortEntriesByFileID(two);
    EXPECT_EQ(two, (DATEntryList{&bb, &a}));
}

// The quicksort as a plain recursive function, to hold the catalogue's sort against.
void ReferenceQuickSort(DATEntryList& list, long lo, long hi)
{
    while (true) {
        long i = lo, j = hi;
        const uint32_t pivot = list[size_t((lo + hi) / 2)]->fileID;
        while (i <= j) {
            while (list[size_t(i)]->fileID < pivot)
                ++i;
            while (list[size_t(j)]->fileID > pivot)
                --j;
            if (i > j)
                break;
            std::swap(list[size_t(i)], list[size_t(j)]);
            ++i;
            --j;
        }
        if (lo < j)
            ReferenceQuickSort(list, lo, j);
        if (i >= hi)
            return;
        lo = i;
    }
}

TEST(Catalogue, SortMatchesTheQuicksortWithAndWithoutSharedIDs)
{
    std::mt19937 random(7);
    for (uint32_t idRange : {50u, 5000u, 0xFFFFFFFFu}) {
        std::vector<DATEntry> entries(800);
        for (uint32_t k = 0; k < entries.size(); ++k)
            entries[k] = MakeEntry(uint32_t(random() % idRange) | (random() % 2 ? 0x80000000u : 0), k, 0);
        DATEntryList list;
        for (const DATEntry& e : entries)
            list.push_back(&e);
        DATEntryList expected = list;
        ReferenceQuickSort(expected, 0, long(expected.size()) - 1);
        SortEntriesByFileID(list);
        EXPECT_EQ(list, expected) << idRange;
    }
}

TEST(Catalogue, RefusedOrEmptyArchiveHasNoLines)
{
    CArchiveBuilder b;
    b.AddFilesAsTree({{0x0A000001, StoredFile(0x0A000001)}});
    b.SetRecordedSize(12345);
    COpenedArchive opened(b);
    EXPECT_FALSE(opened.archive->BuildCatalogue());
    EXPECT_EQ(opened.prompts.asked.size(), 1u);
    EXPECT_TRUE(Lines(*opened.archive).empty());
    opened.prompts.answer = true;
    EXPECT_TRUE(opened.archive->BuildCatalogue());
    EXPECT_EQ(Lines(*opened.archive).size(), 1u);
    COpenedArchive empty{CArchiveBuilder()};
    EXPECT_TRUE(empty.archive->BuildCatalogue());
    EXPECT_TRUE(Lines(*empty.archive).empty());

    fixture::CFakePrompts prompts(true);
    CNoBusyIndicator busy;
    CDATArchive missing(opened.dir.File("missing.dat"), prompts, busy);
    EXPECT_FALSE(missing.BuildCatalogue());
    EXPECT_EQ(prompts.informed, std::vector<std::string>{kUnableToLoadMessage});
}

TEST(Catalogue, RebuildStartsFromEmpty)
{
    CArchiveBuilder b;
    b.AddFilesAsTree({{0x0A000001, StoredFile(0x0A000001)}, Texture(0x06000001, 0x31545844)});
    COpenedArchive opened(b);
    ASSERT_TRUE(opened.archive->BuildCatalogue());
    ASSERT_TRUE(opened.archive->BuildCatalogue());
    EXPECT_EQ(opened.archive->FileRecords().size(), 2u);
    EXPECT_EQ(opened.archive->CategoryLists().at(0x0A).size(), 1u);
    EXPECT_EQ(opened.archive->TextureFormatLists().at(0x31545844).size(), 1u);
    opened.archive->ClearCatalogue();
    EXPECT_TRUE(opened.archive->FileRecords().empty());
    EXPECT_TRUE(opened.archive->TextureFormatLists().empty());
    EXPECT_EQ(opened.archive->CategoryNames().at(0x31), "Help");
}

} // namespace
} // namespace orvanel
