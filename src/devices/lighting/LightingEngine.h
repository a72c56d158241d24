#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>

#include "devices/lighting/CustomStepList.h"
#include "devices/lighting/LedFrame.h"
#include "devices/lighting/LightList.h"
#include "devices/lighting/LightingRandom.h"
#include "devices/lighting/LightingRecords.h"
#include "devices/lighting/LightingTables.h"

namespace vx::lighting {

class AreaOverlay;
class StepPlayer;

// Effect state shared by every device class's generators.
struct EffectState {
    static constexpr int kLeds = 170;
    static constexpr int kRing = 23;

    uint8_t phase = 0;
    uint8_t colourIndex = 0;  // the keyboard's audio styles use it as their band offset
    uint8_t blinkState = 0;
    uint32_t lastBlinkMs = 0;
    std::array<uint8_t, kLeds> intensity{};
    std::array<uint8_t, kLeds> colourIndexes{};
    std::array<uint8_t, kRing> ring{};
};

// The software lighting engine of one device page: lighting parameters, effect state, the LED
// frame and the generators that advance it, driven pass by pass by a LightingThread (or by a test
// or the frame-dump tool with a clock of its own).
//
// Threads: the window thread calls the public operations marked "window thread"; the lighting
// thread calls Pass. The effect state and the parameters are guarded by a short engine lock held
// for one pass; the frame is atomic per entry and read without it. Lock order: engine lock, then
// the step player's or the light list's lock, then the area overlay's or the step list's lock.
//
// The generators and helpers are public so that tests can drive them one call at a time on an
// engine that no thread runs; a page never calls them.
class LightingEngine {
public:
    LightingEngine(int ledCount, AreaOverlay& area, StepPlayer& player);
    virtual ~LightingEngine() = default;
    LightingEngine(const LightingEngine&) = delete;
    LightingEngine& operator=(const LightingEngine&) = delete;

    // --- window thread ---
    // Resizes the frame and clears every entry, even when the count is unchanged.
    void SetLedCount(int count);
    int LedCount() const { return m_frame.Count(); }
    void SetLed(int index, LedEntry entry) { m_frame.Set(index, entry); }
    LedEntry GetLed(int index) const { return m_frame.Get(index); }
    const LedFrame& Frame() const { return m_frame; }

    // Copies the parameters as they are. The mode's set-up does not run here: a page stores the
    // record first and loads its lighting state afterwards, and that load must still see the
    // mode change.
    void SetLightInfo(const LightInfo& info);
    LightInfo GetLightInfo() const;
    // Copies the parameters and, when the mode differs from the one the effect state was last set
    // up for, resets the effect state, blanks the frame (LEDs the new effect never paints show
    // dark instead of the old effect's last colours) and runs the mode's set-up. Returns true when
    // it did.
    bool ApplyLightInfo(const LightInfo& info);
    // The class's whole loading of the profile's light settings: parameters (with the mode-change
    // reset), the light list with the area state, and the custom steps with their cursor at 0.
    // Returns true when the mode changed.
    bool LoadLightingState(const LightInfo& info, const LightListEntry* list, std::size_t listCount,
                           const LightStep* steps, std::size_t stepCount);
    // The mode the effect state was last set up for.
    uint8_t SetUpMode() const;
    void SetLightList(const LightListEntry* list, std::size_t count);
    void SetCustomSteps(const LightStep* steps, std::size_t count);
    void SetRandomSeed(uint32_t seed);
    // Whether the current mode is one the program computes and streams to the device (the page's
    // frame output then sends each frame).
    bool IsSoftwareDriven() const;
    EffectState Snapshot() const;
    std::size_t StepCursor() const { return m_steps.Cursor(); }

    // --- lighting thread ---
    // Notes the clock as the last counted time and zeroes the tick counter.
    void StartTicks(uint32_t nowMs);
    // One pass of the lighting thread at the given clock: count a tick when the clock has moved
    // 2 ms or more, run the mode's generator when its interval is due (or the step player), then
    // lay the area effects over the frame where the class does.
    void Pass(uint32_t nowMs);
    // Milliseconds between two passes of this class's thread.
    virtual int PassPeriodMs() const { return 1; }
    uint32_t Ticks() const;

    // --- generators and helpers (lighting thread, under the engine lock) ---
    static uint8_t Step(int direction, int limit, uint8_t value, int increment);
    virtual void EffectBreathCycle();
    virtual void EffectBreathFour();
    virtual void EffectStatic();
    virtual void EffectSpectrum();
    virtual void EffectBlinkCycle();
    virtual void EffectBlinkFour();
    virtual void EffectOff();
    void DecayIntensity(int led, int mode);
    virtual void SeedIntensity();
    // Full intensity for every marked ring position below count.
    void SeedRingIntensity(int count);
    void RotateRing(int direction);
    // Rotates only the first length ring positions (devices with fewer LEDs than the ring).
    void RotateRingPart(int length, int direction);
    void ClearEffectState();
    void RunStepPlayer();

protected:
    using Generator = void (LightingEngine::*)();

    // The class's mode table: run the generator of the current mode when due, or the step player.
    virtual void RunModePass() = 0;
    // What the class does to its effect state when the mode changes (under the engine lock).
    virtual void OnModeChanged() { ClearEffectState(); }
    // Run at the end of LoadLightingState's parameter step (under the engine lock).
    virtual void OnLightingStateLoaded() {}
    virtual bool LaysAreaOverlay() const { return false; }
    virtual bool StreamsMode(uint8_t mode) const { return mode == 11; }
    // Whether a pass this many milliseconds after the last counted tick counts a new one.
    virtual bool CountsTick(uint32_t elapsedMs) const { return elapsedMs >= 2; }

    // When the tick counter has reached the row's entry for the speed level: reset it and say so.
    bool Due(const LevelRow& row);
    // The pass of a class whose modes all step at the slow interval rows: the generator of the
    // current mode from the class's table, or the step player for a mode without one.
    template <size_t N>
    void RunSlowModeTable(const std::array<Generator, N>& table) {
        const Generator generator = m_params.selectItem < N ? table[m_params.selectItem] : nullptr;
        if (generator == nullptr) {
            RunStepPlayer();
            return;
        }
        if (Due(kSlowIntervals)) (this->*generator)();
    }
    uint8_t Bright() const { return AtLevel(kBrightnessLevels, m_params.light); }
    uint8_t SpeedLevel() const { return m_params.speed; }
    bool Multi() const { return m_params.multiColor != 0; }
    Rgb Fixed() const { return {m_params.red, m_params.green, m_params.blue}; }
    void Paint(int led, const Rgb& colour, unsigned brightness);
    void FillAll(const Rgb& colour, unsigned brightness);
    LedEntry FrameEntry(int led) const { return m_frame.Get(led); }
    int Leds() const;  // LEDs that have effect state: min(frame count, 170)

    mutable std::mutex m_lock;
    LightInfo m_params;
    EffectState m_state;
    LedFrame m_frame;
    LightingRandom m_random;
    LightList m_lightList;
    CustomStepList m_steps;
    AreaOverlay& m_area;
    StepPlayer& m_player;
    uint32_t m_nowMs = 0;
    // The mode whose set-up the effect state holds; SetLightInfo leaves it, ApplyLightInfo
    // compares against it.
    uint8_t m_setUpMode = 0;
    uint32_t m_lastCountedMs = 0;
    uint32_t m_ticks = 0;

private:
    void BlinkToggle(int phaseStep, int phaseLimit);
};

}  // namespace vx::lighting
