// The desktop program on the offscreen platform: opening the large archive until its first
// list is shown, beside the catalogue build alone; choosing its 40,000-texture category with
// the list filled, its columns fitted and its visible rows painted; and selecting a
// 1024 x 1024 DXT1 texture until its picture is painted, beside DecodeImage alone; and
// showing a large raw file as text.

#include "bench/SyntheticArchive.h"
#include "writer/RecordBuilders.h"

#include "app/DATFileView.h"
#include "app/DATListView.h"
#include "app/MainFrame.h"
#include "app/OrvanelApp.h"
#include "decode/TextureDecoder.h"
#include "decode/TextureRecord.h"

#include <QApplication>
#include <QComboBox>
#include <QSettings>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

namespace {

using namespace orvanel;

constexpr uint32_t kPictureSize = 1024;
constexpr uint32_t kPictureIDs[] = {0x06000001, 0x06000002};

// The program started without an archive, with settings and a Wine prefix of its own.
struct Program {
    fixture::CTempDir dir;
    CSilentPrompts prompts;
    CNoBusyIndicator busy;
    std::unique_ptr<QSettings> settings;
    std::unique_ptr<COrvanelApp> app;

    Program()
    {
        std::filesystem::create_directory(dir.Path() / "wine");
        qputenv("WINEPREFIX", QByteArray::fromStdString((dir.Path() / "wine").string()));
        settings = std::make_unique<QSettings>(
            QString::fromStdString(dir.File("settings.ini")), QSettings::IniFormat);
        app = std::make_unique<COrvanelApp>(prompts, busy, *settings, CreateDefaultRegistrySource());
        app->InitInstance({});
    }
    CMainFrame& Frame() { return *app->GetMainFrame(); }
};

// Made on first use and closed before the QApplication goes.
std::unique_ptr<Program> g_program;

Program& GetProgram()
{
    if (!g_program)
        g_program = std::make_unique<Program>();
    return *g_program;
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
        writer::CArchiveBuilder builder;
        builder.AddFilesAsTree(files);
        const std::string file = dir.File("pictures.dat");
        builder.WriteFile(file);
        return file;
    }();
    return path;
}

void BM_CatalogueBuildAlone(benchmark::State& state)
{
    CSilentPrompts prompts;
    CNoBusyIndicator busy;
    const std::string& path = bench::Archive().path;
    for (auto _ : state) {
        CDATArchive archive(path, prompts, busy);
        archive.BuildCatalogue();
        benchmark::DoNotOptimize(archive.FileRecords().size());
    }
}

void BM_OpenToFirstListShown(benchmark::State& state)
{
    Program& program = GetProgram();
    const QString path = QString::fromStdString(bench::Archive().path);
    for (auto _ : state) {
        program.app->OpenDocumentFile(path);
        program.Frame().GetListView()->GetFileList().viewport()->repaint();
    }
    state.counters["lines"] = program.Frame().GetListView()->GetCategorySelector().count();
}

void BM_ChooseTextureCategory(benchmark::State& state)
{
    Program& program = GetProgram();
    program.app->OpenDocumentFile(QString::fromStdString(bench::Archive().path));
    CDATListView& list = *program.Frame().GetListView();
    QComboBox& selector = list.GetCategorySelector();
    const int textures = selector.findText(QStringLiteral("06 - "), Qt::MatchStartsWith);
    const int other = textures == 0 ? 1 : 0;
    for (auto _ : state) {
        state.PauseTiming();
        selector.setCurrentIndex(other);
        state.ResumeTiming();
        selector.setCurrentIndex(textures);
        list.GetFileList().viewport()->repaint();
    }
    state.counters["rows"] = list.GetFileList().model()->rowCount();
}

void BM_DecodeDXT1Alone(benchmark::State& state)
{
    CSilentPrompts prompts;
    CNoBusyIndicator busy;
    CDATArchive archive(PictureArchive(), prompts, busy);
    archive.BuildCatalogue();
    const DATEntry& entry = *archive.FindFile(kPictureIDs[0])->GetVersion(0);
    const auto bytes = archive.ReadFile(entry);
    for (auto _ : state) {
        CDibImage colour, grey;
        float scale = 1.0f;
        uint32_t noteKind = 0, noteFileID = 0;
        DecodeImage(archive, *bytes, entry, colour, grey, scale, noteKind, noteFileID);
        benchmark::DoNotOptimize(grey.GetBits());
    }
}

void BM_SelectDXT1ToPainted(benchmark::State& state)
{
    Program& program = GetProgram();
    program.app->OpenDocumentFile(QString::fromStdString(PictureArchive()));
    CMainFrame& frame = program.Frame();
    size_t next = 0;
    for (auto _ : state) {
        frame.GoToID(kPictureIDs[next]);
        frame.GetFileView()->viewport()->repaint();
        next ^= 1;
    }
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
        view.ShowFile(bytes, &entry);
        view.repaint();
        state.PauseTiming();
        view.ShowFile({}, nullptr);
        state.ResumeTiming();
    }
}

BENCHMARK(BM_CatalogueBuildAlone)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenToFirstListShown)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChooseTextureCategory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeDXT1Alone)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectDXT1ToPainted)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShowLargeRawFile)->Unit(benchmark::kMillisecond);

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
