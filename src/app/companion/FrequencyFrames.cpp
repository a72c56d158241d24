#include "app/companion/FrequencyFrames.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vx::companion {

double FrequencyFrames::LevelEdgeHz(std::size_t i) {
    if (i <= kBandLevels) {
        return kLowestHz * std::pow(kBandTopHz / kLowestHz, static_cast<double>(i) / kBandLevels);
    }
    const double t = static_cast<double>(i - kBandLevels) / static_cast<double>(kLevels - kBandLevels);
    return kBandTopHz * std::pow(kHighestHz / kBandTopHz, t);
}

std::size_t FrequencyFrames::LevelOf(double hz) {
    for (std::size_t i = 0; i < kLevels; ++i) {
        if (hz < LevelEdgeHz(i + 1)) return i;
    }
    return kLevels;
}

FrequencyFrames::FrequencyFrames(int sampleRate, std::size_t fftSize)
    : m_fftSize(fftSize), m_history(fftSize, 0.0f), m_window(fftSize) {
    double sum = 0;
    for (std::size_t n = 0; n < fftSize; ++n) {
        m_window[n] = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * n / static_cast<double>(fftSize));
        sum += m_window[n];
    }
    // A full-scale sine then reads amplitude 1 at its bin.
    m_windowGain = 2.0 / sum;
    m_in = fftw_alloc_real(fftSize);
    auto* out = fftw_alloc_complex(fftSize / 2 + 1);
    m_out = out;
    // FFTW_ESTIMATE: the plan is made at once, without timing trial runs at start.
    m_plan = fftw_plan_dft_r2c_1d(static_cast<int>(fftSize), m_in, out, FFTW_ESTIMATE);
    m_amplitudes.resize(fftSize / 2 + 1);

    const double binHz = static_cast<double>(sampleRate) / static_cast<double>(fftSize);
    const std::size_t lastBin = fftSize / 2;
    for (std::size_t i = 0; i < kLevels; ++i) {
        const double lo = LevelEdgeHz(i);
        const double hi = LevelEdgeHz(i + 1);
        // A level narrower than a bin takes the bin nearest its centre.
        auto first = static_cast<std::size_t>(std::ceil(lo / binHz));
        auto last = static_cast<std::size_t>(std::floor(hi / binHz));
        if (last < first) first = last = static_cast<std::size_t>(std::lround(std::sqrt(lo * hi) / binHz));
        m_binRanges.emplace_back(std::min(first, lastBin), std::min(last, lastBin));
    }
}

FrequencyFrames::~FrequencyFrames() {
    fftw_destroy_plan(m_plan);
    fftw_free(m_in);
    fftw_free(m_out);
}

const FrequencyFrames::Frame& FrequencyFrames::Push(const float* samples, std::size_t count) {
    if (count >= m_fftSize) {
        std::copy(samples + (count - m_fftSize), samples + count, m_history.begin());
    } else {
        std::move(m_history.begin() + static_cast<std::ptrdiff_t>(count), m_history.end(), m_history.begin());
        std::copy(samples, samples + count, m_history.end() - static_cast<std::ptrdiff_t>(count));
    }
    for (std::size_t n = 0; n < m_fftSize; ++n) m_in[n] = m_history[n] * m_window[n];
    fftw_execute(m_plan);
    const auto* out = static_cast<const fftw_complex*>(m_out);
    for (std::size_t k = 0; k < m_amplitudes.size(); ++k)
        m_amplitudes[k] = std::hypot(out[k][0], out[k][1]) * m_windowGain;

    m_negative = !m_negative;
    for (std::size_t i = 0; i < kLevels; ++i) {
        const auto [first, last] = m_binRanges[i];
        double peak = 0;
        for (std::size_t k = first; k <= last; ++k) peak = std::max(peak, m_amplitudes[k]);
        const double db = peak > 0 ? 20.0 * std::log10(peak) : kFloorDb;
        const auto level = static_cast<int32_t>(std::max(0.0, (db - kFloorDb) * kLevelsPerDb));
        m_magnitudes[i] = level;
        m_frame[i] = m_negative ? -level : level;
    }
    return m_frame;
}

}  // namespace vx::companion
