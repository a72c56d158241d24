#pragma once
// The fixed tables of the key-assignment panel: the 142 rows of the key table (name, function
// triple and, for the keys a keyboard hook can report, the set-1 make code with its E0 flag), and
// the rows behind the panel's combos. A combo position is a row number here; the captions of the
// combo items come from the panel's layout. No Qt: the macro panel and the tests read them too.

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace vx::panels {

// What a key does: function code, first and second parameter (bytes 2-4 of an assignment).
struct KeyTriple {
    uint8_t code = 0;
    uint8_t first = 0;
    uint8_t second = 0;
    bool operator==(const KeyTriple&) const = default;
};

struct KeyTableRow {
    const char* name;  // language key
    KeyTriple triple;
    uint8_t scanCode;  // set-1 make code (rows 0-112 only; 0 for the rest)
    bool extended;     // the make code carries the E0 prefix
};

// Function codes.
inline constexpr uint8_t kCodeDefault = 0x00;
inline constexpr uint8_t kCodeMouseButton = 0x10;
inline constexpr uint8_t kCodeMouseSwing = 0x11;
inline constexpr uint8_t kCodeMouseWheel = 0x12;
inline constexpr uint8_t kCodeDpi = 0x13;
inline constexpr uint8_t kCodeFire = 0x14;
inline constexpr uint8_t kCodeKey = 0x20;
inline constexpr uint8_t kCodeMedia = 0x30;
inline constexpr uint8_t kCodeSystem = 0x40;
inline constexpr uint8_t kCodeMacro = 0x70;
inline constexpr uint8_t kCodeMacroRepeat = 0x71;
inline constexpr uint8_t kCodeGunKey = 0x72;
inline constexpr uint8_t kCodeDeviceKey = 0xA0;
inline constexpr uint8_t kCodeComboPage = 0xB0;
inline constexpr uint8_t kCodeMKey = 0xD0;

// Function numbers: the pages of "function_switch_tablayout" and the user data of the items of
// "keyset_function_combo".
enum FunctionNumber : int {
    kFunctionDefault = 0,
    kFunctionMouseButton = 1,
    kFunctionSwing = 2,
    kFunctionWheel = 3,
    kFunctionDpi = 4,
    kFunctionFire = 5,
    kFunctionKey = 6,
    kFunctionMedia = 7,
    kFunctionSystem = 8,
    kFunctionMacro = 9,
    kFunctionGunKey = 10,
    kFunctionCombination = 11,
};
inline constexpr int kFunctionPages = 12;

inline constexpr int kKeyTableRows = 142;
// Rows 0-7 are the modifiers, rows up to kLastCapturableRow carry scan codes.
inline constexpr int kModifierRows = 8;
inline constexpr int kLastCapturableRow = 112;

std::span<const KeyTableRow> KeyTable();
std::span<const KeyTriple> MouseButtonRows();
std::span<const KeyTriple> DpiRows();
std::span<const KeyTriple> SystemRows();
std::span<const KeyTriple> MediaRows();
std::span<const KeyTriple> CombinationRows();

// The first of rows 0-112 with that make code and E0 flag, or -1.
int FindCapturedKey(uint32_t scanCode, bool extended);
// The first row from `from` on (to the end of the table) whose triple equals `triple`, or -1.
int FindKeyRow(const KeyTriple& triple, int from = 0);
// The modifier row (0-7) whose bit is exactly `bit`, or -1.
int FindModifierRow(uint8_t bit);
// The position of `triple` in a combo table, or -1.
int FindComboRow(std::span<const KeyTriple> rows, const KeyTriple& triple);
// The modifier option (1 Ctrl, 2 Shift, 3 Alt, 4 Win) of modifier row 0-7: left and right keys
// share one option.
int ModifierOptionOfRow(int row);

}  // namespace vx::panels
