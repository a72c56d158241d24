#include <gtest/gtest.h>

#include <set>

#include "TestEngines.h"

using namespace vx::lighting;
using namespace vx::lighting::test;

namespace {

class SharedGenerators : public ::testing::Test {
protected:
    Shared shared;
    MouseLightingEngine mouse{15, shared.area, shared.player};
};

}  // namespace

TEST_F(SharedGenerators, BreathCycleMovesColourIndexAfterEachFullBreath) {
    mouse.ApplyLightInfo(Info(2, 4, 4, 1, 1));
    std::vector<int> indexes;
    for (int call = 1; call <= 128 * 14; ++call) {
        mouse.EffectBreathCycle();
        const EffectState s = mouse.Snapshot();
        if (s.phase == 0) {
            indexes.push_back(s.colourIndex);
            // At the bottom of the breath the colour is already the new wheel entry, dark.
            EXPECT_EQ(mouse.GetLed(0), Wheel(s.colourIndex, 0));
        } else {
            EXPECT_EQ(call % 128 == 0, false);
        }
    }
    const std::vector<int> expected = {16, 32, 48, 64, 80, 96, 112, 128, 144, 160, 176, 192, 0, 16};
    EXPECT_EQ(indexes, expected);
}

TEST_F(SharedGenerators, BreathCycleBrightnessFollowsCurveAndLevel) {
    mouse.ApplyLightInfo(Info(2, 2, 4, 1, 0, {10, 20, 30}));
    for (int call = 1; call <= 70; ++call) {
        mouse.EffectBreathCycle();
        const LedEntry e = mouse.GetLed(14);
        EXPECT_EQ(e, (LedEntry{10, 20, 30, static_cast<uint8_t>(kBreathingCurve[call] * 120 / 256)})) << call;
    }
}

TEST_F(SharedGenerators, BlinkFourAlternatesEntriesOneAndThreeInOnHalves) {
    // Mouse mode 8 at speed level 4: a half lasts 7 × 200 ms.
    mouse.ApplyLightInfo(Info(8, 4, 4));
    uint32_t now = 100000;
    mouse.StartTicks(now);
    std::vector<LedEntry> onColours;
    std::vector<uint32_t> toggles;
    bool wasOn = false;
    for (int pass = 0; pass < 4000; ++pass) {
        now += 2;
        mouse.Pass(now);
        const bool on = mouse.GetLed(0).brightness != 0;
        if (on != wasOn) toggles.push_back(now);
        if (on && !wasOn) onColours.push_back(mouse.GetLed(0));
        wasOn = on;
    }
    ASSERT_GE(onColours.size(), 3u);
    const auto four = [](int i) { return LedEntry{kFourColours[i].red, kFourColours[i].green, kFourColours[i].blue, 255}; };
    EXPECT_EQ(onColours[0], four(1));
    EXPECT_EQ(onColours[1], four(3));
    EXPECT_EQ(onColours[2], four(1));
    for (size_t i = 1; i < toggles.size(); ++i) EXPECT_EQ(toggles[i] - toggles[i - 1], 1400u) << i;
}

TEST_F(SharedGenerators, BrightnessLevelZeroIsDarkWhileColoursMove) {
    std::set<uint32_t> colours;
    for (uint8_t mode : {1, 2, 3, 4, 7, 8}) {
        MouseLightingEngine m(15, shared.area, shared.player);
        m.ApplyLightInfo(Info(mode, 0, 4, 1, 1, {1, 2, 3}));
        uint32_t now = 50000;
        m.StartTicks(now);
        for (int pass = 0; pass < 3000; ++pass) {
            now += 2;
            m.Pass(now);
            for (int i = 0; i < 15; ++i) ASSERT_EQ(m.GetLed(i).brightness, 0) << "mode " << int(mode);
            if (mode == 1) colours.insert(m.GetLed(0).Pack());
        }
    }
    EXPECT_GT(colours.size(), 100u);
}

TEST_F(SharedGenerators, SpectrumStepsEveryIntervalOfTicks) {
    // Mouse intervals are 28, 23, 18, 13, 7 ticks; a tick is counted when the clock moved 2 ms.
    for (uint8_t speed = 0; speed <= 4; ++speed) {
        MouseLightingEngine m(15, shared.area, shared.player);
        m.ApplyLightInfo(Info(1, 4, speed, 1, 0));
        uint32_t now = 1000;
        m.StartTicks(now);
        // 1 ms passes: one tick every second pass.
        for (int pass = 0; pass < 2 * kSlowIntervals[speed] * 10; ++pass) m.Pass(++now);
        EXPECT_EQ(m.Snapshot().phase, 10) << int(speed);
    }
}

TEST_F(SharedGenerators, KeyboardIntervalRows) {
    struct Case {
        uint8_t mode;
        uint8_t speed;
        int ticksPerStep;
    };
    // The keyboard's spectrum (mode 4) uses the keyboard row 5, 4, 3, 2, 1 ticks.
    for (const Case c : {Case{4, 0, 5}, Case{4, 2, 3}, Case{4, 4, 1}}) {
        Shared s;
        KeyboardLightingEngine kb(170, s.area, s.player);
        kb.ApplyLightInfo(Info(c.mode, 4, c.speed, 1, 0));
        RunTickPasses(kb, 0, c.ticksPerStep * 12);
        EXPECT_EQ(kb.Snapshot().phase, 12) << int(c.mode) << "/" << int(c.speed);
    }
}

TEST(SharedHelpers, DecayIntensitySteps) {
    Shared s;
    MouseLightingEngine m(15, s.area, s.player);
    // Through the ripple's seed: ring position 0 is marked after a mode change.
    m.ApplyLightInfo(Info(9));
    m.SeedIntensity();
    auto decayFrom255 = [&](int mode) {
        std::vector<int> seen;
        m.SeedIntensity();
        for (int i = 0; i < 12; ++i) {
            m.DecayIntensity(0, mode);
            seen.push_back(m.Snapshot().intensity[0]);
        }
        return seen;
    };
    EXPECT_EQ(decayFrom255(0), (std::vector<int>{215, 175, 135, 95, 65, 35, 20, 12, 11, 10, 9, 8}));
    EXPECT_EQ(decayFrom255(21), (std::vector<int>{210, 165, 120, 85, 60, 50, 40, 30, 25, 20, 15, 14}));
    EXPECT_EQ(decayFrom255(9), (std::vector<int>{215, 175, 135, 95, 65, 35, 25, 17, 9, 8, 7, 6}));
}

TEST(SharedHelpers, RotateRingBothWays) {
    Shared s;
    MouseLightingEngine m(15, s.area, s.player);
    m.ApplyLightInfo(Info(9));  // ring position 0 marked
    m.RotateRing(1);
    EXPECT_EQ(m.Snapshot().ring[1], 1);
    EXPECT_EQ(m.Snapshot().ring[0], 0);
    m.RotateRing(0);
    m.RotateRing(0);
    EXPECT_EQ(m.Snapshot().ring[22], 1);
    m.ClearEffectState();
    for (uint8_t b : m.Snapshot().ring) EXPECT_EQ(b, 0);
}
