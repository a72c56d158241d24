#pragma once
// The device settings of each kind as the profile files keep them and as the settings blocks
// carry them (built and parsed in link/SettingsBlocks), with the tables of their JSON members.

#include <array>
#include <cstddef>
#include <cstdint>

#include "records/JsonFields.h"
#include "records/LightRecords.h"

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
        return {uint32_t(repeat) | uint32_t(repeatDelay) << 16,
                uint32_t(key6Flag) | uint32_t(pollingRate) << 16, uint32_t(wFlag) | uint32_t(winFlag) << 16};
    }
    static KeyboardSystemStages FromWords(uint32_t w0, uint32_t w1, uint32_t w2) {
        return {uint16_t(w0),       uint16_t(w0 >> 16), uint16_t(w1),
                uint16_t(w1 >> 16), uint16_t(w2),       uint16_t(w2 >> 16)};
    }
    bool operator==(const KeyboardSystemStages&) const = default;
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
    uint16_t reportStage = 0;  // kept in "ReportStages"."StageActive", apart from the others

    std::array<uint32_t, 3> Words() const {
        return {uint32_t(doubleClickTime) | uint32_t(mouseSpeed) << 16,
                uint32_t(pointerPrecision) | uint32_t(scorllPage) << 16,
                uint32_t(wheelScorlllinse) | uint32_t(reportStage) << 16};
    }
    static MouseSystemStages FromWords(uint32_t w0, uint32_t w1, uint32_t w2) {
        return {uint16_t(w0),       uint16_t(w0 >> 16), uint16_t(w1),
                uint16_t(w1 >> 16), uint16_t(w2),       uint16_t(w2 >> 16)};
    }
    bool operator==(const MouseSystemStages&) const = default;
};

constexpr size_t kMouseDpiStages = 5;

// What the keyboard's settings block carries: the light record (mode as an index, speed as a
// level) and the flags of the system settings; only the low byte of each flag travels.
struct KeyboardSettings {
    uint8_t profile = 0;  // callers write profile 0's block, whose byte 0 is the active profile
    LightInfo light;
    KeyboardSystemStages system;

    bool operator==(const KeyboardSettings&) const = default;
};

// What the mouse's settings block carries.
struct MouseSettings {
    uint8_t profile = 0;
    LightInfo light;
    uint8_t reportRateStage = 0;
    uint8_t activeStage = 0;
    // Stages the profile does not have stay zero.
    std::array<DpiStage, kMouseDpiStages> stages{};
    uint8_t screenFlag = 1;  // every writer sends 1
    uint16_t screenWidth = 0;
    uint16_t screenHeight = 0;
    uint8_t correctMinSq = 0;
    uint8_t correctPixThresh = 0;

    bool operator==(const MouseSettings&) const = default;
};

namespace vx::records {

// The keyboard profile's "SystemStages" object.
inline constexpr std::array<JsonField<KeyboardSystemStages>, 6> kKeyboardSystemJson{{
    {"Repeat", JsonKind::Word, Member<&KeyboardSystemStages::repeat>()},
    {"RepeatDelay", JsonKind::Word, Member<&KeyboardSystemStages::repeatDelay>()},
    {"Key6Flag", JsonKind::Word, Member<&KeyboardSystemStages::key6Flag>()},
    {"PollingRate", JsonKind::Word, Member<&KeyboardSystemStages::pollingRate>()},
    {"WFlag", JsonKind::Word, Member<&KeyboardSystemStages::wFlag>()},
    {"WinFlag", JsonKind::Word, Member<&KeyboardSystemStages::winFlag>()},
}};

// The mouse profile's "SystemStages" object; the report-rate stage lives in "ReportStages".
inline constexpr std::array<JsonField<MouseSystemStages>, 5> kMouseSystemJson{{
    {"DoubleClickTime", JsonKind::Word, Member<&MouseSystemStages::doubleClickTime>()},
    {"MouseSpeed", JsonKind::Word, Member<&MouseSystemStages::mouseSpeed>()},
    {"PointerPrecision", JsonKind::Word, Member<&MouseSystemStages::pointerPrecision>()},
    {"ScorllPage", JsonKind::Word, Member<&MouseSystemStages::scorllPage>()},
    {"WheelScorlllinse", JsonKind::Word, Member<&MouseSystemStages::wheelScorlllinse>()},
}};

// An element of "DPIStages"."StageDPIs".
inline constexpr std::array<JsonField<DpiStage>, 7> kDpiStageJson{{
    {"StageActive", JsonKind::Byte, Member<&DpiStage::active>()},
    {"StageXY", JsonKind::Byte, Member<&DpiStage::xy>()},
    {"StageDPIX", JsonKind::Word, Member<&DpiStage::dpiX>()},
    {"StageDPIY", JsonKind::Word, Member<&DpiStage::dpiY>()},
    {"StageColorR", JsonKind::Byte, Member<&DpiStage::red>()},
    {"StageColorG", JsonKind::Byte, Member<&DpiStage::green>()},
    {"StageColorB", JsonKind::Byte, Member<&DpiStage::blue>()},
}};

}  // namespace vx::records
