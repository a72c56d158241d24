#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

namespace vx::lighting {

class LightingClock;

// The stream failure rule, kept separately for the receiver and the cable: a frame that takes more
// than 500 ms is slow; a second slow frame in a row stops the stream on that connection (frames
// then count as sent without being sent); a fast frame clears the counter.
//
// A stopped stream runs again when the device answers again: the receiver's when its presence
// query is answered (SetStopped, by the page); the cable's when the cable is connected anew
// (SetStopped), and when a probe frame, one every kCableProbeMs while stopped, is answered in
// time. Without the probe a keyboard that stalled once would stay dark until the program ends,
// since nothing else on the cable asks the device whether it answers.
//
// Threads: Stream runs on one thread (the page's device worker); SetStopped and the readers may
// be called from any thread.
class StreamFailureRule {
public:
    static constexpr uint32_t kSlowMs = 500;
    static constexpr uint32_t kCableProbeMs = 3000;

    explicit StreamFailureRule(const LightingClock& clock) : m_clock(clock) {}

    // Sends through send() unless the connection's stream is stopped; returns send()'s status,
    // or 1 for a stopped stream.
    int Stream(bool wireless, const std::function<int()>& send);

    bool Stopped(bool wireless) const { return State(wireless).stopped.load(); }
    uint32_t SlowFrames(bool wireless) const { return State(wireless).slow.load(); }
    // The receiver's flag is cleared when the wireless device answers again, the cable's when the
    // cable is connected again or the device took a command on it.
    void SetStopped(bool wireless, bool stopped);

private:
    struct Connection {
        std::atomic<bool> stopped{false};
        std::atomic<uint32_t> slow{0};
        // When the stream stopped or was last probed.
        std::atomic<uint32_t> quietSinceMs{0};
    };
    Connection& State(bool wireless) { return wireless ? m_receiver : m_cable; }
    const Connection& State(bool wireless) const { return wireless ? m_receiver : m_cable; }
    bool ProbeDue(bool wireless, uint32_t now) const;

    const LightingClock& m_clock;
    Connection m_receiver;
    Connection m_cable;
};

}  // namespace vx::lighting
