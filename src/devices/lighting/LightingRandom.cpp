#include "devices/lighting/LightingRandom.h"

namespace vx::lighting {

uint32_t LightingRandom::Next() {
    uint32_t x = m_state;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    m_state = x;
    return x;
}

}  // namespace vx::lighting
