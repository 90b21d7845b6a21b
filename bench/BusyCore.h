#pragma once
// Keeps the machine's second core busy for the lifetime of the object, as another program
// would: a child process spinning, so that its time is not counted as the benchmark's own
// processor time.

#include <csignal>
#include <cstdint>
#include <sys/types.h>
#include <sys/wait.h>
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

} // namespace orvanel::bench
