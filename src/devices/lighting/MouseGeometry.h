#pragma once

#include <array>
#include <cstdint>

namespace vx::lighting {

// The mouse's 15 LEDs in the seven groups its wave and ripple light together (255: no LED).
extern const std::array<std::array<uint8_t, 3>, 7> kMouseGroups;

// The mousepad's LED pairs of its pairs generator.
extern const std::array<std::array<uint8_t, 2>, 7> kPadPairs;

}  // namespace vx::lighting
