#include "devices/lighting/StepPlayer.h"

#include "devices/lighting/CustomStepList.h"
#include "devices/lighting/KeyboardGeometry.h"
#include "devices/lighting/LedFrame.h"
#include "devices/lighting/LightingTables.h"

namespace vx::lighting {

namespace {

void Fill(LedFrame& frame, LedEntry entry) {
    const int n = frame.Count();
    for (int i = 0; i < n; ++i) frame.Set(i, entry);
}

LedEntry StepColour(const LightStep& s, uint8_t brightness) {
    return {s.light.red, s.light.green, s.light.blue, brightness};
}

LedEntry Wheel(unsigned index, uint8_t brightness) {
    const Rgb& c = kColourWheel[index & 0xFF];
    return {c.red, c.green, c.blue, brightness};
}

}  // namespace

StepPlayer& StepPlayer::ForKeyboards() {
    static StepPlayer player;
    return player;
}

StepPlayer& StepPlayer::ForMice() {
    static StepPlayer player;
    return player;
}

StepPlayer& StepPlayer::ForMousePads() {
    static StepPlayer player;
    return player;
}

StepPlayer& StepPlayer::ForHeadsets() {
    static StepPlayer player;
    return player;
}

void StepPlayer::Play(CustomStepList& steps, LedFrame& frame, uint32_t nowMs) {
    std::lock_guard lock(m_lock);
    if (!steps.CurrentStep(m_step)) {
        Fill(frame, LedEntry{});
        return;
    }
    if (!m_started) {
        m_started = true;
        m_stepStartMs = nowMs;
    }
    ++m_passes;
    const uint8_t speed = m_step.light.speed;
    switch (m_step.light.selectItem) {
        case kStepBreathing:
            Breathe(m_step, AtLevel(kStepIntervals, speed), frame);
            break;
        case kStepStatic:
            Hold(m_step, AtLevel(kStepIntervals, speed), frame);
            break;
        case kStepBlink:
            Blink(m_step, AtLevel(kStepIntervals, speed), frame, nowMs);
            break;
        case kStepWave:
            Wave(m_step, AtLevel(kStepIntervals, speed), frame);
            break;
        case kStepSpectrum:
            Spectrum(m_step, AtLevel(kStepSpectrumIntervals, speed), frame);
            break;
        default:
            break;
    }
    if (m_passes == 255) m_passes = 0;
    // A negative time counts as 0: the step is shown for one pass at a time.
    const uint32_t time = m_step.time > 0 ? static_cast<uint32_t>(m_step.time) : 0;
    if (nowMs - m_stepStartMs > time) {
        steps.Advance();
        m_stepStartMs = nowMs;
    }
}

bool StepPlayer::Due(unsigned interval) {
    if (m_passes < interval) return false;
    m_passes = 0;
    return true;
}

// Each sub-effect but blink paints only on the pass its interval falls due; between those passes
// the frame keeps what it shows (and what the area effects lay over it).
void StepPlayer::Breathe(const LightStep& s, unsigned interval, LedFrame& frame) {
    if (!Due(interval)) return;
    if (++m_phase >= 128) m_phase = 0;
    const uint8_t brightness = static_cast<uint8_t>(kBreathingCurve[m_phase & 127] *
                                                    AtLevel(kBrightnessLevels, s.light.light) / 256);
    Fill(frame, s.light.multiColor ? Wheel(0, brightness) : StepColour(s, brightness));
}

void StepPlayer::Hold(const LightStep& s, unsigned interval, LedFrame& frame) {
    if (!Due(interval)) return;
    if (++m_phase >= 9) m_phase = 0;
    Fill(frame, StepColour(s, AtLevel(kBrightnessLevels, s.light.light)));
}

void StepPlayer::Blink(const LightStep& s, unsigned interval, LedFrame& frame, uint32_t nowMs) {
    if (++m_phase >= 128) m_phase = 0;
    Due(interval);
    if (nowMs - m_blinkToggledAt >= AtLevel(kBlinkPeriods, s.light.speed) * 200u) {
        m_blinkOn = !m_blinkOn;
        m_blinkToggledAt = nowMs;
        const uint32_t index = m_phase + 14;
        m_blinkWheel = static_cast<uint8_t>(index >= 192 ? 0 : index);
    }
    if (!m_blinkOn) {
        Fill(frame, LedEntry{});
        return;
    }
    const uint8_t brightness = AtLevel(kBrightnessLevels, s.light.light);
    Fill(frame, s.light.multiColor ? Wheel(m_blinkWheel, brightness) : StepColour(s, brightness));
}

void StepPlayer::Wave(const LightStep& s, unsigned interval, LedFrame& frame) {
    if (!Due(interval)) return;
    if (++m_phase >= 192) m_phase = 0;
    unsigned d;
    if (s.light.fx == 0) {
        d = m_phase + 1 >= 192 ? 0 : m_phase + 1;
    } else {
        d = m_phase == 0 ? 191 : 192 - m_phase;
    }
    const uint8_t bright = AtLevel(kBrightnessLevels, s.light.light);
    const int n = frame.Count();
    for (int j = 0; j < n; ++j) {
        if (s.light.multiColor) {
            frame.Set(j, Wheel(d, bright));
            d = (d + 12) % 192;
        } else {
            d = (d + 12) % 96;
            frame.Set(j, StepColour(s, static_cast<uint8_t>(bright * kPulseCurve[d] / 256)));
        }
    }
}

void StepPlayer::Spectrum(const LightStep& s, unsigned interval, LedFrame& frame) {
    if (!Due(interval)) return;
    if (++m_phase >= 192) m_phase = 0;
    Fill(frame, Wheel(m_phase, AtLevel(kBrightnessLevels, s.light.light)));
}

uint32_t StepPlayer::Phase() const {
    std::lock_guard lock(m_lock);
    return m_phase;
}

uint32_t StepPlayer::PassCounter() const {
    std::lock_guard lock(m_lock);
    return m_passes;
}

uint32_t StepPlayer::StepStartMs() const {
    std::lock_guard lock(m_lock);
    return m_stepStartMs;
}

}  // namespace vx::lighting
