#include "writer/DamagedArchives.h"

#include "archive/ByteOrder.h"
#include "writer/ArchiveBuilder.h"
#include "writer/RecordBuilders.h"

#include <numeric>

namespace orvanel::writer {

namespace {

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
    add("RootPastTheEnd", [] { return DirectoryOnly([](CArchiveBuilder& b) { b.SetRoot(0xFFFFFF00); }); });
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
                n = b.AddNode(DirectoryNode {});
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
                n = b.AddNode(DirectoryNode {});
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
        const DATEntry stored =
            b.StoreFile({0x06000001, MakeTextureRecord(0x06000001, 2, 2, 28, std::vector<uint8_t>(4, 9))});
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
        std::vector<uint8_t> sound =
            MakeSoundRecord(0x0A000001, PCMFormat(1, 8000, 8), std::vector<uint8_t>(40, 0x80));
        WriteLE32(&sound[8], 4000); // claims more samples than it holds
        const DATEntry e = b.StoreFile({0x0A000001, sound});
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
    AddDamagedRecords(corpus);
    return corpus;
}

} // namespace orvanel::writer
