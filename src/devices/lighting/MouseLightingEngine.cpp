#include "devices/lighting/MouseLightingEngine.h"

#include "devices/lighting/AreaOverlay.h"
#include "devices/lighting/KeyboardGeometry.h"
#include "devices/lighting/MouseGeometry.h"
#include "devices/lighting/StepPlayer.h"

namespace vx::lighting {

MouseLightingEngine::MouseLightingEngine(int ledCount)
    : MouseLightingEngine(ledCount, AreaOverlay::ForMice(), StepPlayer::ForMice()) {}

MouseLightingEngine::MouseLightingEngine(int ledCount, AreaOverlay& area, StepPlayer& player)
    : LightingEngine(ledCount, area, player) {}

void MouseLightingEngine::RunModePass() {
    // Light mode index -> generator; an empty entry runs the step player.
    static const std::array<Generator, 11> kModes = {
        static_cast<Generator>(&MouseLightingEngine::EffectWave),  // 0
        &LightingEngine::EffectSpectrum,  // 1
        &LightingEngine::EffectBreathCycle,  // 2
        &LightingEngine::EffectStatic,  // 3
        &LightingEngine::EffectBlinkCycle,  // 4
        nullptr,  // 5
        static_cast<Generator>(&MouseLightingEngine::EffectReactive),  // 6
        &LightingEngine::EffectBreathFour,  // 7
        &LightingEngine::EffectBlinkFour,  // 8
        static_cast<Generator>(&MouseLightingEngine::EffectRipple),  // 9
        &LightingEngine::EffectOff,  // 10
    };
    RunSlowModeTable(kModes);
}

void MouseLightingEngine::OnModeChanged() {
    ClearEffectState();
    m_fadeState.fill(0);
    // One marked position travels around the ring for the ripple.
    m_state.ring[0] = 1;
}

void MouseLightingEngine::TriggerReactive() {
    std::lock_guard lock(m_lock);
    if (m_params.selectItem != 6) return;
    const int n = Leds();
    for (int i = 0; i < n; ++i) {
        m_fadeState[i] = 1;
        m_state.intensity[i] = 255;
        m_state.colourIndexes[i] = static_cast<uint8_t>(m_random.Below(192));
    }
}

void MouseLightingEngine::PaintGroup(int group, const Rgb& colour, unsigned brightness) {
    for (uint8_t led : kMouseGroups[group]) {
        if (led != kNoLed) Paint(led, colour, brightness);
    }
}

void MouseLightingEngine::EffectWave() {
    if (Multi()) {
        m_state.phase = Step(m_params.fx, 192, m_state.phase, 1);
        for (int g = 0; g < kGroups; ++g)
            PaintGroup(g, kColourWheel[(m_state.phase + 1 + 7 * g) % 192], Bright());
        return;
    }
    m_state.phase = Step(m_params.fx, 96, m_state.phase, 1);
    for (int g = 0; g < kGroups; ++g)
        PaintGroup(g, Fixed(), Bright() * kPulseCurve[(m_state.phase + 1 + 7 * g) % 96] / 256);
}

void MouseLightingEngine::EffectReactive() {
    const int n = Leds();
    for (int i = 0; i < n; ++i) {
        uint8_t& v = m_state.intensity[i];
        if (m_fadeState[i] == 1) {
            v = static_cast<uint8_t>(v + 15 > 255 ? 255 : v + 15);
            if (v == 255) m_fadeState[i] = 2;
        } else if (m_fadeState[i] == 2) {
            v = static_cast<uint8_t>(v < 15 ? 0 : v - 15);
        }
        const Rgb colour = Multi() ? kColourWheel[m_state.colourIndexes[i]] : Fixed();
        Paint(i, colour, Bright() * v / 256);
    }
}

void MouseLightingEngine::EffectRipple() {
    m_state.phase = Step(m_params.fx, 192, m_state.phase, 1);
    SeedIntensity();
    RotateRing(m_params.fx);
    const int entryGroup = m_params.fx != 0 ? 0 : kGroups - 1;
    for (int g = 0; g < kGroups; ++g) {
        DecayIntensity(g, m_params.selectItem);
        Rgb colour = Fixed();
        if (Multi()) {
            m_state.phase = static_cast<uint8_t>(m_state.phase + 12);
            colour = kColourWheel[m_state.phase % 192];
            if (m_state.intensity[entryGroup] != 0) {
                const LedEntry kept = FrameEntry(kMouseGroups[g][0]);
                colour = {kept.red, kept.green, kept.blue};
            }
        }
        PaintGroup(g, colour, Bright() * m_state.intensity[g] / 256);
    }
}

}  // namespace vx::lighting
