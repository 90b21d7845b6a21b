// Opening a large archive: the bare directory walk, the catalogue build that reads only the
// head of each texture for its format code, and a build that copies every texture whole.
// The archive (100,000 live entries, 40,000 of them textures of 1 to 16 KiB, block size
// 1024, a directory five levels deep) is written once to a temporary file per run.

#include "archive/ByteOrder.h"
#include "archive/DATArchive.h"
#include "bench/SyntheticArchive.h"

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <memory>

namespace {

using namespace orvanel;
using bench::Archive;
using bench::kEntries;

CSilentPrompts prompts;
CNoBusyIndicator busy;

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

// One file ID with 200,000 versions: the versions are kept in key order as they arrive.
void BM_OpenManyVersionsOfOneID(benchmark::State& state)
{
    static const bench::VersionsArchive versions(uint32_t(state.range(0)));
    for (auto _ : state) {
        CDATArchive archive(versions.path, prompts, busy);
        archive.BuildCatalogue();
        benchmark::DoNotOptimize(archive.FindFile(0x01000001));
    }
    state.counters["ns_per_version"] = benchmark::Counter(double(state.range(0)),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_BareWalk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAndBuildCatalogue)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAndBuildCopyingTexturesWhole)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenManyVersionsOfOneID)->Arg(200000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
