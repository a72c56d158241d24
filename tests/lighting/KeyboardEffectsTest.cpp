#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "TestEngines.h"

using namespace vx::lighting;
using namespace vx::lighting::test;

namespace {

class KeyboardEffects : public ::testing::Test {
protected:
    Shared shared;
    KeyboardLightingEngine kb{170, shared.area, shared.player};

    // LEDs whose intensity is exactly v.
    std::set<int> AtIntensity(int v) const {
        std::set<int> leds;
        const EffectState s = kb.Snapshot();
        for (int n = 0; n < 170; ++n) {
            if (s.intensity[n] == v) leds.insert(n);
        }
        return leds;
    }
    uint8_t RingsOr(int column) const {
        const KeyboardEffectState s = kb.KeyboardSnapshot();
        return s.rings[0][column] | s.rings[1][column] | s.rings[2][column] | s.rings[3][column];
    }
};

}  // namespace

TEST_F(KeyboardEffects, ColumnWaveExampleFromPhaseZero) {
    kb.ApplyLightInfo(Info(1, 4, 4, 1, 1));
    kb.ColumnWave();
    EXPECT_EQ(kb.Snapshot().phase, 1);
    for (int n : {84, 105}) EXPECT_EQ(kb.GetLed(n), Wheel(2, 255)) << n;
    for (int n : {0, 42, 63, 102, 106}) EXPECT_EQ(kb.GetLed(n), Wheel(9, 255)) << n;
    for (int n : {22, 43, 64, 85, 107}) EXPECT_EQ(kb.GetLed(n), Wheel(16, 255)) << n;
}

TEST_F(KeyboardEffects, ColumnWavePutsEachColumnsColour) {
    kb.ApplyLightInfo(Info(1, 4, 4, 1, 1));
    for (int call = 0; call < 5; ++call) kb.ColumnWave();
    // Phase 5: column i shows wheel[(6 + 7 i) mod 192]. LED 55 sits in columns 14 and 15; the
    // later column paints it last.
    const std::vector<std::vector<int>> columns = {{84, 105},
                                                   {0, 42, 63, 102, 106},
                                                   {22, 43, 64, 85, 107},
                                                   {23, 44, 65, 86, 82},
                                                   {24, 45, 66, 87},
                                                   {25, 46, 67, 88, 80},
                                                   {26, 47, 68, 89, 108},
                                                   {27, 48, 69, 90, 79},
                                                   {28, 49, 70, 91, 83},
                                                   {29, 50, 71, 92, 81},
                                                   {30, 51, 72, 93, 109},
                                                   {31, 52, 73, 94, 111},
                                                   {32, 53, 74, 112},
                                                   {33, 54, 62, 100, 110},
                                                   {101, 75, 95},
                                                   {34, 55}};
    for (size_t i = 0; i < columns.size(); ++i) {
        for (int n : columns[i])
            EXPECT_EQ(kb.GetLed(n), Wheel((6 + 7 * i) % 192, 255)) << "column " << i << " LED " << n;
    }
    // Keys outside the column map (the F row, for one) are never painted by a column mode.
    for (int n = 1; n <= 21; ++n) EXPECT_EQ(kb.GetLed(n), LedEntry{}) << n;
}

TEST_F(KeyboardEffects, ColumnModesNeverPaintLedsOutsideTheColumnMap) {
    for (uint8_t mode : {1, 2, 5, 12}) {
        for (uint8_t multi : {0, 1}) {
            Shared s;
            KeyboardLightingEngine k(170, s.area, s.player);
            k.ApplyLightInfo(Info(mode, 4, 4, 1, multi));
            RunTickPasses(k, 0, 300);
            for (int n : {1, 2, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 35, 36, 56, 96, 113, 119, 125})
                EXPECT_EQ(k.GetLed(n), LedEntry{}) << "mode " << int(mode) << " LED " << n;
        }
    }
}

TEST_F(KeyboardEffects, PresetColourOptions) {
    LightInfo info = Info(17, 4, 4, 1, 0);
    info.zzccLedMode = 2;
    kb.ApplyLightInfo(info);
    kb.PresetColour();
    for (int n = 0; n < 170; ++n) ASSERT_EQ(kb.GetLed(n), (LedEntry{0, 255, 18, 255})) << n;
    info.zzccLedMode = 7;
    kb.SetLightInfo(info);
    kb.PresetColour();
    for (int n = 0; n < 170; ++n) ASSERT_EQ(kb.GetLed(n), (LedEntry{255, 0, 85, 255})) << n;
}

