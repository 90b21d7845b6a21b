#pragma once
// Keeps the machine's second core busy for the lifetime of the object, as another program
// would: CBusyCore with a child process spinning, so that its time is not counted as the
// benchmark's own processor time; CBusyThread with a thread of the benchmark's own process,
// which competes for the cores within the process as well.

#include <atomic>
#include <csignal>
#include <cstdint>
#include <sys/types.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace orvanel::bench {

class CBusyCore {
public:
    explicit CBusyCore(bool on)
    {
        if (!on)
            return;
        m_child = ::fork();
        if (m_child == 0) {
            volatile uint64_t spin = 0;
            for (;;)
                spin = spin + 1;
        }
    }
    ~CBusyCore()
    {
        if (m_child > 0) {
            ::kill(m_child, SIGKILL);
            ::waitpid(m_child, nullptr, 0);
        }
    }
    CBusyCore(const CBusyCore&) = delete;
    CBusyCore& operator=(const CBusyCore&) = delete;

private:
    pid_t m_child = -1;
};

class CBusyThread {
public:
    explicit CBusyThread(bool on)
    {
        if (on)
            m_thread = std::thread([this] {
                volatile uint64_t spin = 0;
                while (!m_stop.load(std::memory_order_relaxed))
                    spin = spin + 1;
            });
    }
    ~CBusyThread()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    CBusyThread(const CBusyThread&) = delete;
    CBusyThread& operator=(const CBusyThread&) = delete;

private:
    std::atomic<bool> m_stop {false};
    std::thread m_thread;
};

} // namespace orvanel::bench
