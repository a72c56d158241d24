#include "widgets/WindowMessages.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QThread>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <sys/eventfd.h>
#include <unistd.h>

namespace vx::widgets {

namespace {

struct PendingSend {
    std::mutex lock;
    std::condition_variable done;
    bool finished = false;
    qintptr result = 0;
};

struct QueuedMessage {
    uint message;
    quintptr w;
    qintptr l;
    std::shared_ptr<PendingSend> pending;
};

void Finish(PendingSend& pending, qintptr result) {
    std::lock_guard<std::mutex> guard(pending.lock);
    if (pending.finished) return;
    pending.finished = true;
    pending.result = result;
    pending.done.notify_all();
}

// Lives on the window's thread as a child of the window and hands queued messages to the handler.
// Other threads hand over messages through the queue under the registry lock and wake the window's
// thread through an eventfd: no Qt object or Qt event crosses threads, so the hand-over is plain
// mutex ordering that the thread sanitizer can follow.
class MessageSink : public QObject {
public:
    MessageSink(QObject* receiver, CWindowMessages::Handler handler);
    ~MessageSink() override;

    // Called with the registry lock held.
    void Enqueue(QueuedMessage message);

    WindowHandle m_handle = 0;
    CWindowMessages::Handler m_handler;
    std::deque<QueuedMessage> m_queue;  // guarded by the registry lock

private:
    void Drain();
    int m_wakeFd = -1;
    QSocketNotifier* m_notifier = nullptr;
};

struct Registry {
    std::mutex lock;
    WindowHandle next = 0x10000;
    QHash<WindowHandle, MessageSink*> sinks;
    QHash<WindowHandle, std::set<std::shared_ptr<PendingSend>>> pending;
    QHash<uint, QString> registered;
};

Registry& Reg() {
    static Registry registry;
    return registry;
}

MessageSink::MessageSink(QObject* receiver, CWindowMessages::Handler handler)
    : QObject(receiver), m_handler(std::move(handler)) {
    m_wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m_wakeFd >= 0) {
        m_notifier = new QSocketNotifier(m_wakeFd, QSocketNotifier::Read, this);
        QObject::connect(m_notifier, &QSocketNotifier::activated, this, [this] { Drain(); });
    }
}

MessageSink::~MessageSink() {
    // After this no thread can enqueue or write the eventfd any more.
    CWindowMessages::Unregister(m_handle);
    delete m_notifier;
    if (m_wakeFd >= 0) close(m_wakeFd);
}

void MessageSink::Enqueue(QueuedMessage message) {
    const bool wasEmpty = m_queue.empty();
    m_queue.push_back(std::move(message));
    if (wasEmpty && m_wakeFd >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = write(m_wakeFd, &one, sizeof one);
    }
}

void MessageSink::Drain() {
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t n = read(m_wakeFd, &count, sizeof count);
    // One message per wake-up, re-armed while more wait: a handler may open a nested event loop
    // (a message box) in which the later messages must still be served.
    QueuedMessage next;
    {
        std::lock_guard<std::mutex> guard(Reg().lock);
        if (m_queue.empty()) return;
        next = std::move(m_queue.front());
        m_queue.pop_front();
        if (!m_queue.empty()) {
            const uint64_t one = 1;
            [[maybe_unused]] const ssize_t w = write(m_wakeFd, &one, sizeof one);
        }
    }
    const qintptr result = m_handler(next.message, next.w, next.l);
    if (next.pending) Finish(*next.pending, result);
}

}  // namespace

WindowHandle CWindowMessages::Register(QObject* receiver, Handler handler) {
    if (!receiver) return 0;
    auto* sink = new MessageSink(receiver, std::move(handler));
    Registry& r = Reg();
    std::lock_guard<std::mutex> guard(r.lock);
    sink->m_handle = r.next++;
    r.sinks.insert(sink->m_handle, sink);
    return sink->m_handle;
}

