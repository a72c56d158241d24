#pragma once
// The thread through which one device page talks to its device when the window asks for
// something periodically (lighting frames, the presence query, power readings). An exchange may
// wait for the whole time-out of a silent device (5 s through the receiver); the window hands the
// job over, goes on, and reads the job's result on a later timer.
//
// Each kind of job has one place in the queue: a job handed over while one of its kind still
// waits replaces the waiting one, so a slow device costs dropped frames, never a growing queue.
// Jobs of different kinds run in the order they were handed over.
//
// Threads: Post, Busy, WaitIdle, Start and Stop from any one owner thread; jobs run on the worker.

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace vx::devices {

class DeviceWorker {
public:
    enum class Task : int { Frame = 0, KeyColours, Presence, Power, Reread, Count };
    using Job = std::function<void()>;

    DeviceWorker() = default;
    ~DeviceWorker();
    DeviceWorker(const DeviceWorker&) = delete;
    DeviceWorker& operator=(const DeviceWorker&) = delete;

    // Starts the thread unless it runs.
    void Start();
    // Drops the waiting jobs, lets a running one finish and ends the thread. Waits up to boundMs;
    // 1 when it ended in time, 0 when not (it is joined all the same: a running job still uses
    // its page, which must not go before it), -1 when none ran.
    int Stop(int boundMs = 1000);
    bool Running() const { return m_thread.joinable(); }

    // Hands a job over. False when it replaced a waiting job of its kind (that one is dropped) or
    // when the worker does not run (the job is dropped).
    bool Post(Task task, Job job);
    // Whether a job of this kind waits or runs.
    bool Busy(Task task) const;
    // Waits until no job waits or runs; false when timeoutMs passed first.
    bool WaitIdle(int timeoutMs);

    uint64_t Dropped() const { return m_dropped.load(std::memory_order_relaxed); }
    uint64_t Ran() const { return m_ran.load(std::memory_order_relaxed); }

private:
    static constexpr size_t kTasks = static_cast<size_t>(Task::Count);
    struct Slot {
        Job job;
        bool waiting = false;
        bool running = false;
        uint64_t order = 0;  // when it was handed over
    };

    void Run();
    // The waiting slot handed over first, or kTasks; under m_mutex.
    size_t NextSlot() const;
    bool IdleLocked() const;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::array<Slot, kTasks> m_slots;
    uint64_t m_order = 0;
    bool m_exit = false;
    bool m_finished = false;
    std::thread m_thread;
    std::atomic<uint64_t> m_dropped{0};
    std::atomic<uint64_t> m_ran{0};
};

}  // namespace vx::devices
