// Letting go of replaced entries on threads beside the writing. Freeing a replaced file's
// storage happens in the system call that drops its last handle; a few of them at once keep
// the disk busy where each would otherwise wait for its own discard.

#include "decode/OutputFile.h"

#include <algorithm>
#include <cstddef>
#include <system_error>

#include <unistd.h>

namespace orvanel {

namespace {

constexpr size_t kThreads = 4;
// Held handles count against the process's open files, beside the files being written.
constexpr size_t kMostHeld = 256;
// Handles are handed to a thread this many at a time: waking a thread costs more than many
// of the closes it is woken for.
constexpr size_t kBatch = 16;

} // namespace

void CReplacedEntries::Add(intptr_t handle)
{
    std::unique_lock lock(m_mutex);
    if (m_handles.size() >= kMostHeld) {
        m_waitingForRoom = true;
        m_work.notify_all();
        m_room.wait(lock, [this] { return m_handles.size() < kMostHeld; });
        m_waitingForRoom = false;
    }
    m_handles.push_back(handle);
    if (m_threads.size() < kThreads) {
        try {
            // Room first: a started thread must never be dropped unjoined.
            m_threads.reserve(kThreads);
            m_threads.push_back(StartHelperThread([this] { Run(); }));
        } catch (const std::system_error&) {
            // Without a thread of its own the entry is let go here.
            if (m_threads.empty()) {
                m_handles.pop_back();
                lock.unlock();
                ::close(int(handle));
                return;
            }
        }
    }
    if (m_handles.size() % kBatch == 0)
        m_work.notify_one();
}

void CReplacedEntries::Run()
{
    std::vector<intptr_t> batch;
    batch.reserve(kBatch);
    std::unique_lock lock(m_mutex);
    for (;;) {
        // A short batch is taken only when finishing or when the writer waits for room.
        m_work.wait(lock, [this] {
            return m_handles.size() >= kBatch || m_finishing || (m_waitingForRoom && !m_handles.empty());
        });
        if (m_handles.empty())
            return; // finishing
        const size_t take = std::min(kBatch, m_handles.size());
        batch.assign(m_handles.end() - std::ptrdiff_t(take), m_handles.end());
        m_handles.resize(m_handles.size() - take);
        // Another thread takes the next batch meanwhile.
        if (m_handles.size() >= kBatch)
            m_work.notify_one();
        lock.unlock();
        for (const intptr_t handle : batch)
            ::close(int(handle));
        lock.lock();
        if (m_waitingForRoom)
            m_room.notify_one();
    }
}

void CReplacedEntries::Finish()
{
    std::vector<std::thread> threads;
    {
        std::lock_guard lock(m_mutex);
        m_finishing = true;
        threads.swap(m_threads);
    }
    m_work.notify_all();
    for (std::thread& thread : threads)
        thread.join();
    std::lock_guard lock(m_mutex);
    m_finishing = false;
}

} // namespace orvanel
