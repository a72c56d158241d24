#include "devices/lighting/MouseGeometry.h"

namespace vx::lighting {

// clang-format off
const std::array<std::array<uint8_t, 3>, 7> kMouseGroups = {{
    {0, 13, 255},
    {1, 12, 255},
    {2, 11, 255},
    {3, 10, 255},
    {4,  9, 255},
    {5,  8, 255},
    {6, 14,   7},
}};

const std::array<std::array<uint8_t, 2>, 7> kPadPairs = {{
    {1, 14},
    {2, 13},
    {3, 12},
    {4, 11},
    {5, 10},
    {6,  9},
    {7,  8},
}};
// clang-format on

}  // namespace vx::lighting
