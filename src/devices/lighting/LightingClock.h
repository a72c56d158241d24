#pragma once

#include <atomic>
#include <cstdint>

namespace vx::lighting {

// The millisecond clock the lighting reads (32 bits, wrapping like a tick count). Injected so
// that tests and the frame-dump tool run effects reproducibly.
class LightingClock {
public:
    virtual ~LightingClock() = default;
    virtual uint32_t NowMs() const = 0;
};

// Milliseconds of the monotonic clock.
class SteadyLightingClock : public LightingClock {
public:
    uint32_t NowMs() const override;
};

// A clock that moves only when told to; safe to advance from another thread.
class ManualLightingClock : public LightingClock {
public:
    explicit ManualLightingClock(uint32_t startMs = 0) : m_now(startMs) {}
    uint32_t NowMs() const override { return m_now.load(std::memory_order_acquire); }
    void Advance(uint32_t ms) { m_now.fetch_add(ms, std::memory_order_acq_rel); }
    void Set(uint32_t ms) { m_now.store(ms, std::memory_order_release); }

private:
    std::atomic<uint32_t> m_now;
};

}  // namespace vx::lighting
