#include <gtest/gtest.h>

#include <vector>

#include "TestEngines.h"

using namespace vx::lighting;
using namespace vx::lighting::test;

TEST(MouseLighting, WaveGivesEachGroupItsWheelEntry) {
    Shared shared;
    MouseLightingEngine mouse(15, shared.area, shared.player);
    mouse.ApplyLightInfo(Info(0, 4, 4, 1, 1));
    for (int i = 0; i < 3; ++i) mouse.EffectWave();
    // Phase 3: group g shows wheel[4 + 7 g].
    const std::vector<std::vector<int>> groups = {{0, 13}, {1, 12}, {2, 11},   {3, 10},
                                                  {4, 9},  {5, 8},  {6, 14, 7}};
    for (size_t g = 0; g < groups.size(); ++g) {
        for (int led : groups[g]) EXPECT_EQ(mouse.GetLed(led), Wheel(4 + 7 * g, 255)) << g;
    }
}

TEST(MouseLighting, RippleTravelsThroughTheGroupsInOrder) {
    Shared shared;
    MouseLightingEngine mouse(15, shared.area, shared.player);
    mouse.ApplyLightInfo(Info(9, 4, 4, 1, 0, {0, 0, 255}));
    for (int call = 0; call < 7; ++call) {
        mouse.EffectRipple();
        // The freshly seeded group decays once to 215 in the same call.
        const EffectState s = mouse.Snapshot();
        for (int g = 0; g < 7; ++g) EXPECT_EQ(s.intensity[g] == 215, g == call) << call << "/" << g;
    }
    EXPECT_EQ(mouse.GetLed(6), (LedEntry{0, 0, 255, 214}));
    EXPECT_EQ(mouse.GetLed(14), (LedEntry{0, 0, 255, 214}));
    EXPECT_EQ(mouse.GetLed(0), mouse.GetLed(13));  // both LEDs of group 0
}

TEST(MouseLighting, ReactiveFadeOnlyInModeSix) {
    Shared shared;
    MouseLightingEngine mouse(15, shared.area, shared.player);
    mouse.ApplyLightInfo(Info(3, 4, 4, 1, 0, {5, 5, 5}));
    mouse.EffectStatic();
    mouse.TriggerReactive();
    EXPECT_EQ(mouse.Snapshot().intensity[0], 0);
    EXPECT_EQ(mouse.GetLed(0), (LedEntry{5, 5, 5, 255}));

    mouse.ApplyLightInfo(Info(6, 4, 4, 1, 0, {5, 5, 5}));
    mouse.TriggerReactive();
    mouse.EffectReactive();  // 255 reached: falls from now on
    EXPECT_EQ(mouse.Snapshot().intensity[4], 255);
    mouse.EffectReactive();
    EXPECT_EQ(mouse.Snapshot().intensity[4], 240);
    for (int i = 0; i < 20; ++i) mouse.EffectReactive();
    EXPECT_EQ(mouse.Snapshot().intensity[4], 0);
    EXPECT_EQ(mouse.GetLed(4), (LedEntry{5, 5, 5, 0}));
}

TEST(MouseLighting, StepPlayerModesAndNoAreaEffects) {
    Shared shared;
    MouseLightingEngine mouse(15, shared.area, shared.player);
    LightListEntry e;
    e.selectItem = kAreaStatic;
    e.red = 99;
    e.light = 4;
    e.present = 1;
    const LightStep step{Info(kStepStatic, 4, 4, 0, 0, {7, 7, 7}), 1000, 0};
    mouse.LoadLightingState(Info(11), &e, 1, &step, 1);
    // The mouse draws its step, once due (7 passes at speed 4), but never its light list.
    for (uint32_t now = 10; now < 16; ++now) mouse.Pass(now);
    EXPECT_EQ(mouse.GetLed(0), LedEntry{});
    mouse.Pass(16);
    EXPECT_EQ(mouse.GetLed(0), (LedEntry{7, 7, 7, 255}));
}

TEST(MousePadLighting, PairsNeverWriteLedZero) {
    Shared shared;
    MousePadLightingEngine pad(15, shared.area, shared.player);
    pad.ApplyLightInfo(Info(7, 4, 4, 1, 1));
    pad.SetLed(0, {1, 2, 3, 4});
    std::vector<bool> lit(15, false);
    for (int call = 0; call < 200; ++call) {
        pad.EffectPadPairs();
        for (int i = 1; i < 15; ++i) lit[i] = lit[i] || pad.GetLed(i).brightness != 0;
    }
    EXPECT_EQ(pad.GetLed(0), (LedEntry{1, 2, 3, 4}));
    for (int i = 1; i < 15; ++i) EXPECT_TRUE(lit[i]) << i;
    // Both LEDs of a pair always show the same entry.
    EXPECT_EQ(pad.GetLed(1), pad.GetLed(14));
    EXPECT_EQ(pad.GetLed(7), pad.GetLed(8));
}

