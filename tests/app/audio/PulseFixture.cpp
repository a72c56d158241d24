#include "PulseFixture.h"

#include <pulse/error.h>
#include <pulse/simple.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <numbers>
#include <sstream>
#include <vector>

extern char** environ;

namespace vxtest {

PrivatePulseServer::PrivatePulseServer() {
    char pattern[] = "/tmp/vx-pulse-XXXXXX";
    m_folder = mkdtemp(pattern);
}

PrivatePulseServer::~PrivatePulseServer() {
    Stop();
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
}

std::string PrivatePulseServer::Address() const { return "unix:" + (m_folder / "native").string(); }

bool PrivatePulseServer::Start(std::string& log) {
    const std::filesystem::path script = m_folder / "server.pa";
    std::ofstream(script) << "load-module module-native-protocol-unix auth-anonymous=1 socket="
                          << (m_folder / "native").string() << "\n"
                          << "load-module module-null-sink sink_name=lighting_test rate=48000\n"
                          << "set-default-sink lighting_test\n";
    const std::string logFile = (m_folder / "server.log").string();
    const std::string command = "cd '" + m_folder.string() + "' && HOME='" + m_folder.string() +
                                "' XDG_RUNTIME_DIR='" + m_folder.string() + "' XDG_CONFIG_HOME='" +
                                m_folder.string() +
                                "' exec pulseaudio --daemonize=no -n --exit-idle-time=-1 --use-pid-file=no "
                                "--disable-shm=yes --log-target=stderr -F '" +
                                script.string() + "' 2>'" + logFile + "'";
    const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
    // fork, not posix_spawn: the thread sanitizer runs its after-fork hook in posix_spawn's
    // vfork child, which shares this process's memory, and this process may then start no thread.
    m_pid = fork();
    if (m_pid == 0) {
        execve("/bin/sh", const_cast<char**>(argv), environ);
        _exit(127);
    }
    if (m_pid < 0) {
        m_pid = 0;
        log = "fork failed";
        return false;
    }
    if (const char* previous = std::getenv("PULSE_SERVER")) {
        m_hadServer = true;
        m_previousServer = previous;
    }
    setenv("PULSE_SERVER", Address().c_str(), 1);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        pa_sample_spec format{PA_SAMPLE_FLOAT32LE, 48000, 1};
        int error = 0;
        pa_simple* probe = pa_simple_new(nullptr, "probe", PA_STREAM_PLAYBACK, nullptr, "probe", &format,
                                         nullptr, nullptr, &error);
        if (probe) {
            pa_simple_free(probe);
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::ifstream in(logFile);
    std::stringstream text;
    text << in.rdbuf();
    log = text.str();
    return false;
}

void PrivatePulseServer::Stop() {
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_pid = 0;
    }
    if (m_hadServer) {
        setenv("PULSE_SERVER", m_previousServer.c_str(), 1);
    } else {
        unsetenv("PULSE_SERVER");
    }
}

bool ToneSource::Play(Frequency frequency, double amplitude) {
    Stop();
    pa_sample_spec format{PA_SAMPLE_FLOAT32LE, 48000, 1};
    // 200 ms of buffer, as a music player keeps. The monitor hands on the sound in the blocks the
    // sink renders, and their size follows the player's latency: a 50 ms player makes the
    // companion wake twice as often (1.9 % of a core against 1.5 %, bench_audio_companion).
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.tlength = 48000 / 5 * sizeof(float);
    attr.prebuf = static_cast<uint32_t>(-1);
    attr.minreq = static_cast<uint32_t>(-1);
    int error = 0;
    pa_simple* stream =
        pa_simple_new(nullptr, "tone", PA_STREAM_PLAYBACK, nullptr, "tone", &format, nullptr, &attr, &error);
    if (stream == nullptr) return false;
    m_stop = false;
    m_thread = std::thread([this, stream, frequency = std::move(frequency), amplitude] {
        std::vector<float> chunk(480);
        double phase = 0;
        long sample = 0;
        while (!m_stop) {
            for (float& s : chunk) {
                const double hz = frequency(static_cast<double>(sample++) / 48000.0);
                phase += 2 * std::numbers::pi * hz / 48000.0;
                if (phase > 2 * std::numbers::pi) phase -= 2 * std::numbers::pi;
                s = static_cast<float>(amplitude * std::sin(phase));
            }
            int writeError = 0;
            if (pa_simple_write(stream, chunk.data(), chunk.size() * sizeof(float), &writeError) < 0) break;
        }
        int ignored = 0;
        pa_simple_flush(stream, &ignored);
        pa_simple_free(stream);
    });
    return true;
}

void ToneSource::Stop() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
}

}  // namespace vxtest
