// Finding and looking, on the offscreen platform: one more character typed into the filter
// over the large archive's 40,000-texture line with the list repainted, sorting that line by
// size with the list repainted, repainting a 1024 x 1024 picture zoomed to 800%, and the
// thumbnail gallery's first screen over 1,000 mixed 256 x 256 textures, beside decoding the
// same textures alone on one thread per core.

#include "bench/DesktopProgram.h"
#include "writer/RecordBuilders.h"

#include "app/DATFileView.h"
#include "app/DATListView.h"
#include "app/EntryTableModel.h"
#include "app/GalleryView.h"
#include "app/MainFrame.h"
#include "app/OrvanelApp.h"
#include "app/ThumbnailLoader.h"
#include "decode/TextureDecoder.h"
#include "decode/TextureRecord.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QScrollBar>
#include <QSettings>
#include <QTableView>
#include <QThread>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <thread>

namespace {

using namespace orvanel;

constexpr uint32_t kPictureSize = 1024;
constexpr uint32_t kPictureID = 0x06000001;

struct Program : bench::CDesktopProgram {
    CDATListView& List() { return *Frame().GetListView(); }
};

std::unique_ptr<Program> g_program;

Program& GetProgram()
{
    if (!g_program)
        g_program = std::make_unique<Program>();
    return *g_program;
}

// The large archive open on its 40,000-texture line, in the catalogue's order, unfiltered.
CDATListView& TextureLine()
{
    Program& program = GetProgram();
    program.app->OpenDocumentFile(QString::fromStdString(bench::Archive().path));
    CDATListView& list = program.List();
    QComboBox& selector = list.GetCategorySelector();
    selector.setCurrentIndex(selector.findText(QStringLiteral("06 - "), Qt::MatchStartsWith));
    return list;
}

// One character typed after the text before: the first keystroke builds the index over the
// whole line, later ones narrow it.
void BM_FilterKeystroke(benchmark::State& state, const char* before, const char* after)
{
    CDATListView& list = TextureLine();
    QLineEdit& field = list.GetFilterField();
    for (auto _ : state) {
        state.PauseTiming();
        field.setText(QLatin1String(before));
        list.GetFileList().viewport()->repaint();
        state.ResumeTiming();
        field.setText(QLatin1String(after));
        list.GetFileList().viewport()->repaint();
    }
    state.counters["rows"] = list.GetModel().rowCount();
    field.clear();
}
BENCHMARK_CAPTURE(BM_FilterKeystroke, first, "", "1")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FilterKeystroke, second, "1", "12")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FilterKeystroke, sizeCondition, "<2", "<20")->Unit(benchmark::kMillisecond);

void BM_SortBySize(benchmark::State& state)
{
    CDATListView& list = TextureLine();
    for (auto _ : state) {
        list.SortByColumn(CEntryTableModel::ColumnBytes); // ascending
        list.GetFileList().viewport()->repaint();
        state.PauseTiming();
        list.SortByColumn(CEntryTableModel::ColumnBytes); // descending
        list.SortByColumn(CEntryTableModel::ColumnBytes); // the catalogue's order
        list.GetFileList().viewport()->repaint();
        state.ResumeTiming();
    }
    state.counters["rows"] = list.GetModel().rowCount();
}
BENCHMARK(BM_SortBySize)->Unit(benchmark::kMillisecond);

const std::string& PictureArchive()
{
    static fixture::CTempDir dir;
    static const std::string path = [] {
        std::vector<uint8_t> pixels(size_t(kPictureSize) * kPictureSize * 3);
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = uint8_t(i * 7 / 3);
        const std::string file = dir.File("picture.dat");
        writer::WriteArchive(file,
            {{kPictureID,
                writer::MakeTextureRecord(kPictureID, kPictureSize, kPictureSize, kTextureRGB24, pixels)}});
        return file;
    }();
    return path;
}

// The picture at 800% scrolled to its middle; range(0) set draws the pixel grid too.
void BM_ZoomedRepaint(benchmark::State& state)
{
    Program& program = GetProgram();
    program.app->OpenDocumentFile(QString::fromStdString(PictureArchive()));
    CDATFileView& view = *program.Frame().GetFileView();
    view.ActualSize();
    while (view.GetDrawScale() < 8.0f)
        view.ZoomIn();
    view.SetPixelGrid(state.range(0) != 0);
    view.horizontalScrollBar()->setValue(view.horizontalScrollBar()->maximum() / 2);
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum() / 2);
    for (auto _ : state)
        view.viewport()->repaint();
    state.counters["width"] = view.viewport()->width();
    state.counters["height"] = view.viewport()->height();
    view.SetPixelGrid(false);
}
BENCHMARK(BM_ZoomedRepaint)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// One zoom step between 600% and 800% about the middle, repainted.
void BM_ZoomStepRepaint(benchmark::State& state)
{
    Program& program = GetProgram();
    program.app->OpenDocumentFile(QString::fromStdString(PictureArchive()));
    CDATFileView& view = *program.Frame().GetFileView();
    view.ActualSize();
    while (view.GetDrawScale() < 6.0f)
        view.ZoomIn();
    bool in = true;
    for (auto _ : state) {
        in ? view.ZoomIn() : view.ZoomOut();
        view.viewport()->repaint();
        in = !in;
    }
}
BENCHMARK(BM_ZoomStepRepaint)->Unit(benchmark::kMillisecond);

constexpr uint32_t kGalleryTextures = 1000;
constexpr uint32_t kGalleryEdge = 256;

