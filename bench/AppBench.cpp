// The desktop program on the offscreen platform, timed until what the user waits for is on
// screen: the window is exposed first, and each timed step runs the event loop until the
// list's cells or the picture have really been painted (counted by an event filter and by the
// list's delegate). Each benchmark measures its anchor in the same iterations and reports the
// ratio: opening the large archive until its first list is painted, beside opening and
// cataloguing it alone (target 1.3); choosing its 40,000-texture category until painted,
// beside 20 ms (target 1.0); selecting a 1024 x 1024 DXT1 texture until its picture is
// painted, beside DecodeImage alone (target 1.3); and showing a large raw file as text.

#include "bench/DesktopProgram.h"
#include "bench/StepTime.h"
#include "writer/RecordBuilders.h"

#include "app/DATFileView.h"
#include "app/DATListView.h"
#include "app/EntryCellDelegate.h"
#include "app/MainFrame.h"
#include "app/OrvanelApp.h"
#include "decode/TextureDecoder.h"
#include "decode/TextureRecord.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEvent>
#include <QSettings>
#include <QTableView>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <functional>
#include <memory>

namespace {

using namespace orvanel;
using bench::SecondsOf;

constexpr uint32_t kPictureSize = 1024;
constexpr uint32_t kPictureIDs[] = {0x06000001, 0x06000002};

// Counts the paint events a widget receives.
class CPaintCounter : public QObject {
public:
    explicit CPaintCounter(QWidget& widget) : QObject(&widget) { widget.installEventFilter(this); }
    int Count() const { return m_count; }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++m_count;
        return false;
    }

private:
    int m_count = 0;
};

// The list's own delegate, counting the cells it draws.
class CCountingDelegate : public CEntryCellDelegate {
public:
    using CEntryCellDelegate::CEntryCellDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        ++cells;
        CEntryCellDelegate::paint(painter, option, index);
    }
    mutable int cells = 0;
};

// The program with counters of what its list and its picture pane paint.
struct Program : bench::CDesktopProgram {
    CPaintCounter* listPaints = nullptr;
    CPaintCounter* picturePaints = nullptr;
    CCountingDelegate* cells = nullptr;

    Program()
    {
        QTableView& list = Frame().GetListView()->GetFileList();
        cells = new CCountingDelegate(&list);
        list.setItemDelegate(cells);
        listPaints = new CPaintCounter(*list.viewport());
        picturePaints = new CPaintCounter(*Frame().GetFileView()->viewport());
    }
};

// Made on first use and closed before the QApplication goes.
std::unique_ptr<Program> g_program;

Program& GetProgram()
{
    if (!g_program)
        g_program = std::make_unique<Program>();
    return *g_program;
}

// Runs the event loop until painted() holds, as the program's own loop would after a user's
// action; false when it never does within five seconds.
bool RunEventsUntil(const std::function<bool()>& painted)
{
    QElapsedTimer clock;
    clock.start();
    while (!painted()) {
        if (clock.elapsed() > 5000)
            return false;
        QApplication::processEvents();
    }
    return true;
}

