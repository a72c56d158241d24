#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "devices/lighting/KeyboardGeometry.h"
#include "devices/lighting/LightingEngine.h"

namespace vx::lighting {

// The keyboard's own effect state beyond the shared one.
struct KeyboardEffectState {
    enum Ring { kUpLeft = 0, kUpRight = 1, kDownRight = 2, kDownLeft = 3 };
    static constexpr int kBands = 25;

    uint8_t stage = 0;
    std::array<uint8_t, kKeyboardLeds> keyState{};  // 0 idle, 1 rising, 2 falling
    std::array<uint8_t, kKeyboardLeds> rippleCounter{};
    // One byte per column of the column map; bit j is cell j, bits 6 and 7 lie below the keys.
    std::array<std::array<uint8_t, kColumns>, 4> rings{};
    std::array<int32_t, kBands> levels{};
    std::array<int32_t, 6> audioParameters{};
    uint8_t bandCounter = 0;
    std::array<int32_t, kColumns> columnFlags{};
};

// The keyboard's lighting: its own generators for most of its 32 modes, the ring mechanism of the
// ripple modes, the mode-entry set-ups, the audio-reactive styles, the companion colour, the step
// player and the area effects of its light list.
class KeyboardLightingEngine : public LightingEngine {
public:
    explicit KeyboardLightingEngine(int ledCount = kKeyboardLeds);
    KeyboardLightingEngine(int ledCount, AreaOverlay& area, StepPlayer& player);

    // --- window thread ---
    // Band levels from the audio companion (the first 25 values are taken).
    void OnAudioLevels(const int32_t* levels, std::size_t count);
    // The companion's six-value record; mode 31 shows the low bytes of the first three.
    void SetAudioParameters(const int32_t* values, std::size_t count);
    void SetAudioLightInfo(const AudioLightInfo& info);
    AudioLightInfo GetAudioLightInfo() const;
    // Key presses that the page feeds to the key-reaction modes (7, 8, 9, 25): a pressed key rises
    // and sends a ripple from its place, a released key falls.
    void KeyPressed(int led);
    void KeyReleased(int led);
    KeyboardEffectState KeyboardSnapshot() const;
    // The program-wide pulse accumulator of audio style 2.
    static int32_t PulseAccumulator();
    static void ResetPulseAccumulator();

    // --- lighting thread: ring helpers, set-ups and generators ---
    void LightRings();
    void SpreadRings();
    void SlideRings();
    void PulseAt(int led, int action);
    void ResetEffectState();
    void DefaultSetUp();
    void SetUpBouncingRipple();  // mode 13
    void SetUpTwinkle();         // mode 15
    void SetUpRollingRipple();   // mode 16
    void SetUpLayoutRipple();    // mode 22

    void ColumnWave();                  // 1
    void ColumnFlashWave();             // 2
    void PathWave();                    // 3
    void EffectBreathCycle() override;  // 5
    void EffectStatic() override;       // 6
    void KeyGlow();                     // 7, 25
    void DiamondRipple();               // 8
    void SlidingRipple();               // 9
    void Sparkle();                     // 10
    void PerKeySpectrum();              // 11
    void RowWave();                     // 12
    void BouncingRipple();              // 13
    void ScriptedDrop();                // 14
    void Twinkle();                     // 15
    void RollingRipple();               // 16
    void PresetColour();                // 17
    void GridRainbow();                 // 18
    void CustomColours();               // 20
    void AudioLighting();               // 21
    void LayoutRipple();                // 22
    void Sweep();                       // 24
    void Snake();                       // 29
    void CompanionColour();             // 31

    // The audio styles of mode 21.
    void AudioColumnBars();       // 0
    void AudioCentreBars();       // 1
    void AudioPulseRings();       // 2
    void AudioGridFill();         // 3
    void AudioFallingDrops();     // 4
    void AudioRowBars();          // 5
    void AudioAlternatingBars();  // 6

protected:
    void RunModePass() override;
    void OnModeChanged() override;
    void OnLightingStateLoaded() override;
    bool LaysAreaOverlay() const override { return true; }
    bool StreamsMode(uint8_t mode) const override { return mode == 21 || mode == 31; }

private:
    void Fade(int led) { DecayIntensity(led, m_params.selectItem); }
    void Shade(int led);
    void LightLed(int led);
    void PaintColumn(int column, const Rgb& colour, unsigned brightness);
    void SetRingBit(int column, int bit);
    uint8_t RingsAt(int column) const;
    void TakeLevels(std::array<int32_t, KeyboardEffectState::kBands>& levels);
    Rgb LitColour(uint8_t wheelIndex) const;
    // One audio cell: fades unless its guard LED holds intensity of at least the threshold, then
    // is lit or left. litAdvance moves the running wheel index before a lit-colour paint.
    void AudioCell(int led, int guardLed, int guardThreshold, bool lit, uint8_t& wheelIndex, int litAdvance);

    KeyboardEffectState m_kb;
    AudioLightInfo m_audio;
    static std::atomic<int32_t> s_pulseAccumulator;
};

}  // namespace vx::lighting
