#pragma once
// Records what the desktop plays: the monitor source of PulseAudio's default output (also served
// by PipeWire's PulseAudio server), mono float at 48 kHz, through the server's asynchronous API on
// a thread of its own. Every hop of samples becomes one frame of levels, handed to the callback on
// that thread. An idle output delivers nothing, so nothing here may wait for data to arrive.

#include <functional>
#include <string>
#include <vector>

#include "app/companion/FrequencyFrames.h"

struct pa_threaded_mainloop;
struct pa_context;
struct pa_stream;

namespace vx::companion {

class PulseCapture {
public:
    static constexpr int kSampleRate = 48000;
    static constexpr std::size_t kFftSize = 4096;
    // 25 frames a second.
    static constexpr std::size_t kHopSamples = kSampleRate / 25;
    // Bound of connecting to the server and opening the recording.
    static constexpr int kOpenTimeoutMs = 5000;

    using FrameHandler = std::function<void(const FrequencyFrames::Frame&)>;
    // Called at most once, on the capture thread, when the server goes away while recording.
    using FailureHandler = std::function<void(const std::string& reason)>;

    PulseCapture(FrameHandler onFrame, FailureHandler onFailure);
    ~PulseCapture();

    // Connects to the server and starts recording; false with the server's reason when it cannot.
    bool Open(std::string& reason);
    // Stops recording and disconnects. Idempotent; does not wait for sound.
    void Close();
    bool IsOpen() const { return m_loop != nullptr; }

private:
    static void OnContextState(pa_context* context, void* self);
    static void OnStreamState(pa_stream* stream, void* self);
    static void OnRead(pa_stream* stream, std::size_t bytes, void* self);
    void Failed(const std::string& reason);

    FrameHandler m_onFrame;
    FailureHandler m_onFailure;
    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    pa_stream* m_stream = nullptr;
    bool m_ready = false;
    bool m_failed = false;
    bool m_closing = false;
    std::vector<float> m_hop;
    FrequencyFrames m_spectrum{kSampleRate, kFftSize};
};

}  // namespace vx::companion
