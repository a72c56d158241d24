#pragma once
// Fixed data of the synchronised lighting: speed by level, and the effect numbers each device kind's lighting panel uses for the five
// shared effects.

#include <array>
#include <cstdint>

#include "devices/lighting/LightingTables.h"

namespace vx::lighting::sync {

using vx::lighting::Rgb;

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

// The wheel's first 192 entries and the brightness levels of the lighting engine's tables.
constexpr int kWheelSize = 192;
constexpr int kBrightnessLevelCount = 5;
constexpr int kSpeedLevels = 15;

// [shared type][speed level]: counted ticks between two effect steps.
extern const std::array<std::array<uint8_t, kSpeedLevels>, kSharedTypes> kSyncSpeed;
// [shared type][kind]: the kind's own effect number for the shared type.
extern const std::array<std::array<uint8_t, kSyncKinds>, kSharedTypes> kSyncEffectNumbers;

}  // namespace vx::lighting::sync
