#include "tools/cli/Terminal.h"

#include "content/ReplacingFile.h"

#include <csignal>

#ifdef _WIN32
#include <io.h>
#define ORVANEL_ISATTY _isatty
#define ORVANEL_FILENO _fileno
#else
#include <unistd.h>
#define ORVANEL_ISATTY isatty
#define ORVANEL_FILENO fileno
#endif

namespace orvanel::cli {

namespace {

// Only async-signal-safe calls: unlink (inside RemovePendingReplacingFile), then signal and
// raise, which end the process by the signal's default action once the handler returns.
extern "C" void RemoveAndDie(int signal)
{
    RemovePendingReplacingFile();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

} // namespace

bool IsTerminal(std::FILE* stream)
{
    return ORVANEL_ISATTY(ORVANEL_FILENO(stream)) != 0;
}

std::string TerminalSafe(const std::string& text)
{
    std::string safe = text;
    for (char& c : safe) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && c != '\n' && c != '\t') || u == 0x7F || (u >= 0x80 && u < 0xA0))
            c = '.';
    }
    return safe;
}

void DrawProgress(size_t done, size_t total)
{
    constexpr size_t kWidth = 40;
    const size_t filled = total ? done * kWidth / total : kWidth;
    std::string bar(filled, '#');
    bar.resize(kWidth, ' ');
    std::fprintf(stderr, "\r[%s] %zu/%zu", bar.c_str(), done, total);
    if (done >= total)
        std::fputc('\n', stderr);
    std::fflush(stderr);
}

void CleanUpWritesOnInterrupt()
{
    std::signal(SIGINT, RemoveAndDie);
    std::signal(SIGTERM, RemoveAndDie);
#ifndef _WIN32
    std::signal(SIGHUP, RemoveAndDie);
#endif
}

} // namespace orvanel::cli
