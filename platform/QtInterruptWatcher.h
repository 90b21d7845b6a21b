#pragma once
// Ends the desktop program cleanly on interrupt, termination and hang-up: the signal handler
// only writes the signal's number into a pipe, and the Qt event loop, woken by the pipe,
// removes the temporaries of any write under way and then ends the process by that signal.
// A signal that was ignored when the program started stays ignored.

#include <QObject>

class QSocketNotifier;

namespace orvanel {

class CQtInterruptWatcher : public QObject {
    Q_OBJECT
public:
    explicit CQtInterruptWatcher(QObject* parent = nullptr);
    ~CQtInterruptWatcher() override;

private:
    void OnSignalled();

    QSocketNotifier* m_notifier = nullptr;
};

} // namespace orvanel
