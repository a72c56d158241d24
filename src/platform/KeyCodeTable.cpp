#include "platform/KeyCodeTable.h"

#include <array>

namespace vx::platform {

namespace {

struct Row {
    uint16_t evdev;
    uint16_t scan;
    bool extended;
    uint16_t vk;
};

// Evdev codes 1-88 are the set-1 make codes of the same keys; the rest of the rows are the keys
// whose make code differs or carries E0. Pause reports its make code 0x45 without E0 (its E1
// sequence is folded), Num Lock reports 0x45 with E0, as a Windows keyboard hook sees them.
// clang-format off
constexpr Row kRows[] = {
    {1, 0x01, false, 0x1B},   // Esc
    {2, 0x02, false, '1'}, {3, 0x03, false, '2'}, {4, 0x04, false, '3'}, {5, 0x05, false, '4'},
    {6, 0x06, false, '5'}, {7, 0x07, false, '6'}, {8, 0x08, false, '7'}, {9, 0x09, false, '8'},
    {10, 0x0A, false, '9'}, {11, 0x0B, false, '0'},
    {12, 0x0C, false, 0xBD},  // -
    {13, 0x0D, false, 0xBB},  // =
    {14, 0x0E, false, 0x08},  // Backspace
    {15, 0x0F, false, 0x09},  // Tab
    {16, 0x10, false, 'Q'}, {17, 0x11, false, 'W'}, {18, 0x12, false, 'E'}, {19, 0x13, false, 'R'},
    {20, 0x14, false, 'T'}, {21, 0x15, false, 'Y'}, {22, 0x16, false, 'U'}, {23, 0x17, false, 'I'},
    {24, 0x18, false, 'O'}, {25, 0x19, false, 'P'},
    {26, 0x1A, false, 0xDB},  // [
    {27, 0x1B, false, 0xDD},  // ]
    {28, 0x1C, false, 0x0D},  // Enter
    {29, 0x1D, false, 0xA2},  // left Ctrl
    {30, 0x1E, false, 'A'}, {31, 0x1F, false, 'S'}, {32, 0x20, false, 'D'}, {33, 0x21, false, 'F'},
    {34, 0x22, false, 'G'}, {35, 0x23, false, 'H'}, {36, 0x24, false, 'J'}, {37, 0x25, false, 'K'},
    {38, 0x26, false, 'L'},
    {39, 0x27, false, 0xBA},  // ;
    {40, 0x28, false, 0xDE},  // '
    {41, 0x29, false, 0xC0},  // `
    {42, 0x2A, false, 0xA0},  // left Shift
    {43, 0x2B, false, 0xDC},  // backslash
    {44, 0x2C, false, 'Z'}, {45, 0x2D, false, 'X'}, {46, 0x2E, false, 'C'}, {47, 0x2F, false, 'V'},
    {48, 0x30, false, 'B'}, {49, 0x31, false, 'N'}, {50, 0x32, false, 'M'},
    {51, 0x33, false, 0xBC},  // ,
    {52, 0x34, false, 0xBE},  // .
    {53, 0x35, false, 0xBF},  // /
    {54, 0x36, false, 0xA1},  // right Shift
    {55, 0x37, false, 0x6A},  // Num *
    {56, 0x38, false, 0xA4},  // left Alt
    {57, 0x39, false, 0x20},  // Space
    {58, 0x3A, false, 0x14},  // Caps Lock
    {59, 0x3B, false, 0x70}, {60, 0x3C, false, 0x71}, {61, 0x3D, false, 0x72}, {62, 0x3E, false, 0x73},
    {63, 0x3F, false, 0x74}, {64, 0x40, false, 0x75}, {65, 0x41, false, 0x76}, {66, 0x42, false, 0x77},
    {67, 0x43, false, 0x78}, {68, 0x44, false, 0x79},  // F1-F10
    {69, 0x45, true, 0x90},   // Num Lock
    {70, 0x46, false, 0x91},  // Scroll Lock
    {71, 0x47, false, 0x67}, {72, 0x48, false, 0x68}, {73, 0x49, false, 0x69},  // Num 7 8 9
    {74, 0x4A, false, 0x6D},  // Num -
    {75, 0x4B, false, 0x64}, {76, 0x4C, false, 0x65}, {77, 0x4D, false, 0x66},  // Num 4 5 6
    {78, 0x4E, false, 0x6B},  // Num +
    {79, 0x4F, false, 0x61}, {80, 0x50, false, 0x62}, {81, 0x51, false, 0x63},  // Num 1 2 3
    {82, 0x52, false, 0x60},  // Num 0
    {83, 0x53, false, 0x6E},  // Num .
    {85, 0x76, false, 0xE5},  // Zenkaku/Hankaku (set-1 0x76)
    {86, 0x56, false, 0xE2},  // the key beside left Shift (K45)
    {87, 0x57, false, 0x7A},  // F11
    {88, 0x58, false, 0x7B},  // F12
    {89, 0x73, false, 0xC1},  // Ro (K56)
    {92, 0x79, false, 0x1C},  // Henkan (K132)
    {93, 0x70, false, 0x15},  // Katakana/Hiragana (K133)
    {94, 0x7B, false, 0x1D},  // Muhenkan (K131)
    {96, 0x1C, true, 0x0D},   // Num Enter
    {97, 0x1D, true, 0xA3},   // right Ctrl
    {98, 0x35, true, 0x6F},   // Num /
    {99, 0x37, true, 0x2C},   // Print Screen
    {100, 0x38, true, 0xA5},  // right Alt
    {102, 0x47, true, 0x24},  // Home
    {103, 0x48, true, 0x26},  // Up
    {104, 0x49, true, 0x21},  // Page Up
    {105, 0x4B, true, 0x25},  // Left
    {106, 0x4D, true, 0x27},  // Right
    {107, 0x4F, true, 0x23},  // End
    {108, 0x50, true, 0x28},  // Down
    {109, 0x51, true, 0x22},  // Page Down
    {110, 0x52, true, 0x2D},  // Insert
    {111, 0x53, true, 0x2E},  // Delete
    {113, 0x20, true, 0xAD},  // Mute
    {114, 0x2E, true, 0xAE},  // Volume down
    {115, 0x30, true, 0xAF},  // Volume up
    {119, 0x45, false, 0x13}, // Pause
    {121, 0x7E, false, 0xC2}, // keypad comma (K107)
    {122, 0x72, false, 0x15}, // Hangeul (K151)
    {123, 0x71, false, 0x19}, // Hanja (K150)
    {124, 0x7D, false, 0xDC}, // Yen (K14)
    {125, 0x5B, true, 0x5B},  // left Win
    {126, 0x5C, true, 0x5C},  // right Win
    {127, 0x5D, true, 0x5D},  // App
    {163, 0x19, true, 0xB0},  // next track
    {164, 0x22, true, 0xB3},  // play/pause
    {165, 0x10, true, 0xB1},  // previous track
    {166, 0x24, true, 0xB2},  // stop
};
// clang-format on

constexpr size_t kTableSize = 256;

constexpr std::array<int16_t, kTableSize> BuildIndex() {
    std::array<int16_t, kTableSize> index{};
    for (auto& slot : index) slot = -1;
    for (size_t i = 0; i < std::size(kRows); ++i) index[kRows[i].evdev] = static_cast<int16_t>(i);
    return index;
}

constexpr std::array<int16_t, kTableSize> kIndex = BuildIndex();

}  // namespace

std::optional<KeyCodes> KeyCodesOfEvdev(uint32_t evdevCode) {
    if (evdevCode >= kTableSize || kIndex[evdevCode] < 0) return std::nullopt;
    const Row& row = kRows[kIndex[evdevCode]];
    return KeyCodes{row.scan, row.extended, row.vk};
}

}  // namespace vx::platform
