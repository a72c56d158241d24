#pragma once

#include <cstdint>

namespace vx::lighting {

// The lighting records exchanged between the device pages, the lighting panel and the profile
// files. The byte order of each struct is the order of its 14- or 9-byte record so that the
// profile side can map its JSON members one to one.

// Lighting parameters of a page: the profile's "LightInfo" record.
struct LightInfo {
    uint8_t mode = 0;         // "SelectItem"
    uint8_t brightness = 0;   // "Light", level 0-4
    uint8_t speed = 0;        // "Speed", level 0-4
    uint8_t direction = 0;    // "Fx"
    uint8_t multiColour = 0;  // "MultiColor"
    uint8_t red = 0;          // "Red"
    uint8_t green = 0;        // "Green"
    uint8_t blue = 0;         // "Blue"
    uint8_t unused[3] = {0, 0, 0};
    uint8_t modeOption = 0;    // "ZZCCLedMode"
    uint8_t customGroup = 0;   // "CustomGroup"
    uint8_t previousMode = 0;  // "OldLedmode"
};

// The keyboard's audio-lighting settings: the profile's "AudioLightInfo" record.
struct AudioLightInfo {
    uint8_t style = 0;  // "AudioMode", 0-6
    uint8_t backgroundRed = 0;
    uint8_t backgroundGreen = 0;
    uint8_t backgroundBlue = 0;
    uint8_t foregroundRed = 0;
    uint8_t foregroundGreen = 0;
    uint8_t foregroundBlue = 0;
    uint8_t sevenColour = 0;  // "7ColorFlags": colours from the colour wheel
    uint8_t colourType = 0;   // "ColorTypeFlags": lighting panel only
};

// Area types of a light-list entry ("LEDREGMode").
enum AreaType : uint8_t {
    kAreaBreathing = 0,
    kAreaStatic = 1,
    kAreaBlink = 2,
    kAreaColourCycle = 3,
    kAreaOff = 4,
};

// One element of the profile's "LightList": entry i drives LED i.
struct LightListEntry {
    uint8_t type = 0;         // "LEDREGMode"
    uint8_t brightness = 0;   // "LEDBrightness"
    uint8_t speed = 0;        // "LEDSpeed"
    uint8_t direction = 0;    // "LEDDirection"
    uint8_t multiColour = 0;  // "LEDMultiColor"
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t present = 0;  // 0 when the JSON element was null
};

// Sub-effects of a custom light step ("LEDREGMode" of a ".light" step).
enum StepEffect : uint8_t {
    kStepBreathing = 0,
    kStepStatic = 1,
    kStepBlink = 2,
    kStepWave = 4,
    kStepSpectrum = 5,
};

// One step of a ".light" file.
struct CustomLightStep {
    LightInfo light;  // mode = sub-effect, brightness, speed, direction, multi-colour, colour
    int32_t time = 0;   // "Time", milliseconds
    int32_t cycle = 0;  // "Cyle", carried only
};

}  // namespace vx::lighting
