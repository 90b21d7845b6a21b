#pragma once
// The desktop program for the benchmarks, on the offscreen platform: started without an
// archive, with settings and a Wine prefix of its own, its window shown and exposed (until it
// is exposed nothing it holds is painted).

#include "bench/SyntheticArchive.h"

#include "app/MainFrame.h"
#include "app/OrvanelApp.h"
#include "archive/HeapReuse.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <functional>
#include <memory>

namespace orvanel::bench {

struct CDesktopProgram {
    fixture::CTempDir dir;
    CSilentPrompts prompts;
    CNoBusyIndicator busy;
    std::unique_ptr<QSettings> settings;
    std::unique_ptr<COrvanelApp> app;

    CDesktopProgram()
    {
        std::filesystem::create_directory(dir.Path() / "wine");
        qputenv("WINEPREFIX", QByteArray::fromStdString((dir.Path() / "wine").string()));
        settings = std::make_unique<QSettings>(
            QString::fromStdString(dir.File("settings.ini")), QSettings::IniFormat);
        app = std::make_unique<COrvanelApp>(prompts, busy, *settings, CreateDefaultRegistrySource());
        app->InitInstance({});
        QElapsedTimer clock;
        clock.start();
        while (!Exposed() && clock.elapsed() < 5000)
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        QApplication::processEvents();
    }
    CMainFrame& Frame() { return *app->GetMainFrame(); }
    bool Exposed() { return Frame().windowHandle() && Frame().windowHandle()->isExposed(); }
};

// Runs the benchmarks inside a QApplication on the offscreen platform (unless another is
// asked for); closing runs before the application goes, for the program the benchmarks made.
inline int RunDesktopBenchmarks(int argc, char** argv, const std::function<void()>& closing)
{
    KeepFreedMemoryForReuse();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::benchmark::Initialize(&argc, argv);
    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    closing();
    return 0;
}

} // namespace orvanel::bench
