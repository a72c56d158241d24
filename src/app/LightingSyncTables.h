#pragma once
// Fixed data of the synchronised lighting: the colour wheel, the breathing curve, brightness and
// speed by level, and the effect numbers each device kind's lighting panel uses for the five
// shared effects.

#include <array>
#include <cstdint>

namespace lightsync {

struct Rgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

// Shared effect types.
constexpr uint8_t kBreathing = 0;
constexpr uint8_t kStatic = 1;
constexpr uint8_t kFlash = 2;
constexpr uint8_t kColourCycle = 3;
constexpr uint8_t kOff = 4;
constexpr int kSharedTypes = 5;

// The device kinds as the synchronisation orders them in its tables.
enum class SyncKind : uint8_t { Keyboard = 0, Mouse = 1, Mousepad = 2, Headset = 3 };
constexpr int kSyncKinds = 4;

constexpr int kWheelSize = 192;
constexpr int kBreathSize = 128;
constexpr int kBrightnessLevels = 5;
constexpr int kSpeedLevels = 15;

extern const std::array<Rgb, kWheelSize> kSyncWheel;
extern const std::array<uint8_t, kBreathSize> kSyncBreathing;
extern const std::array<uint8_t, kBrightnessLevels> kSyncBrightness;
// [shared type][speed level]: counted ticks between two effect steps.
extern const std::array<std::array<uint8_t, kSpeedLevels>, kSharedTypes> kSyncSpeed;
// [shared type][kind]: the kind's own effect number for the shared type.
extern const std::array<std::array<uint8_t, kSyncKinds>, kSharedTypes> kSyncEffectNumbers;

}  // namespace lightsync
