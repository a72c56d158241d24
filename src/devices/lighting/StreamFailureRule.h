#pragma once

#include <cstdint>
#include <functional>

namespace vx::lighting {

class LightingClock;

// The stream failure rule, kept separately for the receiver and the cable: a frame that takes more
// than 500 ms is slow; a second slow frame in a row stops the stream on that connection (frames
// then count as sent without being sent); a fast frame clears the counter.
class StreamFailureRule {
public:
    static constexpr uint32_t kSlowMs = 500;

    explicit StreamFailureRule(const LightingClock& clock) : m_clock(clock) {}

    // Sends through send() unless the connection's stream is stopped; returns send()'s status,
    // or 1 for a stopped stream.
    int Stream(bool wireless, const std::function<int()>& send);

    bool Stopped(bool wireless) const { return State(wireless).stopped; }
    uint32_t SlowFrames(bool wireless) const { return State(wireless).slow; }
    // The receiver's flag is cleared when the wireless device answers again.
    void SetStopped(bool wireless, bool stopped);

private:
    struct Connection {
        bool stopped = false;
        uint32_t slow = 0;
    };
    Connection& State(bool wireless) { return wireless ? m_receiver : m_cable; }
    const Connection& State(bool wireless) const { return wireless ? m_receiver : m_cable; }

    const LightingClock& m_clock;
    Connection m_receiver;
    Connection m_cable;
};

}  // namespace vx::lighting
