#include "devices/lighting/AreaOverlay.h"

#include "devices/lighting/LedFrame.h"
#include "devices/lighting/LightingTables.h"

namespace vx::lighting {

namespace {

int Limit(int count, const LedFrame& frame) {
    int n = count < AreaOverlay::kEntries ? count : AreaOverlay::kEntries;
    return n < frame.Count() ? n : frame.Count();
}

LedEntry Colour(const LightListEntry& e, uint8_t brightness) {
    return {e.red, e.green, e.blue, brightness};
}

LedEntry Wheel(uint8_t index, uint8_t brightness) {
    const Rgb& c = kColourWheel[index];
    return {c.red, c.green, c.blue, brightness};
}

}  // namespace

AreaOverlay& AreaOverlay::ForKeyboards() {
    static AreaOverlay overlay;
    return overlay;
}

AreaOverlay& AreaOverlay::ForMice() {
    static AreaOverlay overlay;
    return overlay;
}

AreaOverlay& AreaOverlay::ForMousePads() {
    static AreaOverlay overlay;
    return overlay;
}

AreaOverlay& AreaOverlay::ForHeadsets() {
    static AreaOverlay overlay;
    return overlay;
}

void AreaOverlay::Initialise(const LightListEntry* list, int count) {
    std::lock_guard lock(m_lock);
    for (auto& s : m_state) {
        s.breathPhase = 0;
        s.breathColour = 0;
    }
    const int n = count < kEntries ? count : kEntries;
    for (int i = 0; i < n; ++i) {
        EntryState& s = m_state[i];
        s.blinkOn = 0;
        s.blinkColour = 0;
        s.blinkToggledAt = 0;
        s.blinkPeriodMs = AtLevel(kAreaBlinkPeriods, list[i].speed) * 200u;
        if (list[i].present) {
            s.cycleColour = 0;
            s.cycleCounter = 0;
            s.cyclePeriod = AtLevel(kAreaCyclePeriods, list[i].speed);
        }
    }
}

void AreaOverlay::Apply(const LightListEntry* list, int count, LedFrame& frame, uint32_t nowMs) {
    std::lock_guard lock(m_lock);
    const int n = Limit(count, frame);
    for (int i = 0; i < n; ++i) {
        if (list[i].selectItem == kAreaBreathing && list[i].present) Breathe(i, list[i], frame);
    }
    for (int i = 0; i < n; ++i) {
        if (list[i].selectItem == kAreaStatic)
            frame.Set(i, Colour(list[i], AtLevel(kBrightnessLevels, list[i].light)));
    }
    for (int i = 0; i < n; ++i) {
        if (list[i].selectItem == kAreaColourCycle && list[i].present) Cycle(i, list[i], frame);
    }
    for (int i = 0; i < n; ++i) Blink(i, list[i], frame, nowMs);
    for (int i = 0; i < n; ++i) {
        if (list[i].selectItem == kAreaOff) frame.Set(i, LedEntry{});
    }
}

void AreaOverlay::Breathe(int i, const LightListEntry& e, LedFrame& frame) {
    EntryState& s = m_state[i];
    s.breathPhase = static_cast<uint8_t>(s.breathPhase + e.speed + 4);
    if (s.breathPhase >= 128) {
        s.breathPhase = 0;
        ++s.breathColour;
        if (s.breathColour > 192) s.breathColour = 191;
    }
    const uint8_t brightness =
        static_cast<uint8_t>(kBreathingCurve[s.breathPhase] * AtLevel(kBrightnessLevels, e.light) / 256);
    frame.Set(i, e.multiColor ? Wheel(s.breathColour, brightness) : Colour(e, brightness));
}

void AreaOverlay::Cycle(int i, const LightListEntry& e, LedFrame& frame) {
    EntryState& s = m_state[i];
    ++s.cycleCounter;
    if (s.cycleCounter >= s.cyclePeriod) {
        s.cycleCounter = 0;
        ++s.cycleColour;
        if (s.cycleColour > 191) s.cycleColour = 0;
    }
    frame.Set(i, Wheel(s.cycleColour, AtLevel(kBrightnessLevels, e.light)));
}

void AreaOverlay::Blink(int i, const LightListEntry& e, LedFrame& frame, uint32_t nowMs) {
    EntryState& s = m_state[i];
    if (nowMs - s.blinkToggledAt >= s.blinkPeriodMs) {
        s.blinkOn = !s.blinkOn;
        s.blinkToggledAt = nowMs;
        s.blinkColour = static_cast<uint8_t>(s.blinkColour + 14);
        if (s.blinkColour > 191) s.blinkColour = 0;
    }
    if (e.selectItem != kAreaBlink) return;
    if (!s.blinkOn) {
        frame.Set(i, LedEntry{});
        return;
    }
    const uint8_t brightness = AtLevel(kBrightnessLevels, e.light);
    frame.Set(i, e.multiColor ? Wheel(s.blinkColour, brightness) : Colour(e, brightness));
}

uint8_t AreaOverlay::BreathPhase(int i) const {
    std::lock_guard lock(m_lock);
    return i >= 0 && i < kEntries ? m_state[i].breathPhase : 0;
}

uint8_t AreaOverlay::BreathColourStep(int i) const {
    std::lock_guard lock(m_lock);
    return i >= 0 && i < kEntries ? m_state[i].breathColour : 0;
}

bool AreaOverlay::BlinkOn(int i) const {
    std::lock_guard lock(m_lock);
    return i >= 0 && i < kEntries && m_state[i].blinkOn;
}

}  // namespace vx::lighting
