#include "devices/lighting/MousePadLightingEngine.h"

#include "devices/lighting/AreaOverlay.h"
#include "devices/lighting/KeyboardGeometry.h"
#include "devices/lighting/MouseGeometry.h"
#include "devices/lighting/StepPlayer.h"

namespace vx::lighting {

MousePadLightingEngine::MousePadLightingEngine(int ledCount)
    : MousePadLightingEngine(ledCount, AreaOverlay::ForMousePads(), StepPlayer::ForMousePads()) {}

MousePadLightingEngine::MousePadLightingEngine(int ledCount, AreaOverlay& area, StepPlayer& player)
    : LightingEngine(ledCount, area, player) {}

void MousePadLightingEngine::RunModePass() {
    // Light mode index -> generator; an empty entry runs the step player.
    static const std::array<Generator, 9> kModes = {
        static_cast<Generator>(&MousePadLightingEngine::EffectPadWave),  // 0
        &LightingEngine::EffectSpectrum,  // 1
        &LightingEngine::EffectBreathCycle,  // 2
        &LightingEngine::EffectStatic,  // 3
        &LightingEngine::EffectBlinkCycle,  // 4
        nullptr,  // 5
        static_cast<Generator>(&MousePadLightingEngine::EffectPadRipple),  // 6
        static_cast<Generator>(&MousePadLightingEngine::EffectPadPairs),  // 7
        &LightingEngine::EffectOff,  // 8
    };
    RunSlowModeTable(kModes);
}

void MousePadLightingEngine::OnModeChanged() {
    ClearEffectState();
    m_calls = 0;
    // As on the mouse: without a marked ring position the ripple and pairs modes would stay dark.
    m_state.ring[0] = 1;
}

void MousePadLightingEngine::SeedIntensity() {
    SeedRingIntensity(m_frame.Count());
}

void MousePadLightingEngine::EffectPadWave() {
    const int n = m_frame.Count();
    if (Multi()) {
        m_state.phase = Step(m_params.fx, 192, m_state.phase, 1);
        for (int i = 0; i < n; ++i) Paint(i, kColourWheel[(m_state.phase + 1 + 7 * i) % 192], Bright());
        return;
    }
    m_state.phase = Step(m_params.fx, 96, m_state.phase, 1);
    for (int i = 0; i < n; ++i)
        Paint(i, Fixed(), Bright() * kPulseCurve[(m_state.phase + 1 + 7 * i) % 96] / 256);
}

void MousePadLightingEngine::AdvanceRing(int length, int direction) {
    if (m_calls > 1) {
        m_calls = 0;
        SeedIntensity();
        RotateRingPart(length, direction);
    }
    ++m_calls;
}

Rgb MousePadLightingEngine::RippleColour(int keptLed, bool entryLit) {
    if (!Multi()) return Fixed();
    m_state.phase = static_cast<uint8_t>(m_state.phase + 12);
    if (entryLit) {
        const LedEntry kept = FrameEntry(keptLed);
        return {kept.red, kept.green, kept.blue};
    }
    return kColourWheel[m_state.phase >= 192 ? m_state.phase - 192 : m_state.phase];
}

void MousePadLightingEngine::EffectPadRipple() {
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

void MousePadLightingEngine::EffectPadPairs() {
    m_state.phase = Step(m_params.fx, 192, m_state.phase, 1);
    AdvanceRing(8, m_params.fx != 0 ? 0 : 1);
    const int entry = m_params.fx != 0 ? 0 : static_cast<int>(kPadPairs.size()) - 1;
    for (int g = 0; g < static_cast<int>(kPadPairs.size()); ++g) {
        DecayIntensity(g, m_params.selectItem);
        const Rgb colour = RippleColour(kPadPairs[g][0], m_state.intensity[entry] != 0);
        const unsigned brightness = Bright() * m_state.intensity[g] / 256;
        // Paint skips an LED at or beyond the LED count.
        for (uint8_t led : kPadPairs[g]) Paint(led, colour, brightness);
    }
}

}  // namespace vx::lighting