TEST_F(KeyboardEffects, SpreadRingsGrowsADiamondOutline) {
    const int c = 8;
    const int r = 2;
    kb.PulseAt(49, 1);  // column 8, cell 2
    for (int t = 1; t <= 6; ++t) {
        kb.SpreadRings();
        const KeyboardEffectState s = kb.KeyboardSnapshot();
        for (int col = 0; col < kColumns; ++col) {
            const uint8_t all = s.rings[0][col] | s.rings[1][col] | s.rings[2][col] | s.rings[3][col];
            for (int bit = 0; bit < 8; ++bit) {
                const bool expected = std::abs(col - c) + std::abs(bit - r) == t;
                EXPECT_EQ((all >> bit & 1) != 0, expected)
                    << "step " << t << " column " << col << " bit " << bit;
                // The up-left ring holds only the quarter above and left of the seed.
                const bool upLeft = expected && col <= c && bit <= r;
                EXPECT_EQ((s.rings[KeyboardEffectState::kUpLeft][col] >> bit & 1) != 0, upLeft);
            }
        }
    }
}

TEST_F(KeyboardEffects, SlideRingsMovesLeftAndRightHalves) {
    kb.PulseAt(70, 1);  // column 8, cell 3
    kb.SlideRings();
    const KeyboardEffectState s = kb.KeyboardSnapshot();
    EXPECT_EQ(s.rings[KeyboardEffectState::kDownLeft][7], 1 << 3);
    EXPECT_EQ(s.rings[KeyboardEffectState::kUpRight][9], 1 << 3);
    for (int col = 0; col < kColumns; ++col) {
        EXPECT_EQ(s.rings[KeyboardEffectState::kUpLeft][col], 0);
        EXPECT_EQ(s.rings[KeyboardEffectState::kDownRight][col], 0);
    }
}

TEST_F(KeyboardEffects, SparkleNeverPicksItsExcludedPositions) {
    kb.ApplyLightInfo(Info(10, 4, 4, 1, 1));
    kb.SetRandomSeed(12345);
    std::set<int> picked;
    for (int call = 0; call < 3000; ++call) {
        kb.Sparkle();
        // A pick sets 255, which the same call fades once to 215.
        for (int n : AtIntensity(215)) picked.insert(n);
    }
    // The LEDs at positions 11, 19, 63, 67, 82, 100 and 103 of the sparkle path.
    for (int n : {4, 84, 89, 93, 54, 72, 62}) EXPECT_EQ(picked.count(n), 0u) << n;
    // Every other LED of the path is picked.
    EXPECT_EQ(picked.size(), 100u);
    for (int n : {15, 0, 21, 125, 119, 22, 102, 99, 78, 44, 65, 73, 74, 75, 77})
        EXPECT_EQ(picked.count(n), 1u) << n;
}

TEST_F(KeyboardEffects, SnakeWalksForwardThenBackward) {
    kb.ApplyLightInfo(Info(29, 4, 4, 1, 0));
    std::vector<int> forward;
    for (int call = 0; call < 171; ++call) {
        kb.Snake();
        // The marked LED was set to 254 and faded once to 214 in the same call.
        const std::set<int> fresh = AtIntensity(214);
        forward.push_back(fresh.empty() ? -1 : *fresh.begin());
        EXPECT_LE(fresh.size(), 1u);
    }
    EXPECT_EQ(forward[0], 0);
    EXPECT_EQ(forward[15], 15);
    EXPECT_EQ(forward[16], 17);
    EXPECT_EQ(forward[20], 41);
    EXPECT_EQ(forward[40], 21);
    EXPECT_EQ(forward[61], 119);
    EXPECT_EQ(forward[66], -1);
    EXPECT_EQ(forward[109], 105);
    for (int i = 110; i < 126; ++i) EXPECT_EQ(forward[i], -1) << i;
    for (int i = 126; i < 170; ++i) EXPECT_EQ(forward[i], 0) << i;
    EXPECT_EQ(forward[170], -1);  // phase above 169 restarts at 0 without marking
    EXPECT_EQ(kb.Snapshot().phase, 0);

    Shared s;
    KeyboardLightingEngine back(170, s.area, s.player);
    back.ApplyLightInfo(Info(29, 4, 4, 0, 0));
    back.Snake();  // from phase 0 the backward walk jumps to 170
    EXPECT_EQ(back.Snapshot().phase, 170);
    std::vector<int> backward;
    for (int call = 0; call < 170; ++call) {
        back.Snake();
        const EffectState st = back.Snapshot();
        std::set<int> fresh;
        for (int n = 0; n < 170; ++n) {
            if (st.intensity[n] == 214) fresh.insert(n);
        }
        backward.push_back(fresh.empty() ? -1 : *fresh.begin());
    }
    // Entry 170 is outside the path, then the walk runs 169 down to 1.
    EXPECT_EQ(backward[0], -1);
    for (int i = 1; i < 170; ++i) EXPECT_EQ(backward[i], forward[170 - i]) << i;
    EXPECT_EQ(back.Snapshot().phase, 0);
}

