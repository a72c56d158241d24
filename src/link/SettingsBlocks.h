#pragma once
// Settings blocks of the device's configuration memory, built from the settings record of each
// kind (records/SettingsRecords.h) and parsed back into it through one table of offsets per record. The
// profile holds light modes as indexes into the device's light-mode table and speeds as levels 0..4; the
// device holds mode codes and inverted speeds.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "records/FieldTable.h"
#include "records/SettingsRecords.h"

namespace vx::link {

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

// Speed level ↔ device byte (4 − level both ways), kept inside 0..4 so that a bad value cannot
// wrap into a large byte or a negative level.
uint8_t SpeedToDevice(int level);
int SpeedFromDevice(uint8_t value);

// Mode index → device code: the table entry at index; entry 0 when index is negative, at or above
// limit, or beyond the table; 0 for an empty table.
uint8_t ModeIndexToCode(std::span<const uint8_t> modeTable, int index, size_t limit = SIZE_MAX);
// Device code → mode index: the first entry equal to code; code itself when none matches.
int ModeCodeToIndex(std::span<const uint8_t> modeTable, uint8_t code);

// One field of a settings block: where it sits, how many bytes it takes (little-endian) and how
// its value changes on the way. Building and parsing a block walk the same tables, so a field is
// placed and read back at one offset.
enum class BlockCodec : uint8_t {
    Plain,
    ModeCode,  // the page's mode index ↔ the device's mode code (ModeIndexToCode / ModeCodeToIndex)
    Speed,     // speed level ↔ the device's inverted speed byte
};

template <class Record>
struct BlockField {
    size_t offset;
    uint8_t width;  // 1 or 2; a wider field keeps only its low bytes
    BlockCodec codec;
    vx::records::FieldRef<Record> field;
};

// Bytes 1 to 8 of the keyboard's and the mouse's block.
inline constexpr std::array<BlockField<LightInfo>, 8> kBlockLightFields{{
    {1, 1, BlockCodec::ModeCode, vx::records::Member<&LightInfo::selectItem>()},
    {2, 1, BlockCodec::Plain, vx::records::Member<&LightInfo::light>()},
    {3, 1, BlockCodec::Speed, vx::records::Member<&LightInfo::speed>()},
    {4, 1, BlockCodec::Plain, vx::records::Member<&LightInfo::fx>()},
    {5, 1, BlockCodec::Plain, vx::records::Member<&LightInfo::multiColor>()},
    {6, 1, BlockCodec::Plain, vx::records::Member<&LightInfo::red>()},
    {7, 1, BlockCodec::Plain, vx::records::Member<&LightInfo::green>()},
    {8, 1, BlockCodec::Plain, vx::records::Member<&LightInfo::blue>()},
}};

// The keyboard block also carries the mode option and the custom colour group.
inline constexpr std::array<BlockField<LightInfo>, 2> kKeyboardBlockLightExtras{{
    {18, 1, BlockCodec::Plain, vx::records::Member<&LightInfo::zzccLedMode>()},
    {25, 1, BlockCodec::Plain, vx::records::Member<&LightInfo::customGroup>()},
}};

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

}  // namespace vx::link
