#include "devices/tables/MouseFactoryKeys.h"

namespace vx::device_tables {

namespace {

// Logical button: type, first parameter, second parameter.
constexpr std::array<KeyFunction, kMouseLogicalButtonCount> kMouseFactoryKeys = {{
    /*  0 */ {0x10, 0x01, 0x00},
    /*  1 */ {0x10, 0x02, 0x00},
    /*  2 */ {0x10, 0x04, 0x00},
    /*  3 */ {0x10, 0x10, 0x00},
    /*  4 */ {0x10, 0x08, 0x00},
    /*  5 */ {0x13, 0x01, 0x00},
    /*  6 */ {0x13, 0x02, 0x00},
    /*  7 */ {0x13, 0x03, 0x00},
    /*  8 */ {0xA0, 0x1B, 0x00},
    /*  9 */ {0x16, 0x90, 0x01},
    /* 10 */ {0x14, 0x78, 0x02},
}};

}  // namespace

const std::array<KeyFunction, kMouseLogicalButtonCount>& MouseFactoryKeys() {
    return kMouseFactoryKeys;
}

}  // namespace vx::device_tables
