#include "devices/lighting/LightingSyncTables.h"

namespace vx::lighting::sync {

// clang-format off
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

}  // namespace vx::lighting::sync
