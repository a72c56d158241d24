#include <gtest/gtest.h>

#include "devices/lighting/KeyboardGeometry.h"
#include "devices/lighting/LightingEngine.h"
#include "devices/lighting/LightingTables.h"

using namespace vx::lighting;

TEST(LightingTables, ColourWheelSegmentsAndRepeat) {
    // Segment starts and ends of the six ramps.
    EXPECT_EQ(kColourWheel[0].red, 255);
    EXPECT_EQ(kColourWheel[0].green, 1);
    EXPECT_EQ(kColourWheel[31].green, 255);
    EXPECT_EQ(kColourWheel[32].red, 248);
    EXPECT_EQ(kColourWheel[63].red, 0);
    EXPECT_EQ(kColourWheel[63].green, 255);
    // The preset colours: entry 70 is (0, 255, 18), entry 174 is (255, 0, 85).
    EXPECT_EQ(kColourWheel[70].red, 0);
    EXPECT_EQ(kColourWheel[70].green, 255);
    EXPECT_EQ(kColourWheel[70].blue, 18);
    EXPECT_EQ(kColourWheel[174].red, 255);
    EXPECT_EQ(kColourWheel[174].green, 0);
    EXPECT_EQ(kColourWheel[174].blue, 85);
    EXPECT_EQ(kColourWheel[191].blue, 0);
    for (int k = 192; k < 256; ++k) {
        EXPECT_EQ(kColourWheel[k].red, kColourWheel[k - 192].red) << k;
        EXPECT_EQ(kColourWheel[k].green, kColourWheel[k - 192].green) << k;
        EXPECT_EQ(kColourWheel[k].blue, kColourWheel[k - 192].blue) << k;
    }
}

TEST(LightingTables, BreathingAndPulseCurves) {
    EXPECT_EQ(kBreathingCurve[0], 0);
    EXPECT_EQ(kBreathingCurve[17], 24);
    EXPECT_EQ(kBreathingCurve[63], 255);
    EXPECT_EQ(kBreathingCurve[64], 255);
    EXPECT_EQ(kBreathingCurve[127], 0);
    for (int k = 0; k < 64; ++k) EXPECT_EQ(kBreathingCurve[k], kBreathingCurve[127 - k]);
    // The pulse curve rises from 22 to 255 and falls back to 22.
    EXPECT_EQ(kPulseCurve[0], 22);
    EXPECT_EQ(kPulseCurve[47], 255);
    EXPECT_EQ(kPulseCurve[48], 255);
    EXPECT_EQ(kPulseCurve[95], 22);
    EXPECT_EQ(kFlashCurve[24], 255);
    EXPECT_EQ(kFlashCurve[87], 1);
    EXPECT_EQ(kFlashCurve[88], 0);
    EXPECT_EQ(kFlashCurve[191], 0);
}

TEST(LightingTables, LevelRowsClampOutOfRangeLevels) {
    EXPECT_EQ(AtLevel(kBrightnessLevels, 0), 0);
    EXPECT_EQ(AtLevel(kBrightnessLevels, 4), 255);
    EXPECT_EQ(AtLevel(kBrightnessLevels, 200), 255);
    EXPECT_EQ(AtLevel(kCompanionIntervals, 0), 2);
    EXPECT_EQ(AtLevel(kCompanionIntervals, 1), 0);
}

TEST(LightingTables, StepWrapsBothWays) {
    EXPECT_EQ(LightingEngine::Step(0, 128, 0, 1), 127);
    EXPECT_EQ(LightingEngine::Step(1, 128, 127, 1), 0);
    EXPECT_EQ(LightingEngine::Step(1, 192, 191, 1), 0);
    EXPECT_EQ(LightingEngine::Step(1, 192, 10, 1), 11);
    EXPECT_EQ(LightingEngine::Step(0, 192, 10, 1), 9);
    EXPECT_EQ(LightingEngine::Step(0, 25, 0, 1), 24);
    EXPECT_EQ(LightingEngine::Step(1, 192, 185, 20), 0);
    EXPECT_EQ(LightingEngine::Step(0, 192, 5, 20), 172);
}

TEST(KeyboardGeometry, SparklePickingExcludesSevenPositions) {
    std::array<bool, 111> pickable{};
    for (uint8_t p : kSparklePickable) {
        ASSERT_LT(p, 111);
        EXPECT_FALSE(pickable[p]) << "position picked twice: " << int(p);
        pickable[p] = true;
    }
    for (int excluded : {11, 19, 63, 67, 82, 100, 103}) EXPECT_FALSE(pickable[excluded]) << excluded;
    // The four trailing positions name no LED but may still be picked.
    for (int p = 107; p < 111; ++p) {
        EXPECT_TRUE(pickable[p]);
        EXPECT_FALSE(NamesLed(kSparklePath[p]));
    }
}

TEST(KeyboardGeometry, SnakePathTail) {
    EXPECT_EQ(kSnakePath[0], 0);
    EXPECT_EQ(kSnakePath[16], 17);  // LED 16 is not on the snake
    EXPECT_EQ(kSnakePath[61], 119);
    EXPECT_FALSE(NamesLed(kSnakePath[66]));
    EXPECT_FALSE(NamesLed(kSnakePath[80]));
    EXPECT_EQ(kSnakePath[109], 105);
    for (int i = 110; i < 126; ++i) EXPECT_FALSE(NamesLed(kSnakePath[i])) << i;
    for (int i = 126; i < 170; ++i) EXPECT_EQ(kSnakePath[i], 0) << i;
}
