#pragma once
// The macro memory image the program uploads (command 0x15) and the shoot image of the mouse
// (command 0x17, the same layout with exactly four records): a 16-byte header with the 0x55AA
// mark, the total length and the record count, one 16-bit offset per record, then the records,
// each an event count, two zero bytes and 4-byte events.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vx::emulator {

enum class MacroImageCheck {
    Valid = 0,
    TooShort,        // fewer than the 16 header bytes
    BadMark,         // bytes 0-1 are not AA 55
    LengthMismatch,  // header length differs from the bytes received
    BadCount,        // record count differs from the one expected, or the offsets do not fit
    BadHeader,       // bytes 6-15 are not zero
    BadOffset,       // a record does not start right after the previous one
    BadRecord,       // a record's spare bytes are not zero or its events run past the end
    TrailingBytes,   // bytes after the last record
};

// Named apart from the macro files' event record: both end up in one test program.
struct MacroImageEvent {
    uint16_t delay = 0;
    uint8_t type = 0;  // low 7 bits of the event type
    bool down = false;
    uint8_t button = 0;

    friend bool operator==(const MacroImageEvent&, const MacroImageEvent&) = default;
};

using MacroRecord = std::vector<MacroImageEvent>;

// Checks an image; expectedCount, when given, is the record count the image must carry.
MacroImageCheck CheckMacroImage(std::span<const uint8_t> image, std::optional<uint16_t> expectedCount = {});

// The records of a valid image (empty for an invalid one).
std::vector<MacroRecord> DecodeMacroImage(std::span<const uint8_t> image);

const char* MacroImageCheckName(MacroImageCheck check);

}  // namespace vx::emulator
