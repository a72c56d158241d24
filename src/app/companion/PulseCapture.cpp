#include "app/companion/PulseCapture.h"

#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/stream.h>
#include <pulse/thread-mainloop.h>
#include <pulse/timeval.h>

#include <chrono>
#include <cstring>

namespace vx::companion {

PulseCapture::PulseCapture(FrameHandler onFrame, FailureHandler onFailure)
    : m_onFrame(std::move(onFrame)), m_onFailure(std::move(onFailure)) {
    m_hop.reserve(kHopSamples);
}

PulseCapture::~PulseCapture() { Close(); }

void PulseCapture::OnContextState(pa_context* context, void* self) {
    auto* capture = static_cast<PulseCapture*>(self);
    const pa_context_state_t state = pa_context_get_state(context);
    if (state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED) {
        capture->Failed(std::string("sound server: ") + pa_strerror(pa_context_errno(context)));
    }
    pa_threaded_mainloop_signal(capture->m_loop, 0);
}

void PulseCapture::OnStreamState(pa_stream* stream, void* self) {
    auto* capture = static_cast<PulseCapture*>(self);
    const pa_stream_state_t state = pa_stream_get_state(stream);
    if (state == PA_STREAM_READY) capture->m_ready = true;
    if (state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED) {
        capture->Failed(std::string("recording: ") + pa_strerror(pa_context_errno(capture->m_context)));
    }
    pa_threaded_mainloop_signal(capture->m_loop, 0);
}

void PulseCapture::Failed(const std::string& reason) {
    if (m_failed || m_closing) return;
    m_failed = true;
    // Only a recording that was running is reported here; Open reports its own failure.
    if (m_ready && m_onFailure) m_onFailure(reason);
}

void PulseCapture::OnRead(pa_stream* stream, std::size_t, void* self) {
    auto* capture = static_cast<PulseCapture*>(self);
    const void* data = nullptr;
    std::size_t bytes = 0;
    while (pa_stream_readable_size(stream) > 0) {
        if (pa_stream_peek(stream, &data, &bytes) < 0) return;
        if (bytes == 0) break;
        const std::size_t samples = bytes / sizeof(float);
        // A hole (data == nullptr) is silence the server did not record.
        for (std::size_t i = 0; i < samples; ++i) {
            float s = 0.0f;
            if (data) std::memcpy(&s, static_cast<const char*>(data) + i * sizeof(float), sizeof s);
            capture->m_hop.push_back(s);
            if (capture->m_hop.size() == kHopSamples) {
                capture->m_onFrame(capture->m_spectrum.Push(capture->m_hop.data(), kHopSamples));
                capture->m_hop.clear();
            }
        }
        pa_stream_drop(stream);
    }
}

bool PulseCapture::Open(std::string& reason) {
    if (IsOpen()) return true;
    m_ready = m_failed = m_closing = false;
    m_hop.clear();
    m_loop = pa_threaded_mainloop_new();
    m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "Vexor Umbrel Control Center");
    pa_context_set_state_callback(m_context, &PulseCapture::OnContextState, this);
    // No autospawn: a missing server is reported, never started behind the user's back.
    if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
        pa_threaded_mainloop_start(m_loop) < 0) {
        reason = std::string("pa_context_connect: ") + pa_strerror(pa_context_errno(m_context));
        Close();
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kOpenTimeoutMs);
    pa_threaded_mainloop_lock(m_loop);
    auto waitFor = [&](auto ready) {
        while (!ready() && !m_failed && std::chrono::steady_clock::now() < deadline) {
            // Woken by the state callbacks; a time-out event bounds the wait when none comes.
            pa_threaded_mainloop_wait(m_loop);
        }
        return ready();
    };
    // A timer on the loop signals every 100 ms so that the deadline is looked at.
    pa_time_event* tick = nullptr;
    pa_mainloop_api* api = pa_threaded_mainloop_get_api(m_loop);
    struct TickData {
        pa_threaded_mainloop* loop;
    } tickData{m_loop};
    auto onTick = [](pa_mainloop_api* a, pa_time_event* e, const struct timeval*, void* user) {
        pa_threaded_mainloop_signal(static_cast<TickData*>(user)->loop, 0);
        timeval next{};
        a->time_restart(e, pa_timeval_add(pa_gettimeofday(&next), 100 * PA_USEC_PER_MSEC));
    };
    timeval first{};
    tick = api->time_new(api, pa_timeval_add(pa_gettimeofday(&first), 100 * PA_USEC_PER_MSEC), onTick, &tickData);

    bool opened = waitFor([&] { return pa_context_get_state(m_context) == PA_CONTEXT_READY; });
    if (!opened) {
        reason = std::string("sound server: ") +
                 (m_failed ? pa_strerror(pa_context_errno(m_context)) : "no answer");
    } else {
        pa_sample_spec format{};
        format.format = PA_SAMPLE_FLOAT32LE;
        format.rate = kSampleRate;
        format.channels = 1;
        m_stream = pa_stream_new(m_context, "audio lighting", &format, nullptr);
        pa_stream_set_state_callback(m_stream, &PulseCapture::OnStreamState, this);
        pa_stream_set_read_callback(m_stream, &PulseCapture::OnRead, this);
        // Fragments of one hop keep the lighting within a frame of the sound.
        pa_buffer_attr attr{};
        attr.maxlength = static_cast<uint32_t>(-1);
        attr.fragsize = static_cast<uint32_t>(kHopSamples * sizeof(float));
        if (pa_stream_connect_record(m_stream, "@DEFAULT_MONITOR@", &attr, PA_STREAM_ADJUST_LATENCY) < 0) {
            reason = std::string("pa_stream_connect_record: ") + pa_strerror(pa_context_errno(m_context));
            opened = false;
        } else {
            opened = waitFor([&] { return m_ready; });
            if (!opened) {
                reason = std::string("recording: ") +
                         (m_failed ? pa_strerror(pa_context_errno(m_context)) : "no answer");
            }
        }
    }
    api->time_free(tick);
    pa_threaded_mainloop_unlock(m_loop);
    if (!opened) Close();
    return opened;
}

void PulseCapture::Close() {
    if (m_loop == nullptr) return;
    pa_threaded_mainloop_lock(m_loop);
    m_closing = true;
    if (m_stream) {
        pa_stream_set_read_callback(m_stream, nullptr, nullptr);
        pa_stream_set_state_callback(m_stream, nullptr, nullptr);
        pa_stream_disconnect(m_stream);
        pa_stream_unref(m_stream);
        m_stream = nullptr;
    }
    if (m_context) {
        pa_context_set_state_callback(m_context, nullptr, nullptr);
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
        m_context = nullptr;
    }
    pa_threaded_mainloop_unlock(m_loop);
    pa_threaded_mainloop_stop(m_loop);
    pa_threaded_mainloop_free(m_loop);
    m_loop = nullptr;
}

}  // namespace vx::companion
