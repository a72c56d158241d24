#include <gtest/gtest.h>

#include <array>
#include <set>

#include "TestEngines.h"

using namespace vx::lighting;
using namespace vx::lighting::test;

namespace {

constexpr LedEntry kBackground{0, 0, 40, 255};

class KeyboardAudio : public ::testing::Test {
protected:
    void SetUp() override {
        KeyboardLightingEngine::ResetPulseAccumulator();
        kb.ApplyLightInfo(Info(21, 4, 4, 1, 0));
    }
    void Style(uint8_t style, uint8_t seven = 0) {
        AudioLightInfo a;
        a.audioMode = style;
        a.bkBlue = 40;
        a.fgRed = 200;
        a.sevenColorFlags = seven;
        kb.SetAudioLightInfo(a);
    }
    void Levels(int32_t all, int band = -1, int32_t bandLevel = 0) {
        std::array<int32_t, 500> buffer{};
        for (int i = 0; i < 25; ++i) buffer[i] = all;
        if (band >= 0) buffer[band] = bandLevel;
        kb.OnAudioLevels(buffer.data(), buffer.size());
    }
    std::set<int> LitLeds() const {
        std::set<int> lit;
        for (int n = 0; n < 170; ++n) {
            if (kb.GetLed(n) == (LedEntry{200, 0, 0, 254})) lit.insert(n);
        }
        return lit;
    }

    Shared shared;
    KeyboardLightingEngine kb{170, shared.area, shared.player};
};

}  // namespace

TEST_F(KeyboardAudio, SilenceLightsNothingInColumnBars) {
    Style(0);
    Levels(0);
    kb.AudioColumnBars();
    EXPECT_TRUE(LitLeds().empty());
    for (int n : {84, 105, 0, 42, 23, 111, 34, 55}) EXPECT_EQ(kb.GetLed(n), kBackground) << n;
}

TEST_F(KeyboardAudio, LoudBandLightsItsColumn) {
    Style(0);
    // Level 2000: v = 0 and h = 1, so cells 1-5 of column 3 light.
    Levels(0, 3, 2000);
    kb.AudioColumnBars();
    EXPECT_EQ(LitLeds(), (std::set<int>{23, 44, 65, 86, 82}));
    // Level 1000: v = 300 and h = 4: cells 4 and 5 only.
    Levels(0, 1, 1000);
    kb.AudioColumnBars();
    std::set<int> fresh;
    for (int n : {0, 42, 63, 102, 106}) {
        if (kb.GetLed(n) == (LedEntry{200, 0, 0, 254})) fresh.insert(n);
    }
    EXPECT_EQ(fresh, (std::set<int>{102, 106}));
    // Level 3000 (v = -300 unclamped) lights all six cells of its column.
    Levels(0, 5, 3000);
    kb.AudioColumnBars();
    for (int n : {25, 46, 67, 88, 80}) EXPECT_EQ(kb.GetLed(n), (LedEntry{200, 0, 0, 254})) << n;
}

TEST_F(KeyboardAudio, LevelsAreConsumedByEachStep) {
    Style(0);
    Levels(0, 3, 2000);
    kb.AudioColumnBars();
    kb.AudioColumnBars();
    // Without new levels nothing is lit again: the top cell fades, the cells below it hold while
    // the cell above them is still bright.
    const EffectState s = kb.Snapshot();
    EXPECT_EQ(s.intensity[23], 210);
    for (int n : {44, 65, 86, 82}) EXPECT_EQ(s.intensity[n], 255) << n;
    EXPECT_EQ(kb.GetLed(23), (LedEntry{200, 0, 0, 210 * 255 / 256}));
    for (int32_t l : kb.KeyboardSnapshot().levels) EXPECT_EQ(l, 0);
}

TEST_F(KeyboardAudio, GridFillSilenceAndClampedLoudness) {
    Style(3);
    Levels(0);
    kb.AudioGridFill();
    for (int n = 0; n < 170; ++n) EXPECT_EQ(kb.Snapshot().intensity[n], 0) << n;
    // 3000 everywhere: the clamped v is 500, s = 16, so rows 0-3 of the grid fill.
    Levels(3000);
    kb.AudioGridFill();
    const EffectState s = kb.Snapshot();
    for (int n : {70, 49, 69, 91, 68, 28, 31, 27, 109, 51}) EXPECT_EQ(s.intensity[n], 255) << n;
    for (int n : {26, 46, 25, 24, 0, 42}) EXPECT_EQ(s.intensity[n], 0) << n;
}

