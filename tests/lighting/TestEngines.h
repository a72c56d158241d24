#pragma once

#include <cstdint>

#include "devices/lighting/AreaOverlay.h"
#include "devices/lighting/KeyboardLightingEngine.h"
#include "devices/lighting/LightingRecords.h"
#include "devices/lighting/MouseLightingEngine.h"
#include "devices/lighting/HeadsetLightingEngine.h"
#include "devices/lighting/MousePadLightingEngine.h"
#include "devices/lighting/StepPlayer.h"

namespace vx::lighting::test {

// Each test gets its own area overlay and step player instead of the program-wide ones, so that
// tests do not see each other's state.
struct Shared {
    AreaOverlay area;
    StepPlayer player;
};

inline LightInfo Info(uint8_t mode, uint8_t brightness = 4, uint8_t speed = 4, uint8_t direction = 1,
                      uint8_t multi = 0, Rgb colour = {255, 255, 255}) {
    LightInfo info;
    info.selectItem = mode;
    info.light = brightness;
    info.speed = speed;
    info.fx = direction;
    info.multiColor = multi;
    info.red = colour.red;
    info.green = colour.green;
    info.blue = colour.blue;
    return info;
}

inline LedEntry Wheel(int index, uint8_t brightness) {
    const Rgb& c = kColourWheel[index];
    return {c.red, c.green, c.blue, brightness};
}

// Runs passes 2 ms apart, so that every pass counts one tick.
inline uint32_t RunTickPasses(LightingEngine& engine, uint32_t now, int passes) {
    for (int i = 0; i < passes; ++i) {
        now += 2;
        engine.Pass(now);
    }
    return now;
}

}  // namespace vx::lighting::test
