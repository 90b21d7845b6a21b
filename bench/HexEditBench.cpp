// Painting the hex editor with 64 KiB and with 256 MiB of data in the same run: a frame
// formats only the rows it shows, so its cost must not grow with the data (the run ends
// with the ratio of the two frame times, painted in turn, and fails above 1.5). Scrolling by
// one row repaints and so formats at most the visible rows again; the counters show how
// many. Runs on the offscreen platform unless another one is chosen.

#include "bench/StepTime.h"
#include "controls/HexEditBase.h"

#include <QApplication>
#include <QTest>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

using orvanel::CHexEditBase;

constexpr int64_t kSmall = int64_t(64) << 10;
constexpr int64_t kLarge = int64_t(256) << 20;

// A control configured as the main window shows it, 900 x 700 pixels, holding size bytes,
// scrolled to the middle of them. Null, with the benchmark marked failed, when the window
// cannot be shown.
std::unique_ptr<CHexEditBase> ShownEditor(benchmark::State& state, int64_t size)
{
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    for (size_t i = 0; i < bytes.size(); i += 4096)
        bytes[i] = static_cast<uint8_t>(i >> 12);
    auto edit = std::make_unique<CHexEditBase>();
    edit->resize(900, 700);
    edit->SetReadOnly(true, true);
    edit->SetShowAddress(true, true);
    edit->SetShowAscii(true, true);
    edit->SetAddressDigits(4, true);
    edit->SetAddressGap(20, true);
    edit->SetHexAsciiGap(20, true);
    edit->SetData(bytes.data(), static_cast<uint32_t>(bytes.size()), true);
    edit->show();
    if (!QTest::qWaitForWindowExposed(edit.get())) {
        state.SkipWithError("the window was not shown");
        return nullptr;
    }
    QCoreApplication::processEvents();
    edit->SetScrollRow(edit->GetGeometry().maxScrollRow / 2, true);
    edit->SetSelection(uint32_t(size / 2), uint32_t(size / 2 + 100), false, true);
    QCoreApplication::processEvents();
    return edit;
}

void BM_PaintFrame(benchmark::State& state)
{
    const auto edit = ShownEditor(state, state.range(0));
    if (!edit)
        return;
    const uint64_t before = edit->GetFormattedRowCount();
    for (auto _ : state)
        edit->viewport()->repaint();
    state.counters["rows/frame"] = double(edit->GetFormattedRowCount() - before) / double(state.iterations());
    state.counters["visible rows"] = edit->GetGeometry().visibleRows;
}
BENCHMARK(BM_PaintFrame)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMicrosecond);

void BM_ScrollOneRow(benchmark::State& state)
{
    const auto edit = ShownEditor(state, state.range(0));
    if (!edit)
        return;
    const uint64_t before = edit->GetFormattedRowCount();
    int direction = 1;
    for (auto _ : state) {
        edit->ScrollRowsBy(direction, true);
        edit->viewport()->repaint();
        direction = -direction;
    }
    state.counters["rows/scroll"] =
        double(edit->GetFormattedRowCount() - before) / double(state.iterations());
    state.counters["visible rows"] = edit->GetGeometry().visibleRows;
}
BENCHMARK(BM_ScrollOneRow)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMicrosecond);

// Both sizes painted in turn, so that whatever else the machine does falls on both alike:
// large_x_small is the ratio of their summed frame times.
void BM_PaintFrameLargeAgainstSmall(benchmark::State& state)
{
    const auto small = ShownEditor(state, kSmall);
    const auto large = ShownEditor(state, kLarge);
    if (!small || !large)
        return;
    const auto secondsOf = [](CHexEditBase& edit) {
        return orvanel::bench::SecondsOf([&] { edit.viewport()->repaint(); });
    };
    double smallSeconds = 0, largeSeconds = 0;
    for (auto _ : state) {
        smallSeconds += secondsOf(*small);
        largeSeconds += secondsOf(*large);
    }
    state.counters["large_x_small"] = largeSeconds / smallSeconds;
}
BENCHMARK(BM_PaintFrameLargeAgainstSmall)->Unit(benchmark::kMicrosecond);

// Keeps the ratio of the two sizes' frame times for the check at the end.
class CFrameTimeReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const auto ratio = run.counters.find("large_x_small");
            if (run.run_type == Run::RT_Iteration && !run.error_occurred && ratio != run.counters.end())
                largeAgainstSmall = ratio->second.value;
        }
    }
    double largeAgainstSmall = 0;
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    CFrameTimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    // Nothing to check when the interleaved run was filtered out or failed.
    const double ratio = reporter.largeAgainstSmall;
    if (ratio <= 0)
        return 0;
    std::printf("frame time 256 MiB / 64 KiB: %.2f (at most 1.5)\n", ratio);
    return ratio < 1.5 ? 0 : 1;
}
