#include "content/ReplacingFile.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#define ORVANEL_UNLINK _unlink
#else
#include <fcntl.h>
#include <unistd.h>
#define ORVANEL_UNLINK ::unlink
#endif

namespace orvanel {

namespace {

// The temporary of the write under way, kept where a signal handler can reach it without
// allocating. Exports run one file at a time, so one slot is enough.
char g_pendingPath[4096];
std::atomic<bool> g_pending{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler reads the flag");

std::atomic<unsigned> g_counter{0};

// Puts the file's data on the disk. Without it a rename can reach the disk before the data,
// and a power cut in between leaves an empty file where the old one was.
bool FlushToDisk(const std::string& path)
{
#ifdef _WIN32
    const int fd = ::_open(path.c_str(), _O_RDWR | _O_BINARY);
    if (fd < 0)
        return false;
    const bool flushed = ::_commit(fd) == 0;
    ::_close(fd);
#else
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool flushed = ::fdatasync(fd) == 0;
    ::close(fd);
#endif
    return flushed;
}

} // namespace

CReplacingFile::CReplacingFile(std::string target)
    : m_target(std::move(target))
{
}

CReplacingFile::~CReplacingFile()
{
    Discard();
}

bool CReplacingFile::Create()
{
    Discard();
    const std::filesystem::path target(m_target);
    const std::string name = target.filename().string();
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".%u.tmp", g_counter.fetch_add(1) ^ unsigned(attempt * 7919));
        std::string temp = (target.parent_path() / ("." + name + suffix)).string();
        if (temp.size() >= sizeof g_pendingPath)
            return false;
        // "x": fail rather than reuse a file that is already there.
        std::FILE* f = std::fopen(temp.c_str(), "wbx");
        if (!f) {
            std::error_code ec;
            if (!std::filesystem::exists(temp, ec))
                return false; // the folder itself refuses the file
            continue;
        }
        std::fclose(f);
        m_temp = std::move(temp);
        std::memcpy(g_pendingPath, m_temp.c_str(), m_temp.size() + 1);
        g_pending.store(true);
        return true;
    }
    return false;
}

bool CReplacingFile::Commit()
{
    if (m_temp.empty())
        return false;
    // Only a file that replaces another needs its data on the disk first: a new file lost
    // to a power cut loses nothing that was there before.
    std::error_code ec;
    if (std::filesystem::exists(m_target, ec) && !FlushToDisk(m_temp)) {
        Discard();
        return false;
    }
    std::filesystem::rename(m_temp, m_target, ec);
    if (ec) {
        Discard();
        return false;
    }
    g_pending.store(false);
    m_temp.clear();
    return true;
}

void CReplacingFile::Discard()
{
    if (m_temp.empty())
        return;
    g_pending.store(false);
    ORVANEL_UNLINK(m_temp.c_str());
    m_temp.clear();
}

// Runs in signal handlers: a lock-free atomic and unlink only, both async-signal-safe.
void RemovePendingReplacingFile()
{
    if (g_pending.exchange(false))
        ORVANEL_UNLINK(g_pendingPath);
}

} // namespace orvanel
