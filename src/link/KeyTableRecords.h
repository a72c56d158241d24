#pragma once
// Whole-table records: the key table (3 bytes per key slot), the LED map (1 byte per slot), the
// per-key colour table and the lighting stream (3 bytes per LED).

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vx::link {

// The function assigned to one key slot.
struct KeyRecord {
    uint8_t type = 0;
    uint8_t first = 0;
    uint8_t second = 0;
    bool operator==(const KeyRecord&) const = default;
};

struct Rgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

constexpr size_t kKeyRecordLength = 3;
constexpr size_t kColourRecordLength = 3;
// Per-key colour groups are 512 bytes apart on the device.
constexpr int kKeyColourGroupStride = 512;

// Key table length for a slot count (the block size to set before a table transfer).
constexpr size_t KeyTableLength(size_t slots) {
    return slots * kKeyRecordLength;
}
// LED map length for a block size: one byte per 3-byte key record.
constexpr size_t LedMapLength(size_t blockSize) {
    return blockSize / kKeyRecordLength;
}

// Whole records only; trailing bytes of an incomplete record are ignored.
std::vector<KeyRecord> ParseKeyTable(std::span<const uint8_t> bytes);
std::vector<uint8_t> BuildKeyTable(std::span<const KeyRecord> records);

// LED count × 3 bytes (red, green, blue per LED index); LEDs beyond colours are black.
std::vector<uint8_t> BuildColourTable(std::span<const Rgb> colours, size_t ledCount);
std::vector<Rgb> ParseColourTable(std::span<const uint8_t> bytes);

}  // namespace vx::link
