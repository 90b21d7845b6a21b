#include "app/ReplacingFile.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace orvanel {

namespace {

// The temporary of the write under way, kept where a signal handler can reach it without
// allocating. Exports run one file at a time, so one slot is enough.
char g_pendingPath[4096];
std::atomic<bool> g_pending{false};

std::atomic<unsigned> g_counter{0};

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
    std::error_code ec;
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
    std::remove(m_temp.c_str());
    m_temp.clear();
}

void RemovePendingReplacingFile()
{
    if (g_pending.exchange(false))
        std::remove(g_pendingPath);
}

} // namespace orvanel
