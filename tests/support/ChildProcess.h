#pragma once
// Runs a check in a child process, so that what it takes on (a resource limit, a freed heap, an
// exit half-way) stays out of the test process.

#include <sys/wait.h>
#include <unistd.h>

namespace orvanel::fixture {

// True when check() returned true in the child.
template <typename Check>
bool InChild(Check check)
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(check() ? 0 : 1);
    int status = 0;
    return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace orvanel::fixture
