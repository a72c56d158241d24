#pragma once
// The fixed-size records that device pages, panels and the profile files exchange. The light
// records and the settings of each kind, which the link and the lighting engine share, live in
// records/.

#include <array>
#include <cstdint>
#include <string>

#include "records/LightRecords.h"
#include "records/SettingsRecords.h"

namespace vx::profiles {

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
    std::array<uint8_t, 12> colours{};  // R0 G0 B0 R1 G1 B1 R2 G2 B2 R3 G3 B3

    bool operator==(const AudioStyles&) const = default;
};

// One colour of a custom lighting group: red, green, blue, alpha.
struct CustomLightColor {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t alpha = 0;

    bool operator==(const CustomLightColor&) const = default;
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

}  // namespace vx::profiles
