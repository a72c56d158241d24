#pragma once

#include "devices/lighting/LightingEngine.h"

namespace vx::lighting {

// The mousepad's lighting: 15 LEDs along the edge, its wave, ripple and pairs generators, the
// shared generators, the step player and the area effects of its light list.
class MousePadLightingEngine : public LightingEngine {
public:
    static constexpr int kLeds = 15;

    explicit MousePadLightingEngine(int ledCount = kLeds);
    MousePadLightingEngine(int ledCount, AreaOverlay& area, StepPlayer& player);

    // The mousepad's thread sleeps a further millisecond on every pass.
    int PassPeriodMs() const override { return 2; }

    void EffectPadWave();
    void EffectPadRipple();
    void EffectPadPairs();
    void SeedIntensity() override;

protected:
    void RunModePass() override;
    void OnModeChanged() override;
    bool LaysAreaOverlay() const override { return true; }

private:
    // Advances the ring on every second call.
    void AdvanceRing(int length, int direction);
    Rgb RippleColour(int keptLed, bool entryLit);

    uint8_t m_calls = 0;
};

}  // namespace vx::lighting
