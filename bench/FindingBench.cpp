// Finding and looking, on the offscreen platform: one more character typed into the filter
// over the large archive's 40,000-texture line with the list repainted, sorting that line by
// size with the list repainted, and repainting a 1024 x 1024 picture zoomed to 800%.

#include "bench/SyntheticArchive.h"
#include "writer/RecordBuilders.h"

#include "app/DATFileView.h"
#include "app/DATListView.h"
#include "app/EntryTableModel.h"
#include "app/MainFrame.h"
#include "app/OrvanelApp.h"
#include "decode/TextureRecord.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QSettings>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

namespace {

using namespace orvanel;

constexpr uint32_t kPictureSize = 1024;
constexpr uint32_t kPictureID = 0x06000001;

// The program started without an archive, with settings and a Wine prefix of its own.
struct Program {
    bench::CScratchFolder dir;
    CSilentPrompts prompts;
    CNoBusyIndicator busy;
    std::unique_ptr<QSettings> settings;
    std::unique_ptr<COrvanelApp> app;

    Program()
    {
        std::filesystem::create_directory(dir.Path() / "wine");
        qputenv("WINEPREFIX", QByteArray::fromStdString((dir.Path() / "wine").string()));
        settings = std::make_unique<QSettings>(QString::fromStdString(dir.File("settings.ini")),
            QSettings::IniFormat);
        app = std::make_unique<COrvanelApp>(prompts, busy, *settings, CreateDefaultRegistrySource());
        app->InitInstance({});
        // The window is exposed, and so really painted by repaint(), once its events have run.
        QApplication::processEvents();
    }
    CMainFrame& Frame() { return *app->GetMainFrame(); }
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
    static bench::CScratchFolder dir;
    static const std::string path = [] {
        std::vector<uint8_t> pixels(size_t(kPictureSize) * kPictureSize * 3);
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = uint8_t(i * 7 / 3);
        writer::CArchiveBuilder builder;
        builder.AddFilesAsTree({{kPictureID,
            writer::MakeTextureRecord(kPictureID, kPictureSize, kPictureSize, kTextureRGB24, pixels)}});
        const std::string file = dir.File("picture.dat");
        builder.WriteFile(file);
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

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_program.reset();
    return 0;
}
