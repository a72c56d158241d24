#include "app/TerminationSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <atomic>
#include <cerrno>

namespace vx::app {

namespace {

// The handler's only state: the pipe's write end, read with a lock-free atomic.
std::atomic<int> g_writeFd{-1};
static_assert(std::atomic<int>::is_always_lock_free);

}  // namespace

CTerminationSignals::CTerminationSignals(std::function<void(int)> onSignal, QObject* parent)
    : QObject(parent), m_onSignal(std::move(onSignal)) {
    if (g_writeFd.load() >= 0 || ::pipe2(m_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    g_writeFd.store(m_pipe[1]);
    m_notifier = new QSocketNotifier(m_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] { Drain(); });
    struct sigaction action {};
    action.sa_handler = &CTerminationSignals::Handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &action, &m_previous[i]);
    m_installed = true;
}

CTerminationSignals::~CTerminationSignals() {
    if (m_installed) {
        for (size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &m_previous[i], nullptr);
        g_writeFd.store(-1);
    }
    delete m_notifier;
    for (int fd : m_pipe) {
        if (fd >= 0) ::close(fd);
    }
}

void CTerminationSignals::Handler(int signalNumber) {
    const int savedErrno = errno;
    const int fd = g_writeFd.load();
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    // A full pipe already holds a signal the UI thread has not read yet: nothing is lost.
    if (fd >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = savedErrno;
}

void CTerminationSignals::Drain() {
    unsigned char bytes[16];
    for (;;) {
        const ssize_t got = ::read(m_pipe[0], bytes, sizeof bytes);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return;
        for (ssize_t i = 0; i < got; ++i) {
            if (m_onSignal) m_onSignal(bytes[i]);
        }
    }
}

}  // namespace vx::app
