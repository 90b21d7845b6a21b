// Letting go of replaced entries on threads beside the writing. Freeing a replaced file's
// storage happens in the system call that drops its last handle; a few of them at once keep
// the disk busy where each would otherwise wait for its own discard.

#include "decode/OutputFile.h"

#include <system_error>

#include <unistd.h>

namespace orvanel {

namespace {

constexpr size_t kThreads = 4;
// Held handles count against the process's open files, beside the files being written.
constexpr size_t kMostHeld = 256;

} // namespace

void CReplacedEntries::Add(intptr_t handle)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_handles.size() < kMostHeld; });
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
    m_changed.notify_all();
}

void CReplacedEntries::Run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_finishing || !m_handles.empty(); });
        if (m_handles.empty())
            return;
        const intptr_t handle = m_handles.back();
        m_handles.pop_back();
        lock.unlock();
        ::close(int(handle));
        lock.lock();
        m_changed.notify_all();
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
    m_changed.notify_all();
    for (std::thread& thread : threads)
        thread.join();
    std::lock_guard lock(m_mutex);
    m_finishing = false;
}

} // namespace orvanel
