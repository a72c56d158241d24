#pragma once
// The factory key tables as the virtual devices' firmware holds them: slot by slot in the
// device's own scan order, each slot with the function it starts with. Written out here rather
// than taken from the program's tables, so that tests which compare what the program identifies
// with what the device reports compare two sources.

#include <array>
#include <cstddef>
#include <cstdint>

namespace vx::emulator {

// The three bytes of a key slot: function type and its two parameters.
struct SlotFunction {
    uint8_t type = 0;
    uint8_t first = 0;
    uint8_t second = 0;

    friend bool operator==(const SlotFunction&, const SlotFunction&) = default;
};

// A keyboard slot: the key's number as the console's omit-keys names it, and its function.
struct KeyboardSlot {
    uint8_t key = 0;
    SlotFunction function;
};

// Key numbers run 0-169 (the console refuses others).
constexpr size_t kVirtualKeyboardKeyNumbers = 170;
constexpr size_t kVirtualKeyboardListedSlots = 122;
constexpr size_t kVirtualMouseButtonSlots = 11;

extern const std::array<KeyboardSlot, kVirtualKeyboardListedSlots> kVirtualKeyboardSlots;
extern const std::array<SlotFunction, kVirtualMouseButtonSlots> kVirtualMouseSlots;

}  // namespace vx::emulator
