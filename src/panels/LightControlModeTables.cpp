// The lighting panel's mode layouts. One row per group of modes, columns in this order:
//   modes | seven-colour option | colour and palette groups | colour frame | brightness | speed |
//   direction (state, left caption, right caption) | same-mode button | extra list
// The last row of each kind, with no modes, covers every mode not listed.
#include "panels/LightControlModeTables.h"

#include <algorithm>
#include <array>

namespace vx::panels {

namespace light_panel {
namespace {

using G = GroupState;
using S = SpeedState;
using X = ModeExtra;

constexpr const char* kClockwise = "light_set_clockwise_text";
constexpr const char* kAnticlockwise = "light_set_anticlockwise_text";
constexpr const char* kUpToDown = "light_set_up_to_down_text";
constexpr const char* kDownToUp = "light_set_down_to_up_text";
constexpr const char* kInsideOut = "light_set_inside_to_outside_text";
constexpr const char* kOutsideIn = "light_set_outside_to_inside_text";

const DirectionRow kDirKeep{G::Keep, nullptr, nullptr};
const DirectionRow kDirOff{G::Off, nullptr, nullptr};

// clang-format off
const std::vector<ModeLayoutRow> kKeyboard = {
    //  modes                                 7C     colour frame    bright speed      direction                              same   extra
    {{1, 2},                                  true,  true,  G::Keep, true,  S::On,     kDirKeep,                              false, X::None},
    {{3, 24},                                 true,  true,  G::Keep, true,  S::On,     {G::On, kClockwise, kAnticlockwise},   false, X::None},
    {{29},                                    true,  true,  G::Keep, true,  S::On,     {G::On, kUpToDown, kDownToUp},         false, X::None},
    {{4},                                     false, false, G::Off,  true,  S::On,     kDirOff,                               true,  X::None},
    {{5, 23},                                 true,  true,  G::Keep, true,  S::On,     kDirOff,                               true,  X::None},
    {{6},                                     true,  true,  G::Keep, true,  S::Off,    kDirOff,                               true,  X::None},
    {{7, 8, 9, 10, 13, 14, 15, 22, 25},       true,  true,  G::Keep, true,  S::On,     kDirOff,                               false, X::None},
    {{11, 26},                                false, false, G::Off,  true,  S::On,     kDirOff,                               false, X::None},
    {{12},                                    false, false, G::Off,  true,  S::On,     {G::On, kUpToDown, kDownToUp},         false, X::None},
    {{16},                                    true,  true,  G::Keep, true,  S::Off,    kDirOff,                               false, X::None},
    {{17},                                    false, false, G::Off,  true,  S::Hidden, kDirOff,                               false, X::SubEffectList},
    {{18},                                    false, false, G::Off,  true,  S::Off,    {G::On, kInsideOut, kOutsideIn},       false, X::None},
    {{20},                                    false, true,  G::Keep, true,  S::Hidden, kDirOff,                               false, X::CustomList},
    {{21},                                    true,  true,  G::Keep, true,  S::Hidden, kDirKeep,                              false, X::AudioList},
    {{27},                                    false, false, G::Keep, true,  S::On,     kDirOff,                               false, X::None},
    {{28},                                    false, false, G::Keep, false, S::Off,    kDirOff,                               true,  X::None},
    {{31},                                    false, false, G::Off,  true,  S::Off,    kDirOff,                               false, X::None},
    {{},                                      false, false, G::Keep, false, S::Off,    kDirOff,                               false, X::None},
};

const std::vector<ModeLayoutRow> kMouse = {
    //  modes        7C     colour frame    bright speed      direction  same   extra
    {{0, 5, 9},      true,  true,  G::Keep, true,  S::On,     kDirKeep,  false, X::None},
    {{1},            false, false, G::Keep, true,  S::On,     kDirOff,   true,  X::None},
    {{2, 4, 6},      true,  true,  G::Keep, true,  S::On,     kDirOff,   true,  X::None},
    {{3},            false, true,  G::Keep, true,  S::Off,    kDirOff,   true,  X::None},
    {{7, 8},         false, false, G::Keep, true,  S::On,     kDirOff,   false, X::None},
    {{10},           false, false, G::Keep, false, S::Off,    kDirOff,   true,  X::None},
    {{11},           true,  true,  G::Keep, true,  S::Hidden, kDirKeep,  false, X::AudioList},
    {{},             false, false, G::Keep, false, S::Off,    kDirOff,   false, X::None},
};

// The mousepad and the headset share their modes.
const std::vector<ModeLayoutRow> kMousePadAndHeadset = {
    //  modes        7C     colour frame    bright speed      direction  same   extra
    {{0},            true,  true,  G::Keep, true,  S::On,     kDirKeep,  false, X::None},
    {{1},            false, false, G::Keep, true,  S::On,     kDirOff,   true,  X::None},
    {{2, 4},         true,  true,  G::Keep, true,  S::On,     kDirOff,   true,  X::None},
    {{3},            false, true,  G::Keep, true,  S::Off,    kDirOff,   true,  X::None},
    {{8},            false, false, G::Keep, false, S::Off,    kDirOff,   true,  X::None},
    {{},             false, false, G::Keep, false, S::Off,    kDirOff,   false, X::None},
};

// Same-mode classes: the one effect of each kind that stands for the class.
//                                                 class:  0   1   2   3   4
const std::array<int32_t, kSameModeClassCount> kSameKeyboard = {5,  6, 23,  4, 28};
const std::array<int32_t, kSameModeClassCount> kSameMouse    = {2,  3,  4,  1, 10};
const std::array<int32_t, kSameModeClassCount> kSamePad      = {2,  3,  4,  1,  8};
// clang-format on

const std::vector<ModeLayoutRow> kNone;

const std::array<int32_t, kSameModeClassCount>* SameModeColumn(int32_t kind) {
    switch (kind) {
        case kKindKeyboard:
            return &kSameKeyboard;
        case kKindMouse:
            return &kSameMouse;
        case kKindMousePad:
        case kKindHeadset:
            return &kSamePad;
        default:
            return nullptr;
    }
}

}  // namespace

const std::vector<ModeLayoutRow>& ModeLayoutTable(int32_t kind) {
    switch (kind) {
        case kKindKeyboard:
            return kKeyboard;
        case kKindMouse:
            return kMouse;
        case kKindMousePad:
        case kKindHeadset:
            return kMousePadAndHeadset;
        default:
            return kNone;
    }
}

const ModeLayoutRow* FindModeLayout(int32_t kind, int32_t mode) {
    const std::vector<ModeLayoutRow>& table = ModeLayoutTable(kind);
    for (const ModeLayoutRow& row : table) {
        if (row.modes.empty() || std::ranges::find(row.modes, mode) != row.modes.end()) return &row;
    }
    return nullptr;
}

int32_t SameModeClassOfMode(int32_t kind, int32_t mode) {
    const auto* column = SameModeColumn(kind);
    if (!column) return -1;
    const auto it = std::ranges::find(*column, mode);
    return it == column->end() ? -1 : int32_t(it - column->begin());
}

int32_t SameModeOfClass(int32_t kind, int32_t sameModeClass) {
    const auto* column = SameModeColumn(kind);
    if (!column || sameModeClass < 0 || sameModeClass >= kSameModeClassCount) return -1;
    return (*column)[size_t(sameModeClass)];
}

}  // namespace light_panel

}  // namespace vx::panels
