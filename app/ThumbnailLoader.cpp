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
        // The workers finish the thumbnail in hand and stop; what they made is dropped. The
        // wait is on this object's own lock, so that every read of the old archive visibly
        // happens before it goes.
        std::unique_lock lock(m_mutex);
        m_waiting.clear();
        m_stopped.wait(lock, [this] { return m_running == 0; });
        m_finished.clear();
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
    std::unique_lock lock(m_mutex);
    const CDATArchive* archive = m_archive;
    while (!m_waiting.empty()) {
        const DATEntry entry = m_waiting.front();
        m_waiting.pop_front();
        const uint32_t edge = m_edge;
        lock.unlock();
        std::shared_ptr<const ThumbnailPixels> pixels = MakeThumbnail(*archive, entry, edge);
        lock.lock();
        m_finished.push_back({ThumbnailKey::Of(entry, edge), std::move(pixels)});
        // One delivery at a time is posted; it takes everything finished by then.
        if (!m_deliveryPosted) {
            m_deliveryPosted = true;
            QMetaObject::invokeMethod(this, &CThumbnailLoader::DeliverFinished, Qt::QueuedConnection);
        }
    }
    if (--m_running == 0)
        m_stopped.notify_all();
}

void CThumbnailLoader::DeliverFinished()
{
    std::vector<Finished> finished;
    {
        std::lock_guard lock(m_mutex);
        finished.swap(m_finished);
        m_deliveryPosted = false;
    }
    for (Finished& one : finished)
        emit thumbnailReady(one.key, std::move(one.pixels));
}

} // namespace orvanel
