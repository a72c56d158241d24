#pragma once
// A private PulseAudio server for tests: a null sink as the default output, reached through a
// socket in a scratch folder, and a tone source that plays into it. PULSE_SERVER points every
// client of this process (and the programs it starts) at it while it runs.

#include <atomic>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

namespace vxtest {

class PrivatePulseServer {
public:
    PrivatePulseServer();
    ~PrivatePulseServer();
    // False (with the server's log in `log`) when the server did not come up within 10 s.
    bool Start(std::string& log);
    void Stop();
    std::string Address() const;

private:
    std::filesystem::path m_folder;
    int m_pid = 0;
    std::string m_previousServer;
    bool m_hadServer = false;
};

// Plays a sine into the default output on a thread of its own; the frequency may change while it
// plays (a function of the seconds since the start); amplitude 0 plays silence.
class ToneSource {
public:
    using Frequency = std::function<double(double seconds)>;
    ToneSource() = default;
    ~ToneSource() { Stop(); }
    bool Play(Frequency frequency, double amplitude);
    void Stop();

private:
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_failed{false};
};

}  // namespace vxtest
