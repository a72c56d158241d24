#pragma once
// The twelve equaliser presets: gains of bands 0 to 9, written to the headset, shown on the
// sliders and stored in the profile's row of the preset.

#include <array>
#include <cstdint>

namespace vx::headset {

constexpr int32_t kEqPresetCount = 12;
constexpr int32_t kEqCustom = 13;

// Preset n (1 to 12); the caller checks the range.
const std::array<int32_t, 10>& EqPresetGains(int32_t preset);

}  // namespace vx::headset
