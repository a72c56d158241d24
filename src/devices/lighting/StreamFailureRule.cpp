#include "devices/lighting/StreamFailureRule.h"

#include "devices/lighting/LightingClock.h"

namespace vx::lighting {

int StreamFailureRule::Stream(bool wireless, const std::function<int()>& send) {
    Connection& c = State(wireless);
    if (c.stopped) return 1;
    const uint32_t before = m_clock.NowMs();
    const int status = send ? send() : 0;
    const uint32_t took = m_clock.NowMs() - before;
    if (took <= kSlowMs) {
        c.stopped = false;
        c.slow = 0;
    } else if (++c.slow > 1) {
        c.stopped = true;
        c.slow = 0;
    }
    return status;
}

void StreamFailureRule::SetStopped(bool wireless, bool stopped) {
    Connection& c = State(wireless);
    c.stopped = stopped;
    if (!stopped) c.slow = 0;
}

}  // namespace vx::lighting
