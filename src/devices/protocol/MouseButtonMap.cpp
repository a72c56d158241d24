#include "devices/protocol/MouseButtonMap.h"

#include <algorithm>

#include "devices/tables/MouseFactoryKeys.h"

static_assert(MouseButtonMap::kButtons == vx::device_tables::kMouseLogicalButtonCount);

MouseButtonMap::MouseButtonMap() {
    Clear();
}

void MouseButtonMap::Clear() {
    m_slots.fill(kNone);
    m_leds.fill(kNone);
}

void MouseButtonMap::Build(std::span<const uint8_t> keyTable, int slotCount) {
    Clear();
    const int searched = std::min({slotCount, kMaxSlots, static_cast<int>(keyTable.size() / 3)});
    const auto& factory = vx::device_tables::MouseFactoryKeys();
    for (int button = 0; button < kButtons; ++button) {
        const auto& wanted = factory[static_cast<size_t>(button)];
        for (int slot = 0; slot < searched; ++slot) {
            const uint8_t* record = keyTable.data() + 3 * slot;
            if (record[0] == wanted.type && record[1] == wanted.first && record[2] == wanted.second) {
                m_slots[static_cast<size_t>(button)] = static_cast<uint8_t>(slot);
                break;
            }
        }
    }
}

uint8_t MouseButtonMap::SlotOf(int button) const {
    if (button < 0 || button >= kButtons) return kNone;
    return m_slots[static_cast<size_t>(button)];
}

uint8_t MouseButtonMap::LedOf(int slot) const {
    if (slot < 0 || slot >= kMaxSlots) return kNone;
    return m_leds[static_cast<size_t>(slot)];
}
