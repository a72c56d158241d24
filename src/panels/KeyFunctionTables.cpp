// The key table and the combo tables, one row per line in table order so that each row can be
// checked against the key it stands for. Scan codes are set-1 make codes as a keyboard hook
// reports them; E0 marks the keys whose make code carries the E0 prefix.
#include "panels/KeyFunctionTables.h"

#include <algorithm>
#include <bit>

namespace vx::panels {

namespace {

constexpr bool E0 = true;
constexpr bool no = false;

constexpr KeyTriple Key(uint8_t usage) { return {kCodeKey, 0, usage}; }
constexpr KeyTriple Modifier(uint8_t bit) { return {kCodeKey, bit, 0}; }
constexpr KeyTriple Consumer(uint16_t usage) {
    return {kCodeMedia, static_cast<uint8_t>(usage & 0xFF), static_cast<uint8_t>(usage >> 8)};
}

// clang-format off
constexpr std::array<KeyTableRow, kKeyTableRows> kKeyTable = {{
    // row 0-7: modifiers (first = the modifier bit)
    {"keyboard_key_LCtrl",        Modifier(0x01), 0x1D, no},
    {"keyboard_key_LShift",       Modifier(0x02), 0x2A, no},
    {"keyboard_key_LAlt",         Modifier(0x04), 0x38, no},
    {"keyboard_key_LWin",         Modifier(0x08), 0x5B, E0},
    {"keyboard_key_RCtrl",        Modifier(0x10), 0x1D, E0},
    {"keyboard_key_RShift",       Modifier(0x20), 0x36, no},
    {"keyboard_key_RAlt",         Modifier(0x40), 0x38, E0},
    {"keyboard_key_RWin",         Modifier(0x80), 0x5C, E0},
    // row 8-33: letters
    {"keyboard_key_A",            Key(0x04), 0x1E, no},
    {"keyboard_key_B",            Key(0x05), 0x30, no},
    {"keyboard_key_C",            Key(0x06), 0x2E, no},
    {"keyboard_key_D",            Key(0x07), 0x20, no},
    {"keyboard_key_E",            Key(0x08), 0x12, no},
    {"keyboard_key_F",            Key(0x09), 0x21, no},
    {"keyboard_key_G",            Key(0x0A), 0x22, no},
    {"keyboard_key_H",            Key(0x0B), 0x23, no},
    {"keyboard_key_I",            Key(0x0C), 0x17, no},
    {"keyboard_key_J",            Key(0x0D), 0x24, no},
    {"keyboard_key_K",            Key(0x0E), 0x25, no},
    {"keyboard_key_L",            Key(0x0F), 0x26, no},
    {"keyboard_key_M",            Key(0x10), 0x32, no},
    {"keyboard_key_N",            Key(0x11), 0x31, no},
    {"keyboard_key_O",            Key(0x12), 0x18, no},
    {"keyboard_key_P",            Key(0x13), 0x19, no},
    {"keyboard_key_Q",            Key(0x14), 0x10, no},
    {"keyboard_key_R",            Key(0x15), 0x13, no},
    {"keyboard_key_S",            Key(0x16), 0x1F, no},
    {"keyboard_key_T",            Key(0x17), 0x14, no},
    {"keyboard_key_U",            Key(0x18), 0x16, no},
    {"keyboard_key_V",            Key(0x19), 0x2F, no},
    {"keyboard_key_W",            Key(0x1A), 0x11, no},
    {"keyboard_key_X",            Key(0x1B), 0x2D, no},
    {"keyboard_key_Y",            Key(0x1C), 0x15, no},
    {"keyboard_key_Z",            Key(0x1D), 0x2C, no},
    // row 34-43: digits
    {"keyboard_key_1",            Key(0x1E), 0x02, no},
    {"keyboard_key_2",            Key(0x1F), 0x03, no},
    {"keyboard_key_3",            Key(0x20), 0x04, no},
    {"keyboard_key_4",            Key(0x21), 0x05, no},
    {"keyboard_key_5",            Key(0x22), 0x06, no},
    {"keyboard_key_6",            Key(0x23), 0x07, no},
    {"keyboard_key_7",            Key(0x24), 0x08, no},
    {"keyboard_key_8",            Key(0x25), 0x09, no},
    {"keyboard_key_9",            Key(0x26), 0x0A, no},
    {"keyboard_key_0",            Key(0x27), 0x0B, no},
    // row 44-60
    {"keyboard_key_Enter",        Key(0x28), 0x1C, no},
    {"keyboard_key_Esc",          Key(0x29), 0x01, no},
    {"keyboard_key_BackSpace",    Key(0x2A), 0x0E, no},
    {"keyboard_key_Tab",          Key(0x2B), 0x0F, no},
    {"keyboard_key_Space",        Key(0x2C), 0x39, no},
    {"keyboard_key_-",            Key(0x2D), 0x0C, no},
    {"keyboard_key_=",            Key(0x2E), 0x0D, no},
    {"keyboard_key_[",            Key(0x2F), 0x1A, no},
    {"keyboard_key_]",            Key(0x30), 0x1B, no},
    {"keyboard_key_xiegang",      Key(0x31), 0x2B, no},
    {"keyboard_key_;",            Key(0x33), 0x27, no},
    {"keyboard_key_'",            Key(0x34), 0x28, no},
    {"keyboard_key_`",            Key(0x35), 0x29, no},
    {"keyboard_key_<",            Key(0x36), 0x33, no},
    {"keyboard_key_.",            Key(0x37), 0x34, no},
    {"keyboard_key_/",            Key(0x38), 0x35, no},
    {"keyboard_key_Caplk",        Key(0x39), 0x3A, no},
    // row 61-72: F1-F12
    {"keyboard_key_F1",           Key(0x3A), 0x3B, no},
    {"keyboard_key_F2",           Key(0x3B), 0x3C, no},
    {"keyboard_key_F3",           Key(0x3C), 0x3D, no},
    {"keyboard_key_F4",           Key(0x3D), 0x3E, no},
    {"keyboard_key_F5",           Key(0x3E), 0x3F, no},
    {"keyboard_key_F6",           Key(0x3F), 0x40, no},
    {"keyboard_key_F7",           Key(0x40), 0x41, no},
    {"keyboard_key_F8",           Key(0x41), 0x42, no},
    {"keyboard_key_F9",           Key(0x42), 0x43, no},
    {"keyboard_key_F10",          Key(0x43), 0x44, no},
    {"keyboard_key_F11",          Key(0x44), 0x57, no},
    {"keyboard_key_F12",          Key(0x45), 0x58, no},
    // row 73-85: editing and arrow keys
    {"keyboard_key_Print Scr",    Key(0x46), 0x37, E0},
    {"keyboard_key_Scroll Lock",  Key(0x47), 0x46, no},
    {"keyboard_key_Pause",        Key(0x48), 0x45, no},
    {"keyboard_key_Insert",       Key(0x49), 0x52, E0},
    {"keyboard_key_Home",         Key(0x4A), 0x47, E0},
    {"keyboard_key_Page Up",      Key(0x4B), 0x49, E0},
    {"keyboard_key_Delete",       Key(0x4C), 0x53, E0},
    {"keyboard_key_End",          Key(0x4D), 0x4F, E0},
    {"keyboard_key_Page Down",    Key(0x4E), 0x51, E0},
    {"keyboard_key_Right",        Key(0x4F), 0x4D, E0},
    {"keyboard_key_Left",         Key(0x50), 0x4B, E0},
    {"keyboard_key_Down",         Key(0x51), 0x50, E0},
    {"keyboard_key_Up",           Key(0x52), 0x48, E0},
    // row 86-102: number pad
    {"keyboard_key_Num Lock",     Key(0x53), 0x45, E0},
    {"keyboard_key_Num /",        Key(0x54), 0x35, E0},
    {"keyboard_key_Num *",        Key(0x55), 0x37, no},
    {"keyboard_key_Num -",        Key(0x56), 0x4A, no},
    {"keyboard_key_Num +",        Key(0x57), 0x4E, no},
    {"keyboard_key_Num Enter",    Key(0x58), 0x1C, E0},
    {"keyboard_key_Num 1",        Key(0x59), 0x4F, no},
    {"keyboard_key_Num 2",        Key(0x5A), 0x50, no},
    {"keyboard_key_Num 3",        Key(0x5B), 0x51, no},
    {"keyboard_key_Num 4",        Key(0x5C), 0x4B, no},
    {"keyboard_key_Num 5",        Key(0x5D), 0x4C, no},
    {"keyboard_key_Num 6",        Key(0x5E), 0x4D, no},
    {"keyboard_key_Num 7",        Key(0x5F), 0x47, no},
    {"keyboard_key_Num 8",        Key(0x60), 0x48, no},
    {"keyboard_key_Num 9",        Key(0x61), 0x49, no},
    {"keyboard_key_Num 0",        Key(0x62), 0x52, no},
    {"keyboard_key_Decimal",      Key(0x63), 0x53, no},
    // row 103-113: application key and the keys of other layouts
    {"keyboard_key_App",          Key(0x65), 0x5D, E0},
    {"keyboard_key_K45",          Key(0x64), 0x56, no},
    {"keyboard_key_K56",          Key(0x87), 0x73, no},
    {"keyboard_key_K14",          Key(0x89), 0x7D, no},
    {"keyboard_key_K107",         Key(0x85), 0x7E, no},
    {"keyboard_key_K131",         Key(0x8B), 0x7B, no},
    {"keyboard_key_K132",         Key(0x8A), 0x79, no},
    {"keyboard_key_K133",         Key(0x88), 0x70, no},
    {"keyboard_key_K150",         Key(0x91), 0x71, no},
    {"keyboard_key_K151",         Key(0x90), 0x72, no},
    {"keyboard_key_K42",          Key(0x32), 0x00, no},  // no make code of its own: not capturable
    // row 114-131: consumer keys (first/second = usage low/high)
    {"keyboard_key_Launch App2",          Consumer(0x0192), 0, no},
    {"keyboard_key_Browaer Home",         Consumer(0x0223), 0, no},
    {"keyboard_key_Media Play Pause",     Consumer(0x00CD), 0, no},
    {"keyboard_key_Browser Search",       Consumer(0x0221), 0, no},
    {"keyboard_key_Launch Mail",          Consumer(0x018A), 0, no},
    {"keyboard_key_Volume Up",            Consumer(0x00E9), 0, no},
    {"keyboard_key_Volume Mute",          Consumer(0x00E2), 0, no},
    {"keyboard_key_Media Stop",           Consumer(0x00B7), 0, no},
    {"keyboard_key_Volume Down",          Consumer(0x00EA), 0, no},
    {"keyboard_key_Browser Favorites",    Consumer(0x022A), 0, no},
    {"keyboard_key_Browser ForWard",      Consumer(0x0225), 0, no},
    {"keyboard_key_Browser Back",         Consumer(0x0224), 0, no},
    {"keyboard_key_Media Prev Track",     Consumer(0x00B6), 0, no},
    {"keyboard_key_Media Next Track",     Consumer(0x00B5), 0, no},
    {"keyboard_key_Computer",             Consumer(0x0194), 0, no},
    {"keyboard_key_Browser Refresh",      Consumer(0x0227), 0, no},
    {"wed_stop",                          Consumer(0x0226), 0, no},
    {"keyboard_key_Launch Media Select",  Consumer(0x0183), 0, no},
    // row 132-134: system keys
    {"keyboard_key_Power",        {kCodeSystem, 0x01, 0}, 0, no},
    {"keyboard_key_Sleep",        {kCodeSystem, 0x02, 0}, 0, no},
    {"keyboard_key_Wakeup",       {kCodeSystem, 0x04, 0}, 0, no},
    // row 135-141: the device's own keys
    {"keyboard_key_M1",           {kCodeMKey, 0xA2, 1}, 0, no},
    {"keyboard_key_M2",           {kCodeMKey, 0xA2, 2}, 0, no},
    {"keyboard_key_M3",           {kCodeMKey, 0xA2, 3}, 0, no},
    {"keyboard_key_M4",           {kCodeMKey, 0xA2, 4}, 0, no},
    {"keyboard_key_M5",           {kCodeMKey, 0xA2, 5}, 0, no},
    {"keyboard_key_FN",           {kCodeDeviceKey, 0x01, 0}, 0, no},
    {"keyboard_key_GM",           {kCodeDeviceKey, 0x1B, 0}, 0, no},
}};

// "keyset_mousekey_combo": left, middle, right, forward, back.
constexpr std::array<KeyTriple, 5> kMouseButtons = {{
    {kCodeMouseButton, 0x01, 0}, {kCodeMouseButton, 0x04, 0}, {kCodeMouseButton, 0x02, 0},
    {kCodeMouseButton, 0x10, 0}, {kCodeMouseButton, 0x08, 0},
}};

// "keyset_mousedpi_combo".
constexpr std::array<KeyTriple, 3> kDpi = {{{kCodeDpi, 1, 0}, {kCodeDpi, 2, 0}, {kCodeDpi, 3, 0}}};

// "keyset_system_combo": power, sleep, wake.
constexpr std::array<KeyTriple, 3> kSystem = {{{kCodeSystem, 0x01, 0}, {kCodeSystem, 0x02, 0}, {kCodeSystem, 0x04, 0}}};

// "keyset_media_combo": media player, play/pause, stop, previous, next, volume down, volume up,
// mute, browser home, refresh, stop, back, forward, favourites, search, computer, calculator, mail.
constexpr std::array<KeyTriple, 18> kMedia = {{
    Consumer(0x0183), Consumer(0x00CD), Consumer(0x00B7), Consumer(0x00B6), Consumer(0x00B5),
    Consumer(0x00EA), Consumer(0x00E9), Consumer(0x00E2), Consumer(0x0223), Consumer(0x0227),
    Consumer(0x0226), Consumer(0x0224), Consumer(0x0225), Consumer(0x022A), Consumer(0x0221),
    Consumer(0x0194), Consumer(0x0192), Consumer(0x018A),
}};

// "keyset_combokey_combo": Ctrl with O, N, Z, S, C, X, V, F, A, minus, equals.
constexpr std::array<KeyTriple, 11> kCombinations = {{
    {kCodeKey, 0x01, 0x12}, {kCodeKey, 0x01, 0x11}, {kCodeKey, 0x01, 0x1D}, {kCodeKey, 0x01, 0x16},
    {kCodeKey, 0x01, 0x06}, {kCodeKey, 0x01, 0x1B}, {kCodeKey, 0x01, 0x19}, {kCodeKey, 0x01, 0x09},
    {kCodeKey, 0x01, 0x04}, {kCodeKey, 0x01, 0x2D}, {kCodeKey, 0x01, 0x2E},
}};
// clang-format on

}  // namespace

std::span<const KeyTableRow> KeyTable() { return kKeyTable; }
std::span<const KeyTriple> MouseButtonRows() { return kMouseButtons; }
std::span<const KeyTriple> DpiRows() { return kDpi; }
std::span<const KeyTriple> SystemRows() { return kSystem; }
std::span<const KeyTriple> MediaRows() { return kMedia; }
std::span<const KeyTriple> CombinationRows() { return kCombinations; }

int FindCapturedKey(uint32_t scanCode, bool extended) {
    for (int row = 0; row <= kLastCapturableRow; ++row) {
        if (kKeyTable[row].scanCode == scanCode && kKeyTable[row].extended == extended) return row;
    }
    return -1;
}

int FindKeyRow(const KeyTriple& triple, int from) {
    for (int row = std::max(from, 0); row < kKeyTableRows; ++row) {
        if (kKeyTable[row].triple == triple) return row;
    }
    return -1;
}

int FindModifierRow(uint8_t bit) {
    if (!std::has_single_bit(bit)) return -1;
    for (int row = 0; row < kModifierRows; ++row) {
        if (kKeyTable[row].triple.first == bit) return row;
    }
    return -1;
}

int FindComboRow(std::span<const KeyTriple> rows, const KeyTriple& triple) {
    const auto it = std::find(rows.begin(), rows.end(), triple);
    return it == rows.end() ? -1 : static_cast<int>(it - rows.begin());
}

int ModifierOptionOfRow(int row) {
    if (row < 0 || row >= kModifierRows) return -1;
    return (row + 1) % 5 + (row + 1) / 5;
}

}  // namespace vx::panels
