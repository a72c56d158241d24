#pragma once
// Settings blocks of the device's configuration memory, built from plain parameter structs and
// parsed back into them. The profile holds light modes as indexes into the device's light-mode
// table and speeds as levels 0..4; the device holds mode codes and inverted speeds.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

// Each profile's block sits at profile × stride; byte 0 of profile 0's block is the device's
// active-profile byte.
constexpr uint32_t kKeyboardBlockStride = 64;
constexpr uint32_t kMouseBlockStride = 128;
constexpr uint32_t kPadBlockStride = 64;

constexpr size_t kKeyboardBlockLength = 64;
constexpr size_t kMouseBlockWriteLength = 66;
constexpr size_t kMouseBlockReadLength = 71;
constexpr size_t kPadBlockLength = 21;

// Mode indexes at or above these limits are sent as entry 0 of the light-mode table.
constexpr size_t kKeyboardModeLimit = 31;
constexpr size_t kMouseModeLimit = 12;
constexpr size_t kHeadsetModeLimit = 9;

constexpr int kMaxSpeedLevel = 4;
constexpr size_t kMouseDpiStages = 5;

// Speed level ↔ device byte (4 − level both ways), kept inside 0..4 so that a bad value cannot
// wrap into a large byte or a negative level.
uint8_t SpeedToDevice(int level);
int SpeedFromDevice(uint8_t value);

// Mode index → device code: the table entry at index; entry 0 when index is negative, at or above
// limit, or beyond the table; 0 for an empty table.
uint8_t ModeIndexToCode(std::span<const uint8_t> modeTable, int index, size_t limit = SIZE_MAX);
// Device code → mode index: the first entry equal to code; code itself when none matches.
int ModeCodeToIndex(std::span<const uint8_t> modeTable, uint8_t code);

struct LightSettings {
    int modeIndex = 0;
    uint8_t brightness = 0;
    int speedLevel = 0;
    uint8_t direction = 0;
    uint8_t multiColour = 0;
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
};

struct KeyboardSettings {
    uint8_t profile = 0;  // callers write profile 0's block, whose byte 0 is the active profile
    LightSettings light;
    uint8_t modeOption = 0;  // ZZCCLedMode
    uint16_t wFlag = 0;
    uint16_t key6Flag = 0;
    uint16_t winFlag = 0;
    uint16_t pollingRate = 0;
    uint8_t customGroup = 0;
};

// Named apart from the profile's DPI stage record so that a device page can use both.
struct DpiStageBlock {
    uint8_t active = 0;
    uint8_t separateAxes = 0;
    uint16_t dpiX = 0;
    uint16_t dpiY = 0;
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
};

struct MouseSettings {
    uint8_t profile = 0;
    LightSettings light;
    uint8_t reportRateStage = 0;
    uint8_t activeStage = 0;
    // Stages the profile does not have stay zero.
    std::array<DpiStageBlock, kMouseDpiStages> stages{};
    uint8_t screenFlag = 1;  // every writer sends 1
    uint16_t screenWidth = 0;
    uint16_t screenHeight = 0;
    uint8_t correctMinSq = 0;
    uint8_t correctPixThresh = 0;
};

using KeyboardBlock = std::array<uint8_t, kKeyboardBlockLength>;
using MouseBlock = std::array<uint8_t, kMouseBlockWriteLength>;
// The mousepad's and headset's 21-byte record: byte 1 mode, byte 3 speed, the rest the device's.
using PadBlock = std::array<uint8_t, kPadBlockLength>;

KeyboardBlock BuildKeyboardBlock(const KeyboardSettings& settings, std::span<const uint8_t> modeTable);
// Reads a keyboard block (as read from the device, at least 26 bytes; missing bytes read as 0).
KeyboardSettings ParseKeyboardBlock(std::span<const uint8_t> block, std::span<const uint8_t> modeTable);

MouseBlock BuildMouseBlock(const MouseSettings& settings, std::span<const uint8_t> modeTable);
MouseSettings ParseMouseBlock(std::span<const uint8_t> block, std::span<const uint8_t> modeTable);

// record holds the mode index in byte 1 and the speed level in byte 3; the block gets the code and
// the inverted speed. modeLimit: 9 for the headset, the table's size for the mousepad.
PadBlock BuildPadBlock(const PadBlock& record, std::span<const uint8_t> modeTable,
                       size_t modeLimit = SIZE_MAX);
PadBlock ParsePadBlock(std::span<const uint8_t> block, std::span<const uint8_t> modeTable);
