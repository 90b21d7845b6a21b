#pragma once
// Makes thumbnails on a pool of background threads, one per core, and hands each finished one
// back on the interface thread. Only the latest request is worked on: a new request replaces
// the files still waiting. Changing the archive first waits for the thumbnails being made
// (each is one decode), so no thread ever reads an archive that is going away.

#include "app/ThumbnailCache.h"

#include <QObject>
#include <QThreadPool>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

namespace orvanel {

class CDATArchive;

class CThumbnailLoader : public QObject {
    Q_OBJECT

public:
    explicit CThumbnailLoader(QObject* parent = nullptr);
    ~CThumbnailLoader() override;

    // Cancels all work and waits for the threads; later requests read this archive (or none).
    void SetArchive(const CDATArchive* archive);
    const CDATArchive* GetArchive() const { return m_archive; }
    // The files to make thumbnails of, most wanted first; replaces the files still waiting.
    void Request(std::deque<DATEntry> entries, uint32_t edge);
    // True when no thumbnail is waiting or being made.
    bool IsIdle() const;
    int ThreadCount() const { return m_pool.maxThreadCount(); }

signals:
    // On the interface thread; pixels are null for a file that is no picture.
    void thumbnailReady(ThumbnailKey key, std::shared_ptr<const ThumbnailPixels> pixels);

private:
    void StartWorkers();
    void Work();
    // On the interface thread: hands out the thumbnails finished since the last call.
    void DeliverFinished();

    struct Finished {
        ThumbnailKey key;
        std::shared_ptr<const ThumbnailPixels> pixels;
    };

    const CDATArchive* m_archive = nullptr;
    QThreadPool m_pool;
    mutable std::mutex m_mutex;
    std::deque<DATEntry> m_waiting;
    uint32_t m_edge = 0;
    int m_running = 0;
    std::condition_variable m_stopped; // signalled when m_running drops to 0
    // Finished thumbnails wait here, under m_mutex, until the interface thread takes them.
    std::vector<Finished> m_finished;
    bool m_deliveryPosted = false;
};

} // namespace orvanel
