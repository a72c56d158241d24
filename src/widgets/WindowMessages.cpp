#include "widgets/WindowMessages.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QThread>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>

namespace {

struct PendingSend {
    std::mutex lock;
    std::condition_variable done;
    bool finished = false;
    qintptr result = 0;
};

const QEvent::Type kMessageEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class MessageEvent : public QEvent {
public:
    MessageEvent(uint message, quintptr w, qintptr l, std::shared_ptr<PendingSend> pending)
        : QEvent(kMessageEvent), m_message(message), m_w(w), m_l(l), m_pending(std::move(pending)) {}
    uint m_message;
    quintptr m_w;
    qintptr m_l;
    std::shared_ptr<PendingSend> m_pending;
};

void Finish(PendingSend& pending, qintptr result) {
    std::lock_guard<std::mutex> guard(pending.lock);
    if (pending.finished) return;
    pending.finished = true;
    pending.result = result;
    pending.done.notify_all();
}

// Lives on the window's thread as a child of the window and hands queued messages to the handler.
class MessageSink : public QObject {
public:
    MessageSink(QObject* receiver, CWindowMessages::Handler handler)
        : QObject(receiver), m_handler(std::move(handler)) {}
    ~MessageSink() override { CWindowMessages::Unregister(m_handle); }

    bool event(QEvent* e) override {
        if (e->type() != kMessageEvent) return QObject::event(e);
        auto* m = static_cast<MessageEvent*>(e);
        const qintptr result = m_handler(m->m_message, m->m_w, m->m_l);
        if (m->m_pending) Finish(*m->m_pending, result);
        return true;
    }

    WindowHandle m_handle = 0;
    CWindowMessages::Handler m_handler;
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
    QCoreApplication::postEvent(sink, new MessageEvent(message, wParam, lParam, nullptr));
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
        QCoreApplication::postEvent(sink, new MessageEvent(message, wParam, lParam, pending));
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
