#pragma once
// One notification reader of a device page: a thread that reads the input reports of one
// notification interface and hands each event code (the first usage of the first button entry)
// to a callback. The read blocks without a time-out; closing the interface under its lock wakes it.
//
// Threads: Start/Stop on the owner's thread; the callback runs on the reader thread and must not
// touch any QObject (the page posts the code to itself).

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace vx::link {
class HidLink;
}

namespace vx::devices {

class NotifyReader {
public:
    using EventCallback = std::function<void(uint16_t code)>;

    NotifyReader(vx::link::HidLink& link, std::recursive_mutex& openLock, EventCallback callback);
    ~NotifyReader();
    NotifyReader(const NotifyReader&) = delete;
    NotifyReader& operator=(const NotifyReader&) = delete;

    // Starts the thread unless it runs.
    void Start();
    // Signals the exit, closes the interface under its lock (which wakes a blocked read) and waits
    // up to boundMs for the thread. 1 when it ended in time, 0 when not, -1 when none ran.
    int Stop(int boundMs = 500);
    bool Running() const { return m_thread.joinable(); }

    // While paused the reader does not start a new read (the connection is being switched).
    void SetPaused(bool paused);
    // Wakes a reader that idles because its interface was closed.
    void Wake();

    uint64_t EventsDelivered() const { return m_events.load(std::memory_order_acquire); }

private:
    void Run();
    bool ReadOne();
    // Waits up to ms for an exit or a wake; true on exit.
    bool Idle(int ms);

    vx::link::HidLink& m_link;
    std::recursive_mutex& m_openLock;
    EventCallback m_callback;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_exit = false;
    bool m_woken = false;
    bool m_finished = false;
    std::atomic<bool> m_paused{false};
    std::atomic<uint64_t> m_events{0};
};

}  // namespace vx::devices
