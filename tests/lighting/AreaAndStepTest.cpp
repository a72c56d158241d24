#include <gtest/gtest.h>

#include <vector>

#include "TestEngines.h"

using namespace vx::lighting;
using namespace vx::lighting::test;

namespace {

LightListEntry Entry(uint8_t type, uint8_t speed, uint8_t brightness = 4, uint8_t multi = 0,
                     Rgb c = {10, 20, 30}) {
    LightListEntry e;
    e.selectItem = type;
    e.speed = speed;
    e.light = brightness;
    e.multiColor = multi;
    e.red = c.red;
    e.green = c.green;
    e.blue = c.blue;
    e.present = 1;
    return e;
}

LightStep StepOf(uint8_t effect, int32_t time, uint8_t speed = 4, uint8_t multi = 0, Rgb c = {1, 2, 3}) {
    LightStep s;
    s.light = Info(effect, 4, speed, 0, multi, c);
    s.time = time;
    return s;
}

}  // namespace

TEST(AreaOverlay, BreathingAtSpeedFourTakesSixteenPasses) {
    Shared shared;
    KeyboardLightingEngine kb(170, shared.area, shared.player);
    std::vector<LightListEntry> list(3);
    list[2] = Entry(kAreaBreathing, 4);
    kb.LoadLightingState(Info(28, 4, 0), list.data(), list.size(), nullptr, 0);
    uint32_t now = 1000;
    for (int pass = 1; pass <= 16; ++pass) {
        kb.Pass(++now);
        const int phase = (8 * pass) % 128;
        EXPECT_EQ(shared.area.BreathPhase(2), phase) << pass;
        EXPECT_EQ(kb.GetLed(2),
                  (LedEntry{10, 20, 30, static_cast<uint8_t>(kBreathingCurve[phase] * 255 / 256)}));
    }
    EXPECT_EQ(shared.area.BreathColourStep(2), 1);
    // Entries that are not breathing entries are left to the mode (28: off).
    EXPECT_EQ(kb.GetLed(0), LedEntry{});
}

TEST(AreaOverlay, StaticOffCycleAndBlinkEntries) {
    Shared shared;
    MousePadLightingEngine pad(15, shared.area, shared.player);
    std::vector<LightListEntry> list = {
        Entry(kAreaStatic, 0, 2),       // 0: static at level 2
        Entry(kAreaOff, 0),             // 1: off
        Entry(kAreaColourCycle, 4, 4),  // 2: cycle every 7 passes
        Entry(kAreaBlink, 4, 4, 0),     // 3: blink, 1400 ms halves
    };
    // Mode 3 (static white) underneath.
    pad.LoadLightingState(Info(3, 4, 4, 1, 0, {255, 255, 255}), list.data(), list.size(), nullptr, 0);
    uint32_t now = 100000;
    pad.StartTicks(now);
    std::vector<uint32_t> toggles;
    bool wasOn = false;
    for (int pass = 1; pass <= 1600; ++pass) {
        now += 2;
        pad.Pass(now);
        EXPECT_EQ(pad.GetLed(0), (LedEntry{10, 20, 30, 120}));
        EXPECT_EQ(pad.GetLed(1), LedEntry{});
        if (pass == 7) {
            EXPECT_EQ(pad.GetLed(2), Wheel(1, 255));
        }
        if (pass == 14) {
            EXPECT_EQ(pad.GetLed(2), Wheel(2, 255));
        }
        const bool on = pad.GetLed(3).brightness != 0;
        if (on != wasOn) toggles.push_back(now);
        wasOn = on;
        if (pass > 20) {
            EXPECT_EQ(pad.GetLed(4), (LedEntry{255, 255, 255, 255}));
        }
    }
    ASSERT_GE(toggles.size(), 2u);
    EXPECT_EQ(toggles[0], 100002u);  // the first pass toggles on (last toggle time 0)
    EXPECT_EQ(toggles[1] - toggles[0], 1400u);
}

TEST(AreaOverlay, LongListsAreCutAtTheLedCount) {
    Shared shared;
    MousePadLightingEngine pad(15, shared.area, shared.player);
    std::vector<LightListEntry> list(400, Entry(kAreaStatic, 0));
    pad.LoadLightingState(Info(8), list.data(), list.size(), nullptr, 0);
    for (int pass = 0; pass < 10; ++pass) pad.Pass(static_cast<uint32_t>(pass * 2));
    for (int i = 0; i < 15; ++i) EXPECT_EQ(pad.GetLed(i), (LedEntry{10, 20, 30, 255}));
}

