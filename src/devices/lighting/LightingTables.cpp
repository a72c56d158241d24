#include "devices/lighting/LightingTables.h"

namespace vx::lighting {

namespace {

// The wheel's rising and falling ramps, 32 values each.
constexpr std::array<uint8_t, 32> kRise = {
    1,   3,   5,   7,   10,  14,  18,  22,  26,  32,  38,  44,  50,  57,  65,  73,
    81,  89,  99,  109, 119, 129, 140, 152, 164, 176, 188, 200, 213, 227, 241, 255,
};
constexpr std::array<uint8_t, 32> kFall = {
    248, 234, 220, 206, 194, 182, 170, 158, 146, 134, 124, 114, 104, 94, 85, 77,
    69,  61,  53,  47,  41,  35,  29,  24,  20,  16,  12,  8,   6,   4,  2,  0,
};

constexpr std::array<Rgb, 256> BuildWheel() {
    std::array<Rgb, 256> wheel{};
    for (int k = 0; k < 32; ++k) {
        const uint8_t u = kRise[k];
        const uint8_t d = kFall[k];
        wheel[0 * 32 + k] = {255, u, 0};
        wheel[1 * 32 + k] = {d, 255, 0};
        wheel[2 * 32 + k] = {0, 255, u};
        wheel[3 * 32 + k] = {0, d, 255};
        wheel[4 * 32 + k] = {u, 0, 255};
        wheel[5 * 32 + k] = {255, 0, d};
    }
    // Entries 192-255 repeat the start of the wheel, so an index may run past 191 safely.
    for (int k = 192; k < 256; ++k) wheel[k] = wheel[k - 192];
    return wheel;
}

constexpr std::array<uint8_t, 64> kBreathRise = {
    0,   1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  12,  14,  16,  18,  20,
    22,  24,  27,  30,  33,  36,  39,  42,  45,  49,  53,  57,  61,  65,  69,  73,
    77,  81,  85,  89,  94,  99,  104, 109, 114, 119, 124, 129, 134, 140, 146, 152,
    158, 164, 170, 176, 182, 188, 194, 200, 206, 213, 220, 227, 234, 241, 248, 255,
};

constexpr std::array<uint8_t, 128> BuildBreathing() {
    std::array<uint8_t, 128> curve{};
    for (int k = 0; k < 64; ++k) {
        curve[k] = kBreathRise[k];
        curve[127 - k] = kBreathRise[k];
    }
    return curve;
}

}  // namespace

//                                   level 0    1    2    3    4
const LevelRow kBrightnessLevels      = {0,  60, 120, 180, 255};
const LevelRow kBlinkPeriods          = {28, 23,  18,  13,   7};
const LevelRow kSlowIntervals         = {28, 23,  18,  13,   7};
const LevelRow kKeyboardIntervals     = { 5,  4,   3,   2,   1};
const LevelRow kKeyboardLongIntervals = {20, 12,   8,   5,   2};
const LevelRow kKeyboardRollIntervals = { 7,  6,   5,   4,   3};
const LevelRow kCompanionIntervals    = { 2,  0,   0,   0,   0};
const LevelRow kStepIntervals         = {28, 23,  18,  13,   7};
const LevelRow kStepSpectrumIntervals = { 5,  4,   3,   2,   1};
const LevelRow kAreaBlinkPeriods      = {28, 23,  18,  13,   7};
const LevelRow kAreaCyclePeriods      = {28, 23,  18,  13,   7};

const std::array<Rgb, 4> kFourColours = {{
    {0, 255, 180},
    {0, 255, 0},
    {255, 255, 255},
    {255, 0, 0},
}};

const std::array<Rgb, 256> kColourWheel = BuildWheel();
const std::array<uint8_t, 128> kBreathingCurve = BuildBreathing();

}  // namespace vx::lighting