// DXT1, DXT5 and 24-bit textures in turn, of smooth pictures with some noise.
const std::string& GalleryArchive()
{
    static fixture::CTempDir dir;
    static const std::string path = [] {
        std::vector<writer::FileSpec> files;
        uint32_t noise = 777;
        for (uint32_t i = 0; i < kGalleryTextures; ++i) {
            std::vector<uint8_t> rgba(size_t(kGalleryEdge) * kGalleryEdge * 4);
            for (size_t p = 0; p < rgba.size(); p += 4) {
                noise = noise * 1103515245u + 12345u;
                const uint32_t x = uint32_t(p / 4 % kGalleryEdge), y = uint32_t(p / 4 / kGalleryEdge);
                rgba[p] = uint8_t(x + i + ((noise >> 16) & 15));
                rgba[p + 1] = uint8_t(y * 2 + i);
                rgba[p + 2] = uint8_t(x + y);
                rgba[p + 3] = 255;
            }
            const uint32_t id = 0x06000000 + i;
            const uint32_t format = i % 3 == 0 ? kTextureDXT1 : i % 3 == 1 ? kTextureDXT5 : kTextureRGB24;
            std::vector<uint8_t> pixels;
            if (format == kTextureRGB24) {
                for (size_t p = 0; p < rgba.size(); p += 4)
                    pixels.insert(pixels.end(), {rgba[p + 2], rgba[p + 1], rgba[p]});
            } else {
                pixels = writer::CompressDXT(rgba, kGalleryEdge, kGalleryEdge, format);
            }
            files.push_back({id, writer::MakeTextureRecord(id, kGalleryEdge, kGalleryEdge, format, pixels)});
        }
        const std::string file = dir.File("gallery.dat");
        writer::WriteArchive(file, files);
        return file;
    }();
    return path;
}

// From choosing the texture line with thumbnails on until every cell on screen has its
// thumbnail. "stall_ms" is the longest gap between ticks of a 1 ms timer while they load,
// "scroll_stall_ms" the same while the grid is scrolled a page at a time (untimed).
void BM_GalleryFirstScreen(benchmark::State& state)
{
    Program& program = GetProgram();
    CDATListView& list = program.List();
    program.Frame().findChild<QAction*>(QStringLiteral("thumbnailsAction"))->setChecked(true);
    CGalleryView& gallery = list.GetGallery();
    int visible = 0;
    qint64 stall = 0;
    qint64 scrollStall = 0;
    for (auto _ : state) {
        state.PauseTiming();
        program.app->OpenDocumentFile(QString::fromStdString(GalleryArchive()));
        QApplication::processEvents();
        QElapsedTimer clock;
        qint64 lastTick = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            stall = std::max(stall, clock.elapsed() - lastTick);
            lastTick = clock.elapsed();
        });
        state.ResumeTiming();
        QComboBox& selector = list.GetCategorySelector();
        selector.setCurrentIndex(selector.findText(QStringLiteral("06 - "), Qt::MatchStartsWith));
        clock.start();
        ticker.start(1);
        for (bool done = false; !done;) {
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
            const auto [first, last] = gallery.VisibleRows();
            done = first >= 0;
            for (int row = first; done && row <= last; ++row)
                done = gallery.ThumbnailOf(row) != nullptr;
            visible = last - first + 1;
        }
        stall = std::max(stall, clock.elapsed() - lastTick);
        state.PauseTiming();
        std::swap(stall, scrollStall);
        for (int page = 0; page < 20; ++page) {
            gallery.verticalScrollBar()->setValue(
                gallery.verticalScrollBar()->value() + gallery.viewport()->height());
            for (QElapsedTimer frame; !frame.isValid() || frame.elapsed() < 16;) {
                if (!frame.isValid())
                    frame.start();
                QApplication::processEvents(QEventLoop::WaitForMoreEvents);
            }
        }
        stall = std::max(stall, clock.elapsed() - lastTick);
        std::swap(stall, scrollStall);
        ticker.stop();
        state.ResumeTiming();
    }
    state.counters["scroll_stall_ms"] = double(scrollStall);
    state.counters["thumbnails"] = visible;
    state.counters["stall_ms"] = double(stall);
    state.counters["threads"] = gallery.GetLoader().ThreadCount();
    program.Frame().findChild<QAction*>(QStringLiteral("thumbnailsAction"))->setChecked(false);
}
BENCHMARK(BM_GalleryFirstScreen)->Unit(benchmark::kMillisecond)->UseRealTime();

// Decoding as many textures as the first screen holds, spread over one thread per core.
void BM_GalleryDecodeAlone(benchmark::State& state)
{
    CSilentPrompts prompts;
    CNoBusyIndicator busy;
    CDATArchive archive(GalleryArchive(), prompts, busy);
    archive.BuildCatalogue();
    const DATEntryList& textures = archive.CategoryLists().at(0x06);
    const size_t count = size_t(state.range(0));
    const int threads = std::max(1, QThread::idealThreadCount());
    for (auto _ : state) {
        std::atomic<size_t> next = 0;
        std::vector<std::thread> workers;
        for (int t = 0; t < threads; ++t) {
            workers.emplace_back([&] {
                for (size_t i; (i = next++) < count;) {
                    const auto bytes = archive.ReadFile(*textures[i]);
                    CDibImage colour, grey;
                    float scale = 1.0f;
                    uint32_t noteKind = 0, noteFileID = 0;
                    DecodeImage(archive, *bytes, *textures[i], colour, grey, scale, noteKind, noteFileID);
                    benchmark::DoNotOptimize(colour.GetBits());
                }
            });
        }
        for (std::thread& worker : workers)
            worker.join();
    }
}
// The frame's first screen of 96-pixel thumbnails holds 12 of them (see the counter above).
BENCHMARK(BM_GalleryDecodeAlone)->Arg(12)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    return bench::RunDesktopBenchmarks(argc, argv, [] { g_program.reset(); });
}
