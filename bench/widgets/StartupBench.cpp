// Start-up of the real program with the offscreen platform: process start to the main window's
// first paint, and the process's peak resident memory. Targets: under 300 ms and under 60 MB.
//   build/bench/widgets/bench_widgets_startup
#include "BuildPaths.h"
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct StartResult {
    double firstPaintMs = -1;
    double peakRssMb = 0;
};

StartResult StartOnce(const std::string& runtimeDir) {
    StartResult result;
    int out[2];
    if (pipe(out) != 0) return result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

    std::vector<std::string> env = {
        "QT_QPA_PLATFORM=offscreen",
        "VX_SKIN_DIR=" VX_SOURCE_DIR "/skin/",
        "XDG_RUNTIME_DIR=" + runtimeDir,
        // The guard falls back to the lock file: the measurement does not depend on a bus.
        "DBUS_SESSION_BUS_ADDRESS=unix:path=" + runtimeDir + "/no-bus",
        std::string("HOME=") + (getenv("HOME") ? getenv("HOME") : "/tmp"),
    };
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string program = VX_BINARY_DIR "/src/app/VexorUmbrelControlCenter";
    std::string flag = "--exit-after-first-paint";
    char* argv[] = {program.data(), flag.data(), nullptr};

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        close(out[0]);
        return result;
    }
    std::string text;
    char buffer[256];
    ssize_t n = 0;
    while (text.find("first-paint") == std::string::npos && (n = read(out[0], buffer, sizeof buffer)) > 0) {
        text.append(buffer, static_cast<size_t>(n));
    }
    if (text.find("first-paint") != std::string::npos) {
        result.firstPaintMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }
    close(out[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    result.peakRssMb = usage.ru_maxrss / 1024.0;
    return result;
}

void BM_StartToFirstPaint(benchmark::State& state) {
    char dir[] = "/tmp/vx-bench-XXXXXX";
    if (!mkdtemp(dir)) {
        state.SkipWithError("no temporary folder");
        return;
    }
    chmod(dir, 0700);
    double peak = 0;
    double total = 0;
    int runs = 0;
    for (auto _ : state) {
        const StartResult r = StartOnce(dir);
        if (r.firstPaintMs < 0) {
            state.SkipWithError("the program did not paint");
            break;
        }
        state.SetIterationTime(r.firstPaintMs / 1000.0);
        total += r.firstPaintMs;
        peak = std::max(peak, r.peakRssMb);
        ++runs;
    }
    if (runs > 0) {
        state.counters["first_paint_ms"] = total / runs;
        state.counters["peak_rss_MB"] = peak;
    }
    rmdir(dir);
}

BENCHMARK(BM_StartToFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
