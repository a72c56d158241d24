#include "devices/lighting/LightingThread.h"

#include <chrono>

#include "devices/lighting/LightingClock.h"
#include "devices/lighting/LightingEngine.h"

namespace vx::lighting {

LightingThread::LightingThread(LightingEngine& engine, const LightingClock& clock, Hooks hooks)
    : LightingThread(engine, clock, std::move(hooks), Options{}) {}

LightingThread::LightingThread(LightingEngine& engine, const LightingClock& clock, Hooks hooks, Options options)
    : m_engine(engine), m_clock(clock), m_hooks(std::move(hooks)), m_options(options) {
    if (m_options.wakeMs < 1) m_options.wakeMs = 1;
    if (m_options.maxCatchUpPasses < 1) m_options.maxCatchUpPasses = 1;
}

LightingThread::~LightingThread() { Stop(); }

void LightingThread::Start() {
    Stop();
    {
        std::lock_guard lock(m_mutex);
        m_exit = false;
        m_finished = false;
    }
    m_passes.store(0, std::memory_order_release);
    m_thread = std::thread([this] { Run(); });
}

int LightingThread::Stop(int boundMs) {
    if (!m_thread.joinable()) return -1;
    bool inTime;
    {
        std::unique_lock lock(m_mutex);
        m_exit = true;
        m_wake.notify_all();
        inTime = m_ended.wait_for(lock, std::chrono::milliseconds(boundMs), [this] { return m_finished; });
    }
    m_thread.join();
    return inTime ? 1 : 0;
}

bool LightingThread::WaitExit(int ms) {
    std::unique_lock lock(m_mutex);
    return m_wake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_exit; });
}

void LightingThread::Run() {
    const uint32_t period = static_cast<uint32_t>(m_engine.PassPeriodMs() > 0 ? m_engine.PassPeriodMs() : 1);
    m_engine.StartTicks(m_clock.NowMs());
    uint32_t next = m_clock.NowMs();
    bool stop = false;
    while (!stop) {
        if (m_hooks.connected && !m_hooks.connected()) {
            stop = WaitExit(100);
            next = m_clock.NowMs();
            continue;
        }
        if (m_hooks.held && m_hooks.held()) {
            stop = WaitExit(m_options.wakeMs);
            // The held time is not replayed when the page gets its lighting back.
            next = m_clock.NowMs();
            continue;
        }
        const uint32_t now = m_clock.NowMs();
        int ran = 0;
        while (static_cast<int32_t>(now - next) >= 0 && ran < m_options.maxCatchUpPasses) {
            m_engine.Pass(next);
            next += period;
            ++ran;
        }
        m_passes.fetch_add(static_cast<uint64_t>(ran), std::memory_order_acq_rel);
        if (static_cast<int32_t>(now - next) >= 0) next = now + period;
        stop = WaitExit(m_options.wakeMs);
    }
    std::lock_guard lock(m_mutex);
    m_finished = true;
    m_ended.notify_all();
}

}  // namespace vx::lighting
