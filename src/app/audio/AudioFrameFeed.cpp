#include "app/audio/AudioFrameFeed.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace vx::audio {

namespace {

int32_t Saturate(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

int32_t ReadLe32(const uint8_t* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

void WriteLe32(uint8_t* p, int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    for (int k = 0; k < 4; ++k) p[k] = static_cast<uint8_t>(v >> (8 * k));
}

// Each band follows the sum of four neighbouring levels (every fifth level is skipped) with a
// quarter of its old value kept, so a band rises fast and falls over a few frames.
template <std::size_t N>
void StepBands(std::array<int32_t, N>& bands, const std::array<int32_t, AudioFrameFeed::kFrameValues>& f) {
    for (std::size_t b = 0; b < N; ++b) {
        const int64_t sum = int64_t{f[5 * b]} + f[5 * b + 1] + f[5 * b + 2] + f[5 * b + 3];
        bands[b] = Saturate((int64_t{bands[b]} + sum) / 4);
    }
}

}  // namespace

void AudioFrameFeed::OnFrame(const uint8_t* data, std::size_t size, int64_t nowMs) {
    if (data == nullptr || size == 0) return;
    // The record is laid over the frame byte by byte: a short record, even one that ends inside a
    // value, leaves the rest of the frame as it was.
    std::array<uint8_t, kFrameBytes> bytes;
    for (std::size_t i = 0; i < kFrameValues; ++i) WriteLe32(bytes.data() + 4 * i, m_current[i]);
    std::memcpy(bytes.data(), data, std::min(size, kFrameBytes));
    for (std::size_t i = 0; i < kFrameValues; ++i) m_current[i] = ReadLe32(bytes.data() + 4 * i);
    m_flushPending = true;
    m_lastFrameMs = nowMs;
    ++m_frameCounter;

    Frame difference;
    double total = 0;
    for (std::size_t i = 0; i < kFrameValues; ++i) {
        const int64_t d = int64_t{m_current[i]} - m_previous[i];
        difference[i] = Saturate(d < 0 ? -d : d);
        total += difference[i];
    }
    m_previous = m_current;
    const int64_t truncated = static_cast<int64_t>(total);
    const bool moved = !(truncated > 0 && truncated < kQuietTotal);
    m_differences.push_back(difference);
    m_flags.push_back(moved);

    if (m_flags.size() != kQueueDepth) return;
    if (std::count(m_flags.begin(), m_flags.end(), true) != static_cast<long>(kQueueDepth)) {
        m_differences.clear();
        m_flags.clear();
        return;
    }
    const Frame oldest = m_differences.front();
    m_differences.pop_front();
    m_flags.pop_front();
    HandOver(oldest);
}

void AudioFrameFeed::HandOver(const Frame& oldest) {
    StepBands(m_bands25, oldest);
    m_out.fill(0);
    std::copy(m_bands25.begin(), m_bands25.end(), m_out.begin());
    const bool due = m_frameCounter >= kFramesPerHandOver;
    if (due) m_sink.KeyboardLevels(m_out.data(), kFrameValues);
    StepBands(m_bands10, oldest);
    // The mouse buffer is the keyboard buffer with the 10 bands written over its head; the
    // mouse's audio operation takes it from the second value on.
    std::copy(m_bands10.begin(), m_bands10.end(), m_out.begin());
    if (due) {
        m_sink.MouseLevels(m_out.data() + 1, kFrameValues - 1);
        m_frameCounter = 0;
    }
}

void AudioFrameFeed::OnFlushTimer(int64_t nowMs) {
    if (!m_flushPending || nowMs - m_lastFrameMs <= kFlushAfterMs) return;
    m_differences.clear();
    m_flags.clear();
    m_flushPending = false;
}

}  // namespace vx::audio
