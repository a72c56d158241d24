#pragma once
// The window's side of audio-reactive lighting: the companion's frames of 500 levels condensed
// into 25 band levels for the keyboards and 10 for the first mouse. No Qt, no clock of its own:
// the caller passes the time, so the queue flush can be driven by tests as by the window timer.

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>

namespace vx::audio {

// Where the band levels go. Both calls get a buffer of the values the pages' audio operation
// takes: 500 for the keyboards, 499 (from the second value on) for the mouse.
class IAudioLevelSink {
public:
    virtual ~IAudioLevelSink() = default;
    virtual void KeyboardLevels(const int32_t* values, std::size_t count) = 0;
    virtual void MouseLevels(const int32_t* values, std::size_t count) = 0;
};

class AudioFrameFeed {
public:
    static constexpr std::size_t kFrameValues = 500;
    static constexpr std::size_t kFrameBytes = kFrameValues * 4;
    static constexpr std::size_t kKeyboardBands = 25;
    static constexpr std::size_t kMouseBands = 10;
    // A frame is used only when it and the three before it all moved enough (or not at all).
    static constexpr std::size_t kQueueDepth = 4;
    // A difference total in (0, kQuietTotal) marks a frame that barely changed: noise, not music.
    static constexpr double kQuietTotal = 100.0;
    // Frames that stop for longer than this leave no half-filled queue behind.
    static constexpr int64_t kFlushAfterMs = 500;
    // The devices get data at most on every third frame.
    static constexpr int kFramesPerHandOver = 3;

    explicit AudioFrameFeed(IAudioLevelSink& sink) : m_sink(sink) {}

    // One tag-1 record: little-endian signed 32-bit values, at most 500 of them; a short record
    // updates only the leading values. An empty one is ignored.
    void OnFrame(const uint8_t* data, std::size_t size, int64_t nowMs);
    // The 100 ms flush timer.
    void OnFlushTimer(int64_t nowMs);

    const std::array<int32_t, kKeyboardBands>& KeyboardBands() const { return m_bands25; }
    const std::array<int32_t, kMouseBands>& MouseBands() const { return m_bands10; }
    std::size_t QueuedFrames() const { return m_differences.size(); }
    bool FlushPending() const { return m_flushPending; }

private:
    using Frame = std::array<int32_t, kFrameValues>;

    void HandOver(const Frame& oldest);

    IAudioLevelSink& m_sink;
    Frame m_current{};
    Frame m_previous{};
    std::deque<Frame> m_differences;
    std::deque<bool> m_flags;
    std::array<int32_t, kKeyboardBands> m_bands25{};
    std::array<int32_t, kMouseBands> m_bands10{};
    Frame m_out{};
    int m_frameCounter = 0;
    bool m_flushPending = false;
    int64_t m_lastFrameMs = 0;
};

}  // namespace vx::audio
