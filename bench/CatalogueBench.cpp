// Opening a large archive: the bare directory walk, the catalogue build that reads only the
// head of each texture for its format code, and a build that copies every texture whole.
// The archive (100,000 live entries, 40,000 of them textures of 1 to 16 KiB, block size
// 1024, a directory five levels deep) is written once to a temporary file per run.

#include "archive/ByteOrder.h"
#include "archive/DATArchive.h"
#include "bench/ScratchFolder.h"
#include "writer/ArchiveBuilder.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <malloc.h>
#include <memory>
#include <random>

namespace {

using namespace orvanel;

CSilentPrompts prompts;
CNoBusyIndicator busy;

constexpr uint32_t kEntries = 100000;
constexpr uint32_t kTextures = 40000;

const uint32_t kFormats[] = {0x31545844, 0x33545844, 0x35545844, 28, 20, 21, 500, 41, 101, 23};

struct SyntheticArchive {
    bench::CScratchFolder dir;
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

const SyntheticArchive& Archive()
{
    static SyntheticArchive archive;
    return archive;
}

void BM_BareWalk(benchmark::State& state)
{
    const uint8_t* view = MapDATFile(Archive().path, false);
    const auto size = uint32_t(DATViewSize(view));
    uint64_t live = 0;
    for (auto _ : state) {
        live = 0;
        WalkDATDirectory(view, prompts, [](const DATEntry*, void* count) {
            ++*static_cast<uint64_t*>(count);
            return 1;
        }, size, &live);
        benchmark::DoNotOptimize(live);
    }
    UnmapDATFile(view);
    state.counters["entries"] = double(live);
}

void BM_OpenAndBuildCatalogue(benchmark::State& state)
{
    // The catalogue's memory, from the allocator's count of bytes in use.
    size_t bytesPerEntry = 0;
    {
        const size_t before = mallinfo2().uordblks;
        CDATArchive archive(Archive().path, prompts, busy);
        archive.BuildCatalogue();
        bytesPerEntry = (mallinfo2().uordblks - before) / kEntries;
    }
    for (auto _ : state) {
        CDATArchive archive(Archive().path, prompts, busy);
        archive.BuildCatalogue();
        benchmark::DoNotOptimize(archive.FileRecords().size());
    }
    state.counters["catalogue_bytes_per_entry"] = double(bytesPerEntry);
}

// The same build, but learning each texture's format from a whole copy of the texture.
void BM_OpenAndBuildCopyingTexturesWhole(benchmark::State& state)
{
    for (auto _ : state) {
        CDATArchive archive(Archive().path, prompts, busy);
        archive.BuildCatalogue();
        uint64_t formats = 0;
        for (const DATEntry* entry : archive.CategoryLists().at(0x06)) {
            const auto bytes = archive.ReadFile(*entry);
            if (bytes && bytes->size() >= 20)
                formats += ReadLE32(bytes->data() + 16);
        }
        benchmark::DoNotOptimize(formats);
    }
}

BENCHMARK(BM_BareWalk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAndBuildCatalogue)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAndBuildCopyingTexturesWhole)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
