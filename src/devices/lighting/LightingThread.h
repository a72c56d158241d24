#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace vx::lighting {

class LightingClock;
class LightingEngine;

// Runs one page's lighting engine. The engine's semantics are those of a loop that makes one pass
// every PassPeriodMs of the clock (a tick every 2 ms, a generator step when its interval is due);
// this thread keeps them but does not wake that often: it sleeps wakeMs at a time and then runs
// every pass that fell due meanwhile, each at its own clock value, so a frame after a given
// number of milliseconds is the same as with 1 ms wake-ups.
//
// "connected" and "held" come from the page's command link: while not connected the thread
// idles 100 ms at a time; while held (the main window drives the lighting) no pass runs and the
// frame keeps its last state.
class LightingThread {
public:
    struct Hooks {
        std::function<bool()> connected;  // empty: always connected
        std::function<bool()> held;       // empty: never held
    };
    struct Options {
        int wakeMs = 16;
        // A thread that was starved (a suspended laptop) drops the backlog beyond this many passes
        // instead of replaying seconds of effect in one burst.
        int maxCatchUpPasses = 250;
    };

    LightingThread(LightingEngine& engine, const LightingClock& clock, Hooks hooks);
    LightingThread(LightingEngine& engine, const LightingClock& clock, Hooks hooks, Options options);
    ~LightingThread();
    LightingThread(const LightingThread&) = delete;
    LightingThread& operator=(const LightingThread&) = delete;

    // Starts the thread, stopping a running one first.
    void Start();
    // Signals the thread to end and waits up to boundMs. Returns 1 when it ended within the bound,
    // 0 when it had not (it is then still joined, since a pass is short), -1 when none was running.
    int Stop(int boundMs = 1000);
    bool Running() const { return m_thread.joinable(); }
    // Passes run since Start (for tests and the benchmarks).
    uint64_t Passes() const { return m_passes.load(std::memory_order_acquire); }

private:
    void Run();
    // Waits up to ms or until Stop; true when Stop was asked.
    bool WaitExit(int ms);

    LightingEngine& m_engine;
    const LightingClock& m_clock;
    Hooks m_hooks;
    Options m_options;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_ended;
    bool m_exit = false;
    bool m_finished = false;
    std::atomic<uint64_t> m_passes{0};
};

}  // namespace vx::lighting
