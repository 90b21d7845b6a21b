// Copies out of a mapped file that may shrink under us. When another program truncates a
// mapped file, touching a page past its new end raises SIGBUS. A copy runs with a jump point
// set; the handler, installed once, jumps back to it when the fault hit a guarded copy of
// this thread, and otherwise hands the signal to whatever handled it before.

#include "archive/FileMapping.h"

#include <atomic>
#include <csetjmp>
#include <csignal>
#include <cstring>
#include <mutex>

namespace orvanel {

namespace {

thread_local sigjmp_buf* t_guardedCopy = nullptr;
struct sigaction g_previous { };

void OnBusError(int signal, siginfo_t* info, void* context)
{
    if (sigjmp_buf* resume = t_guardedCopy) {
        t_guardedCopy = nullptr;
        siglongjmp(*resume, 1);
    }
    if (g_previous.sa_flags & SA_SIGINFO) {
        if (g_previous.sa_sigaction) {
            g_previous.sa_sigaction(signal, info, context);
            return;
        }
    } else if (g_previous.sa_handler != SIG_DFL && g_previous.sa_handler != SIG_IGN) {
        g_previous.sa_handler(signal);
        return;
    }
    // Nobody else handles it: restore the default action, so that the faulting access, run
    // again on return, ends the process as it would have without us.
    ::signal(SIGBUS, SIG_DFL);
}

void InstallHandler()
{
    struct sigaction action { };
    action.sa_sigaction = OnBusError;
    action.sa_flags = SA_SIGINFO | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGBUS, &action, &g_previous);
}

} // namespace

bool RunGuarded(void (*read)(void* context), void* context)
{
    static std::once_flag installed;
    std::call_once(installed, InstallHandler);

    sigjmp_buf resume;
    // Signal masks need not be saved: SA_NODEFER leaves SIGBUS unblocked in the handler.
    if (sigsetjmp(resume, 0) != 0)
        return false;
    t_guardedCopy = &resume;
    // The fences keep the compiler from moving the reads out of the guarded stretch.
    std::atomic_signal_fence(std::memory_order_seq_cst);
    read(context);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    t_guardedCopy = nullptr;
    return true;
}

bool CopyFromView(uint8_t* out, const uint8_t* from, size_t count)
{
    struct Copy {
        uint8_t* out;
        const uint8_t* from;
        size_t count;
    } copy {out, from, count};
    return RunGuarded(
        [](void* context) {
            const auto* c = static_cast<const Copy*>(context);
            std::memcpy(c->out, c->from, c->count);
        },
        &copy);
}

} // namespace orvanel
