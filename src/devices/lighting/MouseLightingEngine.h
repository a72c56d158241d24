#pragma once

#include <array>

#include "devices/lighting/LightingEngine.h"

namespace vx::lighting {

// The mouse's lighting: 15 LEDs in seven groups, its wave, reactive fade and ripple, the shared
// generators and the step player. The mouse loads a light list but never draws area effects.
class MouseLightingEngine : public LightingEngine {
public:
    static constexpr int kLeds = 15;
    static constexpr int kGroups = 7;

    explicit MouseLightingEngine(int ledCount = kLeds);
    MouseLightingEngine(int ledCount, AreaOverlay& area, StepPlayer& player);

    // Window thread (or the notification reader): a click reported by the mouse.
    void TriggerReactive();

    void EffectWave();
    void EffectReactive();
    void EffectRipple();

protected:
    void RunModePass() override;
    void OnModeChanged() override;

private:
    void PaintGroup(int group, const Rgb& colour, unsigned brightness);

    std::array<uint8_t, EffectState::kLeds> m_fadeState{};
};

}  // namespace vx::lighting
