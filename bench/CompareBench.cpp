// Comparing two archives of 100,000 entries each, the newer one with 1% of the files changed
// (same size, last byte differs: they must be read to the end) and 1% added, against reading
// both archive files whole with read() into a buffer. The comparison is meant to cost at most
// 1.5 times the plain read.

#include "archive/ArchiveCompare.h"
#include "archive/ByteOrder.h"
#include "archive/DATArchive.h"
#include "bench/BenchMain.h"
#include "writer/ArchiveBuilder.h"
#include "writer/TempDir.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

using namespace orvanel;

constexpr uint32_t kEntries = 100000;
constexpr uint32_t kTextures = 40000;

CSilentPrompts prompts;
CNoBusyIndicator busy;

struct ArchivePair {
    fixture::CTempDir dir;
    std::string oldPath;
    std::string newPath;

    ArchivePair()
    {
        std::mt19937 random(20261207);
        std::vector<writer::FileSpec> files;
        files.reserve(kEntries + kEntries / 100);
        for (uint32_t i = 0; i < kEntries; ++i) {
            const bool texture = i < kTextures;
            const uint32_t id = texture ? 0x06000000 + i : (uint32_t(1 + i % 0x30) << 24) + i;
            const size_t size = texture ? 1024 + random() % (3 * 1024 + 1) : 16 + random() % 500;
            std::vector<uint8_t> bytes(size);
            for (size_t k = 0; k < size; ++k)
                bytes[k] = uint8_t(random());
            WriteLE32(bytes.data(), id);
            if (texture)
                WriteLE32(bytes.data() + 16, 0x31545844);
            files.push_back({id, std::move(bytes)});
        }
        oldPath = Write(files, "old.dat");
        for (uint32_t i = 0; i < kEntries; i += 100)
            files[i].bytes.back() ^= 0xFF;
        for (uint32_t i = 0; i < kEntries / 100; ++i)
            files.push_back(
                {0x0F000000 + i, writer::StoredFile(0x0F000000 + i, std::vector<uint8_t>(300, 7))});
        newPath = Write(files, "new.dat");
    }

    std::string Write(std::vector<writer::FileSpec> files, const char* name)
    {
        std::shuffle(files.begin(), files.end(), std::mt19937(uint32_t(files.size())));
        const std::string path = dir.File(name);
        writer::WriteArchive(path, files, 1024, {30, 8});
        return path;
    }
};

const ArchivePair& Pair()
{
    static ArchivePair pair;
    return pair;
}

void BM_ReadBothWhole(benchmark::State& state)
{
    std::vector<uint8_t> buffer;
    uint64_t bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        for (const std::string& path : {Pair().oldPath, Pair().newPath}) {
            const int fd = ::open(path.c_str(), O_RDONLY);
            const off_t size = ::lseek(fd, 0, SEEK_END);
            ::lseek(fd, 0, SEEK_SET);
            buffer.resize(size_t(size));
            for (size_t done = 0; done < buffer.size();) {
                const ssize_t got = ::read(fd, buffer.data() + done, buffer.size() - done);
                if (got <= 0)
                    break;
                done += size_t(got);
            }
            ::close(fd);
            bytes += buffer.size();
            benchmark::DoNotOptimize(buffer.data());
        }
    }
    state.SetBytesProcessed(int64_t(bytes) * state.iterations());
}

void BM_CompareOpenArchives(benchmark::State& state)
{
    CDATArchive older(Pair().oldPath, prompts, busy);
    CDATArchive newer(Pair().newPath, prompts, busy);
    older.BuildCatalogue();
    newer.BuildCatalogue();
    ArchiveDifferences d;
    for (auto _ : state)
        d = *CompareArchives(older, newer);
    state.counters["added"] = double(d.added);
    state.counters["changed"] = double(d.changed);
    state.counters["unchanged"] = double(d.unchanged);
}

// What orvanel-cli diff does: open both archives, build their catalogues and compare.
void BM_OpenBothAndCompare(benchmark::State& state)
{
    for (auto _ : state) {
        CDATArchive older(Pair().oldPath, prompts, busy);
        CDATArchive newer(Pair().newPath, prompts, busy);
        older.BuildCatalogue();
        newer.BuildCatalogue();
        benchmark::DoNotOptimize(CompareArchives(older, newer)->changed);
    }
}

} // namespace

BENCHMARK(BM_ReadBothWhole)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompareOpenArchives)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenBothAndCompare)->Unit(benchmark::kMillisecond);
ORVANEL_BENCHMARK_MAIN()
