#pragma once

#include <cstdint>
#include <mutex>

#include "devices/lighting/LightingRecords.h"

namespace vx::lighting {

class CustomStepList;
class LedFrame;

// Plays a page's custom light steps. One player exists per device class for the whole program
// (its pages share it), so its state has a lock of its own. Lock order: this lock before the
// step list's.
class StepPlayer {
public:
    static StepPlayer& ForKeyboards();
    static StepPlayer& ForMice();
    static StepPlayer& ForMousePads();
    static StepPlayer& ForHeadsets();

    // One pass of the player: draws the step under the list's cursor and moves the cursor on once
    // the step's time has passed.
    void Play(CustomStepList& steps, LedFrame& frame, uint32_t nowMs);

    // Read-outs for tests.
    uint32_t Phase() const;
    uint32_t PassCounter() const;
    uint32_t StepStartMs() const;

private:
    void Breathe(const LightStep& s, unsigned interval, LedFrame& frame);
    void Hold(const LightStep& s, unsigned interval, LedFrame& frame);
    void Blink(const LightStep& s, unsigned interval, LedFrame& frame, uint32_t nowMs);
    void Wave(const LightStep& s, unsigned interval, LedFrame& frame);
    void Spectrum(const LightStep& s, unsigned interval, LedFrame& frame);
    bool Due(unsigned interval);

    mutable std::mutex m_lock;
    LightStep m_step;
    bool m_started = false;
    uint32_t m_stepStartMs = 0;
    uint32_t m_phase = 0;
    uint32_t m_passes = 0;
    bool m_blinkOn = false;
    uint32_t m_blinkToggledAt = 0;
    uint8_t m_blinkWheel = 0;
};

}  // namespace vx::lighting