TEST_F(KeyboardEffects, DropMachinePassesThroughItsStages) {
    kb.ApplyLightInfo(Info(14, 4, 4, 1, 0));
    std::vector<int> stages;
    bool sawStage2 = false;
    for (int call = 1; call <= 400; ++call) {
        const EffectState before = kb.Snapshot();
        const int stageBefore = kb.KeyboardSnapshot().stage;
        kb.ScriptedDrop();
        const int stage = kb.KeyboardSnapshot().stage;
        stages.push_back(stage);
        if (call <= 16) {
            // Stage 0 lights drop frame (call - 1).
            if (call == 1) {
                EXPECT_EQ(AtIntensity(215), (std::set<int>{0}));
            }
            if (call == 2) {
                EXPECT_EQ(AtIntensity(215), (std::set<int>{22, 110}));
            }
            if (call == 11) {
                EXPECT_EQ(AtIntensity(215), (std::set<int>{70}));
            }
        }
        if (stageBefore == 1 && before.phase >= 31) {
            // Waiting: stage 2 comes exactly when LED 90 has gone dark.
            EXPECT_EQ(stage == 2, before.intensity[90] == 0) << call;
        }
        if (stage == 2) sawStage2 = true;
        if (stageBefore == 2) {
            EXPECT_EQ(stage, 3);
        }
        if (stageBefore == 4) {
            EXPECT_EQ(stage, 0);
            break;
        }
    }
    EXPECT_TRUE(sawStage2);
    for (int call = 1; call <= 15; ++call) EXPECT_EQ(stages[call - 1], 0) << call;
    EXPECT_EQ(stages[15], 1);
    // Stage 1 lights the 31 pairs before it starts waiting.
    for (int call = 17; call <= 47; ++call) EXPECT_EQ(stages[call - 1], 1) << call;
    // The order of stages is 0, 1, 2, 3, 4, 0 with no skips.
    std::vector<int> order;
    for (int s : stages) {
        if (order.empty() || order.back() != s) order.push_back(s);
    }
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4, 0}));
}

TEST_F(KeyboardEffects, BouncingRippleStaysDarkThenGrowsUpFromColumnNine) {
    kb.ApplyLightInfo(Info(13, 4, 4, 1, 0));
    EXPECT_EQ(RingsOr(9), 64);
    for (int call = 1; call <= 4; ++call) {
        kb.BouncingRipple();
        for (int n = 0; n < 170; ++n) ASSERT_EQ(kb.GetLed(n).brightness, 0) << call;
    }
    kb.BouncingRipple();
    EXPECT_EQ(AtIntensity(215), (std::set<int>{81}));  // bottom of column 9
    kb.BouncingRipple();
    kb.BouncingRipple();
    EXPECT_EQ(AtIntensity(215), (std::set<int>{92, 83, 109}));  // one row up, and its neighbours
    EXPECT_EQ(kb.GetLed(92), (LedEntry{255, 255, 255, 215 * 255 / 256}));
}

TEST_F(KeyboardEffects, SetUpsPrimeTheirState) {
    // The default set-up: a running sum of 33s and 97s, every value a multiple of 3.
    kb.ApplyLightInfo(Info(1));
    EffectState s = kb.Snapshot();
    EXPECT_EQ(s.colourIndexes[0], 0);
    EXPECT_EQ(s.colourIndexes[1], 33);
    EXPECT_EQ(s.colourIndexes[5], 165);
    EXPECT_EQ(s.colourIndexes[6], 6);
    for (int n = 0; n < 170; ++n) EXPECT_EQ(s.colourIndexes[n] % 3, 0) << n;

    kb.ApplyLightInfo(Info(15));
    s = kb.Snapshot();
    EXPECT_EQ(s.intensity[21], 32);  // layout column 1, cell 2
    EXPECT_EQ(s.colourIndexes[21], 7);
    EXPECT_EQ(s.intensity[105], 72);   // column 0, cell 6
    EXPECT_EQ(s.intensity[106], 120);  // column 1, cell 6
    EXPECT_EQ(s.intensity[20], 162);   // column 22, cell 1: S[133]
    EXPECT_EQ(s.colourIndexes[20], 154);

    kb.ApplyLightInfo(Info(22));
    const KeyboardEffectState k = kb.KeyboardSnapshot();
    EXPECT_EQ(k.rippleCounter[105], 140);
    EXPECT_EQ(k.rippleCounter[84], 167);
    EXPECT_EQ(k.rippleCounter[0], 106);

    kb.ApplyLightInfo(Info(16));
    EXPECT_EQ(RingsOr(1), 1);
}

