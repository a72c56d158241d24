#pragma once
// Which control groups of the lighting panel each lighting mode uses, per device kind, and the
// effect classes that the same-mode action translates between kinds. The rows themselves live in
// LightControlModeTables.cpp.

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace vx::panels {

namespace light_panel {

// Device kinds as the pages hand them to the panel (receiver codes are mapped before).
constexpr int32_t kKindKeyboard = 1;
constexpr int32_t kKindMouse = 2;
constexpr int32_t kKindMousePad = 3;
constexpr int32_t kKindHeadset = 7;

// A group the row leaves as the kind's starting state put it, or switches on or off.
enum class GroupState : uint8_t { Keep, On, Off };
// The speed group can also be hidden (modes whose effect has no pace at all).
enum class SpeedState : uint8_t { On, Off, Hidden };
// A list the mode brings up next to the mode combo.
enum class ModeExtra : uint8_t { None, SubEffectList, CustomList, AudioList };

struct DirectionRow {
    GroupState state = GroupState::Keep;
    // Language keys of the two direction options; nullptr keeps the starting captions.
    const char* leftCaption = nullptr;
    const char* rightCaption = nullptr;
};

struct ModeLayoutRow {
    std::vector<int32_t> modes;  // empty: every mode that no other row of the kind names
    bool sevenColour = false;
    bool colour = false;
    GroupState frame = GroupState::Keep;
    bool brightness = false;
    SpeedState speed = SpeedState::Off;
    DirectionRow direction;
    bool sameMode = false;
    ModeExtra extra = ModeExtra::None;
};

// The row for a mode of a kind; nullptr for a kind the panel does not know.
const ModeLayoutRow* FindModeLayout(int32_t kind, int32_t mode);

// The whole table of a kind (empty for an unknown kind), for checks over every row.
const std::vector<ModeLayoutRow>& ModeLayoutTable(int32_t kind);

// Same-mode classes: the effects that every kind can show in step. ClassOfMode gives -1 for a mode
// that has no equivalent on the other kinds; ModeOfClass gives -1 for a class or kind out of range.
constexpr int32_t kSameModeClassCount = 5;
int32_t SameModeClassOfMode(int32_t kind, int32_t mode);
int32_t SameModeOfClass(int32_t kind, int32_t sameModeClass);

}  // namespace light_panel

}  // namespace vx::panels
