#pragma once
// The macro memory image written with command 0x15: a 16-byte header (0x55AA, total length, macro
// count), the offset of each macro, then the macro records with their 4-byte events.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vx::link {

// One event in device form.
struct MacroEventRecord {
    uint16_t delayMs = 0;
    uint8_t type = 0;   // low 7 bits are sent
    bool down = false;  // sent as bit 7 of the type byte
    uint8_t button = 0;
};

// The events of one macro slot.
using MacroSlotEvents = std::vector<MacroEventRecord>;

constexpr uint16_t kMacroImageMagic = 0x55AA;
constexpr size_t kMacroImageHeaderLength = 16;
constexpr size_t kMacroRecordHeaderLength = 4;
constexpr size_t kMacroEventLength = 4;

// Image length for these macros: 16 + 6 × n + 4 × (sum of event counts).
size_t MacroImageLength(std::span<const MacroSlotEvents> macros);

// Builds the image into *image. False (image cleared) when it cannot be represented: more than
// 65535 bytes, or longer than capacityBytes (0 = no limit; the device reports its capacity in the
// capability record). A truncated image would make the firmware replay garbage.
bool BuildMacroImage(std::span<const MacroSlotEvents> macros, std::vector<uint8_t>* image,
                     size_t capacityBytes = 0);

}  // namespace vx::link