TEST_F(KeyboardAudio, ThreeLoudFramesFireOnePulseAtLed51) {
    Style(2);
    Levels(2000);
    EXPECT_EQ(KeyboardLightingEngine::PulseAccumulator(), 25);
    Levels(2000);
    EXPECT_EQ(KeyboardLightingEngine::PulseAccumulator(), 50);
    EXPECT_EQ(kb.KeyboardSnapshot().rings[0][10], 0);
    Levels(2000);
    EXPECT_EQ(KeyboardLightingEngine::PulseAccumulator(), 0);
    // LED 51 is cell 2 of column 10.
    for (int r = 0; r < 4; ++r) EXPECT_EQ(kb.KeyboardSnapshot().rings[r][10], 1 << 2) << r;
    // Silence adds nothing.
    Levels(0);
    EXPECT_EQ(KeyboardLightingEngine::PulseAccumulator(), 0);
    // The pulse shows through the rings on the next step.
    kb.AudioPulseRings();
    EXPECT_EQ(kb.Snapshot().intensity[51], 210);
    EXPECT_EQ(kb.GetLed(30), kBackground);
}

TEST_F(KeyboardAudio, PulsesOnlyInStyleTwoOfModeTwentyOne) {
    Style(0);
    for (int i = 0; i < 5; ++i) Levels(2000);
    EXPECT_EQ(KeyboardLightingEngine::PulseAccumulator(), 0);
}

TEST_F(KeyboardAudio, UnknownStyleLeavesTheFrame) {
    Style(7);
    for (int n = 0; n < 170; ++n) kb.SetLed(n, {static_cast<uint8_t>(n), 1, 2, 3});
    Levels(2000);
    RunTickPasses(kb, 0, 50);
    for (int n = 0; n < 170; ++n) EXPECT_EQ(kb.GetLed(n), (LedEntry{static_cast<uint8_t>(n), 1, 2, 3})) << n;
}

TEST_F(KeyboardAudio, OtherStylesStayDarkInSilenceAndLightWhenLoud) {
    // Styles 1, 4 and 5 light nothing in silence and something at full level.
    for (uint8_t style : {1, 4, 5}) {
        Shared s;
        KeyboardLightingEngine k(170, s.area, s.player);
        k.ApplyLightInfo(Info(21, 4, 4, 1, 0));
        AudioLightInfo a;
        a.audioMode = style;
        a.fgRed = 200;
        k.SetAudioLightInfo(a);
        std::array<int32_t, 25> quiet{};
        std::array<int32_t, 25> loud{};
        loud.fill(2000);
        for (int step = 0; step < 3; ++step) {
            k.OnAudioLevels(quiet.data(), quiet.size());
            k.AudioLighting();
        }
        int lit = 0;
        for (int n = 0; n < 170; ++n) lit += k.GetLed(n).red != 0;
        EXPECT_EQ(lit, 0) << int(style);
        for (int step = 0; step < 3; ++step) {
            k.OnAudioLevels(loud.data(), loud.size());
            k.AudioLighting();
        }
        lit = 0;
        for (int n = 0; n < 170; ++n) lit += k.GetLed(n).red != 0;
        EXPECT_GT(lit, 5) << int(style);
    }
}

TEST_F(KeyboardAudio, CompanionColourShowsLowBytesAtBrightness) {
    LightInfo info = Info(31, 2, 1, 1, 0);
    kb.ApplyLightInfo(info);
    const int32_t params[6] = {0x1234, 0x56, 0x178, 9, 9, 9};
    kb.SetAudioParameters(params, 6);
    kb.Pass(10);
    for (int n = 0; n < 170; ++n) ASSERT_EQ(kb.GetLed(n), (LedEntry{0x34, 0x56, 0x78, 120})) << n;
}

TEST_F(KeyboardAudio, HostileLevelsDoNotOverflow) {
    Style(3);
    std::array<int32_t, 25> extreme{};
    for (int i = 0; i < 25; ++i) extreme[i] = i % 2 ? INT32_MAX : INT32_MIN;
    for (uint8_t style = 0; style <= 6; ++style) {
        Style(style);
        kb.OnAudioLevels(extreme.data(), extreme.size());
        kb.AudioLighting();
    }
    // A short buffer is taken as far as it goes.
    kb.OnAudioLevels(extreme.data(), 3);
    EXPECT_EQ(kb.KeyboardSnapshot().levels[2], INT32_MIN);
    EXPECT_EQ(kb.KeyboardSnapshot().levels[3], 0);
}