// Runs the events already waiting (layouts, repaints), outside the timed steps.
void Settle()
{
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

// Two DXT1 textures of a smooth picture with some noise.
const std::string& PictureArchive()
{
    static fixture::CTempDir dir;
    static const std::string path = [] {
        std::vector<uint8_t> rgba(size_t(kPictureSize) * kPictureSize * 4);
        uint32_t noise = 12345;
        for (size_t i = 0; i < rgba.size(); i += 4) {
            noise = noise * 1103515245u + 12345u;
            const uint32_t x = uint32_t(i / 4 % kPictureSize), y = uint32_t(i / 4 / kPictureSize);
            rgba[i] = uint8_t(x / 4 + ((noise >> 16) & 15));
            rgba[i + 1] = uint8_t(y / 4);
            rgba[i + 2] = uint8_t((x + y) / 8);
            rgba[i + 3] = 255;
        }
        const auto blocks = writer::CompressDXT(rgba, kPictureSize, kPictureSize, kTextureDXT1);
        std::vector<writer::FileSpec> files;
        for (uint32_t id : kPictureIDs)
            files.push_back(
                {id, writer::MakeTextureRecord(id, kPictureSize, kPictureSize, kTextureDXT1, blocks)});
        const std::string file = dir.File("pictures.dat");
        writer::WriteArchive(file, files);
        return file;
    }();
    return path;
}

void OpenAndCatalogue(const std::string& path)
{
    CSilentPrompts prompts;
    CNoBusyIndicator busy;
    CDATArchive archive(path, prompts, busy);
    archive.BuildCatalogue();
    benchmark::DoNotOptimize(archive.FileRecords().size());
}

// Timed: opening the large archive again (the previous one closed) until the list's cells are
// painted. Interleaved anchor: the archive opened, catalogued and closed alone.
void BM_OpenToFirstListPainted(benchmark::State& state)
{
    Program& program = GetProgram();
    const std::string& path = bench::Archive().path;
    const QString file = QString::fromStdString(path);
    program.app->OpenDocumentFile(file);
    Settle();
    double opened = 0, anchor = 0;
    int cells = 0;
    for (auto _ : state) {
        const int paints = program.listPaints->Count();
        const int before = program.cells->cells;
        const double t = SecondsOf([&] {
            program.app->OpenDocumentFile(file);
            if (!RunEventsUntil(
                    [&] { return program.listPaints->Count() > paints && program.cells->cells > before; }))
                state.SkipWithError("the list was never painted");
        });
        cells += program.cells->cells - before;
        state.SetIterationTime(t);
        opened += t;
        anchor += SecondsOf([&] { OpenAndCatalogue(path); });
    }
    state.counters["x_catalogue"] = opened / anchor;
    state.counters["cells"] = double(cells) / double(state.iterations());
    state.counters["lines"] = program.Frame().GetListView()->GetCategorySelector().count();
}

// Timed: choosing the 40,000-texture line (from another line) until its cells are painted.
// Its anchor is the 20 ms target.
void BM_ChooseTextureCategory(benchmark::State& state)
{
    Program& program = GetProgram();
    program.app->OpenDocumentFile(QString::fromStdString(bench::Archive().path));
    CDATListView& list = *program.Frame().GetListView();
    QComboBox& selector = list.GetCategorySelector();
    const int textures = selector.findText(QStringLiteral("06 - "), Qt::MatchStartsWith);
    const int other = textures == 0 ? 1 : 0;
    double chosen = 0;
    int cells = 0;
    for (auto _ : state) {
        state.PauseTiming();
        selector.setCurrentIndex(other);
        Settle();
        const int paints = program.listPaints->Count();
        const int before = program.cells->cells;
        state.ResumeTiming();
        const double t = SecondsOf([&] {
            selector.setCurrentIndex(textures);
            if (!RunEventsUntil(
                    [&] { return program.listPaints->Count() > paints && program.cells->cells > before; }))
                state.SkipWithError("the list was never painted");
        });
        cells += program.cells->cells - before;
        state.SetIterationTime(t);
        chosen += t;
    }
    state.counters["x_20ms"] = chosen / double(state.iterations()) / 0.020;
    state.counters["cells"] = double(cells) / double(state.iterations());
    state.counters["rows"] = list.GetFileList().model()->rowCount();
}

// Timed: going to one of two 1024 x 1024 DXT1 textures in turn until its picture is painted.
// Interleaved anchor: DecodeImage of the same texture alone (colour and grey, as the view
// makes them).
void BM_SelectDXT1ToPainted(benchmark::State& state)
{
    Program& program = GetProgram();
    program.app->OpenDocumentFile(QString::fromStdString(PictureArchive()));
    CMainFrame& frame = program.Frame();
    CSilentPrompts prompts;
    CNoBusyIndicator busy;
    CDATArchive archive(PictureArchive(), prompts, busy);
    archive.BuildCatalogue();
    const DATEntry& entry = *archive.FindFile(kPictureIDs[0])->GetVersion(0);
    const auto bytes = archive.ReadFile(entry);
    // The first texture is shown, so every timed step changes the picture.
    frame.GoToID(kPictureIDs[0]);
    Settle();
    size_t next = 1;
    double shown = 0, anchor = 0;
    for (auto _ : state) {
        const int paints = program.picturePaints->Count();
        const double t = SecondsOf([&] {
            if (!frame.GoToID(kPictureIDs[next])
                || !RunEventsUntil([&] { return program.picturePaints->Count() > paints; }))
                state.SkipWithError("the picture was never painted");
        });
        state.SetIterationTime(t);
        shown += t;
        next ^= 1;
        anchor += SecondsOf([&] {
            CDibImage colour, grey;
            float scale = 1.0f;
            uint32_t noteKind = 0, noteFileID = 0;
            DecodeImage(archive, *bytes, entry, colour, grey, scale, noteKind, noteFileID);
            benchmark::DoNotOptimize(grey.GetBits());
        });
    }
    state.counters["x_decode"] = shown / anchor;
}

// A 32 MiB raw file handed to the file view until it shows its first megabyte as text.
void BM_ShowLargeRawFile(benchmark::State& state)
{
    std::vector<uint8_t> bytes(size_t(32) << 20);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = uint8_t(i % 61 == 60 ? '\n' : 32 + i % 200);
    bytes[0] = 0x01; // the file ID 0x00000001, little-endian
    bytes[1] = bytes[2] = bytes[3] = 0;
    const DATEntry entry {0x20000, 0x00000001, 0, uint32_t(bytes.size()), 0, 0};
    Program& program = GetProgram();
    program.app->OpenDocumentFile(QString::fromStdString(PictureArchive()));
    CDATFileView& view = *program.Frame().GetFileView();
    for (auto _ : state) {
        const int paints = program.picturePaints->Count();
        view.ShowFile(bytes, &entry);
        if (!RunEventsUntil([&] { return program.picturePaints->Count() > paints; }))
            state.SkipWithError("the text was never painted");
        state.PauseTiming();
        view.ShowFile({}, nullptr);
        Settle();
        state.ResumeTiming();
    }
}

BENCHMARK(BM_OpenToFirstListPainted)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_ChooseTextureCategory)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_SelectDXT1ToPainted)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_ShowLargeRawFile)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return bench::RunDesktopBenchmarks(argc, argv, [] { g_program.reset(); });
}
