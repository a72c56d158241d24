#include "devices/lighting/LightingClock.h"

#include <chrono>

namespace vx::lighting {

uint32_t SteadyLightingClock::NowMs() const {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

}  // namespace vx::lighting
