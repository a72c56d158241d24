#pragma once
// SIGTERM, SIGINT and SIGHUP turned into a call on the UI thread, so that a program stopped by
// the session, a service manager or Ctrl-C shuts down as "exit" does: the window's workers stop,
// the virtual devices unplug (their folder is emptied and removed) and write their memory.
//
// The handler itself only writes the signal number into a pipe (async-signal-safe, never
// blocking); the pipe's reader runs in the event loop of the thread that made this object. Each
// handler is installed with SA_RESETHAND: a second signal of the same kind, while a stuck
// shutdown is still running, ends the program the default way.

#include <signal.h>
#include <QObject>
#include <functional>

class QSocketNotifier;
namespace vx::app {


class CTerminationSignals : public QObject {
public:
    // onSignal gets the signal number. Only one object may be installed at a time.
    explicit CTerminationSignals(std::function<void(int)> onSignal, QObject* parent = nullptr);
    // Restores the handlers that were in place before.
    ~CTerminationSignals() override;
    CTerminationSignals(const CTerminationSignals&) = delete;
    CTerminationSignals& operator=(const CTerminationSignals&) = delete;

    bool IsInstalled() const { return m_installed; }

private:
    static void Handler(int signalNumber);
    void Drain();

    static constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

    std::function<void(int)> m_onSignal;
    int m_pipe[2] = {-1, -1};
    QSocketNotifier* m_notifier = nullptr;
    struct sigaction m_previous[3]{};
    bool m_installed = false;
};

}  // namespace vx::app
