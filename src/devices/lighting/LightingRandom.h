#pragma once

#include <cstdint>

namespace vx::lighting {

// The effects' pseudo-random source (xorshift32): small, allocation-free and reproducible from a
// seed. Used only on the thread that runs the generators.
class LightingRandom {
public:
    explicit LightingRandom(uint32_t seed = 1) { Seed(seed); }
    // A zero state would stay zero forever, so seed 0 is mapped to a fixed non-zero state.
    void Seed(uint32_t seed) { m_state = seed != 0 ? seed : 0x9E3779B9u; }
    uint32_t Next();
    // A number in 0 .. bound-1 (0 for a bound of 0).
    uint32_t Below(uint32_t bound) { return bound == 0 ? 0 : Next() % bound; }

private:
    uint32_t m_state;
};

}  // namespace vx::lighting
