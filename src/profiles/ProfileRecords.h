#pragma once
// The fixed-size records that device pages, panels and the profile files exchange. Field order
// and sizes are those the device pages copy into their settings blocks byte for byte.

#include <array>
#include <cstdint>
#include <string>

// Light settings of a page (14 bytes). In a profile file: "SelectItem", "Light", "Speed", "Fx",
// "MultiColor", "Red", "Green", "Blue", "ZZCCLedMode", "CustomGroup", "OldLedmode"; bytes 8 to 10
// are not stored. The same layout serves the entries of a light list (`LightList`), where byte 10
// tells whether the entry was present in the file.
struct LightInfo {
    uint8_t selectItem = 0;   // 0: light mode number (position in the page's mode list)
    uint8_t light = 0;        // 1: brightness level 0-4
    uint8_t speed = 0;        // 2: speed level 0-4
    uint8_t fx = 0;           // 3: direction
    uint8_t multiColor = 0;   // 4: seven-colour flag
    uint8_t red = 0;          // 5
    uint8_t green = 0;        // 6
    uint8_t blue = 0;         // 7
    uint8_t reserved8 = 0;    // 8
    uint8_t reserved9 = 0;    // 9
    uint8_t present = 0;      // 10: light-list entries only: 1 for an object, 0 for null
    uint8_t zzccLedMode = 0;  // 11: mode option
    uint8_t customGroup = 0;  // 12: custom colour group
    uint8_t oldLedmode = 0;   // 13: previous mode

    bool operator==(const LightInfo&) const = default;
};
static_assert(sizeof(LightInfo) == 14);

using LightListEntry = LightInfo;

// Audio-reactive light settings (9 bytes): "AudioMode", "BkColorR/G/B", "FgColorR/G/B",
// "7ColorFlags", "ColorTypeFlags".
struct AudioLightInfo {
    uint8_t audioMode = 0;
    uint8_t bkRed = 0, bkGreen = 0, bkBlue = 0;
    uint8_t fgRed = 0, fgGreen = 0, fgBlue = 0;
    uint8_t sevenColorFlags = 0;
    uint8_t colorTypeFlags = 0;

    bool operator==(const AudioLightInfo&) const = default;
};
static_assert(sizeof(AudioLightInfo) == 9);

// One step of a custom lighting step file (".light"): a light record with bytes 0-7 filled,
// then its duration in milliseconds and the cycle value.
struct LightStep {
    LightInfo light;
    int32_t time = 0;
    int32_t cyle = 0;

    bool operator==(const LightStep&) const = default;
};

// One half of a key entry: the key position (index in "KeyList") and the function triple.
// In a profile file the triple is stored as type * 65536 + first * 256 + second.
struct KeyFunction {
    uint16_t position = 0;
    uint8_t type = 0;
    uint8_t first = 0;
    uint8_t second = 0;

    uint32_t Code() const { return (uint32_t(type) << 16) | (uint32_t(first) << 8) | second; }
    static KeyFunction FromCode(uint16_t position, uint32_t code) {
        return KeyFunction{position, uint8_t(code >> 16), uint8_t(code >> 8), uint8_t(code)};
    }
    bool SameFunction(const KeyFunction& o) const {
        return type == o.type && first == o.first && second == o.second;
    }
    bool operator==(const KeyFunction&) const = default;
};

// Function types that run a macro; their first parameter is the macro's position in the list.
constexpr uint8_t kKeyTypeMacro = 0x70;
constexpr uint8_t kKeyTypeMacroRepeat = 0x71;
inline bool IsMacroFunction(const KeyFunction& f) {
    return f.type == kKeyTypeMacro || f.type == kKeyTypeMacroRepeat;
}

// A key: what it does now ("Assignment") and its factory function ("DefaultAssignment").
struct KeyEntry {
    KeyFunction current;
    KeyFunction defaults;

    bool operator==(const KeyEntry&) const = default;
};

