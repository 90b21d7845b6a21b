#include "writer/DamagedArchives.h"

#include "archive/ByteOrder.h"
#include "writer/ArchiveBuilder.h"
#include "writer/RecordBuilders.h"

#include <numeric>

namespace orvanel::writer {

namespace {

constexpr uint32_t kDXT1 = 0x31545844, kDXT3 = 0x33545844, kDXT5 = 0x35545844;
const uint32_t kAllFormats[] = {kDXT1, kDXT3, kDXT5, 28, 244, 20, 243, 21, 500, 41, 101, 23, 26};

std::vector<uint8_t> FromFiles(const std::vector<FileSpec>& files, uint32_t blockSize = 256)
{
    CArchiveBuilder b(blockSize);
    b.AddFilesAsTree(files, {4, 3});
    return b.Build();
}

// A texture header whose fields are given outright, followed by some bytes.
FileSpec RawTexture(uint32_t id, uint32_t width, uint32_t height, uint32_t format,
    uint32_t dataSize, size_t trailing)
{
    std::vector<uint8_t> record = MakeTextureRecord(id, width, height, format, std::vector<uint8_t>(trailing, 0x5A));
    WriteLE32(&record[20], dataSize);
    return {id, record};
}

std::vector<uint8_t> SoundWith(uint32_t id, uint32_t formatSize, uint32_t sampleCount,
    uint16_t formatTag, uint16_t extraSize, size_t trailing)
{
    std::vector<uint8_t> r = MakeSoundRecord(id, PCMFormat(1, 8000, 8), std::vector<uint8_t>(trailing, 0x80));
    WriteLE32(&r[4], formatSize);
    WriteLE32(&r[8], sampleCount);
    WriteLE16(&r[12], formatTag);
    WriteLE16(&r[28], extraSize);
    return r;
}

std::vector<uint8_t> SmallJPEG(uint32_t width, uint32_t height)
{
    std::vector<uint8_t> pixels(size_t(width) * height * 3, 0x40);
    return EncodeJPEG(pixels, width, height, 3);
}

// A JPEG stream whose frame header claims a size of width x height.
std::vector<uint8_t> JPEGClaiming(uint16_t width, uint16_t height)
{
    std::vector<uint8_t> jpeg = SmallJPEG(16, 16);
    for (size_t i = 0; i + 8 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
            jpeg[i + 5] = uint8_t(height >> 8);
            jpeg[i + 6] = uint8_t(height);
            jpeg[i + 7] = uint8_t(width >> 8);
            jpeg[i + 8] = uint8_t(width);
            break;
        }
    }
    return jpeg;
}

std::vector<uint8_t> DirectoryOnly(const std::function<void(CArchiveBuilder&)>& shape)
{
    CArchiveBuilder b(64);
    shape(b);
    return b.Build();
}

// A root whose children hold the entries, 62 to a node, so that the walk meets them in order.
uint32_t TreeOf(CArchiveBuilder& b, std::span<const DATEntry> entries)
{
    std::vector<uint32_t> nodes;
    for (size_t first = 0; first < entries.size(); first += kDATSlotCount) {
        DirectoryNode node;
        for (size_t s = 0; s < kDATSlotCount && first + s < entries.size(); ++s)
            node.slots[s] = entries[first + s];
        nodes.push_back(b.AddNode(node));
    }
    // Up to 62 children of 62 entries each under one root; a second level beyond that.
    while (nodes.size() > 1) {
        std::vector<uint32_t> parents;
        for (size_t first = 0; first < nodes.size(); first += kDATBranchCount) {
            DirectoryNode parent;
            for (size_t k = 0; k < kDATBranchCount && first + k < nodes.size(); ++k)
                parent.branches[k] = nodes[first + k];
            parents.push_back(b.AddNode(parent));
        }
        nodes.swap(parents);
    }
    return nodes.empty() ? 0 : nodes[0];
}

} // namespace

std::vector<uint32_t> IDsAgainstTheSort(uint32_t count)
{
    // Play the sort backwards: each pass gives the element at the middle of the range the
    // smallest ID left, and the partition then swaps it to the range's start.
    std::vector<uint32_t> at(count), ids(count); // at[position] = the element there
    std::iota(at.begin(), at.end(), 0u);
    for (uint32_t lo = 0; lo + 1 < count; ++lo) {
        const uint32_t mid = (lo + count - 1) / 2;
        ids[at[mid]] = lo;
        std::swap(at[lo], at[mid]);
    }
    // The last element left shares the ID given before it.
    if (count > 0)
        ids[at[count - 1]] = count > 1 ? count - 2 : 0;
    return ids;
}

