#include "devices/lighting/HeadsetLightingEngine.h"

#include "devices/lighting/AreaOverlay.h"
#include "devices/lighting/KeyboardGeometry.h"
#include "devices/lighting/LedFrame.h"
#include "devices/lighting/MouseGeometry.h"
#include "devices/lighting/StepPlayer.h"

namespace vx::lighting {

HeadsetLightingEngine::HeadsetLightingEngine(int ledCount)
    : HeadsetLightingEngine(ledCount, AreaOverlay::ForHeadsets(), StepPlayer::ForHeadsets()) {}

HeadsetLightingEngine::HeadsetLightingEngine(int ledCount, AreaOverlay& area, StepPlayer& player)
    : LightingEngine(ledCount, area, player) {}

void HeadsetLightingEngine::RunModePass() {
    // Light mode index -> generator; an empty entry (5, and every index above 8) runs the step player.
    static const std::array<Generator, 9> kModes = {
        static_cast<Generator>(&HeadsetLightingEngine::EffectHeadsetWave),  // 0
        &LightingEngine::EffectSpectrum,  // 1
        &LightingEngine::EffectBreathCycle,  // 2
        &LightingEngine::EffectStatic,  // 3
        &LightingEngine::EffectBlinkCycle,  // 4
        nullptr,  // 5
        static_cast<Generator>(&HeadsetLightingEngine::EffectHeadsetRipple),  // 6
        static_cast<Generator>(&HeadsetLightingEngine::EffectHeadsetPairs),  // 7
        &LightingEngine::EffectOff,  // 8
    };
    RunSlowModeTable(kModes);
}

void HeadsetLightingEngine::OnModeChanged() {
    ClearEffectState();
    m_calls = 0;
    // Nothing on the headset marks a ring position, so a ripple or pairs effect chosen by the
    // user would stay dark for good. As on the mouse and the mousepad, entering a mode marks
    // position 0: the ripple then runs round the LEDs and the pairs sweep across the headset
    // from the first moment, the way the effect's name promises.
    m_state.ring[0] = 1;
}

void HeadsetLightingEngine::SeedIntensity() {
    SeedRingIntensity(m_frame.Count());
}

void HeadsetLightingEngine::EffectHeadsetWave() {
    const int n = m_frame.Count();
    if (Multi()) {
        m_state.phase = Step(m_params.fx, 192, m_state.phase, 1);
        for (int i = 0; i < n; ++i) Paint(i, kColourWheel[(m_state.phase + 1 + 16 * i) % 192], Bright());
        return;
    }
    // The wave table is the pulse curve: the breathing curve's rise from 22 to 255 and back.
    m_state.phase = Step(m_params.fx, 96, m_state.phase, 3);
    for (int i = 0; i < n; ++i) Paint(i, Fixed(), Bright() * kPulseCurve[(m_state.phase + 10 * i) % 96] / 256);
}

void HeadsetLightingEngine::AdvanceRing(int length, int direction) {
    if (m_calls > 1) {
        m_calls = 0;
        SeedIntensity();
        RotateRingPart(length, direction);
    }
    ++m_calls;
}

Rgb HeadsetLightingEngine::RippleColour(int keptLed, bool entryLit) {
    if (!Multi()) return Fixed();
    m_state.phase = static_cast<uint8_t>(m_state.phase + 12);
    if (entryLit) {
        const LedEntry kept = FrameEntry(keptLed);
        return {kept.red, kept.green, kept.blue};
    }
    return kColourWheel[m_state.phase >= 192 ? m_state.phase - 192 : m_state.phase];
}

void HeadsetLightingEngine::EffectHeadsetRipple() {
    m_state.phase = Step(m_params.fx, 192, m_state.phase, 1);
    AdvanceRing(EffectState::kRing, m_params.fx);
    const int n = Leds();
    if (n == 0) return;
    const int entry = m_params.fx != 0 ? 0 : n - 1;
    for (int i = 0; i < n; ++i) {
        DecayIntensity(i, m_params.selectItem);
        const Rgb colour = RippleColour(i, m_state.intensity[entry] != 0);
        Paint(i, colour, Bright() * m_state.intensity[i] / 256);
    }
}

void HeadsetLightingEngine::EffectHeadsetPairs() {
    m_state.phase = Step(m_params.fx, 192, m_state.phase, 1);
    AdvanceRing(8, m_params.fx != 0 ? 0 : 1);
    const int entry = m_params.fx != 0 ? 0 : static_cast<int>(kPadPairs.size()) - 1;
    for (int g = 0; g < static_cast<int>(kPadPairs.size()); ++g) {
        DecayIntensity(g, m_params.selectItem);
        const Rgb colour = RippleColour(kPadPairs[g][0], m_state.intensity[entry] != 0);
        const unsigned brightness = Bright() * m_state.intensity[g] / 256;
        // Paint skips an LED at or beyond the LED count (13, 14 of the pairs on a 13-LED headset).
        for (uint8_t led : kPadPairs[g]) Paint(led, colour, brightness);
    }
}

// ---- output reports ----

void HeadsetLedReports::Take(const LedFrame& frame) {
    for (int i = 0; i < kMaxLeds; ++i) {
        const LedEntry e = i < frame.Count() ? frame.Get(i) : LedEntry{};
        const uint8_t channels[3] = {e.red, e.green, e.blue};
        for (int c = 0; c < 3; ++c) {
            const unsigned v = unsigned{channels[c]} * e.brightness / 256;
            m_values[c][i] = static_cast<uint8_t>(v > kMaxValue ? kMaxValue : v);
        }
    }
}

void HeadsetLedReports::Fill(int channel, uint8_t target, int half) {
    m_buffer[1] = target;
    m_buffer[2] = static_cast<uint8_t>((half == 0 ? 0xAA : 0xAD) + channel);
    m_buffer[3] = 0;
    const auto& v = m_values[channel];
    if (half == 0) {
        for (int i = 0; i < kFirstHalf; ++i) m_buffer[4 + i] = v[i];
    } else {
        for (int i = kFirstHalf; i < kMaxLeds; ++i) m_buffer[4 + i - kFirstHalf] = v[i];
        m_buffer[10] = v[kFirstHalf - 1];
    }
}

}  // namespace vx::lighting
