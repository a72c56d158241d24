#pragma once
// A private PulseAudio server for one test: its own runtime folder with a null sink, a null
// source and the native protocol's socket, started without the user's configuration and
// stopped at the end. PULSE_SERVER points the client library at it. CI runs as root:
// pulseaudio only warns then, as long as it is not asked for system mode (--system=no) and
// HOME and XDG_RUNTIME_DIR are folders root owns (this one).

#include <pulse/pulseaudio.h>
#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/profiles/TempDir.h"

extern char** environ;

namespace vx::headset::test {

// Synchronous reads of the server's state through the client API, each bounded.
class PulseClient {
public:
    PulseClient() {
        m_loop = pa_mainloop_new();
        m_context = pa_context_new(pa_mainloop_get_api(m_loop), "vx headset test");
        pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr);
        Until([this] { return !PA_CONTEXT_IS_GOOD(pa_context_get_state(m_context)) ||
                              pa_context_get_state(m_context) == PA_CONTEXT_READY; });
    }
    ~PulseClient() {
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
        pa_mainloop_free(m_loop);
    }
    bool Ready() const { return pa_context_get_state(m_context) == PA_CONTEXT_READY; }

    struct Source {
        pa_cvolume volume{};
        int mute = -1;
    };
    std::optional<Source> SourceInfo(const std::string& name) {
        std::optional<Source> out;
        Run(pa_context_get_source_info_by_name(
            m_context, name.c_str(),
            [](pa_context*, const pa_source_info* info, int eol, void* data) {
                if (eol || !info) return;
                *static_cast<std::optional<Source>*>(data) = Source{info->volume, info->mute};
            },
            &out));
        return out;
    }
    void SetSourceVolume(const std::string& name, double scalar) {
        pa_cvolume v;
        pa_cvolume_set(&v, 2, static_cast<pa_volume_t>(scalar * PA_VOLUME_NORM));
        Run(pa_context_set_source_volume_by_name(m_context, name.c_str(), &v, nullptr, nullptr));
    }

    struct Module {
        uint32_t index;
        std::string name, argument;
    };
    std::vector<Module> Modules(const std::string& name) {
        struct Find {
            std::string name;
            std::vector<Module> found;
        } find{name, {}};
        Run(pa_context_get_module_info_list(
            m_context,
            [](pa_context*, const pa_module_info* info, int eol, void* data) {
                auto* f = static_cast<Find*>(data);
                if (eol || !info || f->name != info->name) return;
                f->found.push_back({info->index, info->name, info->argument ? info->argument : ""});
            },
            &find));
        return find.found;
    }
    // The index of the module loaded last (the server counts them up from 0).
    uint32_t LastModuleIndex() {
        uint32_t last = 0;
        Run(pa_context_get_module_info_list(
            m_context,
            [](pa_context*, const pa_module_info* info, int eol, void* data) {
                auto* l = static_cast<uint32_t*>(data);
                if (!eol && info && info->index > *l) *l = info->index;
            },
            &last));
        return last;
    }

    // The highest channel volume of the sink input a module owns.
    std::optional<pa_volume_t> ModuleInputVolume(uint32_t module) {
        struct Find {
            uint32_t module;
            std::optional<pa_volume_t> volume;
        } find{module, std::nullopt};
        Run(pa_context_get_sink_input_info_list(
            m_context,
            [](pa_context*, const pa_sink_input_info* info, int eol, void* data) {
                auto* f = static_cast<Find*>(data);
                if (!eol && info && info->owner_module == f->module) f->volume = pa_cvolume_max(&info->volume);
            },
            &find));
        return find.volume;
    }

private:
    void Run(pa_operation* op) {
        if (!op) return;
        Until([op] { return pa_operation_get_state(op) != PA_OPERATION_RUNNING; });
        pa_operation_unref(op);
    }
    void Until(const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (!done() && std::chrono::steady_clock::now() < deadline) {
            if (pa_mainloop_prepare(m_loop, 50000) < 0 || pa_mainloop_poll(m_loop) < 0) break;
            pa_mainloop_dispatch(m_loop);
        }
    }

    pa_mainloop* m_loop;
    pa_context* m_context;
};

inline std::string FindInPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string rest = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= rest.size()) {
        const size_t colon = rest.find(':', start);
        const std::filesystem::path candidate = std::filesystem::path(rest.substr(start, colon - start)) / program;
        if (access(candidate.c_str(), X_OK) == 0) return candidate.string();
        if (colon == std::string::npos) break;
        start = colon + 1;
    }
    return {};
}

class PulseServer {
public:
    static constexpr const char* kSink = "vx_test_sink";
    static constexpr const char* kSource = "vx_test_source";

    // Empty when the server started and answers; otherwise why not.
    std::string Start() {
        const std::string binary = FindInPath("pulseaudio");
        if (binary.empty()) return "pulseaudio is not installed";
        const auto socket = m_dir / "native";
        std::ofstream(m_dir / "test.pa") << "load-module module-null-sink sink_name=" << kSink << "\n"
                                         << "load-module module-null-source source_name=" << kSource << "\n"
                                         << "load-module module-native-protocol-unix auth-anonymous=1 socket="
                                         << socket.string() << "\n";
        std::vector<std::string> args = {binary, "--daemonize=no", "-n", "--exit-idle-time=-1",
                                         "--use-pid-file=no", "--system=no", "--disallow-exit=yes",
                                         "--log-target=file:" + (m_dir / "server.log").string(),
                                         "-F", (m_dir / "test.pa").string()};
        std::vector<std::string> env = {"HOME=" + m_dir.Path().string(), "XDG_RUNTIME_DIR=" + m_dir.Path().string(),
                                        "XDG_CONFIG_HOME=" + (m_dir / "config").string(), "PATH=/usr/bin:/bin"};
        std::vector<char*> argv, envp;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        for (auto& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        // fork, not posix_spawn: the thread sanitizer runs its after-fork hook in posix_spawn's
        // vfork child, which shares this process's memory, and this process may then start no thread.
        m_pid = fork();
        if (m_pid == 0) {
            execve(binary.c_str(), argv.data(), envp.data());
            _exit(127);
        }
        if (m_pid < 0) {
            m_pid = -1;
            return "pulseaudio could not be started";
        }
        setenv("PULSE_SERVER", ("unix:" + socket.string()).c_str(), 1);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            if (std::filesystem::exists(socket) && PulseClient().Ready()) return {};
            if (waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
                m_pid = -1;
                return "pulseaudio ended at start: " + ReadText(m_dir / "server.log");
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return "pulseaudio did not answer within 10 s: " + ReadText(m_dir / "server.log");
    }

    // The server stops answering but keeps its connections open: a hung server.
    void Freeze() {
        if (m_pid > 0) kill(m_pid, SIGSTOP);
    }

    void Stop() {
        if (m_pid <= 0) return;
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

    ~PulseServer() { Stop(); }

private:
    TempDir m_dir;
    pid_t m_pid = -1;
};

}  // namespace vx::headset::test
