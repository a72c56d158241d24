#include "headset/audio/EqPresets.h"

#include <cstddef>

namespace vx::headset {
namespace {

// Row n - 1 is preset n; columns are bands 0 to 9 (low to high).
constexpr std::array<std::array<int32_t, 10>, kEqPresetCount> kPresets = {{
    {7, 11, 2, -3, -1, 4, 9, 12, 9, 5},          // 1
    {7, 11, 6, -3, -11, -1, 6, 13, 6, 13},       // 2
    {10, 4, 0, -3, -4, -3, -2, -1, 0, 0},        // 3
    {2, 1, -2, -3, -5, -7, 0, 4, 9, 8},          // 4
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0},              // 5
    {7, 14, -13, -6, -1, 8, 13, 7, 2, 6},        // 6
    {14, 10, 4, 0, -4, -3, -1, 1, 2, 3},         // 7
    {2, 1, -2, -3, -5, -1, 7, 11, 15, 13},       // 8
    {8, 2, -4, -8, 1, 3, 8, 11, 14, 16},         // 9
    {-3, 4, 10, 0, -11, 3, 9, 13, 6, 0},         // 10
    {18, 14, 8, 2, -3, -6, -1, 2, 5, 6},         // 11
    {2, 1, -2, -4, -8, 4, 12, 16, 18, 15},       // 12
}};

}  // namespace

const std::array<int32_t, 10>& EqPresetGains(int32_t preset) {
    return kPresets[static_cast<std::size_t>(preset - 1)];
}

}  // namespace vx::headset
