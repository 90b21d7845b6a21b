#pragma once
// Runs a check in a child process, so that what it takes on (a resource limit, a freed heap, an
// exit half-way) stays out of the test process.

#include <cstdint>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

namespace orvanel::fixture {

// True when check() returned true in the child (false when it threw).
template <typename Check>
bool InChild(Check check)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Whatever happens, the child ends here: it must never go on into the test runner.
        bool passed = false;
        try {
            passed = check();
        } catch (...) {
        }
        ::_exit(passed ? 0 : 1);
    }
    int status = 0;
    return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
// Sanitizers reserve address space of their own: a cap on it tells nothing there.
inline constexpr bool kSanitized = true;
#else
inline constexpr bool kSanitized = false;
#endif

// Bytes of address space the process holds.
inline uint64_t AddressSpace()
{
    uint64_t pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    return pages * uint64_t(::sysconf(_SC_PAGESIZE));
}

} // namespace orvanel::fixture