TEST_F(KeyboardEffects, SweepRestartsLedsAndParksOthersOnGreen) {
    // After a profile load in mode 24 every colour index starts at 0.
    kb.LoadLightingState(Info(24, 4, 4, 1, 1), nullptr, 0, nullptr, 0);
    for (int call = 1; call <= 90; ++call) {
        kb.Sweep();
        const uint8_t c16 = kb.Snapshot().colourIndexes[16];
        EXPECT_EQ(c16, call < 85 ? 3 * call : 255) << call;
    }
    // LED 16 is in no sweep frame: it stays at wheel[255], green, at full brightness.
    EXPECT_EQ(kb.GetLed(16), (LedEntry{0, 255, 0, 255}));
    // Frame 0 comes round after 52 steps: LED 25 restarts from 0 and shows wheel[3].
    for (int call = 91; call <= 104; ++call) kb.Sweep();
    EXPECT_EQ(kb.Snapshot().phase, 0);
    EXPECT_EQ(kb.Snapshot().colourIndexes[25], 3);
    EXPECT_EQ(kb.Snapshot().intensity[25], 250);
    EXPECT_EQ(kb.GetLed(25), Wheel(3, 255));
}

TEST_F(KeyboardEffects, KeyPressesFeedGlowAndRipples) {
    kb.ApplyLightInfo(Info(7, 4, 4, 1, 0));
    kb.KeyPressed(30);
    for (int call = 1; call <= 20; ++call) {
        kb.KeyGlow();
        EXPECT_EQ(kb.Snapshot().intensity[30], std::min(255, 15 * call)) << call;
    }
    kb.KeyReleased(30);
    kb.KeyGlow();
    EXPECT_EQ(kb.Snapshot().intensity[30], 250);
    EXPECT_EQ(kb.GetLed(30).brightness, 250 * 255 / 256);
    EXPECT_EQ(kb.GetLed(31).brightness, 0);

    // Mode 8: the press starts a diamond at the key (column 10, cell 1).
    Shared s;
    KeyboardLightingEngine ripple(170, s.area, s.player);
    ripple.ApplyLightInfo(Info(8, 4, 4, 1, 0));
    ripple.KeyPressed(30);
    ripple.DiamondRipple();
    EXPECT_EQ(ripple.Snapshot().intensity[30], 215);
    ripple.DiamondRipple();
    // Next: the keys one step away, cell 2 of column 10 and cell 1 of columns 9 and 11.
    EffectState st = ripple.Snapshot();
    for (int n : {51, 29, 31}) EXPECT_EQ(st.intensity[n], 215) << n;
    EXPECT_EQ(st.intensity[30], 175);
}

TEST_F(KeyboardEffects, TwinkleAndLayoutRippleStayOnTheirLeds) {
    kb.ApplyLightInfo(Info(15, 4, 4, 1, 0));
    RunTickPasses(kb, 0, 400);
    // LED 1 is on neither the LED path nor painted by twinkle.
    EXPECT_EQ(kb.GetLed(1), LedEntry{});
    Shared s;
    KeyboardLightingEngine layout(170, s.area, s.player);
    layout.ApplyLightInfo(Info(22, 4, 4, 1, 0));
    RunTickPasses(layout, 0, 400);
    // The layout map holds LED 1 (F1) but not LED 16.
    bool lit = false;
    for (int i = 0; i < 400 && !lit; ++i) {
        layout.LayoutRipple();
        lit = layout.GetLed(1).brightness != 0;
    }
    EXPECT_TRUE(lit);
    EXPECT_EQ(layout.GetLed(16), LedEntry{});
}

