// Exporting 2,000 mixed stored files (DXT1 and 24-bit textures, sounds, raw records) into a
// folder, beside a safe copy and a plain write of the same bytes on the same disk.

#include "bench/BenchMain.h"
#include "bench/BusyCore.h"
#include "bench/OpenedArchive.h"
#include "bench/StepTime.h"
#include "content/FileExport.h"
#include "decode/OutputFile.h"
#include "writer/RecordBuilders.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <unistd.h>

namespace {

using namespace orvanel;

constexpr uint32_t kFiles = 2000;

std::vector<writer::FileSpec> MixedFiles()
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
            files.push_back({id,
                i % 5 ? writer::MakeTextureRecord(id, 64, 64, 20, rgb)
                      : writer::MakeTextureRecord(id, 128, 128, 0x31545844, dxt1)});
            break;
        }
        case 2:
        case 3: {
            const uint32_t id = 0x0A000000 + i;
            files.push_back({id, writer::MakeSoundRecord(id, writer::PCMFormat(1, 22050, 16), samples)});
            break;
        }
        default: files.push_back({0x0E000000 + i, writer::StoredFile(0x0E000000 + i, raw)});
        }
    }
    return files;
}

// The mixed files opened, every one of them listed.
struct MixedArchive : bench::COpenedArchive {
    DATEntryList entries;

    MixedArchive() : COpenedArchive(MixedFiles())
    {
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

// The files one export writes, read back once: the anchors write exactly these bytes.
const std::vector<std::pair<std::string, std::string>>& ExportedFiles()
{
    static const auto files = [] {
        MixedArchive& m = Mixed();
        const auto out = m.dir.Path() / "reference";
        std::filesystem::create_directory(out);
        SaveStoredFiles(*m.archive, m.entries, out.string());
        std::vector<std::pair<std::string, std::string>> all;
        for (const auto& entry : std::filesystem::directory_iterator(out)) {
            std::FILE* f = std::fopen(entry.path().c_str(), "rb");
            std::string bytes(size_t(entry.file_size()), '\0');
            if (f && std::fread(bytes.data(), 1, bytes.size(), f) == bytes.size())
                all.emplace_back(entry.path().filename().string(), std::move(bytes));
            if (f)
                std::fclose(f);
        }
        return all;
    }();
    return files;
}

bool WriteFile(const std::string& path, const std::string& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    const bool written = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return (f && std::fclose(f) == 0) && written;
}

// The time of one step, which starts with nothing of the earlier steps left to write back:
// otherwise a step that flushes the file system would pay for the files of the step before.
double SecondsOf(const std::function<void()>& step)
{
    ::sync();
    return bench::SecondsOf(step);
}

// One iteration runs, interleaved: the export into a fresh folder (the timed figure), the
// same export over its own files, the one-thread export, a safe copy of the exported bytes
// (each to a temporary name, then renamed; no flush) and a plain write of them. The counters
// are the ratios to the anchors, summed over the iterations' own times. Each step starts with
// the file system synced, untimed. Argument 1: the second core is kept busy.
void BM_ExportAgainstCopies(benchmark::State& state)
{
    MixedArchive& m = Mixed();
    const auto& files = ExportedFiles();
    bench::CBusyThread busy(state.range(0) != 0);
    double fresh = 0, again = 0, oneThread = 0, safe = 0, plain = 0;
    for (auto _ : state) {
        const std::string out = FreshFolder(state, m);
        const double t = SecondsOf([&] {
            if (SaveStoredFiles(*m.archive, m.entries, out).Failed() != 0)
                state.SkipWithError("a file was not saved");
        });
        state.SetIterationTime(t);
        fresh += t;
        again += SecondsOf([&] { SaveStoredFiles(*m.archive, m.entries, out); });
        const std::string single = FreshFolder(state, m);
        oneThread += SecondsOf([&] {
            COutputFolder folder(single);
            SaveStoredFiles(*m.archive, m.entries, folder, {}, false);
        });
        const std::string safeOut = FreshFolder(state, m);
        safe += SecondsOf([&] {
            for (const auto& [name, bytes] : files) {
                const std::string temp = safeOut + "/." + name + ".tmp";
                if (!WriteFile(temp, bytes) || std::rename(temp.c_str(), (safeOut + "/" + name).c_str()) != 0)
                    state.SkipWithError("safe copy failed");
            }
        });
        const std::string plainOut = FreshFolder(state, m);
        plain += SecondsOf([&] {
            for (const auto& [name, bytes] : files) {
                if (!WriteFile(plainOut + "/" + name, bytes))
                    state.SkipWithError("plain write failed");
            }
        });
    }
    state.counters["x_safe_copy"] = fresh / safe;
    state.counters["x_plain_write"] = fresh / plain;
    state.counters["reexport_x_fresh"] = again / fresh;
    state.counters["one_thread_x_overlapped"] = oneThread / fresh;
    state.counters["files_per_second"] =
        benchmark::Counter(double(m.entries.size()), benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_ExportAgainstCopies)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5);

} // namespace

ORVANEL_BENCHMARK_MAIN()
