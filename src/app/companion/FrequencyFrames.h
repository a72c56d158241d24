#pragma once
// Turns captured sound into the frames the window's audio lighting takes: 500 levels from low to
// high frequencies, one frame per hop of samples. No Qt, no sound server: fed with samples, so
// tests can play it any signal.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

struct fftw_plan_s;

namespace vx::companion {

class FrequencyFrames {
public:
    static constexpr std::size_t kLevels = 500;
    // The window condenses only the first 125 levels into the keyboard's 25 bands (and the first
    // 50 into the mouse's 10), so those 125 span the musical range on a log scale, 40 Hz to 8 kHz
    // (about 16 levels an octave); the remaining 375 go on from 8 kHz to 20 kHz.
    static constexpr std::size_t kBandLevels = 125;
    static constexpr double kLowestHz = 40.0;
    static constexpr double kBandTopHz = 8000.0;
    static constexpr double kHighestHz = 20000.0;
    // Below this a level reads 0, so that digital silence and a quiet noise floor light nothing.
    static constexpr double kFloorDb = -60.0;
    // A level per decibel above the floor: a full-scale tone reads 1200.
    static constexpr double kLevelsPerDb = 20.0;

    using Frame = std::array<int32_t, kLevels>;

    // sampleRate in Hz; fftSize a power of two (4096 at 48 kHz: 11.7 Hz a bin, 85 ms of sound).
    FrequencyFrames(int sampleRate, std::size_t fftSize);
    ~FrequencyFrames();
    FrequencyFrames(const FrequencyFrames&) = delete;
    FrequencyFrames& operator=(const FrequencyFrames&) = delete;

    // The level magnitudes of the last fftSize samples after `samples` (mono, -1..1) were added.
    // The window reacts to the difference between consecutive frames; the sign of every level
    // alternates from frame to frame, so that difference is the sum of two consecutive
    // magnitudes and a held note stays lit instead of flashing once at its onset.
    const Frame& Push(const float* samples, std::size_t count);

    // The magnitude levels of the last frame, without the alternating sign.
    const Frame& Magnitudes() const { return m_magnitudes; }
    // The frequency at the lower edge of level i (i = kLevels gives the top edge).
    static double LevelEdgeHz(std::size_t i);
    // The level whose range holds `hz`; kLevels when above the top.
    static std::size_t LevelOf(double hz);

private:
    std::size_t m_fftSize;
    std::vector<float> m_history;  // the last fftSize samples, oldest first
    std::vector<double> m_window;
    double m_windowGain = 1.0;
    double* m_in = nullptr;
    void* m_out = nullptr;  // fftw_complex[fftSize / 2 + 1]
    fftw_plan_s* m_plan = nullptr;
    std::vector<std::pair<std::size_t, std::size_t>> m_binRanges;  // [first, last] bin per level
    std::vector<double> m_amplitudes;
    Frame m_magnitudes{};
    Frame m_frame{};
    bool m_negative = false;
};

}  // namespace vx::companion
