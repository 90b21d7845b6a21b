// Exporting 2,000 mixed stored files (DXT1 and 24-bit textures, sounds, raw records) into a
// folder, beside a plain copy of the same stored bytes into files on the same disk.

#include "app/FileExport.h"
#include "bench/ScratchFolder.h"
#include "writer/ArchiveBuilder.h"
#include "writer/RecordBuilders.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>

namespace {

using namespace orvanel;

constexpr uint32_t kFiles = 2000;

struct MixedArchive {
    bench::CScratchFolder dir;
    CSilentPrompts prompts;
    CNoBusyIndicator busy;
    std::unique_ptr<CDATArchive> archive;
    DATEntryList entries;

    MixedArchive()
    {
        std::vector<uint8_t> rgba(128 * 128 * 4);
        for (size_t i = 0; i < rgba.size(); ++i)
            rgba[i] = uint8_t(i * 31 / 7);
        const auto dxt1 = writer::CompressDXT(rgba, 128, 128, 0x31545844);
        const std::vector<uint8_t> rgb(64 * 64 * 3, 0x5A);
        const std::vector<uint8_t> samples(22050 * 2, 0x11);
        const std::vector<uint8_t> raw(1024, 0x22);

        std::vector<writer::FileSpec> files;
        for (uint32_t i = 0; i < kFiles; ++i) {
            switch (i % 5) {
            case 0:
            case 1: {
                const uint32_t id = 0x06000000 + i;
                files.push_back({id, i % 5 ? writer::MakeTextureRecord(id, 64, 64, 20, rgb)
                                           : writer::MakeTextureRecord(id, 128, 128, 0x31545844, dxt1)});
                break;
            }
            case 2:
            case 3: {
                const uint32_t id = 0x0A000000 + i;
                files.push_back({id, writer::MakeSoundRecord(id, writer::PCMFormat(1, 22050, 16), samples)});
                break;
            }
            default:
                files.push_back({0x0E000000 + i, writer::StoredFile(0x0E000000 + i, raw)});
            }
        }
        writer::CArchiveBuilder builder(1024);
        builder.AddFilesAsTree(files);
        const std::string path = dir.File("mixed.dat");
        builder.WriteFile(path);
        archive = std::make_unique<CDATArchive>(path, prompts, busy);
        archive->BuildCatalogue();
        for (const auto& [category, list] : archive->CategoryLists())
            entries.insert(entries.end(), list.begin(), list.end());
    }
};

MixedArchive& Mixed()
{
    static MixedArchive mixed;
    return mixed;
}

// Each run writes into a new, empty folder, as a first export does. Old folders stay until
// the end: deleting thousands of files between runs would slow the file system's next
// allocations and blur the figures.
std::string FreshFolder(benchmark::State& state, const MixedArchive& m)
{
    static int run = 0;
    state.PauseTiming();
    const auto out = m.dir.Path() / ("out" + std::to_string(run++));
    std::filesystem::create_directory(out);
    state.ResumeTiming();
    return out.string();
}

void BM_ExportMixedFiles(benchmark::State& state)
{
    MixedArchive& m = Mixed();
    for (auto _ : state) {
        const std::string out = FreshFolder(state, m);
        if (SaveStoredFiles(*m.archive, m.entries, out).Failed() != 0)
            state.SkipWithError("a file was not saved");
    }
    state.counters["files_per_second"] = benchmark::Counter(double(m.entries.size()),
        benchmark::Counter::kIsIterationInvariantRate);
}

void BM_PlainCopyOfStoredBytes(benchmark::State& state)
{
    MixedArchive& m = Mixed();
    for (auto _ : state) {
        const std::string out = FreshFolder(state, m);
        for (const DATEntry* entry : m.entries) {
            const auto bytes = m.archive->ReadFile(*entry);
            char name[16];
            std::snprintf(name, sizeof name, "/%08X.raw", entry->fileID);
            const std::string path = out + name;
            std::FILE* f = std::fopen(path.c_str(), "wb");
            if (!f || std::fwrite(bytes->data(), 1, bytes->size(), f) != bytes->size())
                state.SkipWithError("write failed");
            if (f)
                std::fclose(f);
        }
    }
    state.counters["files_per_second"] = benchmark::Counter(double(m.entries.size()),
        benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_ExportMixedFiles)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainCopyOfStoredBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
