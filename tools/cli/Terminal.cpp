#include "tools/cli/Terminal.h"

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

} // namespace orvanel::cli