TEST(StepPlayer, EmptyListRunsOff) {
    Shared shared;
    KeyboardLightingEngine kb(170, shared.area, shared.player);
    kb.LoadLightingState(Info(0), nullptr, 0, nullptr, 0);
    for (int n = 0; n < 170; ++n) kb.SetLed(n, {1, 1, 1, 1});
    kb.Pass(100);
    for (int n = 0; n < 170; ++n) ASSERT_EQ(kb.GetLed(n), LedEntry{});
}

TEST(StepPlayer, OneStepOfTimeZeroRestartsOnEveryMovedClock) {
    Shared shared;
    MouseLightingEngine mouse(15, shared.area, shared.player);
    const std::vector<LightStep> steps = {StepOf(kStepStatic, 0)};
    mouse.LoadLightingState(Info(5), nullptr, 0, steps.data(), steps.size());
    mouse.Pass(500);
    EXPECT_EQ(shared.player.StepStartMs(), 500u);
    mouse.Pass(500);  // the clock did not move: the step keeps its start
    EXPECT_EQ(shared.player.StepStartMs(), 500u);
    mouse.Pass(501);
    EXPECT_EQ(shared.player.StepStartMs(), 501u);
    EXPECT_EQ(mouse.StepCursor(), 0u);
    // The static step paints only once its interval (7 passes at speed 4) falls due.
    EXPECT_EQ(mouse.GetLed(3), LedEntry{});
    for (uint32_t now = 502; now < 506; ++now) mouse.Pass(now);
    EXPECT_EQ(mouse.GetLed(3), (LedEntry{1, 2, 3, 255}));
}

TEST(StepPlayer, CursorAdvancesAfterEachStepsTimeAndWraps) {
    Shared shared;
    MousePadLightingEngine pad(15, shared.area, shared.player);
    const std::vector<LightStep> steps = {StepOf(kStepStatic, 100, 4, 0, {9, 0, 0}),
                                          StepOf(kStepStatic, 50, 4, 0, {0, 9, 0})};
    pad.LoadLightingState(Info(5), nullptr, 0, steps.data(), steps.size());
    uint32_t now = 1000;
    std::vector<std::pair<uint32_t, size_t>> changes;
    size_t cursor = 0;
    for (int pass = 0; pass < 200; ++pass) {
        pad.Pass(now);
        if (pad.StepCursor() != cursor) {
            cursor = pad.StepCursor();
            changes.emplace_back(now, cursor);
        }
        now += 2;
    }
    // "More than Time ms": 102 ms after the start, then 52 ms after that.
    ASSERT_GE(changes.size(), 3u);
    EXPECT_EQ(changes[0], std::make_pair(1102u, size_t{1}));
    EXPECT_EQ(changes[1], std::make_pair(1154u, size_t{0}));
    EXPECT_EQ(changes[2], std::make_pair(1256u, size_t{1}));
}

TEST(StepPlayer, SubEffects) {
    // Spectrum at speed 4 steps its phase every pass; wave with multi-colour spreads the wheel by 12.
    Shared shared;
    KeyboardLightingEngine kb(170, shared.area, shared.player);
    std::vector<LightStep> steps = {StepOf(kStepSpectrum, 100000)};
    kb.LoadLightingState(Info(19), nullptr, 0, steps.data(), steps.size());
    for (int pass = 1; pass <= 5; ++pass) kb.Pass(static_cast<uint32_t>(pass));
    EXPECT_EQ(shared.player.Phase(), 5u);
    EXPECT_EQ(kb.GetLed(100), Wheel(5, 255));

    steps = {StepOf(kStepWave, 100000, 0, 1)};
    kb.SetCustomSteps(steps.data(), steps.size());
    for (int pass = 0; pass < 28; ++pass) kb.Pass(100);
    // 28 passes at speed 0 make one wave step: phase 6, d = phase + 1 in the "Fx" 0 direction.
    EXPECT_EQ(shared.player.Phase(), 6u);
    EXPECT_EQ(kb.GetLed(0), Wheel(7, 255));
    EXPECT_EQ(kb.GetLed(1), Wheel(19, 255));
    EXPECT_EQ(kb.GetLed(16), Wheel((7 + 16 * 12) % 192, 255));

    steps = {StepOf(kStepBlink, 100000, 4, 0)};
    kb.SetCustomSteps(steps.data(), steps.size());
    kb.Pass(10000);
    EXPECT_EQ(kb.GetLed(5), (LedEntry{1, 2, 3, 255}));
    kb.Pass(11399);
    EXPECT_EQ(kb.GetLed(5), (LedEntry{1, 2, 3, 255}));
    kb.Pass(11400);
    EXPECT_EQ(kb.GetLed(5), LedEntry{});
}