std::vector<DamagedArchive> DamagedArchives()
{
    std::vector<DamagedArchive> corpus;
    auto add = [&](std::string name, std::function<std::vector<uint8_t>()> build) {
        corpus.push_back({std::move(name), std::move(build)});
    };

    // Directories.
    add("DirectoryCycle", [] {
        return DirectoryOnly([](CArchiveBuilder& b) {
            DirectoryNode root, child;
            const uint32_t r = b.AddNode(root), c = b.AddNode(child);
            root.slots[0] = MakeEntry(0x01000001, 0, 0);
            root.branches[0] = c;
            child.branches[0] = r;
            b.WriteNode(r, root);
            b.WriteNode(c, child);
            b.SetRoot(r);
        });
    });
    add("NodePointsToItself", [] {
        return DirectoryOnly([](CArchiveBuilder& b) {
            DirectoryNode root;
            const uint32_t r = b.AddNode(root);
            for (auto& branch : root.branches)
                branch = r;
            b.WriteNode(r, root);
            b.SetRoot(r);
        });
    });
    add("RootPastTheEnd", [] {
        return DirectoryOnly([](CArchiveBuilder& b) { b.SetRoot(0xFFFFFF00); });
    });
    add("NodesPastTheEnd", [] {
        return DirectoryOnly([](CArchiveBuilder& b) {
            DirectoryNode root;
            const uint32_t r = b.AddNode(root);
            for (uint32_t i = 0; i < kDATBranchCount; ++i)
                root.branches[i] = uint32_t(b.Size()) - 100 + i * 0x01000000;
            b.WriteNode(r, root);
            b.SetRoot(r);
        });
    });
    add("DirectoryThousandsOfLevelsDeep", [] {
        return DirectoryOnly([](CArchiveBuilder& b) {
            constexpr uint32_t kDepth = 4000;
            std::vector<uint32_t> nodes(kDepth);
            for (auto& n : nodes)
                n = b.AddNode(DirectoryNode{});
            for (uint32_t level = 0; level < kDepth; ++level) {
                DirectoryNode node;
                node.slots[0] = MakeEntry(0x0E000000 + level, 0, 0);
                if (level + 1 < kDepth)
                    node.branches[level % kDATBranchCount] = nodes[level + 1];
                b.WriteNode(nodes[level], node);
            }
            b.SetRoot(nodes[0]);
        });
    });
    add("OverlappingNodes", [] {
        return DirectoryOnly([](CArchiveBuilder& b) {
            DirectoryNode root;
            for (auto& slot : root.slots)
                slot = MakeEntry(0x02000001, 0x164, 0x30000);
            const uint32_t r = b.AddNode(root);
            b.AddNode(root);
            for (uint32_t i = 0; i < kDATBranchCount; ++i)
                root.branches[i] = r + 1 + i;
            b.WriteNode(r, root);
            b.SetRoot(r);
        });
    });
    add("UnalignedNodes", [] {
        return DirectoryOnly([](CArchiveBuilder& b) {
            b.AppendZeros(3);
            DirectoryNode child;
            child.slots[61] = MakeEntry(0x0E000001, 0, 0);
            const uint32_t c = b.AddNode(child);
            b.AppendZeros(1);
            DirectoryNode root;
            root.slots[0] = MakeEntry(0x0E000002, 0, 0);
            root.branches[7] = c;
            b.SetRoot(b.AddNode(root));
        });
    });
    add("DenseBranchGraph", [] {
        return DirectoryOnly([](CArchiveBuilder& b) {
            constexpr uint32_t kNodes = 300;
            std::vector<uint32_t> nodes(kNodes);
            for (auto& n : nodes)
                n = b.AddNode(DirectoryNode{});
            for (uint32_t i = 0; i < kNodes; ++i) {
                DirectoryNode node;
                for (uint32_t s = 0; s < kDATSlotCount; ++s)
                    node.slots[s] = MakeEntry(0x01000000 + (i * 7 + s) % 500, 0, 0);
                for (uint32_t k = 0; k < kDATBranchCount; ++k)
                    node.branches[k] = nodes[(i * 31 + k * 17) % kNodes] + (k % 3 == 0 ? 8 : 0);
                b.WriteNode(nodes[i], node);
            }
            b.SetRoot(nodes[0]);
        });
    });
    add("BranchesAllCDCDCDCD", [] {
        return DirectoryOnly([](CArchiveBuilder& b) {
            DirectoryNode root;
            root.branches.fill(kDATNoBranchFill);
            root.slots[3] = MakeEntry(0x0A000001, 0, 0);
            b.SetRoot(b.AddNode(root));
        });
    });
    add("ManyVersionsOfOneID", [] {
        CArchiveBuilder b(64);
        const DATEntry stored = b.StoreFile({0x06000001, MakeTextureRecord(0x06000001, 2, 2, 28, std::vector<uint8_t>(4, 9))});
        std::vector<DATEntry> versions;
        for (uint32_t i = 0; i < 62 * 40; ++i) {
            DATEntry e = stored;
            e.reserved1 = i;
            e.size = stored.size + (i % 7);
            e.version = i % 2 ? kDATVersionLive2 : kDATVersionLive3;
            e.offset = stored.offset + (i / 14) * 4;
            versions.push_back(e);
        }
        std::vector<uint32_t> nodes;
        for (size_t first = 0; first < versions.size(); first += kDATSlotCount) {
            DirectoryNode node;
            for (size_t s = 0; s < kDATSlotCount && first + s < versions.size(); ++s)
                node.slots[s] = versions[first + s];
            nodes.push_back(b.AddNode(node));
        }
        DirectoryNode root;
        for (size_t i = 0; i < nodes.size(); ++i)
            root.branches[i] = nodes[i];
        b.SetRoot(b.AddNode(root));
        return b.Build();
    });

    // IDs in the order that makes the catalogue's quicksort take one entry off its range per
    // pass, each pivot being the smallest ID left; two entries share the largest ID, so that
    // the quicksort runs at all.
    add("IDsOrderedAgainstTheSort", [] {
        return DirectoryOnly([](CArchiveBuilder& b) {
            const std::vector<uint32_t> ids = IDsAgainstTheSort(20000);
            std::vector<DATEntry> entries;
            for (size_t k = 0; k < ids.size(); ++k)
                entries.push_back(MakeEntry(0x0E000000 + ids[k], uint32_t(k), 0)); // distinct keys
            b.SetRoot(TreeOf(b, entries));
        });
    });

    // Headers and block chains.
    add("RecordedSizeWrong", [] {
        CArchiveBuilder b(128);
        b.AddFilesAsTree({{0x01000001, StoredFile(0x01000001)}});
        b.SetRecordedSize(7);
        return b.Build();
    });
    for (uint32_t blockSize : {0u, 4u, 5u, 0x7FFFFFFFu}) {
        add("BlockSize" + std::to_string(blockSize), [blockSize] {
            CArchiveBuilder b(64);
            b.AddFilesAsTree({{0x01000001, StoredFile(0x01000001, std::vector<uint8_t>(300, 1))},
                {0x06000001, MakeTextureRecord(0x06000001, 4, 4, 28, std::vector<uint8_t>(16, 2))}});
            b.SetHeaderBlockSize(blockSize);
            return b.Build();
        });
    }
    add("ChainLoopsOnItself", [] {
        CArchiveBuilder b(64);
        const DATEntry e = b.StoreFile({0x01000001, StoredFile(0x01000001, std::vector<uint8_t>(50, 3))});
        b.Poke32(e.offset, e.offset);
        b.AppendZeros(8192);
        DirectoryNode root;
        root.slots[0] = e;
        root.slots[0].size = 8000;
        b.SetRoot(b.AddNode(root));
        return b.Build();
    });
    add("ChainLoopsBetweenTwoBlocks", [] {
        CArchiveBuilder b(32);
        const DATEntry e = b.StoreFile({0x0A000001, SoundWith(0x0A000001, 18, 4000, 1, 0, 40)});
        b.Poke32(e.offset + 32, e.offset);
        DirectoryNode root;
        root.slots[0] = e;
        root.slots[0].size = 4000;
        b.SetRoot(b.AddNode(root));
        return b.Build();
    });
    add("EntrySizesAndOffsetsOutOfRange", [] {
        CArchiveBuilder b(64);
        const DATEntry e = b.StoreFile({0x01000001, StoredFile(0x01000001, std::vector<uint8_t>(100, 4))});
        DirectoryNode root;
        root.slots[0] = MakeEntry(0x01000001, e.offset, 0xFFFFFFFF);
        root.slots[1] = MakeEntry(0x06000001, e.offset, 0xFFFFFFF0);
        root.slots[2] = MakeEntry(0x0A000001, 0xFFFFFFF0, 64);
        root.slots[3] = MakeEntry(0x31000001, e.offset + 60, 64);
        root.slots[4] = MakeEntry(0x04000001, 0x7FFFFFFF, 8);
        b.SetRoot(b.AddNode(root));
        return b.Build();
    });
    add("EmptyAndTinyFilesOfEveryKind", [] {
        std::vector<FileSpec> files;
        for (uint32_t category : {0x01u, 0x04u, 0x06u, 0x08u, 0x0Au, 0x31u}) {
            files.push_back({(category << 24) | 1, {}});
            files.push_back({(category << 24) | 2, {1, 0, 0}});
            files.push_back({(category << 24) | 3, StoredFile((category << 24) | 3)});
        }
        return FromFiles(files);
    });
    add("StoredIDsThatDiffer", [] {
        return FromFiles({{0x06000001, MakeTextureRecord(0x06000002, 1, 1, 28, std::vector<uint8_t>{1})},
            {0x08000001, StoredFile(0xFFFFFFFF)}, {0x0A000001, StoredFile(0)}});
    });

    // Textures.
    add("TexturesWhoseSizeOverflows32Bits", [] {
        std::vector<FileSpec> files;
        uint32_t id = 0x06000001;
        for (uint32_t format : kAllFormats) {
            files.push_back(RawTexture(id++, 0x10000, 0x10001, format, 64, 64));
            files.push_back(RawTexture(id++, 0xFFFFFFFF, 0xFFFFFFFF, format, 0xFFFFFFFF, 64));
            files.push_back(RawTexture(id++, 0x40000000, 4, format, 16, 16));
            files.push_back(RawTexture(id++, 0, 5, format, 0, 8));
        }
        return FromFiles(files);
    });
    add("TexturesShorterThanTheirPixels", [] {
        std::vector<FileSpec> files;
        uint32_t id = 0x06000100;
        for (uint32_t format : kAllFormats) {
            files.push_back(RawTexture(id++, 64, 64, format, 4096, 100));
            files.push_back(RawTexture(id++, 1, 1, format, 0, 0));
            files.push_back({id, StoredFile(id, std::vector<uint8_t>(14, 0))});
            ++id;
        }
        return FromFiles(files);
    });
    add("DXTOddSizes", [] {
        std::vector<FileSpec> files;
        uint32_t id = 0x06000200;
        for (uint32_t format : {kDXT1, kDXT3, kDXT5}) {
            const std::vector<uint8_t> one(4, 200), fifteen(3 * 5 * 4, 100);
            files.push_back({id, MakeTextureRecord(id, 1, 1, format, CompressDXT(one, 1, 1, format))});
            ++id;
            files.push_back({id, MakeTextureRecord(id, 3, 5, format, CompressDXT(fifteen, 3, 5, format))});
            ++id;
            // 3 x 5 needs two blocks; one is missing.
            files.push_back(RawTexture(id++, 3, 5, format, 0, format == kDXT1 ? 8 : 16));
        }
        return FromFiles(files);
    });
    add("JPEGDataSizePastTheEnd", [] {
        const auto jpeg = SmallJPEG(8, 8);
        std::vector<uint8_t> record = MakeTextureRecord(0x06000300, 8, 8, 500, jpeg);
        WriteLE32(&record[20], uint32_t(jpeg.size() + 1000));
        std::vector<uint8_t> huge = record;
        WriteLE32(&huge[0], 0x06000301);
        WriteLE32(&huge[20], 0xFFFFFFFF);
        return FromFiles({{0x06000300, record}, {0x06000301, huge}});
    });
    add("CorruptJPEGStreams", [] {
        auto jpeg = SmallJPEG(32, 32);
        auto truncated = std::vector<uint8_t>(jpeg.begin(), jpeg.begin() + std::ptrdiff_t(jpeg.size() / 2));
        auto garbled = jpeg;
        for (size_t i = jpeg.size() / 3; i < jpeg.size(); i += 3)
            garbled[i] ^= 0xA5;
        std::vector<uint8_t> noise(500);
        for (size_t i = 0; i < noise.size(); ++i)
            noise[i] = uint8_t(i * 37);
        noise[0] = 0xFF;
        noise[1] = 0xD8;
        return FromFiles({{0x06000400, MakeTextureRecord(0x06000400, 32, 32, 500, truncated)},
            {0x06000401, MakeTextureRecord(0x06000401, 32, 32, 500, garbled)},
            {0x06000402, MakeTextureRecord(0x06000402, 32, 32, 500, noise)},
            {0x06000403, MakeTextureRecord(0x06000403, 32, 32, 500, {})}});
    });
    add("JPEGClaimingAHugePicture", [] {
        const auto bomb = JPEGClaiming(65500, 65500);
        const auto wide = JPEGClaiming(65500, 1);
        return FromFiles({{0x06000500, MakeTextureRecord(0x06000500, 16, 16, 500, bomb)},
            {0x06000501, MakeTextureRecord(0x06000501, 16, 16, 500, wide)}});
    });
    add("JPEGClaimingABigPicture", [] {
        const auto big = JPEGClaiming(4000, 4000);
        return FromFiles({{0x06000502, MakeTextureRecord(0x06000502, 4000, 4000, 500, big)}});
    });
    add("IndexedTexturesWithDamagedPalettes", [] {
        std::vector<uint8_t> shortPalette{0x01, 0, 0, 0x04, 0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4};
        const std::vector<uint8_t> indices{0, 1, 2, 255, 7, 200, 3, 3, 9};
        const std::vector<uint16_t> wide{0, 65535, 300, 2, 1, 0, 7, 8, 9};
        return FromFiles({
            {0x04000001, shortPalette},
            {0x04000002, MakeColourTableRecord(0x04000002, std::vector<uint32_t>(2, 0xFF00FF00))},
            {0x06000600, MakeIndexedTextureRecord(0x06000600, 3, 3, 41, indices, 0x04000001)},
            {0x06000601, MakeIndexedTextureRecord(0x06000601, 3, 3, 41, indices, 0x04000002)},
            {0x06000602, MakeIndexedTextureRecord(0x06000602, 3, 3, 101, Values16(wide), 0x04000002)},
            {0x06000603, MakeIndexedTextureRecord(0x06000603, 3, 3, 41, indices, 0x06000603)},
            {0x06000604, MakeIndexedTextureRecord(0x06000604, 3, 3, 101, Values16(wide), 0x04000099)},
            {0x06000605, MakeTextureRecord(0x06000605, 3, 3, 23, Values16(std::vector<uint16_t>(9, 5)))},
        });
    });

    // Colour tables.
    add("ColourCountsPastTheEndAndZero", [] {
        std::vector<uint8_t> huge = MakeColourTableRecord(0x04000001, std::vector<uint32_t>(3, 0xFF123456));
        WriteLE32(&huge[4], 0xFFFFFFFF);
        std::vector<uint8_t> more = MakeColourTableRecord(0x04000002, std::vector<uint32_t>(3, 0xFF123456));
        WriteLE32(&more[4], 1000);
        return FromFiles({{0x04000001, huge}, {0x04000002, more},
            {0x04000003, MakeColourTableRecord(0x04000003, {})},
            {0x04000004, StoredFile(0x04000004, std::vector<uint8_t>{1})}});
    });

    // Sounds.
    add("SoundsClaimingMoreThanTheyHold", [] {
        return FromFiles({
            {0x0A000001, SoundWith(0x0A000001, 18, 0xFFFFFFFF, 1, 0, 100)},
            {0x0A000002, SoundWith(0x0A000002, 18, 100, 1, 0xFFFF, 100)},
            {0x0A000003, SoundWith(0x0A000003, 18, 100, 1, 60, 100)},
            {0x0A000004, SoundWith(0x0A000004, 17, 10, 1, 0, 100)},
            {0x0A000005, SoundWith(0x0A000005, 18, 10, 2, 0, 100)},
            {0x0A000006, StoredFile(0x0A000006, std::vector<uint8_t>(20, 18))},
        });
    });
    add("SoundWithoutFramesOrRate", [] {
        std::vector<uint8_t> r = SoundWith(0x0A000001, 18, 3, 1, 0, 3);
        WriteLE16(&r[24], 0); // block align
        WriteLE32(&r[16], 0); // samples per second
        return FromFiles({{0x0A000001, r}});
    });

    // Text records.
    add("TextRecordsWithoutAFittingLength", [] {
        return FromFiles({{0x31000001, StoredFile(0x31000001, std::vector<uint8_t>{9, 7, 7})},
            {0x31000002, StoredFile(0x31000002, std::vector<uint8_t>(5000, 0xFF))},
            {0x31000003, StoredFile(0x31000003)},
            {0x31000004, StoredFile(0x31000004, std::vector<uint8_t>{0x80, 0x00, 0, 'x'})}});
    });
    return corpus;
}

} // namespace orvanel::writer
