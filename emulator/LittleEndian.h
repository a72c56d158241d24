#pragma once
// Multi-byte numbers in the firmware's records are little-endian.

#include <cstddef>
#include <cstdint>
#include <span>

namespace vx::emulator {

inline uint16_t Le16(std::span<const uint8_t> bytes, size_t at) {
    return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

}  // namespace vx::emulator
