#pragma once

#include <array>
#include <cstdint>
#include <mutex>

#include "devices/lighting/LightingRecords.h"

namespace vx::lighting {

class LedFrame;

// The per-LED area effects of a light list, laid over a frame after every lighting pass. One
// overlay exists per device class for the whole program (all keyboard pages share one), so its
// state has a lock of its own. Lock order: a light list's lock before this one.
class AreaOverlay {
public:
    static constexpr int kEntries = 170;

    // Per-class program-wide instances.
    static AreaOverlay& ForKeyboards();
    static AreaOverlay& ForMice();
    static AreaOverlay& ForMousePads();
    static AreaOverlay& ForHeadsets();

    // Run when a light list is loaded.
    void Initialise(const LightListEntry* list, int count);
    // One area pass: breathing, static, colour cycle, blink, off, in that order.
    void Apply(const LightListEntry* list, int count, LedFrame& frame, uint32_t nowMs);

    // Read-outs for tests and the frame-dump tool.
    uint8_t BreathPhase(int i) const;
    uint8_t BreathColourStep(int i) const;
    bool BlinkOn(int i) const;

private:
    struct EntryState {
        uint8_t breathPhase = 0;
        uint8_t breathColour = 0;
        uint8_t blinkOn = 0;
        uint8_t blinkColour = 0;
        uint32_t blinkToggledAt = 0;
        uint32_t blinkPeriodMs = 0;
        uint32_t cycleCounter = 0;
        uint8_t cycleColour = 0;
        uint32_t cyclePeriod = 0;
    };

    void Breathe(int i, const LightListEntry& e, LedFrame& frame);
    void Cycle(int i, const LightListEntry& e, LedFrame& frame);
    void Blink(int i, const LightListEntry& e, LedFrame& frame, uint32_t nowMs);

    mutable std::mutex m_lock;
    std::array<EntryState, kEntries> m_state{};
};

}  // namespace vx::lighting
