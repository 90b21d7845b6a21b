// Exporting 1,000 mixed 256x256 textures (DXT1, DXT3, DXT5, 24-bit and 32-bit) as PNG with
// their own alpha, against the BMP export of the same files in the same run, both through the
// export pipeline into fresh folders.

#include "bench/BenchMain.h"
#include "bench/BusyCore.h"
#include "bench/OpenedArchive.h"
#include "bench/StepTime.h"
#include "content/FileExport.h"
#include "writer/RecordBuilders.h"

#include <benchmark/benchmark.h>

#include <ctime>
#include <filesystem>
#include <memory>

namespace {

using namespace orvanel;

constexpr uint32_t kTextures = 1000;
constexpr uint32_t kSide = 256;

std::vector<writer::FileSpec> TextureFiles()
{
    std::vector<uint8_t> rgba(kSide * kSide * 4);
    for (uint32_t y = 0; y < kSide; ++y)
        for (uint32_t x = 0; x < kSide; ++x) {
            uint8_t* p = &rgba[(size_t(y) * kSide + x) * 4];
            p[0] = uint8_t(x);
            p[1] = uint8_t(y);
            p[2] = uint8_t(x ^ y);
            p[3] = uint8_t((x + y) / 2);
        }
    std::vector<uint8_t> rgb(kSide * kSide * 3);
    for (size_t i = 0; i < size_t(kSide) * kSide; ++i)
        for (int c = 0; c < 3; ++c)
            rgb[i * 3 + c] = rgba[i * 4 + c];
    const std::vector<uint8_t> payloads[] = {
        writer::CompressDXT(rgba, kSide, kSide, kTextureDXT1),
        writer::CompressDXT(rgba, kSide, kSide, kTextureDXT3),
        writer::CompressDXT(rgba, kSide, kSide, kTextureDXT5),
        rgb,
        rgba,
    };
    const uint32_t formats[] = {kTextureDXT1, kTextureDXT3, kTextureDXT5, kTextureRGB24, kTextureRGBA32};
    std::vector<writer::FileSpec> files;
    for (uint32_t i = 0; i < kTextures; ++i) {
        const uint32_t id = 0x06000000 + i;
        files.push_back({id, writer::MakeTextureRecord(id, kSide, kSide, formats[i % 5], payloads[i % 5])});
    }
    return files;
}

// The textures opened, in the order they are listed.
struct TextureArchive : bench::COpenedArchive {
    DATEntryList entries;

    TextureArchive()
        : COpenedArchive(TextureFiles(), 4096), entries(archive->CategoryLists().at(kCategoryTexture))
    {
    }
};

TextureArchive& Textures()
{
    static TextureArchive textures;
    return textures;
}

// The processor time of this process (all its threads), in seconds.
double ProcessorSeconds()
{
    timespec now {};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

struct Seconds {
    double wall = 0;
    double processor = 0;
    Seconds& operator+=(const Seconds& other)
    {
        wall += other.wall;
        processor += other.processor;
        return *this;
    }
};

// The time one export in format takes into a new folder. Old folders stay until the end,
// so that deleting thousands of files does not blur the next figure.
Seconds ExportSeconds(benchmark::State& state, TextureArchive& t, ExportFormat format)
{
    static int run = 0;
    const auto out = t.dir.Path() / ("out" + std::to_string(run++));
    std::filesystem::create_directory(out);
    const double processor = ProcessorSeconds();
    const double wall = bench::SecondsOf([&] {
        if (SaveStoredFiles(*t.archive, t.entries, out.string(), {}, format).saved != kTextures)
            state.SkipWithError("a texture was not saved");
    });
    return {wall, ProcessorSeconds() - processor};
}

// One iteration exports the textures as PNG (the timed figure) and as BMP, alternating which
// goes first. png_x_bmp is the ratio of their summed times; cpu_png_x_bmp the ratio of the
// processor time they took, which other programs on the machine disturb less. Argument 1:
// the second core is kept busy.
void BM_PngAgainstBmpExport(benchmark::State& state)
{
    TextureArchive& t = Textures();
    bench::CBusyCore busy(state.range(0) != 0);
    Seconds png, bmp;
    bool pngFirst = true;
    for (auto _ : state) {
        Seconds p;
        if (pngFirst) {
            p = ExportSeconds(state, t, ExportFormat::PNG);
            bmp += ExportSeconds(state, t, ExportFormat::BMP);
        } else {
            bmp += ExportSeconds(state, t, ExportFormat::BMP);
            p = ExportSeconds(state, t, ExportFormat::PNG);
        }
        pngFirst = !pngFirst;
        state.SetIterationTime(p.wall);
        png += p;
    }
    state.counters["png_x_bmp"] = png.wall / bmp.wall;
    state.counters["cpu_png_x_bmp"] = png.processor / bmp.processor;
    state.counters["png_ms"] = png.wall * 1000 / double(state.iterations());
    state.counters["bmp_ms"] = bmp.wall * 1000 / double(state.iterations());
}

BENCHMARK(BM_PngAgainstBmpExport)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(10);

} // namespace

ORVANEL_BENCHMARK_MAIN()
