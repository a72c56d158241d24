#include "devices/lighting/KeyboardLightingEngine.h"

#include <cstdint>

#include "devices/lighting/AreaOverlay.h"
#include "devices/lighting/StepPlayer.h"

namespace vx::lighting {

namespace {

using KG = void (KeyboardLightingEngine::*)();

// The audio mode runs once 2 ticks have been counted, whatever the speed.
constexpr LevelRow kAudioTicks = {2, 2, 2, 2, 2};

struct ModeEntry {
    KG generator;  // null: the step player runs on every pass
    const LevelRow* interval;
};

// clang-format off
const std::array<ModeEntry, 32> kKeyboardModes = {{
    /*  0 */ {nullptr,                                  nullptr},
    /*  1 */ {&KeyboardLightingEngine::ColumnWave,      &kKeyboardIntervals},
    /*  2 */ {&KeyboardLightingEngine::ColumnFlashWave, &kKeyboardIntervals},
    /*  3 */ {&KeyboardLightingEngine::PathWave,        &kKeyboardIntervals},
    /*  4 */ {&KeyboardLightingEngine::EffectSpectrum,  &kKeyboardIntervals},
    /*  5 */ {&KeyboardLightingEngine::EffectBreathCycle, &kKeyboardIntervals},
    /*  6 */ {&KeyboardLightingEngine::EffectStatic,    &kKeyboardIntervals},
    /*  7 */ {&KeyboardLightingEngine::KeyGlow,         &kKeyboardIntervals},
    /*  8 */ {&KeyboardLightingEngine::DiamondRipple,   &kKeyboardIntervals},
    /*  9 */ {&KeyboardLightingEngine::SlidingRipple,   &kKeyboardIntervals},
    /* 10 */ {&KeyboardLightingEngine::Sparkle,         &kKeyboardLongIntervals},
    /* 11 */ {&KeyboardLightingEngine::PerKeySpectrum,  &kKeyboardIntervals},
    /* 12 */ {&KeyboardLightingEngine::RowWave,         &kKeyboardIntervals},
    /* 13 */ {&KeyboardLightingEngine::BouncingRipple,  &kKeyboardIntervals},
    /* 14 */ {&KeyboardLightingEngine::ScriptedDrop,    &kKeyboardIntervals},
    /* 15 */ {&KeyboardLightingEngine::Twinkle,         &kKeyboardIntervals},
    /* 16 */ {&KeyboardLightingEngine::RollingRipple,   &kKeyboardRollIntervals},
    /* 17 */ {&KeyboardLightingEngine::PresetColour,    &kKeyboardIntervals},
    /* 18 */ {&KeyboardLightingEngine::GridRainbow,     &kKeyboardIntervals},
    /* 19 */ {nullptr,                                  nullptr},
    /* 20 */ {&KeyboardLightingEngine::CustomColours,   &kKeyboardIntervals},
    /* 21 */ {&KeyboardLightingEngine::AudioLighting,   &kAudioTicks},
    /* 22 */ {&KeyboardLightingEngine::LayoutRipple,    &kKeyboardIntervals},
    /* 23 */ {&KeyboardLightingEngine::EffectBlinkCycle, &kKeyboardIntervals},
    /* 24 */ {&KeyboardLightingEngine::Sweep,           &kKeyboardIntervals},
    /* 25 */ {&KeyboardLightingEngine::KeyGlow,         &kKeyboardLongIntervals},
    /* 26 */ {&KeyboardLightingEngine::EffectBreathFour, &kKeyboardIntervals},
    /* 27 */ {&KeyboardLightingEngine::EffectBlinkFour, &kKeyboardIntervals},
    /* 28 */ {&KeyboardLightingEngine::EffectOff,       &kKeyboardLongIntervals},
    /* 29 */ {&KeyboardLightingEngine::Snake,           &kKeyboardLongIntervals},
    /* 30 */ {nullptr,                                  nullptr},
    /* 31 */ {&KeyboardLightingEngine::CompanionColour, &kCompanionIntervals},
}};
// clang-format on

}  // namespace

std::atomic<int32_t> KeyboardLightingEngine::s_pulseAccumulator{0};

KeyboardLightingEngine::KeyboardLightingEngine(int ledCount)
    : KeyboardLightingEngine(ledCount, AreaOverlay::ForKeyboards(), StepPlayer::ForKeyboards()) {}

KeyboardLightingEngine::KeyboardLightingEngine(int ledCount, AreaOverlay& area, StepPlayer& player)
    : LightingEngine(ledCount, area, player) {
    m_kb.columnFlags.fill(1);
}

void KeyboardLightingEngine::RunModePass() {
    const uint8_t mode = m_params.selectItem;
    if (mode >= kKeyboardModes.size() || kKeyboardModes[mode].generator == nullptr) {
        RunStepPlayer();
        return;
    }
    const ModeEntry& entry = kKeyboardModes[mode];
    if (Due(*entry.interval)) (this->*entry.generator)();
}

void KeyboardLightingEngine::OnModeChanged() {
    ResetEffectState();
    switch (m_params.selectItem) {
        case 13:
            SetUpBouncingRipple();
            break;
        case 15:
            SetUpTwinkle();
            break;
        case 16:
            SetUpRollingRipple();
            break;
        case 22:
            SetUpLayoutRipple();
            break;
        // Mode 20's own part (custom colours into the frame and to the device) is the page's.
        default:
            DefaultSetUp();
            break;
    }
}

void KeyboardLightingEngine::OnLightingStateLoaded() {
    if (m_params.selectItem == 24) m_state.colourIndexes.fill(0);
    m_state.phase = 0;
}

// --- window thread ---

void KeyboardLightingEngine::SetAudioParameters(const int32_t* values, std::size_t count) {
    std::lock_guard lock(m_lock);
    for (std::size_t i = 0; i < m_kb.audioParameters.size(); ++i)
        m_kb.audioParameters[i] = i < count ? values[i] : 0;
}

void KeyboardLightingEngine::SetAudioLightInfo(const AudioLightInfo& info) {
    std::lock_guard lock(m_lock);
    m_audio = info;
}

AudioLightInfo KeyboardLightingEngine::GetAudioLightInfo() const {
    std::lock_guard lock(m_lock);
    return m_audio;
}

void KeyboardLightingEngine::KeyPressed(int led) {
    if (!NamesLed(static_cast<unsigned>(led))) return;
    std::lock_guard lock(m_lock);
    m_kb.keyState[led] = 1;
    PulseAt(led, 1);
}

void KeyboardLightingEngine::KeyReleased(int led) {
    if (!NamesLed(static_cast<unsigned>(led))) return;
    std::lock_guard lock(m_lock);
    if (m_kb.keyState[led] != 0) m_kb.keyState[led] = 2;
}

KeyboardEffectState KeyboardLightingEngine::KeyboardSnapshot() const {
    std::lock_guard lock(m_lock);
    return m_kb;
}

int32_t KeyboardLightingEngine::PulseAccumulator() {
    return s_pulseAccumulator.load();
}

void KeyboardLightingEngine::ResetPulseAccumulator() {
    s_pulseAccumulator.store(0);
}

// --- helpers ---

void KeyboardLightingEngine::Shade(int led) {
    const Rgb colour = Multi() ? kColourWheel[m_state.colourIndexes[led]] : Fixed();
    Paint(led, colour, Bright() * m_state.intensity[led] / 256);
}

void KeyboardLightingEngine::LightLed(int led) {
    if (!NamesLed(led)) return;
    m_state.intensity[led] = 255;
    if (Multi()) m_state.colourIndexes[led] = static_cast<uint8_t>(m_random.Below(192));
}

void KeyboardLightingEngine::PaintColumn(int column, const Rgb& colour, unsigned brightness) {
    for (uint8_t n : kColumnMap[column]) {
        if (NamesLed(n)) Paint(n, colour, brightness);
    }
}

void KeyboardLightingEngine::SetRingBit(int column, int bit) {
    for (auto& ring : m_kb.rings) ring[column] = static_cast<uint8_t>(ring[column] | (1u << bit));
}

uint8_t KeyboardLightingEngine::RingsAt(int column) const {
    uint8_t m = 0;
    for (const auto& ring : m_kb.rings) m |= ring[column];
    return m;
}

void KeyboardLightingEngine::LightRings() {
    for (int i = 0; i < kColumns; ++i) {
        const uint8_t m = RingsAt(i);
        if (m == 0) continue;
        for (int j = 0; j < kColumnCells; ++j) {
            const uint8_t n = kColumnMap[i][j];
            if ((m >> j & 1) == 0 || !NamesLed(n)) continue;
            m_state.intensity[n] = 255;
            if (Multi()) m_state.colourIndexes[n] = static_cast<uint8_t>(m_random.Below(192));
        }
    }
}

void KeyboardLightingEngine::SpreadRings() {
    using R = KeyboardEffectState;
    const auto old = m_kb.rings;
    auto& ul = m_kb.rings[R::kUpLeft];
    auto& dl = m_kb.rings[R::kDownLeft];
    auto& ur = m_kb.rings[R::kUpRight];
    auto& dr = m_kb.rings[R::kDownRight];
    for (int k = 0; k < kColumns; ++k) {
        const bool last = k == kColumns - 1;
        const bool first = k == 0;
        ul[k] = static_cast<uint8_t>((old[R::kUpLeft][k] >> 1) | (last ? 0 : old[R::kUpLeft][k + 1]));
        dl[k] = static_cast<uint8_t>((old[R::kDownLeft][k] << 1) | (last ? 0 : old[R::kDownLeft][k + 1]));
        ur[k] = static_cast<uint8_t>((old[R::kUpRight][k] >> 1) | (first ? 0 : old[R::kUpRight][k - 1]));
        dr[k] = static_cast<uint8_t>((old[R::kDownRight][k] << 1) | (first ? 0 : old[R::kDownRight][k - 1]));
    }
}

void KeyboardLightingEngine::SlideRings() {
    using R = KeyboardEffectState;
    m_kb.rings[R::kUpLeft].fill(0);
    m_kb.rings[R::kDownRight].fill(0);
    auto& dl = m_kb.rings[R::kDownLeft];
    for (int k = 0; k < kColumns - 1; ++k) dl[k] = dl[k + 1];
    dl[kColumns - 1] = 0;
    auto& ur = m_kb.rings[R::kUpRight];
    for (int k = kColumns - 1; k > 0; --k) ur[k] = ur[k - 1];
    ur[0] = 0;
}

void KeyboardLightingEngine::PulseAt(int led, int action) {
    if (action != 1 || !NamesLed(static_cast<unsigned>(led))) return;
    for (int i = 0; i < kColumns; ++i) {
        for (int j = 0; j < kColumnCells; ++j) {
            if (kColumnMap[i][j] == led) {
                SetRingBit(i, j);
                return;
            }
        }
    }
}

void KeyboardLightingEngine::ResetEffectState() {
    m_state.phase = 0;
    m_state.colourIndex = 0;
    m_kb.stage = 0;
    m_state.colourIndexes.fill(0);
    m_kb.keyState.fill(0);
    m_state.intensity.fill(0);
    for (auto& ring : m_kb.rings) ring.fill(0);
    m_kb.levels.fill(0);
    m_kb.columnFlags.fill(1);
}

// --- set-ups ---

void KeyboardLightingEngine::DefaultSetUp() {
    uint8_t sum = 0;
    for (int n = 0; n < kKeyboardLeds; ++n) {
        m_state.colourIndexes[n] = sum;
        sum = static_cast<uint8_t>(sum + (sum < 160 || sum > 222 ? 33 : 97));
    }
}

void KeyboardLightingEngine::SetUpBouncingRipple() {
    SetRingBit(9, 6);
}

void KeyboardLightingEngine::SetUpTwinkle() {
    for (int i = 0; i < kColumns; ++i) {
        for (int j = 0; j < kLayoutCells; ++j) {
            const uint8_t n = kLayoutMap[i][j];
            const int offset = 6 * i + j;
            if (!NamesLed(n) || offset >= static_cast<int>(kPhaseOffsets.size())) continue;
            m_state.intensity[n] = kPhaseOffsets[offset];
            m_state.colourIndexes[n] = static_cast<uint8_t>(7 * i);
        }
    }
}

void KeyboardLightingEngine::SetUpRollingRipple() {
    SetRingBit(1, 0);
}

void KeyboardLightingEngine::SetUpLayoutRipple() {
    for (int i = 0; i < kColumns; ++i) {
        uint8_t a = static_cast<uint8_t>(192 - 8 * i);
        for (int j = 0; j < kLayoutCells; ++j) {
            a = static_cast<uint8_t>(a - 35);
            if (a >= 192) a = static_cast<uint8_t>(a - 63);
            const uint8_t n = kLayoutMap[i][j];
            if (!NamesLed(n)) continue;
            m_kb.rippleCounter[n] = a;
            m_state.colourIndexes[n] = static_cast<uint8_t>(7 * i);
        }
    }
}

// --- generators ---

void KeyboardLightingEngine::ColumnWave() {
    if (Multi()) {
        m_state.phase = Step(m_params.fx, 192, m_state.phase, 1);
        int k = (m_state.phase + 1) % 192;
        for (int i = 0; i < kColumns; ++i) {
            PaintColumn(i, kColourWheel[k], Bright());
            k = (k + 7) % 192;
        }
        return;
    }
    m_state.phase = Step(m_params.fx, 96, m_state.phase, 1);
    int k = (m_state.phase + 1) % 96;
    for (int i = 0; i < kColumns; ++i) {
        PaintColumn(i, Fixed(), Bright() * kPulseCurve[k] / 256);
        k = (k + 2) % 96;
    }
}

void KeyboardLightingEngine::ColumnFlashWave() {
    if (Multi()) {
        m_state.phase = Step(m_params.fx, 192, m_state.phase, 1);
        int k = m_state.phase % 192;
        for (int i = 0; i < kColumns; ++i) {
            PaintColumn(i, kColourWheel[k], Bright());
            k = (k + 2) % 192;
        }
        return;
    }
    m_state.phase = Step(m_params.fx, 96, m_state.phase, 1);
    int k = m_state.phase % 96;
    for (int i = 0; i < kColumns; ++i) {
        PaintColumn(i, Fixed(), Bright() * kFlashCurve[k] / 256);
        k = (k + 5) % 96;
    }
}

void KeyboardLightingEngine::PathWave() {
    if (Multi()) {
        m_state.phase = Step(m_params.fx, 192, m_state.phase, 1);
        int k = m_state.phase % 192;
        for (uint8_t n : kLedPath) {
            Paint(n, kColourWheel[k], Bright());
            k = (k + 5) % 192;
        }
        return;
    }
    m_state.phase = Step(m_params.fx, 96, m_state.phase, 1);
    int k = m_state.phase % 96;
    for (uint8_t n : kLedPath) {
        Paint(n, Fixed(), Bright() * kPulseCurve[k] / 256);
        k = (k + 5) % 96;
    }
}

void KeyboardLightingEngine::EffectBreathCycle() {
    if (++m_state.phase >= 128) m_state.phase = 0;
    const unsigned brightness = kBreathingCurve[m_state.phase] * Bright() / 256;
    for (int i = 0; i < kColumns; ++i) PaintColumn(i, Multi() ? kColourWheel[7 * i] : Fixed(), brightness);
}

void KeyboardLightingEngine::EffectStatic() {
    if (!Multi()) {
        FillAll(Fixed(), Bright());
        return;
    }
    for (int r = 0; r < kGridRows; ++r) {
        for (uint8_t n : kKeyGrid[r]) {
            if (NamesLed(n) && kOnLedPath[n]) Paint(n, kColourWheel[138 - 12 * r], Bright());
        }
    }
}

void KeyboardLightingEngine::KeyGlow() {
    const int leds = Leds();
    for (int n = 0; n < leds; ++n) {
        uint8_t& v = m_state.intensity[n];
        if (m_kb.keyState[n] == 1) {
            v = static_cast<uint8_t>(v > 240 ? 255 : v + 15);
        } else if (m_kb.keyState[n] == 2) {
            v = static_cast<uint8_t>(v < 5 ? 0 : v - 5);
            if (v == 0) m_kb.keyState[n] = 0;
        }
        Shade(n);
    }
}

void KeyboardLightingEngine::DiamondRipple() {
    LightRings();
    SpreadRings();
    const int leds = Leds();
    for (int n = 0; n < leds; ++n) {
        Fade(n);
        m_state.colourIndexes[n] = Step(1, 192, m_state.colourIndexes[n], 7);
        Shade(n);
    }
}

void KeyboardLightingEngine::SlidingRipple() {
    LightRings();
    SlideRings();
    // Every LED, not only 0-63: the rings also light keys above 63, which would otherwise freeze.
    const int leds = Leds();
    for (int n = 0; n < leds; ++n) {
        Fade(n);
        Shade(n);
    }
}

void KeyboardLightingEngine::Sparkle() {
    for (int t = 0; t < 6; ++t) {
        const uint8_t position = kSparklePickable[m_random.Below(kSparklePickable.size())];
        const uint8_t n = kSparklePath[position];
        if (!NamesLed(n)) continue;
        m_state.colourIndexes[n] = static_cast<uint8_t>(m_random.Below(192));
        m_state.intensity[n] = 255;
    }
    const int leds = Leds();
    for (int n = 0; n < leds; ++n) {
        Fade(n);
        Shade(n);
    }
}

void KeyboardLightingEngine::PerKeySpectrum() {
    const int leds = Leds();
    for (int n = 0; n < leds; ++n) {
        uint8_t& c = m_state.colourIndexes[n];
        if (++c >= 192) c = 0;
        Paint(n, kColourWheel[c], Bright());
    }
}

void KeyboardLightingEngine::RowWave() {
    m_state.phase = Step(m_params.fx, 192, m_state.phase, 1);
    int k = (m_state.phase + 1) % 192;
    for (int j = 0; j < kColumnCells; ++j) {
        for (int i = 0; i < kColumns; ++i) {
            const uint8_t n = kColumnMap[i][j];
            if (NamesLed(n)) Paint(n, kColourWheel[k], Bright());
        }
        k = (k + 24) % 192;
    }
}

void KeyboardLightingEngine::BouncingRipple() {
    const uint8_t m = RingsAt(9);
    if (m == 1) SetRingBit(9, 0);
    if (m == 64) SetRingBit(9, 6);
    if (m_kb.stage >= 2) {
        m_kb.stage = 0;
        LightRings();
        SpreadRings();
    }
    ++m_kb.stage;
    const int leds = Leds();
    for (int n = 0; n < leds; ++n) {
        Fade(n);
        Shade(n);
    }
}

void KeyboardLightingEngine::ScriptedDrop() {
    uint8_t& s = m_kb.stage;
    uint8_t& p = m_state.phase;
    switch (s) {
        case 0:
            for (uint8_t n : kDropFrames[p % 16]) LightLed(n);
            if (++p >= 16) {
                p = 0;
                s = 1;
            }
            break;
        case 1:
            if (p >= 31) {
                if (m_state.intensity[90] == 0) {
                    s = 2;
                    p = 0;
                }
            } else {
                for (uint8_t n : kDropPairs[p % 16]) LightLed(n);
                ++p;
            }
            break;
        case 2:
            PulseAt(70, 1);
            s = 3;
            break;
        case 3:
            LightRings();
            SpreadRings();
            if (m_state.intensity[105] != 0) s = 4;
            break;
        case 4:
            if (m_state.intensity[105] != 0) {
                s = 0;
                p = 0;
            }
            break;
        default:
            // A stage left by another mode restarts the script.
            s = 0;
            p = 0;
            break;
    }
    const int leds = Leds();
    for (int n = 0; n < leds; ++n) {
        Fade(n);
        Shade(n);
    }
}

void KeyboardLightingEngine::Twinkle() {
    for (uint8_t n : kLedPath) {
        uint8_t& v = m_state.intensity[n];
        v = static_cast<uint8_t>(v + 2);
        if (v >= 192) {
            v = 0;
            m_state.colourIndexes[n] = static_cast<uint8_t>(m_random.Below(192));
        }
        Paint(n, Multi() ? kColourWheel[m_state.colourIndexes[n]] : Fixed(), Bright() * kFlashCurve[v] / 256);
    }
}

void KeyboardLightingEngine::RollingRipple() {
    if (RingsAt(1) == 1) SetRingBit(1, 0);
    if (RingsAt(22) == 64) SetRingBit(22, 6);
    LightRings();
    SpreadRings();
    for (uint8_t n : kLedPath) {
        Fade(n);
        Shade(n);
    }
}

void KeyboardLightingEngine::PresetColour() {
    switch (m_params.zzccLedMode) {
        case 1:
            m_state.phase = 25;
            break;
        case 2:
            m_state.phase = 70;
            break;
        case 3:
            m_state.phase = 95;
            break;
        default:
            m_state.phase = 174;
            break;
    }
    FillAll(kColourWheel[m_state.phase], Bright());
}

void KeyboardLightingEngine::GridRainbow() {
    m_state.phase = Step(m_params.fx, 192, m_state.phase, 1);
    int k = m_state.phase % 192;
    for (int r = 0; r < kGridRows; ++r) {
        k = (k + 7) % 192;
        for (uint8_t n : kKeyGrid[r]) {
            if (NamesLed(n) && kOnLedPath[n]) Paint(n, kColourWheel[k], Bright());
        }
    }
}

void KeyboardLightingEngine::CustomColours() {
    const int n = m_frame.Count();
    for (int i = 0; i < n; ++i) {
        LedEntry e = FrameEntry(i);
        e.brightness = Bright();
        m_frame.Set(i, e);
    }
}

void KeyboardLightingEngine::LayoutRipple() {
    // The LED path, as the mode's row walks it, and every other LED that the set-up primes (the
    // layout map's): a path LED off the layout map starts its ripple from 0.
    for (int i = 0; i < kLayoutRippleLeds.count; ++i) {
        const uint8_t n = kLayoutRippleLeds.leds[i];
        uint8_t& r = m_kb.rippleCounter[n];
        r = static_cast<uint8_t>(r + 1);
        if (r >= 192) {
            r = 0;
            m_state.colourIndexes[n] = static_cast<uint8_t>(m_random.Below(192));
        }
        Paint(n, Multi() ? kColourWheel[m_state.colourIndexes[n]] : Fixed(), Bright() * kFlashCurve[r] / 256);
    }
}

void KeyboardLightingEngine::Sweep() {
    m_state.phase = Step(m_params.fx, 52, m_state.phase, 1);
    for (uint8_t n : kSweepFrames[m_state.phase % 52]) {
        if (!NamesLed(n)) continue;
        m_state.intensity[n] = 255;
        m_state.colourIndexes[n] = 0;
    }
    const int leds = Leds();
    for (int n = 0; n < leds; ++n) {
        uint8_t& v = m_state.intensity[n];
        v = static_cast<uint8_t>(v > 5 ? v - 5 : 0);
        uint8_t& c = m_state.colourIndexes[n];
        if (c != 255) c = static_cast<uint8_t>(c + 3);
        if (Multi()) {
            Paint(n, kColourWheel[c], Bright());
        } else {
            Paint(n, Fixed(), Bright() * v / 256);
        }
    }
}

void KeyboardLightingEngine::Snake() {
    uint8_t& p = m_state.phase;
    auto mark = [this](unsigned position) {
        if (position < kSnakePath.size() && NamesLed(kSnakePath[position]))
            m_state.intensity[kSnakePath[position]] = 254;
    };
    if (m_params.fx != 0) {
        if (p > 169) {
            p = 0;
        } else {
            mark(p);
            ++p;
        }
    } else if (p != 0) {
        mark(p);
        --p;
    } else {
        p = 170;
    }
    // Every LED: the snake path runs over keys that the 64-LED path does not hold.
    const int leds = Leds();
    for (int n = 0; n < leds; ++n) {
        Fade(n);
        Shade(n);
    }
}

void KeyboardLightingEngine::CompanionColour() {
    const Rgb colour = {static_cast<uint8_t>(m_kb.audioParameters[0]),
                        static_cast<uint8_t>(m_kb.audioParameters[1]),
                        static_cast<uint8_t>(m_kb.audioParameters[2])};
    FillAll(colour, Bright());
}

// ---- The audio-reactive lighting (mode 21), its level store and the pulse accumulator ----

namespace {

using Levels = std::array<int32_t, KeyboardEffectState::kBands>;

// Level conversion: a quiet band gives about 600, a loud one about 0. 64-bit so that any level
// the companion sends converts without overflow.
int64_t LevelV(int64_t level) {
    return 600 - level * 600 / 2000;
}
int64_t ClampedV(int64_t level) {
    const int64_t v = LevelV(level);
    return v < 0 ? 500 : v;
}

// Consecutive bands from band 0 summed in groups of the given sizes, each sum ÷ 3.
template <std::size_t N>
std::array<int64_t, N> Groups(const Levels& levels, const std::array<int, N>& sizes) {
    std::array<int64_t, N> groups{};
    int band = 0;
    for (std::size_t g = 0; g < N; ++g) {
        int64_t sum = 0;
        for (int k = 0; k < sizes[g] && band < KeyboardEffectState::kBands; ++k) sum += levels[band++];
        groups[g] = sum / 3;
    }
    return groups;
}

uint8_t Cell(int column, int cell) {
    if (column < 0 || column >= kColumns) return kNoLed;
    return kColumnMap[column][cell];
}

}  // namespace

void KeyboardLightingEngine::OnAudioLevels(const int32_t* levels, std::size_t count) {
    std::lock_guard lock(m_lock);
    for (int i = 0; i < KeyboardEffectState::kBands; ++i)
        m_kb.levels[i] = i < static_cast<int>(count) ? levels[i] : 0;
    if (m_params.selectItem != 21 || m_audio.audioMode != 2) return;
    Levels aside;
    TakeLevels(aside);
    int64_t sum = 0;
    for (int32_t l : aside) sum += ClampedV(l);
    const int64_t m = sum / KeyboardEffectState::kBands;
    const int64_t x = 25 - m * 25 / 600;
    const int64_t total = s_pulseAccumulator.load() + x;
    if (total > 70) {
        s_pulseAccumulator.store(0);
        PulseAt(51, 1);
    } else {
        // A flood of negative levels must not wrap the accumulator.
        s_pulseAccumulator.store(static_cast<int32_t>(total < INT32_MIN ? INT32_MIN : total));
    }
}

void KeyboardLightingEngine::TakeLevels(Levels& levels) {
    levels = m_kb.levels;
    m_kb.levels.fill(0);
}

Rgb KeyboardLightingEngine::LitColour(uint8_t wheelIndex) const {
    if (m_audio.sevenColorFlags) return kColourWheel[wheelIndex];
    return {m_audio.fgRed, m_audio.fgGreen, m_audio.fgBlue};
}

void KeyboardLightingEngine::AudioCell(int led, int guardLed, int guardThreshold, bool lit,
                                       uint8_t& wheelIndex, int litAdvance) {
    const bool guarded =
        NamesLed(static_cast<unsigned>(guardLed)) && m_state.intensity[guardLed] >= guardThreshold;
    if (!guarded) DecayIntensity(led, 21);
    uint8_t& v = m_state.intensity[led];
    if (lit || v >= 10) {
        wheelIndex = static_cast<uint8_t>((wheelIndex + litAdvance) % 192);
        if (lit) v = 255;
        Paint(led, LitColour(wheelIndex), Bright() * v / 256);
        return;
    }
    Paint(led, {m_audio.bkRed, m_audio.bkGreen, m_audio.bkBlue}, Bright());
}

void KeyboardLightingEngine::AudioLighting() {
    switch (m_audio.audioMode) {
        case 0:
            AudioColumnBars();
            break;
        case 1:
            AudioCentreBars();
            break;
        case 2:
            AudioPulseRings();
            break;
        case 3:
            AudioGridFill();
            break;
        case 4:
            AudioFallingDrops();
            break;
        case 5:
            AudioRowBars();
            break;
        case 6:
            AudioAlternatingBars();
            break;
        default:
            break;
    }
}

void KeyboardLightingEngine::AudioColumnBars() {
    Levels levels;
    TakeLevels(levels);
    m_state.phase = Step(m_params.fx, 192, m_state.phase, 1);
    if (m_kb.bandCounter > 30) {
        m_kb.bandCounter = 0;
        m_state.colourIndex = Step(m_params.fx, 25, m_state.colourIndex, 1);
    }
    ++m_kb.bandCounter;
    uint8_t c = m_state.phase;
    for (int i = 0; i < kColumns; ++i) {
        const int64_t h = (LevelV(levels[i]) + 100) * 6 / 600;
        c = static_cast<uint8_t>((c + 10) % 192);
        for (int j = 0; j < kColumnCells; ++j) {
            const uint8_t n = kColumnMap[i][j];
            if (!NamesLed(n)) continue;
            const int guard = j > 0 ? kColumnMap[i][j - 1] : kNoLed;
            uint8_t cell = c;
            AudioCell(n, guard, 10, j >= h, cell, 0);
        }
    }
}

void KeyboardLightingEngine::AudioCentreBars() {
    Levels levels;
    TakeLevels(levels);
    m_state.phase = Step(m_params.fx, 192, m_state.phase, 1);
    m_state.colourIndex = Step(m_params.fx, 25, m_state.colourIndex, 1);
    int k = m_state.colourIndex % 25;
    for (int r = 0; r < kColumnCells; ++r) {
        k = (k + 3) % 25;
        const int64_t hL = (ClampedV(levels[k]) + 100) * 12 / 600;
        const int64_t hR = (ClampedV(levels[2 * r + 1]) + 100) * 12 / 600;
        uint8_t c = m_state.phase;
        for (int j = 0; j < kColumns; ++j) {
            c = static_cast<uint8_t>((c + 7) % 192);
            const uint8_t n = kColumnMap[j][r];
            if (!NamesLed(n)) continue;
            uint8_t cell = c;
            if (j <= 8) {
                AudioCell(n, Cell(j - 1, r), 10, j >= hL, cell, 0);
            } else {
                AudioCell(n, j <= 20 ? Cell(j + 1, r) : kNoLed, 10, j <= 21 - hR, cell, 0);
            }
        }
    }
}

void KeyboardLightingEngine::AudioPulseRings() {
    LightRings();
    SpreadRings();
    const int leds = Leds();
    for (int n = 0; n < leds; ++n) {
        DecayIntensity(n, 21);
        m_state.colourIndexes[n] = Step(1, 192, m_state.colourIndexes[n], 9);
        const uint8_t v = m_state.intensity[n];
        if (v > 9) {
            Paint(n, LitColour(m_state.colourIndexes[n]), Bright() * v / 256);
        } else {
            Paint(n, {m_audio.bkRed, m_audio.bkGreen, m_audio.bkBlue}, Bright());
        }
    }
}

void KeyboardLightingEngine::AudioGridFill() {
    Levels levels;
    TakeLevels(levels);
    int64_t sum = 0;
    for (int32_t l : levels) sum += ClampedV(l);
    const int64_t m = sum / KeyboardEffectState::kBands;
    const int64_t s = m * 20 / 600;
    m_state.phase = Step(m_params.fx, 192, m_state.phase, static_cast<int>(s & 0xFF));
    uint8_t c = m_state.phase;
    for (int r = 0; r < kGridRows; ++r) {
        c = static_cast<uint8_t>((c + 9) % 192);
        for (uint8_t n : kKeyGrid[r]) {
            if (!NamesLed(n) || !kOnLedPath[n]) continue;
            LedEntry e = FrameEntry(n);
            if (r < 20 - s) {
                m_state.intensity[n] = 255;
                const Rgb& w = kColourWheel[c];
                e = {w.red, w.green, w.blue, 0};
            } else {
                DecayIntensity(n, 0);
            }
            e.brightness = static_cast<uint8_t>(Bright() * m_state.intensity[n] / 256);
            m_frame.Set(n, e);
        }
    }
}

void KeyboardLightingEngine::AudioFallingDrops() {
    Levels levels;
    TakeLevels(levels);
    m_state.phase = Step(m_params.fx, 192, m_state.phase, 1);
    for (int i = 0; i < kColumns; ++i) {
        const uint8_t b = kColumnMap[i][kColumnCells - 1];
        if (!NamesLed(b)) continue;
        const int k = (m_state.colourIndex + i + 1) % 25;
        const int64_t h = (LevelV(levels[k]) + 100) * 6 / 600;
        int32_t& flag = m_kb.columnFlags[i];
        for (int j = 0; j < kColumnCells; ++j) {
            if (flag != 0 && m_state.intensity[b] < 10) flag = 0;
            const uint8_t n = kColumnMap[i][j];
            if (!NamesLed(n)) continue;
            const int guard = j > 0 ? kColumnMap[i][j - 1] : kNoLed;
            uint8_t cell = m_state.colourIndexes[n];
            AudioCell(n, guard, 5, false, cell, 0);
            if (j >= h && flag == 0) {
                // The drop shows on the next pass.
                m_state.intensity[n] = 255;
                flag = 1;
            }
        }
    }
}

void KeyboardLightingEngine::AudioRowBars() {
    Levels levels;
    TakeLevels(levels);
    const auto groups = Groups(levels, std::array<int, 6>{2, 3, 3, 4, 5, 7});
    m_state.phase = Step(m_params.fx, 192, m_state.phase, 1);
    for (int r = 0; r < kColumnCells; ++r) {
        const int64_t w = 23 - (ClampedV(groups[5 - r]) + 100) * 23 / 600;
        uint8_t c = m_state.phase;
        for (int j = 0; j < kColumns; ++j) {
            c = static_cast<uint8_t>((c + 3) % 192);
            const uint8_t n = kColumnMap[j][r];
            if (!NamesLed(n)) continue;
            uint8_t cell = c;
            AudioCell(n, j <= 20 ? Cell(j + 1, r) : kNoLed, 10, j <= w, cell, 0);
        }
    }
}

void KeyboardLightingEngine::AudioAlternatingBars() {
    Levels levels;
    TakeLevels(levels);
    const auto groups = Groups(levels, std::array<int, 6>{2, 2, 3, 4, 5, 5});
    m_state.phase = Step(m_params.fx, 192, m_state.phase, 1);
    m_state.colourIndex = Step(m_params.fx, 25, m_state.colourIndex, 1);
    const int advance = m_audio.sevenColorFlags ? 2 : 0;
    for (int r = 0; r < kColumnCells; ++r) {
        const int64_t w = ClampedV(groups[r]) * 23 / 600;
        uint8_t c = m_state.phase;
        for (int i = 0; i < kColumns; ++i) {
            const uint8_t n = kColumnMap[i][r];
            if (!NamesLed(n)) continue;
            if (r % 2 == 1) {
                AudioCell(n, i <= 20 ? Cell(i + 1, r) : kNoLed, 10, i <= 23 - w, c, advance);
            } else {
                AudioCell(n, i >= 2 ? Cell(i - 1, r) : kNoLed, 10, i >= w, c, advance);
            }
        }
    }
}

}  // namespace vx::lighting
