#pragma once
// Which slot of the mouse's key table each of its 11 logical buttons sits in, found by matching
// the table the mouse reports at connection against the buttons' factory functions.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

class MouseButtonMap {
public:
    static constexpr int kButtons = 11;
    static constexpr int kMaxSlots = 170;
    // Slot and LED value for "none".
    static constexpr uint8_t kNone = 170;

    MouseButtonMap();

    // slotCount: the capability record's slot count; slots beyond the table's length are not
    // searched.
    void Build(std::span<const uint8_t> keyTable, int slotCount);
    void Clear();

    // kNone for a button the table does not hold, or an index outside 0..10.
    uint8_t SlotOf(int button) const;
    // The mouse has no per-button LEDs: every slot maps to kNone.
    uint8_t LedOf(int slot) const;

private:
    std::array<uint8_t, kButtons> m_slots{};
    std::array<uint8_t, kMaxSlots> m_leds{};
};
