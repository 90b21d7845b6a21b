#pragma once
// The large archive the benchmarks open: 100,000 live entries, 40,000 of them textures of 1 to
// 16 KiB in ten formats, the rest small files spread over 48 categories, block size 1024, a
// directory five levels deep. Written once per run to a temporary file.

#include "archive/ByteOrder.h"
#include "writer/ArchiveBuilder.h"
#include "writer/TempDir.h"

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace orvanel::bench {

inline constexpr uint32_t kEntries = 100000;
inline constexpr uint32_t kTextures = 40000;

inline constexpr uint32_t kFormats[] = {0x31545844, 0x33545844, 0x35545844, 28, 20, 21, 500, 41, 101, 23};

struct SyntheticArchive {
    fixture::CTempDir dir;
    std::string path;

    SyntheticArchive()
    {
        std::mt19937 random(20261206);
        std::vector<writer::FileSpec> files;
        files.reserve(kEntries);
        for (uint32_t i = 0; i < kEntries; ++i) {
            const bool texture = i < kTextures;
            const uint32_t id = texture ? 0x06000000 + i : (uint32_t(1 + i % 0x30) << 24) + i;
            const size_t size = texture ? 1024 + random() % (15 * 1024 + 1) : 16 + random() % 500;
            std::vector<uint8_t> bytes(size, uint8_t(i));
            WriteLE32(bytes.data(), id);
            if (texture)
                WriteLE32(bytes.data() + 16, kFormats[i % std::size(kFormats)]);
            files.push_back({id, std::move(bytes)});
        }
        std::shuffle(files.begin(), files.end(), random);
        path = dir.File("large.dat");
        writer::WriteArchive(path, files, 1024, {30, 8});
    }
};

inline const SyntheticArchive& Archive()
{
    static SyntheticArchive archive;
    return archive;
}

// An archive of count live entries shaped like the large one (40% textures in ten formats, the
// rest spread over 48 categories, a directory five levels deep at 100,000) but with every
// stored file small enough for one 256-byte block, so that 1,000,000 entries stay a few
// hundred megabytes: the catalogue's cost per entry at 10,000 to 1,000,000 entries. With
// searchTree, the directory is kept as the game keeps it (full nodes, entries ordered by file
// ID across the tree) instead of in random order.
struct ScaledArchive {
    fixture::CTempDir dir;
    std::string path;

    explicit ScaledArchive(uint32_t count, bool searchTree = false)
    {
        std::mt19937 random(count);
        std::vector<writer::FileSpec> files;
        files.reserve(count);
        for (uint32_t i = 0; i < count; ++i) {
            const bool texture = i % 5 < 2;
            const uint32_t id = texture ? 0x06000000 + i : (uint32_t(1 + i % 0x30) << 24) + i;
            std::vector<uint8_t> bytes(20 + random() % 233, uint8_t(i));
            WriteLE32(bytes.data(), id);
            if (texture)
                WriteLE32(bytes.data() + 16, kFormats[i % std::size(kFormats)]);
            files.push_back({id, std::move(bytes)});
        }
        std::shuffle(files.begin(), files.end(), random);
        path = dir.File("scaled.dat");
        writer::WriteArchive(path, files, 256,
            searchTree ? writer::TreeShape {.searchTree = true} : writer::TreeShape {30, 8});
    }
};

// count versions of one file ID (category 0x01, so no stored data is read), their keys in
// random order along the walk: each differs in offset. The directory is a chain of full nodes.
struct VersionsArchive {
    fixture::CTempDir dir;
    std::string path;

    explicit VersionsArchive(uint32_t count)
    {
        std::vector<uint32_t> offsets(count);
        for (uint32_t k = 0; k < count; ++k)
            offsets[k] = 0x1000 + k * 8;
        std::shuffle(offsets.begin(), offsets.end(), std::mt19937(count));
        writer::CArchiveBuilder builder(1024);
        uint32_t next = 0;
        for (uint32_t first = (count - 1) / kDATSlotCount * kDATSlotCount;; first -= kDATSlotCount) {
            writer::DirectoryNode node;
            for (uint32_t s = 0; s < kDATSlotCount && first + s < count; ++s)
                node.slots[s] = writer::MakeEntry(0x01000001, offsets[first + s], 4);
            node.branches[0] = next;
            next = builder.AddNode(node);
            if (first == 0)
                break;
        }
        builder.SetRoot(next);
        path = dir.File("versions.dat");
        builder.WriteFile(path);
    }
};

} // namespace orvanel::bench
