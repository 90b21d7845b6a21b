// DecodeImage on 1024 × 1024 textures of the formats that cost most, and on a colour table,
// producing both the colour and the greyscale picture, beside libsquish's DecompressImage
// alone on the same DXT1 and DXT5 blocks (as the library runs it by default, OpenMP team and
// all). BM_DecodeAgainstSquish measures DecodeImage of DXT1 and DXT5 and the one-thread
// DecompressImage in the same iterations, with the second core idle and busy: DecodeImage
// should take no longer than the bare decompression. (PNG against BMP saving is timed through
// the export itself, in PngExportBench.)

#include "archive/ByteOrder.h"
#include "archive/DATArchive.h"
#include "bench/BenchMain.h"
#include "bench/BusyCore.h"
#include "bench/OpenedArchive.h"
#include "bench/StepTime.h"
#include "decode/DibImage.h"
#include "decode/TextureDecoder.h"
#include "decode/TextureRecord.h"
#include "writer/RecordBuilders.h"

#include <benchmark/benchmark.h>
#include <omp.h>
#include <squish.h>

#include <memory>
#include <string>

namespace {

using namespace orvanel;
using namespace orvanel::writer;

constexpr uint32_t kSize = 1024;
constexpr uint32_t kPaletteID = 0x04000001;

// A picture with smooth gradients and some texture, red-green-blue-alpha, top row first.
std::vector<uint8_t> Picture(uint32_t size = kSize)
{
    std::vector<uint8_t> rgba(size_t(size) * size * 4);
    uint32_t noise = 12345;
    for (uint32_t y = 0; y < size; ++y)
        for (uint32_t x = 0; x < size; ++x) {
            noise = noise * 1103515245u + 12345u;
            uint8_t* p = &rgba[(size_t(y) * size + x) * 4];
            p[0] = uint8_t(x / 4 + ((noise >> 16) & 15));
            p[1] = uint8_t(y / 4);
            p[2] = uint8_t((x + y) / 8 + ((x / 32 + y / 32) % 2) * 64);
            p[3] = uint8_t(255 - x / 4);
        }
    return rgba;
}

struct Inputs {
    std::vector<uint8_t> dxt1Blocks, dxt5Blocks;
    std::vector<uint8_t> dxt1, dxt5, jpeg, indexed8, colourTable;
    std::unique_ptr<bench::COpenedArchive> palettes;
};

const Inputs& GetInputs()
{
    static const std::unique_ptr<Inputs> inputs = [] {
        auto made = std::make_unique<Inputs>();
        Inputs& in = *made;
        const auto rgba = Picture();
        in.dxt1Blocks = CompressDXT(rgba, kSize, kSize, kTextureDXT1);
        in.dxt1 = MakeTextureRecord(0x06000001, kSize, kSize, kTextureDXT1, in.dxt1Blocks);
        in.dxt5Blocks = CompressDXT(rgba, kSize, kSize, kTextureDXT5);
        in.dxt5 = MakeTextureRecord(0x06000002, kSize, kSize, kTextureDXT5, in.dxt5Blocks);
        std::vector<uint8_t> rgb, indices;
        for (size_t i = 0; i < rgba.size(); i += 4) {
            rgb.insert(rgb.end(), {rgba[i], rgba[i + 1], rgba[i + 2]});
            indices.push_back(rgba[i]);
        }
        in.jpeg =
            MakeTextureRecord(0x06000003, kSize, kSize, kTextureJPEG, EncodeJPEG(rgb, kSize, kSize, 3, 90));
        in.indexed8 =
            MakeIndexedTextureRecord(0x06000004, kSize, kSize, kTextureIndexed8, indices, kPaletteID);
        std::vector<uint32_t> colours(256);
        for (uint32_t i = 0; i < 256; ++i)
            colours[i] = 0xFF000000u | (i << 16) | ((255 - i) << 8) | (i / 2);
        in.colourTable = MakeColourTableRecord(kPaletteID, colours);

        in.palettes =
            std::make_unique<bench::COpenedArchive>(std::vector<FileSpec> {{kPaletteID, in.colourTable}});
        return made;
    }();
    return *inputs;
}

void SquishDecompress(benchmark::State& state, const std::vector<uint8_t>& blocks, int flags)
{
    std::vector<uint8_t> rgba(size_t(kSize) * kSize * 4);
    for (auto _ : state) {
        squish::DecompressImage(rgba.data(), kSize, kSize, blocks.data(), flags);
        benchmark::DoNotOptimize(rgba.data());
    }
    state.SetItemsProcessed(state.iterations() * kSize * kSize);
}

void BM_SquishDecompressDXT1(benchmark::State& state)
{
    SquishDecompress(state, GetInputs().dxt1Blocks, squish::kDxt1);
}
void BM_SquishDecompressDXT5(benchmark::State& state)
{
    SquishDecompress(state, GetInputs().dxt5Blocks, squish::kDxt5);
}
BENCHMARK(BM_SquishDecompressDXT1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SquishDecompressDXT5)->Unit(benchmark::kMillisecond);

void DecodeRecord(benchmark::State& state, const std::vector<uint8_t> Inputs::*record)
{
    const Inputs& in = GetInputs();
    const std::vector<uint8_t>& bytes = in.*record;
    const DATEntry entry = MakeEntry(ReadLE32(bytes.data()), 0, uint32_t(bytes.size()));
    uint64_t pixels = 0;
    for (auto _ : state) {
        CDibImage colour, grey;
        float scale = 0;
        uint32_t kind = 0, paletteID = 0;
        if (!DecodeImage(*in.palettes->archive, bytes, entry, colour, grey, scale, kind, paletteID)
            || !grey.IsValid()) {
            state.SkipWithError("decoding failed");
            break;
        }
        pixels += uint64_t(colour.GetWidth()) * colour.GetHeight();
        benchmark::DoNotOptimize(grey.GetBits());
    }
    state.SetItemsProcessed(int64_t(pixels));
}

// Argument 0: DXT1 or DXT5; argument 1: the second core kept busy. Each iteration decodes the
// texture with DecodeImage (the timed figure) and decompresses its blocks with libsquish on
// one thread, alternating which goes first; x_squish is the ratio of their summed times.
void BM_DecodeAgainstSquish(benchmark::State& state)
{
    const Inputs& in = GetInputs();
    const bool dxt5 = state.range(0) != 0;
    const std::vector<uint8_t>& bytes = dxt5 ? in.dxt5 : in.dxt1;
    const std::vector<uint8_t>& blocks = dxt5 ? in.dxt5Blocks : in.dxt1Blocks;
    const DATEntry entry = MakeEntry(ReadLE32(bytes.data()), 0, uint32_t(bytes.size()));
    bench::CBusyCore busy(state.range(1) != 0);
    const int threads = omp_get_max_threads();
    omp_set_num_threads(1);
    std::vector<uint8_t> rgba(size_t(kSize) * kSize * 4);
    const auto squish = [&] {
        squish::DecompressImage(
            rgba.data(), kSize, kSize, blocks.data(), dxt5 ? squish::kDxt5 : squish::kDxt1);
        benchmark::DoNotOptimize(rgba.data());
    };
    bool decoded = true;
    const auto decode = [&] {
        CDibImage colour, grey;
        float scale = 0;
        uint32_t kind = 0, paletteID = 0;
        decoded = DecodeImage(*in.palettes->archive, bytes, entry, colour, grey, scale, kind, paletteID)
            && grey.IsValid();
        benchmark::DoNotOptimize(grey.GetBits());
    };
    double decoding = 0, anchor = 0;
    bool decodeFirst = true;
    for (auto _ : state) {
        double t = 0;
        if (decodeFirst) {
            t = bench::SecondsOf(decode);
            anchor += bench::SecondsOf(squish);
        } else {
            anchor += bench::SecondsOf(squish);
            t = bench::SecondsOf(decode);
        }
        decodeFirst = !decodeFirst;
        if (!decoded) {
            state.SkipWithError("decoding failed");
            break;
        }
        state.SetIterationTime(t);
        decoding += t;
    }
    omp_set_num_threads(threads);
    state.counters["x_squish"] = anchor > 0 ? decoding / anchor : 0;
}
BENCHMARK(BM_DecodeAgainstSquish)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->ArgNames({"dxt5", "busy"})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();

void BM_DecodeImageDXT1(benchmark::State& state)
{
    DecodeRecord(state, &Inputs::dxt1);
}
void BM_DecodeImageDXT5(benchmark::State& state)
{
    DecodeRecord(state, &Inputs::dxt5);
}
void BM_DecodeImageJPEG(benchmark::State& state)
{
    DecodeRecord(state, &Inputs::jpeg);
}
void BM_DecodeImageIndexed8(benchmark::State& state)
{
    DecodeRecord(state, &Inputs::indexed8);
}
void BM_DecodeImageColourTable256(benchmark::State& state)
{
    DecodeRecord(state, &Inputs::colourTable);
}
BENCHMARK(BM_DecodeImageDXT1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeImageDXT5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeImageJPEG)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeImageIndexed8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeImageColourTable256)->Unit(benchmark::kMicrosecond);

} // namespace

ORVANEL_BENCHMARK_MAIN()
