#pragma once
// The 6-byte status record read with command 0x1A at offset 0 (keyboard, headset).

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace vx::link {

struct StatusRecord {
    static constexpr size_t kLength = 6;

    uint8_t batteryPercent = 0;  // byte 0
    uint8_t chargeState = 0;     // byte 1
    uint8_t reserved = 0;        // byte 2, not interpreted
    uint8_t wireless = 0;        // byte 3: the program's own connection flag, not the device's byte
    uint8_t forwarded = 0;       // byte 4: handed on to the main window
    uint8_t phoneType = 0;       // byte 5

    // Missing bytes read as 0; byte 3 is replaced by the link's wireless flag.
    static StatusRecord Parse(std::span<const uint8_t> bytes, bool throughReceiver);
    std::array<uint8_t, kLength> Bytes() const;
};

}  // namespace vx::link
