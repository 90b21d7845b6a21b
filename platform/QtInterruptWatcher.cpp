#include "platform/QtInterruptWatcher.h"

#include "decode/OutputFile.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace orvanel {

namespace {

constexpr int kWatchedSignals[] = {SIGINT, SIGTERM, SIGHUP};
int g_pipe[2] = {-1, -1};

extern "C" void WriteToPipe(int signal)
{
    const unsigned char number = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &number, 1);
}

} // namespace

CQtInterruptWatcher::CQtInterruptWatcher(QObject* parent) : QObject(parent)
{
    if (g_pipe[0] >= 0 || ::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &CQtInterruptWatcher::OnSignalled);
    for (int signal : kWatchedSignals) {
        if (SignalIgnoredAtStart(signal))
            continue;
        struct sigaction action { };
        action.sa_handler = WriteToPipe;
        action.sa_flags = SA_RESTART;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, nullptr);
    }
}

CQtInterruptWatcher::~CQtInterruptWatcher()
{
    if (!m_notifier)
        return;
    for (int signal : kWatchedSignals) {
        if (!SignalIgnoredAtStart(signal))
            ::signal(signal, SIG_DFL);
    }
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void CQtInterruptWatcher::OnSignalled()
{
    unsigned char number = 0;
    if (::read(g_pipe[0], &number, 1) != 1)
        return;
    RemovePendingOutputFiles();
    ::signal(number, SIG_DFL);
    ::raise(number);
}

} // namespace orvanel