TEST_F(KeyboardEffects, RowGridAndBreathingModesPaintTheirRows) {
    kb.ApplyLightInfo(Info(12, 4, 4, 1, 1));
    kb.RowWave();
    // Cell row 0 names no key; rows 1-5 step 24 along the wheel from wheel[26].
    EXPECT_EQ(kb.GetLed(0), Wheel(26, 255));
    EXPECT_EQ(kb.GetLed(42), Wheel(50, 255));
    EXPECT_EQ(kb.GetLed(63), Wheel(74, 255));
    EXPECT_EQ(kb.GetLed(102), Wheel(98, 255));
    EXPECT_EQ(kb.GetLed(106), Wheel(122, 255));
    EXPECT_EQ(kb.GetLed(34), Wheel(26, 255));

    Shared s1;
    KeyboardLightingEngine grid(170, s1.area, s1.player);
    grid.ApplyLightInfo(Info(18, 4, 4, 1, 0));
    grid.GridRainbow();
    EXPECT_EQ(grid.GetLed(70), Wheel(8, 255));   // row 0
    EXPECT_EQ(grid.GetLed(49), Wheel(15, 255));  // row 1
    EXPECT_EQ(grid.GetLed(51), Wheel(29, 255));  // rows 2 and 3: the later row paints last
    EXPECT_EQ(grid.GetLed(0), Wheel(64, 255));   // row 8
    EXPECT_EQ(grid.GetLed(1), LedEntry{});       // not in the grid

    Shared s2;
    KeyboardLightingEngine still(170, s2.area, s2.player);
    still.ApplyLightInfo(Info(6, 3, 4, 1, 1));
    still.EffectStatic();
    EXPECT_EQ(still.GetLed(70), Wheel(138, 180));
    EXPECT_EQ(still.GetLed(0), Wheel(42, 180));
    EXPECT_EQ(still.GetLed(51), Wheel(102, 180));
    still.SetLightInfo(Info(6, 3, 4, 1, 0, {1, 2, 3}));
    still.EffectStatic();
    for (int n = 0; n < 170; ++n) ASSERT_EQ(still.GetLed(n), (LedEntry{1, 2, 3, 180})) << n;

    Shared s3;
    KeyboardLightingEngine breath(170, s3.area, s3.player);
    breath.ApplyLightInfo(Info(5, 4, 4, 0, 1));
    for (int call = 0; call < 64; ++call) breath.EffectBreathCycle();
    EXPECT_EQ(breath.Snapshot().phase, 64);  // the direction is not used
    EXPECT_EQ(breath.GetLed(84), Wheel(0, 254));
    EXPECT_EQ(breath.GetLed(0), Wheel(7, 254));
    EXPECT_EQ(breath.GetLed(34), Wheel(105, 254));
}

TEST_F(KeyboardEffects, ColumnFlashWaveWithoutMultiColour) {
    kb.ApplyLightInfo(Info(2, 4, 4, 1, 0, {200, 100, 0}));
    kb.ColumnFlashWave();
    EXPECT_EQ(kb.GetLed(84), (LedEntry{200, 100, 0, 4 * 255 / 256}));
    EXPECT_EQ(kb.GetLed(0), (LedEntry{200, 100, 0, 45 * 255 / 256}));
    EXPECT_EQ(kb.GetLed(22), (LedEntry{200, 100, 0, 110 * 255 / 256}));
}

TEST_F(KeyboardEffects, AreaEffectsLieOverTheModeAfterEveryPass) {
    std::vector<LightListEntry> list(8);
    list[5].selectItem = kAreaOff;
    list[5].present = 1;
    list[7].selectItem = kAreaStatic;
    list[7].green = 255;
    list[7].light = 4;
    list[7].present = 1;
    kb.LoadLightingState(Info(6, 4, 4, 1, 0, {255, 0, 0}), list.data(), list.size(), nullptr, 0);
    RunTickPasses(kb, 0, 3);
    EXPECT_EQ(kb.GetLed(4), (LedEntry{255, 0, 0, 255}));
    EXPECT_EQ(kb.GetLed(5), LedEntry{});
    EXPECT_EQ(kb.GetLed(7), (LedEntry{0, 255, 0, 255}));
}

TEST_F(KeyboardEffects, UnchangedModeKeepsTheAnimationAProfileLoadRestartsIt) {
    kb.ApplyLightInfo(Info(4));
    for (int call = 0; call < 30; ++call) kb.EffectSpectrum();
    kb.ApplyLightInfo(Info(4, 2));  // a reread with the same mode
    EXPECT_EQ(kb.Snapshot().phase, 30);
    kb.LoadLightingState(Info(4, 2), nullptr, 0, nullptr, 0);
    EXPECT_EQ(kb.Snapshot().phase, 0);
    kb.PulseAt(51, 1);
    kb.ApplyLightInfo(Info(8));  // a mode change clears the rings
    EXPECT_EQ(RingsOr(10), 0);
}
