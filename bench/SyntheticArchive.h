#pragma once
// The large archive the benchmarks open: 100,000 live entries, 40,000 of them textures of 1 to
// 16 KiB in ten formats, the rest small files spread over 48 categories, block size 1024, a
// directory five levels deep. Written once per run to a temporary file.

#include "archive/ByteOrder.h"
#include "tests/support/TempDir.h"
#include "writer/ArchiveBuilder.h"

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
        writer::CArchiveBuilder builder(1024);
        builder.AddFilesAsTree(files, {30, 8});
        path = dir.File("large.dat");
        builder.WriteFile(path);
    }
};

inline const SyntheticArchive& Archive()
{
    static SyntheticArchive archive;
    return archive;
}

} // namespace orvanel::bench
