// The keyboard's audio-reactive lighting (mode 21), its level store and the pulse accumulator.
#include <cstdint>

#include "devices/lighting/KeyboardLightingEngine.h"

namespace vx::lighting {

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
