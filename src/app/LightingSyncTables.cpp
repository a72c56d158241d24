#include "app/LightingSyncTables.h"

namespace lightsync {

namespace {

// The wheel's rising (R) and falling (F) curves, 32 values each.
constexpr std::array<uint8_t, 32> kRise = {
    1,  3,  5,  7,   10,  14,  18,  22,  26,  32,  38,  44,  50,  57,  65,  73,
    81, 89, 99, 109, 119, 129, 140, 152, 164, 176, 188, 200, 213, 227, 241, 255,
};
constexpr std::array<uint8_t, 32> kFall = {
    248, 234, 220, 206, 194, 182, 170, 158, 146, 134, 124, 114, 104, 94, 85, 77,
    69,  61,  53,  47,  41,  35,  29,  24,  20,  16,  12,  8,   6,   4,  2,  0,
};

constexpr std::array<Rgb, kWheelSize> BuildWheel() {
    std::array<Rgb, kWheelSize> wheel{};
    for (int k = 0; k < 32; ++k) {
        const uint8_t r = kRise[k];
        const uint8_t f = kFall[k];
        wheel[0 * 32 + k] = {255, r, 0};  //   0-31
        wheel[1 * 32 + k] = {f, 255, 0};  //  32-63
        wheel[2 * 32 + k] = {0, 255, r};  //  64-95
        wheel[3 * 32 + k] = {0, f, 255};  //  96-127
        wheel[4 * 32 + k] = {r, 0, 255};  // 128-159
        wheel[5 * 32 + k] = {255, 0, f};  // 160-191
    }
    return wheel;
}

// Entries 0-63; entry 127 - i equals entry i.
constexpr std::array<uint8_t, 64> kBreathRise = {
    0,   1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  12,  14,  16,  18,  20,
    22,  24,  27,  30,  33,  36,  39,  42,  45,  49,  53,  57,  61,  65,  69,  73,
    77,  81,  85,  89,  94,  99,  104, 109, 114, 119, 124, 129, 134, 140, 146, 152,
    158, 164, 170, 176, 182, 188, 194, 200, 206, 213, 220, 227, 234, 241, 248, 255,
};

constexpr std::array<uint8_t, kBreathSize> BuildBreathing() {
    std::array<uint8_t, kBreathSize> curve{};
    for (int k = 0; k < 64; ++k) {
        curve[k] = kBreathRise[k];
        curve[127 - k] = kBreathRise[k];
    }
    return curve;
}

}  // namespace

const std::array<Rgb, kWheelSize> kSyncWheel = BuildWheel();
const std::array<uint8_t, kBreathSize> kSyncBreathing = BuildBreathing();

// clang-format off
//                                                    level 0   1    2    3    4
const std::array<uint8_t, kBrightnessLevels> kSyncBrightness = {0, 60, 120, 180, 255};

//                                                      level 0   1   2   3  4  5  6  7  8  9 10 11 12 13 14
const std::array<std::array<uint8_t, kSpeedLevels>, kSharedTypes> kSyncSpeed = {{
    /* 0 breathing    */ {28, 23, 18, 13, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    /* 1 static       */ {28, 23, 18, 13, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    /* 2 flash        */ {28, 23, 18, 13, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    /* 3 colour cycle */ {28, 23, 18, 13, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    /* 4 off          */ {28, 23, 18, 13, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
}};

//                                                            Keyboard Mouse Mousepad Headset
const std::array<std::array<uint8_t, kSyncKinds>, kSharedTypes> kSyncEffectNumbers = {{
    /* 0 breathing    */ { 5,  2, 2, 2},
    /* 1 static       */ { 6,  3, 3, 3},
    /* 2 flash        */ {23,  4, 4, 4},
    /* 3 colour cycle */ { 4,  1, 1, 1},
    /* 4 off          */ {28, 10, 8, 8},
}};
// clang-format on

}  // namespace lightsync
