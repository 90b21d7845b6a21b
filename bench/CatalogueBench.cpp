// Opening a large archive: the bare directory walk, the catalogue build that reads only the
// head of each texture for its format code, and a build that copies every texture whole.
// The archive (100,000 live entries, 40,000 of them textures of 1 to 16 KiB, block size
// 1024, a directory five levels deep) is written once to a temporary file per run. The build's
// cost per entry and the memory it keeps are also measured at 10,000 to 1,000,000 entries, and
// with 200,000 versions of one file ID.

#include "archive/ByteOrder.h"
#include "archive/DATArchive.h"
#include "bench/BenchMain.h"
#include "bench/SyntheticArchive.h"

#include <benchmark/benchmark.h>

#include <ctime>
#include <malloc.h>
#include <memory>

namespace {

using namespace orvanel;
using bench::Archive;
using bench::kEntries;

CSilentPrompts prompts;
CNoBusyIndicator busy;

size_t BytesInUse();
double ThreadSeconds();

void BM_BareWalk(benchmark::State& state)
{
    const uint8_t* view = MapDATFile(Archive().path, false);
    const auto size = uint32_t(DATViewSize(view));
    uint64_t live = 0;
    for (auto _ : state) {
        live = 0;
        WalkDATDirectory(
            view, prompts,
            [](const DATEntry*, void* count) {
                ++*static_cast<uint64_t*>(count);
                return 1;
            },
            size, &live);
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
        const size_t before = BytesInUse();
        CDATArchive archive(Archive().path, prompts, busy);
        archive.BuildCatalogue();
        bytesPerEntry = (BytesInUse() - before) / kEntries;
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

// Processor time of this thread so far, as the benchmark's own CPU time counts it.
double ThreadSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// Bytes the allocator has handed out, heap and mapped blocks alike.
size_t BytesInUse()
{
    const auto info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// Open, build and destroy at 10,000, 100,000 and 1,000,000 entries: the cost per entry should
// not grow with the size. per_entry_vs_10k is the ratio to the cost at 10,000 entries of the
// same directory shape (at most 1.5): each iteration also builds the 10,000-entry archive as
// many times as make up the same number of entries, so that the two are measured side by side
// and a slower or faster spell of the machine falls on both. The memory the built catalogue
// holds is counted once per size. The directory is in random order (the walk meets the IDs
// shuffled), or with searchTree kept as the game keeps it.
void CatalogueBySize(benchmark::State& state, bool searchTree)
{
    constexpr uint32_t kAnchorCount = 10000;
    const auto count = uint32_t(state.range(0));
    const bench::ScaledArchive scaled(count, searchTree);
    const auto anchor =
        count > kAnchorCount ? std::make_unique<bench::ScaledArchive>(kAnchorCount, searchTree) : nullptr;
    size_t bytes = 0;
    {
        const size_t before = BytesInUse();
        CDATArchive archive(scaled.path, prompts, busy);
        archive.BuildCatalogue();
        bytes = BytesInUse() - before;
    }
    const auto build = [](const std::string& path) {
        CDATArchive archive(path, prompts, busy);
        archive.BuildCatalogue();
        benchmark::DoNotOptimize(archive.FindFile(0x06000000));
    };
    double seconds = 0;
    double anchorSeconds = 0;
    for (auto _ : state) {
        const double started = ThreadSeconds();
        build(scaled.path);
        const double built = ThreadSeconds();
        for (uint32_t k = 0; anchor && k < count / kAnchorCount; ++k)
            build(anchor->path);
        seconds += built - started;
        anchorSeconds += ThreadSeconds() - built;
        state.SetIterationTime(built - started);
    }
    state.counters["ns_per_entry"] = benchmark::Counter(
        double(count), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["bytes_per_entry"] = double(bytes) / count;
    state.counters["per_entry_vs_10k"] = anchor ? seconds / anchorSeconds : 1.0;
}

void BM_CatalogueBySize(benchmark::State& state)
{
    CatalogueBySize(state, false);
}

void BM_CatalogueBySizeSearchTree(benchmark::State& state)
{
    CatalogueBySize(state, true);
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
    state.counters["ns_per_version"] = benchmark::Counter(
        double(state.range(0)), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_BareWalk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAndBuildCatalogue)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAndBuildCopyingTexturesWhole)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CatalogueBySize)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();
BENCHMARK(BM_CatalogueBySizeSearchTree)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();
BENCHMARK(BM_OpenManyVersionsOfOneID)->Arg(200000)->Unit(benchmark::kMillisecond);

} // namespace

ORVANEL_BENCHMARK_MAIN()