// The audio light styles of "AudioFile.json": the selected style, four names, four colours.
struct AudioStyles {
    uint8_t selected = 0;
    std::array<std::u16string, 4> names;
    std::array<uint8_t, 12> colours {};  // R0 G0 B0 R1 G1 B1 R2 G2 B2 R3 G3 B3

    bool operator==(const AudioStyles&) const = default;
};

// Keyboard system settings ("SystemStages"): six 16-bit fields, held as three 32-bit words
// (word 0 = Repeat | RepeatDelay << 16, word 1 = Key6Flag | PollingRate << 16,
// word 2 = WFlag | WinFlag << 16).
struct KeyboardSystemStages {
    uint16_t repeat = 0;
    uint16_t repeatDelay = 0;
    uint16_t key6Flag = 0;
    uint16_t pollingRate = 0;
    uint16_t wFlag = 0;
    uint16_t winFlag = 0;

    std::array<uint32_t, 3> Words() const {
        return {uint32_t(repeat) | uint32_t(repeatDelay) << 16, uint32_t(key6Flag) | uint32_t(pollingRate) << 16,
                uint32_t(wFlag) | uint32_t(winFlag) << 16};
    }
    static KeyboardSystemStages FromWords(uint32_t w0, uint32_t w1, uint32_t w2) {
        return {uint16_t(w0), uint16_t(w0 >> 16), uint16_t(w1), uint16_t(w1 >> 16), uint16_t(w2), uint16_t(w2 >> 16)};
    }
    bool operator==(const KeyboardSystemStages&) const = default;
};

// One colour of a custom lighting group: red, green, blue, alpha.
struct CustomLightColor {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t alpha = 0;

    bool operator==(const CustomLightColor&) const = default;
};

// One DPI stage of a mouse (nine bytes in the device's settings block).
struct DpiStage {
    uint8_t active = 0;  // "StageActive" inside a stage: the stage is enabled
    uint8_t xy = 0;      // "StageXY": separate X and Y values
    uint16_t dpiX = 0;
    uint16_t dpiY = 0;
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;

    bool operator==(const DpiStage&) const = default;
};

// Mouse system settings: five 16-bit fields and the report-rate stage, held as three 32-bit words
// (word 0 = DoubleClickTime | MouseSpeed << 16, word 1 = PointerPrecision | ScorllPage << 16,
// word 2 = WheelScorlllinse | report-rate stage << 16).
struct MouseSystemStages {
    uint16_t doubleClickTime = 0;
    uint16_t mouseSpeed = 0;
    uint16_t pointerPrecision = 0;
    uint16_t scorllPage = 0;
    uint16_t wheelScorlllinse = 0;
    uint16_t reportStage = 0;

    std::array<uint32_t, 3> Words() const {
        return {uint32_t(doubleClickTime) | uint32_t(mouseSpeed) << 16,
                uint32_t(pointerPrecision) | uint32_t(scorllPage) << 16,
                uint32_t(wheelScorlllinse) | uint32_t(reportStage) << 16};
    }
    static MouseSystemStages FromWords(uint32_t w0, uint32_t w1, uint32_t w2) {
        return {uint16_t(w0), uint16_t(w0 >> 16), uint16_t(w1), uint16_t(w1 >> 16), uint16_t(w2), uint16_t(w2 >> 16)};
    }
    bool operator==(const MouseSystemStages&) const = default;
};

// A sensor correction preset ("CorrectInfo" element).
struct CorrectInfo {
    uint8_t pixThresh = 0;
    uint8_t minSq = 0;
    uint8_t select = 0;
    std::u16string name;

    bool operator==(const CorrectInfo&) const = default;
};

// The headset's audio settings ("SystemSetStages"), in the file's member order.
struct Ru6533SystemSetStages {
    int32_t magicEnable = 0;
    int32_t magicType = 0;
    int32_t eqType = 0;
    int32_t customEqSeletIndex = 0;
    int32_t micInSelect = 0;
    int32_t micInValue = 0;
    int32_t micMoniterSelect = 0;
    int32_t micMoniterValue = 0;

    bool operator==(const Ru6533SystemSetStages&) const = default;
};