void CWindowMessages::Unregister(WindowHandle window) {
    std::set<std::shared_ptr<PendingSend>> waiting;
    {
        Registry& r = Reg();
        std::lock_guard<std::mutex> guard(r.lock);
        r.sinks.remove(window);
        waiting = r.pending.take(window);
    }
    for (const auto& p : waiting) Finish(*p, 0);
}

bool CWindowMessages::IsWindow(WindowHandle window) {
    Registry& r = Reg();
    std::lock_guard<std::mutex> guard(r.lock);
    return r.sinks.contains(window);
}

bool CWindowMessages::PostMessage(WindowHandle window, uint message, quintptr wParam, qintptr lParam) {
    Registry& r = Reg();
    std::lock_guard<std::mutex> guard(r.lock);
    MessageSink* sink = r.sinks.value(window);
    if (!sink) return false;
    // Posting under the registry lock keeps the sink alive: it unregisters before it is deleted.
    sink->Enqueue({message, wParam, lParam, nullptr});
    return true;
}

qintptr CWindowMessages::SendMessage(WindowHandle window, uint message, quintptr wParam, qintptr lParam) {
    qintptr result = 0;
    SendMessageTimeout(window, message, wParam, lParam, -1, &result);
    return result;
}

bool CWindowMessages::SendMessageTimeout(WindowHandle window, uint message, quintptr wParam, qintptr lParam,
                                         int timeoutMs, qintptr* result) {
    if (result) *result = 0;
    Registry& r = Reg();
    auto pending = std::make_shared<PendingSend>();
    {
        std::unique_lock<std::mutex> guard(r.lock);
        MessageSink* sink = r.sinks.value(window);
        if (!sink) return false;
        if (sink->thread() == QThread::currentThread()) {
            Handler handler = sink->m_handler;
            guard.unlock();
            const qintptr value = handler(message, wParam, lParam);
            if (result) *result = value;
            return true;
        }
        r.pending[window].insert(pending);
        sink->Enqueue({message, wParam, lParam, pending});
    }
    bool finished = false;
    {
        std::unique_lock<std::mutex> wait(pending->lock);
        if (timeoutMs < 0) {
            pending->done.wait(wait, [&] { return pending->finished; });
        } else {
            pending->done.wait_for(wait, std::chrono::milliseconds(timeoutMs),
                                   [&] { return pending->finished; });
        }
        finished = pending->finished;
        // A late answer after the time-out is not wanted any more.
        pending->finished = true;
        if (result) *result = pending->result;
    }
    {
        std::lock_guard<std::mutex> guard(r.lock);
        auto it = r.pending.find(window);
        if (it != r.pending.end()) {
            it->erase(pending);
            if (it->empty()) r.pending.erase(it);
        }
    }
    return finished && IsWindow(window);
}

uint CWindowMessages::RegisterWindowMessage(const QString& name) {
    if (name.isEmpty()) return 0;
    // FNV-1a over the UTF-8 text: stable across processes and runs.
    quint32 hash = 2166136261u;
    for (const char c : name.toUtf8()) {
        hash ^= static_cast<quint8>(c);
        hash *= 16777619u;
    }
    const uint span = wm::kLastRegistered - wm::kFirstRegistered + 1;
    uint number = wm::kFirstRegistered + hash % span;
    Registry& r = Reg();
    std::lock_guard<std::mutex> guard(r.lock);
    // Two texts with the same number would be confused; the later one moves on to the next free
    // number (this depends on registration order, so peers should send texts, not numbers).
    for (uint tries = 0; tries < span; ++tries) {
        auto it = r.registered.constFind(number);
        if (it == r.registered.constEnd()) {
            r.registered.insert(number, name);
            return number;
        }
        if (*it == name) return number;
        number = number == wm::kLastRegistered ? wm::kFirstRegistered : number + 1;
    }
    return 0;
}

QString CWindowMessages::GetRegisteredName(uint message) {
    Registry& r = Reg();
    std::lock_guard<std::mutex> guard(r.lock);
    return r.registered.value(message);
}

}  // namespace vx::widgets