TEST(MousePadLighting, RippleAdvancesOnEverySecondCall) {
    Shared shared;
    MousePadLightingEngine pad(15, shared.area, shared.player);
    pad.ApplyLightInfo(Info(6, 4, 4, 1, 0));
    std::vector<int> seeded;
    for (int call = 1; call <= 9; ++call) {
        pad.EffectPadRipple();
        const EffectState s = pad.Snapshot();
        int fresh = -1;
        for (int i = 0; i < 15; ++i) {
            if (s.intensity[i] == 215) fresh = i;
        }
        seeded.push_back(fresh);
    }
    EXPECT_EQ(seeded, (std::vector<int>{-1, -1, 0, -1, 1, -1, 2, -1, 3}));
}

TEST(MousePadLighting, WaveRunsPerLed) {
    Shared shared;
    MousePadLightingEngine pad(15, shared.area, shared.player);
    pad.ApplyLightInfo(Info(0, 4, 4, 1, 0, {100, 0, 0}));
    pad.EffectPadWave();
    // Phase 1: LED i is at pulse curve[(2 + 7 i) mod 96].
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(pad.GetLed(i),
                  (LedEntry{100, 0, 0, static_cast<uint8_t>(255 * kPulseCurve[(2 + 7 * i) % 96] / 256)}));
    EXPECT_EQ(pad.PassPeriodMs(), 2);
}

// The headset's own generators on its 13 LEDs: the wave's spacing and step in both colour
// kinds, and the ripple and pairs effects, which must light up on their own once chosen.
TEST(HeadsetLighting, WaveRippleAndPairsOnThirteenLeds) {
    Shared shared;
    HeadsetLightingEngine headset(13, shared.area, shared.player);
    headset.ApplyLightInfo(Info(0, 4, 4, 1, 0, {100, 0, 0}));
    for (int call = 0; call < 30; ++call) headset.EffectHeadsetWave();  // phase 90 (steps of 3)
    const int expectedWave[3] = {90, 4, 14};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(headset.GetLed(i), (LedEntry{100, 0, 0, static_cast<uint8_t>(255 * kPulseCurve[expectedWave[i]] / 256)}))
            << i;

    HeadsetLightingEngine multi(13, shared.area, shared.player);
    multi.ApplyLightInfo(Info(0, 4, 4, 1, 1));
    for (int call = 0; call < 185; ++call) multi.EffectHeadsetWave();  // phase 185
    EXPECT_EQ(multi.GetLed(0), Wheel(186, 255));
    EXPECT_EQ(multi.GetLed(1), Wheel(10, 255));

    // Ripple: with nothing marked on the headset it would stay dark for good.
    headset.ApplyLightInfo(Info(6, 4, 4, 1, 0, {0, 200, 0}));
    std::vector<bool> lit(13, false);
    for (int call = 0; call < 60; ++call) {
        headset.EffectHeadsetRipple();
        for (int i = 0; i < 13; ++i) lit[i] = lit[i] || headset.GetLed(i).brightness != 0;
    }
    for (int i = 0; i < 13; ++i) EXPECT_TRUE(lit[i]) << "ripple LED " << i;

    // Pairs: LEDs 1 to 12 light, both LEDs of a pair alike; LED 0 and the pairs' LEDs 13 and 14,
    // which the headset does not have, are never written.
    headset.ApplyLightInfo(Info(7, 4, 4, 1, 1));
    headset.SetLed(0, {1, 2, 3, 4});
    lit.assign(13, false);
    for (int call = 0; call < 200; ++call) {
        headset.EffectHeadsetPairs();
        for (int i = 1; i < 13; ++i) lit[i] = lit[i] || headset.GetLed(i).brightness != 0;
        ASSERT_EQ(headset.GetLed(3), headset.GetLed(12));
        ASSERT_EQ(headset.GetLed(7), headset.GetLed(8));
    }
    EXPECT_EQ(headset.GetLed(0), (LedEntry{1, 2, 3, 4}));
    for (int i = 1; i < 13; ++i) EXPECT_TRUE(lit[i]) << "pairs LED " << i;
    EXPECT_EQ(headset.GetLed(13), LedEntry{});
}
