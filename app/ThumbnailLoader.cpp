#include "app/ThumbnailLoader.h"

#include "app/ThumbnailMaker.h"

#include <QThread>

namespace orvanel {

CThumbnailLoader::CThumbnailLoader(QObject* parent) : QObject(parent)
{
    m_pool.setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
    // The interface thread goes first, so drawing and scrolling never wait for a decode.
    m_pool.setThreadPriority(QThread::LowPriority);
}

CThumbnailLoader::~CThumbnailLoader()
{
    SetArchive(nullptr);
}

void CThumbnailLoader::SetArchive(const CDATArchive* archive)
{
    {
        std::lock_guard lock(m_mutex);
        m_waiting.clear();
        ++m_generation;
    }
    m_pool.waitForDone();
    m_archive = archive;
}

void CThumbnailLoader::Request(std::deque<DATEntry> entries, uint32_t edge)
{
    if (!m_archive)
        return;
    {
        std::lock_guard lock(m_mutex);
        m_waiting = std::move(entries);
        m_edge = edge;
    }
    StartWorkers();
}

bool CThumbnailLoader::IsIdle() const
{
    std::lock_guard lock(m_mutex);
    return m_waiting.empty() && m_running == 0;
}

void CThumbnailLoader::StartWorkers()
{
    std::lock_guard lock(m_mutex);
    while (m_running < m_pool.maxThreadCount() && m_running < int(m_waiting.size())) {
        ++m_running;
        m_pool.start([this] { Work(); });
    }
}

void CThumbnailLoader::Work()
{
    // The archive cannot change while a worker runs: SetArchive waits for all of them.
    const CDATArchive* archive = m_archive;
    for (;;) {
        DATEntry entry;
        uint32_t edge = 0;
        uint64_t generation = 0;
        {
            std::lock_guard lock(m_mutex);
            if (m_waiting.empty()) {
                --m_running;
                return;
            }
            entry = m_waiting.front();
            m_waiting.pop_front();
            edge = m_edge;
            generation = m_generation;
        }
        std::shared_ptr<const ThumbnailPixels> pixels = MakeThumbnail(*archive, entry, edge);
        const ThumbnailKey key = ThumbnailKey::Of(entry, edge);
        QMetaObject::invokeMethod(
            this,
            [this, key, pixels = std::move(pixels), generation]() mutable {
                // A thumbnail of an archive since closed is dropped.
                if (generation == m_generation)
                    emit thumbnailReady(key, std::move(pixels));
            },
            Qt::QueuedConnection);
    }
}

} // namespace orvanel
