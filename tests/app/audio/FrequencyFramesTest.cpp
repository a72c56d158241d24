#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "app/companion/FrequencyFrames.h"

using vx::companion::FrequencyFrames;

namespace {

std::vector<float> Sine(double hz, double amplitude, std::size_t count, int rate = 48000) {
    std::vector<float> samples(count);
    for (std::size_t n = 0; n < count; ++n)
        samples[n] = static_cast<float>(amplitude * std::sin(2 * std::numbers::pi * hz * n / rate));
    return samples;
}

std::size_t Loudest(const FrequencyFrames::Frame& levels) {
    std::size_t best = 0;
    for (std::size_t i = 1; i < levels.size(); ++i)
        if (levels[i] > levels[best]) {
            best = i;
        }
    return best;
}

}  // namespace

// A tone lights the level whose range holds its frequency; its neighbours a little, the rest of
// the spectrum not at all: nothing more than an octave and eight analysis bins (94 Hz) away.
// Low, middle and high tones land low, middle and high.
TEST(FrequencyFrames, ToneLightsItsOwnLevel) {
    for (double hz : {100.0, 1000.0, 5000.0, 12000.0}) {
        FrequencyFrames spectrum(48000, 4096);
        const std::vector<float> tone = Sine(hz, 0.5, 4096);
        spectrum.Push(tone.data(), tone.size());
        const FrequencyFrames::Frame& levels = spectrum.Magnitudes();
        const std::size_t expected = FrequencyFrames::LevelOf(hz);
        EXPECT_NEAR(static_cast<double>(Loudest(levels)), static_cast<double>(expected), 1.0) << hz << " Hz";
        // -6 dBFS reads 54 dB above the floor.
        EXPECT_NEAR(levels[Loudest(levels)], 54 * FrequencyFrames::kLevelsPerDb, 2 * FrequencyFrames::kLevelsPerDb);
        int far = 0;
        for (std::size_t i = 0; i < levels.size(); ++i) {
            const double edge = FrequencyFrames::LevelEdgeHz(i);
            const double ratio = edge / hz;
            const bool away = (ratio < 0.5 || ratio > 2.0) && std::abs(edge - hz) > 8 * 48000.0 / 4096;
            if (away && levels[i] > 0) ++far;
        }
        EXPECT_EQ(far, 0) << hz << " Hz lights levels an octave away";
    }
    EXPECT_LT(FrequencyFrames::LevelOf(1000.0), FrequencyFrames::kBandLevels) << "the keyboard's bands see 1 kHz";
}

// Digital silence reads 0 everywhere; a held tone keeps the same magnitude while the sent values
// change sign each frame, so their difference is twice the level.
TEST(FrequencyFrames, SilenceIsZeroAndSignsAlternate) {
    FrequencyFrames spectrum(48000, 4096);
    const std::vector<float> silence(1920, 0.0f);
    for (int i = 0; i < 3; ++i) {
        const FrequencyFrames::Frame& frame = spectrum.Push(silence.data(), silence.size());
        for (int32_t v : frame) ASSERT_EQ(v, 0);
    }
    const std::vector<float> tone = Sine(440.0, 0.25, 4096);
    const std::size_t level = FrequencyFrames::LevelOf(440.0);
    const int32_t first = spectrum.Push(tone.data(), tone.size())[level];
    const int32_t second = spectrum.Push(tone.data(), tone.size())[level];
    EXPECT_GT(std::abs(first), 0);
    EXPECT_EQ(first, -second);
}
