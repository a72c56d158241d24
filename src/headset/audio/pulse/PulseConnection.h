#pragma once
// One connection to the sound server on a main loop of its own, driven by the calling thread.
// Every wait is bounded: a connection kConnectTimeout, a request kRequestTimeout. A server that
// leaves a request unanswered is dropped and left alone for kQuietAfterTimeout, during which
// every call fails at once; a server that went away makes the calls fail, and the next call
// after that connects afresh. Not thread-safe: one thread uses one connection.

#include <pulse/pulseaudio.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

namespace vx::headset::pulse {

using Clock = std::chrono::steady_clock;

constexpr auto kConnectTimeout = std::chrono::milliseconds(2000);
constexpr auto kRequestTimeout = std::chrono::milliseconds(1000);
// The headset page's start makes some thirty calls; a hung server must not cost each its time-out.
constexpr auto kQuietAfterTimeout = std::chrono::seconds(5);

class PulseConnection {
public:
    ~PulseConnection() { Disconnect(); }

    bool Ensure() {
        if (Clock::now() < m_quietUntil) return false;
        if (m_context && pa_context_get_state(m_context) == PA_CONTEXT_READY) return true;
        Disconnect();
        m_loop = pa_mainloop_new();
        if (!m_loop) return false;
        m_context = pa_context_new(pa_mainloop_get_api(m_loop), "Vexor Umbrel headset audio");
        if (!m_context || pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
            Disconnect();
            return false;
        }
        const auto deadline = Clock::now() + kConnectTimeout;
        while (true) {
            const pa_context_state_t state = pa_context_get_state(m_context);
            if (state == PA_CONTEXT_READY) return true;
            if (!PA_CONTEXT_IS_GOOD(state)) {
                Disconnect();
                return false;
            }
            if (!Iterate(deadline)) {
                GiveUp();
                return false;
            }
        }
    }

    // Starts a request with start(context) and runs the loop until it is done, the deadline
    // passes or the connection breaks. True only when the request completed.
    bool Run(const std::function<pa_operation*(pa_context*)>& start) {
        if (!Ensure()) return false;
        pa_operation* op = start(m_context);
        if (!op) return false;
        const auto deadline = Clock::now() + kRequestTimeout;
        bool done = false;
        while (true) {
            const pa_operation_state_t state = pa_operation_get_state(op);
            if (state == PA_OPERATION_DONE) {
                done = true;
                break;
            }
            if (state == PA_OPERATION_CANCELLED) break;
            if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(m_context))) {
                pa_operation_cancel(op);
                break;
            }
            if (!Iterate(deadline)) {
                pa_operation_cancel(op);
                pa_operation_unref(op);
                GiveUp();
                return false;
            }
        }
        pa_operation_unref(op);
        return done;
    }

    std::string DefaultSink() { return Defaults().first; }
    std::string DefaultSource() { return Defaults().second; }

private:
    // One pass of the loop, waiting no longer than the deadline; false once it has passed or
    // the loop failed.
    bool Iterate(Clock::time_point deadline) {
        const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now()).count();
        if (left <= 0) return false;
        if (pa_mainloop_prepare(m_loop, static_cast<int>(std::min<int64_t>(left, 100000))) < 0) return false;
        if (pa_mainloop_poll(m_loop) < 0) return false;
        return pa_mainloop_dispatch(m_loop) >= 0;
    }

    std::pair<std::string, std::string> Defaults() {
        std::pair<std::string, std::string> names;
        Run([&names](pa_context* c) {
            return pa_context_get_server_info(
                c,
                [](pa_context*, const pa_server_info* info, void* data) {
                    auto* out = static_cast<std::pair<std::string, std::string>*>(data);
                    if (!info) return;
                    if (info->default_sink_name) out->first = info->default_sink_name;
                    if (info->default_source_name) out->second = info->default_source_name;
                },
                &names);
        });
        return names;
    }

    // A late answer to a request given up on must not be taken for the next one's: the
    // connection goes, and the next call after the quiet time connects afresh.
    void GiveUp() {
        Disconnect();
        m_quietUntil = Clock::now() + kQuietAfterTimeout;
    }

    void Disconnect() {
        if (m_context) {
            pa_context_disconnect(m_context);
            pa_context_unref(m_context);
            m_context = nullptr;
        }
        if (m_loop) {
            pa_mainloop_free(m_loop);
            m_loop = nullptr;
        }
    }

    pa_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    Clock::time_point m_quietUntil{};
};

// The success flag of a request that reports one, for Succeeded.
void SuccessCallback(pa_context*, int success, void* data);
// Runs a request whose callback is SuccessCallback; true when it completed and succeeded.
bool Succeeded(PulseConnection& server, const std::function<pa_operation*(pa_context*, int*)>& start);
// The new module's index, or PA_INVALID_INDEX.
uint32_t LoadModule(PulseConnection& server, const char* name, const std::string& argument);
bool UnloadModule(PulseConnection& server, uint32_t index);
// The last module of that name whose argument holds the text, or PA_INVALID_INDEX.
uint32_t FindModuleByArgument(PulseConnection& server, const char* moduleName, const std::string& needle);

}  // namespace vx::headset::pulse
