#pragma once

#include <array>
#include <cstdint>

namespace vx::lighting {

// The keyboard's geometry: columns of keys, a path through the keys, a grid and the frame lists of
// the scripted animations. LED indexes are 0-169; any value of 170 or more names no LED.
constexpr uint8_t kNoLed = 255;
constexpr int kKeyboardLeds = 170;

inline bool NamesLed(unsigned value) {
    return value < static_cast<unsigned>(kKeyboardLeds);
}

constexpr int kColumns = 23;
constexpr int kColumnCells = 6;
constexpr int kLayoutCells = 7;
constexpr int kGridRows = 12;

using Column = std::array<uint8_t, kColumnCells>;
using LayoutColumn = std::array<uint8_t, kLayoutCells>;
using GridRow = std::array<uint8_t, 12>;
using SweepFrame = std::array<uint8_t, 12>;
using DropFrame = std::array<uint8_t, 6>;
using DropPair = std::array<uint8_t, 2>;

extern const std::array<Column, kColumns> kColumnMap;
extern const std::array<LayoutColumn, kColumns> kLayoutMap;
extern const std::array<uint8_t, 64> kLedPath;
extern const std::array<GridRow, kGridRows> kKeyGrid;
extern const std::array<uint8_t, 170> kSnakePath;
extern const std::array<uint8_t, 111> kSparklePath;
extern const std::array<uint8_t, 104> kSparklePickable;  // positions in kSparklePath
extern const std::array<uint8_t, 7> kSparkleExcluded;    // positions never picked
extern const std::array<SweepFrame, 52> kSweepFrames;
extern const std::array<DropFrame, 16> kDropFrames;
extern const std::array<DropPair, 16> kDropPairs;
extern const std::array<uint8_t, 192> kFlashCurve;
extern const std::array<uint8_t, 96> kPulseCurve;
extern const std::array<uint8_t, 138> kPhaseOffsets;

// Derived look-ups, computed once from the tables above.
extern const std::array<bool, kKeyboardLeds> kOnLedPath;
// The distinct LEDs of the layout map in first-seen order (the layout map names some twice).
struct LedSet {
    std::array<uint8_t, kKeyboardLeds> leds;
    int count;
};
extern const LedSet kLayoutLeds;
// The LEDs of the layout ripple (mode 22): every LED of the LED path, then those of the layout map
// that the path does not hold (its set-up primes them too), each once.
extern const LedSet kLayoutRippleLeds;

}  // namespace vx::lighting
