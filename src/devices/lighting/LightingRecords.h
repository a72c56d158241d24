#pragma once

#include <cstdint>

#include "records/LightRecords.h"

namespace vx::lighting {

// The light records themselves (LightInfo, AudioLightInfo, LightListEntry, LightStep) are the
// ones the profiles and the link use, from records/LightRecords.h; what is here gives meaning to
// their mode bytes inside the engine.

// Area types of a light-list entry (byte 0, "LEDREGMode").
enum AreaType : uint8_t {
    kAreaBreathing = 0,
    kAreaStatic = 1,
    kAreaBlink = 2,
    kAreaColourCycle = 3,
    kAreaOff = 4,
};

// Sub-effects of a custom light step (byte 0 of its light record, "LEDREGMode" of a ".light" step).
enum StepEffect : uint8_t {
    kStepBreathing = 0,
    kStepStatic = 1,
    kStepBlink = 2,
    kStepWave = 4,
    kStepSpectrum = 5,
};

}  // namespace vx::lighting
