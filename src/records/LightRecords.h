#pragma once
// The light records that device pages, the lighting engine, the lighting panel and the profile
// files exchange, each with the table of its JSON members. Field order and sizes are the 14- and
// 9-byte records of the files; the settings blocks take bytes 1 to 8 and the mode option and
// custom group (see link/SettingsBlocks).

#include <array>
#include <cstdint>

#include "records/JsonFields.h"

// Light settings of a page (14 bytes). Bytes 8 to 10 are not stored in a profile. The same layout
// serves the entries of a light list (`LightList`), where byte 0 is the area type and byte 10
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

// Audio-reactive light settings (9 bytes).
struct AudioLightInfo {
    uint8_t audioMode = 0;  // style 0-6
    uint8_t bkRed = 0, bkGreen = 0, bkBlue = 0;
    uint8_t fgRed = 0, fgGreen = 0, fgBlue = 0;
    uint8_t sevenColorFlags = 0;  // colours from the colour wheel instead of the foreground colour
    uint8_t colorTypeFlags = 0;   // lighting panel only: which colour the panel edits

    bool operator==(const AudioLightInfo&) const = default;
};
static_assert(sizeof(AudioLightInfo) == 9);

// One step of a custom lighting step file (".light"): a light record with bytes 0-7 filled (byte 0
// the sub-effect), then its duration in milliseconds and the cycle value, which is only carried.
struct LightStep {
    LightInfo light;
    int32_t time = 0;
    int32_t cyle = 0;

    bool operator==(const LightStep&) const = default;
};

namespace vx::records {

// The profile's "LightInfo" object: eleven members; bytes 8 to 10 are not stored.
inline constexpr std::array<JsonField<LightInfo>, 11> kLightInfoJson{{
    {"SelectItem", JsonKind::Byte, Member<&LightInfo::selectItem>()},
    {"Light", JsonKind::Byte, Member<&LightInfo::light>()},
    {"Speed", JsonKind::Byte, Member<&LightInfo::speed>()},
    {"Fx", JsonKind::Byte, Member<&LightInfo::fx>()},
    {"MultiColor", JsonKind::Flag, Member<&LightInfo::multiColor>()},
    {"Red", JsonKind::Byte, Member<&LightInfo::red>()},
    {"Green", JsonKind::Byte, Member<&LightInfo::green>()},
    {"Blue", JsonKind::Byte, Member<&LightInfo::blue>()},
    {"ZZCCLedMode", JsonKind::Byte, Member<&LightInfo::zzccLedMode>()},
    {"CustomGroup", JsonKind::Byte, Member<&LightInfo::customGroup>()},
    {"OldLedmode", JsonKind::Byte, Member<&LightInfo::oldLedmode>()},
}};

// The profile's "AudioLightInfo" object.
inline constexpr std::array<JsonField<AudioLightInfo>, 9> kAudioLightInfoJson{{
    {"AudioMode", JsonKind::Byte, Member<&AudioLightInfo::audioMode>()},
    {"BkColorR", JsonKind::Byte, Member<&AudioLightInfo::bkRed>()},
    {"BkColorG", JsonKind::Byte, Member<&AudioLightInfo::bkGreen>()},
    {"BkColorB", JsonKind::Byte, Member<&AudioLightInfo::bkBlue>()},
    {"FgColorR", JsonKind::Byte, Member<&AudioLightInfo::fgRed>()},
    {"FgColorG", JsonKind::Byte, Member<&AudioLightInfo::fgGreen>()},
    {"FgColorB", JsonKind::Byte, Member<&AudioLightInfo::fgBlue>()},
    {"7ColorFlags", JsonKind::Flag, Member<&AudioLightInfo::sevenColorFlags>()},
    {"ColorTypeFlags", JsonKind::Flag, Member<&AudioLightInfo::colorTypeFlags>()},
}};

// An element of the profile's "LightList" (read only); the present flag is set by the reader.
inline constexpr std::array<JsonField<LightListEntry>, 8> kLightListJson{{
    {"LEDREGMode", JsonKind::Byte, Member<&LightInfo::selectItem>()},
    {"LEDBrightness", JsonKind::Byte, Member<&LightInfo::light>()},
    {"LEDSpeed", JsonKind::Byte, Member<&LightInfo::speed>()},
    {"LEDDirection", JsonKind::Flag, Member<&LightInfo::fx>()},
    {"LEDMultiColor", JsonKind::Flag, Member<&LightInfo::multiColor>()},
    {"red", JsonKind::Byte, Member<&LightInfo::red>()},
    {"green", JsonKind::Byte, Member<&LightInfo::green>()},
    {"blue", JsonKind::Byte, Member<&LightInfo::blue>()},
}};

// A step of a ".light" file (read only). Unlike the light list, direction and multi-colour are
// taken as bytes.
inline constexpr std::array<JsonField<LightStep>, 10> kLightStepJson{{
    {"LEDREGMode", JsonKind::Byte, Member<&LightStep::light, &LightInfo::selectItem>()},
    {"LEDBrightness", JsonKind::Byte, Member<&LightStep::light, &LightInfo::light>()},
    {"LEDSpeed", JsonKind::Byte, Member<&LightStep::light, &LightInfo::speed>()},
    {"LEDDirection", JsonKind::Byte, Member<&LightStep::light, &LightInfo::fx>()},
    {"LEDMultiColor", JsonKind::Byte, Member<&LightStep::light, &LightInfo::multiColor>()},
    {"red", JsonKind::Byte, Member<&LightStep::light, &LightInfo::red>()},
    {"green", JsonKind::Byte, Member<&LightStep::light, &LightInfo::green>()},
    {"blue", JsonKind::Byte, Member<&LightStep::light, &LightInfo::blue>()},
    {"Time", JsonKind::Int32, Member<&LightStep::time>()},
    {"Cyle", JsonKind::Int32, Member<&LightStep::cyle>()},
}};

}  // namespace vx::records
