#pragma once

#include <array>
#include <cstdint>

namespace vx::lighting {

// Constant data shared by every device class's generators.
struct Rgb {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
    bool operator==(const Rgb&) const = default;
};

// Five entries, one per speed or brightness level 0-4.
using LevelRow = std::array<uint8_t, 5>;

extern const LevelRow kBrightnessLevels;
extern const LevelRow kBlinkPeriods;  // × 200 ms per half-period
extern const std::array<Rgb, 4> kFourColours;
extern const std::array<Rgb, 256> kColourWheel;
extern const std::array<uint8_t, 128> kBreathingCurve;

// Generator intervals in ticks, by speed level.
extern const LevelRow kSlowIntervals;          // every mouse, mousepad and synchronised mode
extern const LevelRow kKeyboardIntervals;      // keyboard modes by default
extern const LevelRow kKeyboardLongIntervals;  // keyboard modes 10, 25, 28, 29
extern const LevelRow kKeyboardRollIntervals;  // keyboard mode 16
extern const LevelRow kCompanionIntervals;     // keyboard mode 31

// Step player and area overlay rows (passes, or × 200 ms for the area blink).
extern const LevelRow kStepIntervals;          // sub-effects 0, 1, 2 and 4
extern const LevelRow kStepSpectrumIntervals;  // sub-effect 5
extern const LevelRow kAreaBlinkPeriods;
extern const LevelRow kAreaCyclePeriods;

// Level tables are indexed by values that come from devices and files; anything above the last
// level reads as the last level rather than past the table.
inline uint8_t AtLevel(const LevelRow& row, unsigned level) {
    return row[level < row.size() ? level : row.size() - 1];
}

}  // namespace vx::lighting
