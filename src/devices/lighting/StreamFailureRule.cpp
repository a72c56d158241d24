#include "devices/lighting/StreamFailureRule.h"

#include "devices/lighting/LightingClock.h"

namespace vx::lighting {

bool StreamFailureRule::ProbeDue(bool wireless, uint32_t now) const {
    if (wireless) return false;
    // Signed difference: the millisecond clock wraps after 49 days.
    return static_cast<int32_t>(now - m_cable.quietSinceMs.load() - kCableProbeMs) >= 0;
}

int StreamFailureRule::Stream(bool wireless, const std::function<int()>& send) {
    Connection& c = State(wireless);
    const uint32_t before = m_clock.NowMs();
    const bool probe = c.stopped.load();
    if (probe) {
        if (!ProbeDue(wireless, before)) return 1;
        c.quietSinceMs.store(before);
    }
    const int status = send ? send() : 0;
    const uint32_t after = m_clock.NowMs();
    const uint32_t took = after - before;
    if (took <= kSlowMs) {
        c.stopped.store(false);
        c.slow.store(0);
    } else if (probe) {
        c.quietSinceMs.store(after);
    } else if (c.slow.fetch_add(1) + 1 > 1) {
        c.quietSinceMs.store(after);
        c.stopped.store(true);
        c.slow.store(0);
    }
    return status;
}

void StreamFailureRule::SetStopped(bool wireless, bool stopped) {
    Connection& c = State(wireless);
    if (stopped && !c.stopped.load()) c.quietSinceMs.store(m_clock.NowMs());
    c.stopped.store(stopped);
    if (!stopped) c.slow.store(0);
}

}  // namespace vx::lighting
