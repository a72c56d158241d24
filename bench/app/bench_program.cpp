// The running program with virtual devices. Figures and targets:
//   EntryShownAfterPlug   plugged virtual keyboard -> its selector entry shown, median of 15
//                         plugs (in-process window with the program's discovery settings: the
//                         udev monitor and the directory watch; target under 150 ms)
//   IdleNoDevice          the real program with no device at all: CPU share of one core over
//                         20 s, once as a user starts it and once with an empty virtual device
//                         folder (target under 0.05 %)
//   IdleProgram           the real program with a keyboard, a mouse, a mousepad and a headset
//                         connected (an emulator process of its own serves them), idle effects
//                         running: CPU share of one core over 30 s (target under 2 %) and
//                         resident memory at the end (target under 80 MB)
//   WindowAnswerTime      the real program with a keyboard on its cable, a mouse behind its
//                         receiver, a mousepad and a headset (an emulator process serves them):
//                         round trip of the D-Bus PostMessage call, which the window answers on
//                         its own thread, 20 calls a second for 15 s each with all devices
//                         healthy, with the keyboard hung and with the mouse's receiver hung
//                         (they take every report and answer none); median and maximum of each
//                         (target: maximum under 50 ms whatever a device does)
//   build/bench/app/bench_program [--benchmark_filter=WindowAnswerTime]
#include "BuildPaths.h"
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/DeviceOptionUI.h"
#include "app/DevicePageSet.h"
#include "app/MainWnd.h"
#include "app/RegisteredMessages.h"
#include "app/StartUp.h"
#include "bench/app/InProcessProgram.h"
#include "bench/support/CpuTime.h"
#include "devices/TavimondUSBDevice.h"
#include "profiles/DataFolders.h"
#include "tests/journeys/support/JourneyDevices.h"
#include "tests/link/support/VirtualNodePlayer.h"
#include "widgets/ControlUI.h"

using vx::app::CMainWnd;
using vx::devices::CTavimondUSBDevice;
namespace ui = vx::widgets::ui;

extern char** environ;

using journeys::Device;
using journeys::JourneyDevices;

namespace {

void Pump(int ms) {
    QElapsedTimer t;
    t.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    } while (t.elapsed() < ms);
}

bool WaitFor(const std::function<bool()>& pred, int timeoutMs, double* elapsedMs = nullptr) {
    const auto start = std::chrono::steady_clock::now();
    while (true) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        if (pred()) {
            if (elapsedMs) *elapsedMs = ms;
            return true;
        }
        if (ms > timeoutMs) return false;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
}

void EntryShownAfterPlug(benchmark::State& state) {
    vxtest::ScopedTempDir dir;
    vxtest::ScopedTempDir data;
    PrepareInProcessProgram(dir.Path(), data.Path());
    JourneyDevices devices(dir.Path());
    std::vector<double> samples;
    {
        CMainWnd wnd;
        wnd.Create(nullptr, CMainWnd::kTitle, 0, 0, QRect(0, 0, CMainWnd::kWidth, CMainWnd::kHeight));
        wnd.show();
        WaitFor([&] { return wnd.FirstScanDone(); }, 3000);
        CTavimondUSBDevice* keyboard = wnd.Pages()->Keyboards().front();
        auto shown = [&] { return ui::IsVisible(wnd.Pages()->EntryOf(keyboard)); };
        for (auto _ : state) {
            for (int i = 0; i < 15; ++i) {
                const auto start = std::chrono::steady_clock::now();
                devices.Plug(Device::KeyboardWired);
                double ms = 0;
                if (!WaitFor(shown, 2000)) {
                    state.SkipWithError("the entry was not shown");
                    break;
                }
                ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                         .count();
                samples.push_back(ms);
                Pump(600);  // let the connection sequence run, as it would for a user
                devices.Unplug(Device::KeyboardWired);
                WaitFor([&] { return !shown(); }, 2000);
                Pump(50);
            }
        }
        wnd.OnMenuItem("exit");
    }
    qunsetenv("VX_VIRTUAL_HID_DIR");
    if (samples.empty()) return;
    std::sort(samples.begin(), samples.end());
    state.counters["median_ms"] = samples[samples.size() / 2];
    state.counters["max_ms"] = samples.back();
    state.counters["plugs"] = static_cast<double>(samples.size());
}
BENCHMARK(EntryShownAfterPlug)->Iterations(1)->Unit(benchmark::kMillisecond);

pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env, int stdinFd) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdinFd >= 0) posix_spawn_file_actions_adddup2(&actions, stdinFd, STDIN_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> a = args;
    std::vector<char*> argv;
    for (auto& s : a) argv.push_back(s.data());
    argv.push_back(nullptr);
    std::vector<std::string> e = env;
    std::vector<char*> envp;
    for (auto& s : e) envp.push_back(s.data());
    envp.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// Time on a processor of every live thread of a process, in seconds (nanosecond resolution, where
// utime + stime count 10 ms ticks: a share of 0.05 % over 20 s is a single tick); -1 if none.
double ScheduledSeconds(pid_t pid) {
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    DIR* dir = opendir(tasks.c_str());
    if (dir == nullptr) return -1;
    double total = 0;
    while (dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') continue;
        std::ifstream stat(tasks + "/" + entry->d_name + "/schedstat");
        unsigned long long ns = 0;
        if (stat >> ns) total += static_cast<double>(ns) / 1e9;
    }
    closedir(dir);
    return total;
}

double ResidentMb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    }
    return -1;
}

void IdleProgram(benchmark::State& state) {
    vxtest::ScopedTempDir dir;
    vxtest::ScopedTempDir runtime;
    vxtest::ScopedTempDir data;
    int keepOpen[2];
    if (pipe(keepOpen) != 0) {
        state.SkipWithError("pipe");
        return;
    }
    const std::vector<std::string> emulatorEnv = {"PATH=/usr/bin:/bin"};
    const pid_t emulator = Spawn({VX_BINARY_DIR "/emulator/vx-emulator", "--dir", dir.Path(), "--devices",
                                  "keyboard-wired,mouse-receiver,mousepad,headset", "--no-state"},
                                 emulatorEnv, keepOpen[0]);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const std::vector<std::string> env = {
        "QT_QPA_PLATFORM=offscreen",
        "VX_SKIN_DIR=" VX_SOURCE_DIR "/skin/",
        "VX_VIRTUAL_HID_DIR=" + dir.Path(),
        "VX_DATA_HOME=" + data.Path(),
        "XDG_CONFIG_HOME=" + data.Path(),
        "XDG_RUNTIME_DIR=" + runtime.Path(),
        "DBUS_SESSION_BUS_ADDRESS=unix:path=" + runtime.Path() + "/no-bus",
        std::string("HOME=") + (getenv("HOME") ? getenv("HOME") : "/tmp"),
    };
    const pid_t program = Spawn({VX_BINARY_DIR "/src/app/VexorUmbrelControlCenter"}, env, -1);
    const int seconds = static_cast<int>(state.range(0));
    double cpuShare = -1;
    double rss = -1;
    for (auto _ : state) {
        // Settle: first scan, connection sequences, profile files.
        std::this_thread::sleep_for(std::chrono::seconds(5));
        const long long before = vxbench::ProcessCpuTicks(program);
        const auto start = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        const long long after = vxbench::ProcessCpuTicks(program);
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (before < 0 || after < 0) {
            state.SkipWithError("the program did not run");
            break;
        }
        cpuShare = 100.0 * (after - before) / sysconf(_SC_CLK_TCK) / wall;
        rss = ResidentMb(program);
    }
    kill(program, SIGKILL);
    waitpid(program, nullptr, 0);
    kill(emulator, SIGTERM);
    close(keepOpen[1]);
    close(keepOpen[0]);
    waitpid(emulator, nullptr, 0);
    state.counters["cpu_percent_of_core"] = cpuShare;
    state.counters["resident_mb"] = rss;
}
BENCHMARK(IdleProgram)->Arg(30)->Iterations(1)->Unit(benchmark::kSecond);

// One program with its emulator and a private session bus, for measurements from outside.
class RunningProgram {
public:
    RunningProgram() {
        if (pipe(m_console) != 0) return;
        m_busAddress = "unix:path=" + m_runtime.Path() + "/bus";
        m_bus = Spawn({"/usr/bin/dbus-daemon", "--session", "--nofork", "--nopidfile", "--address=" + m_busAddress},
                      {"PATH=/usr/bin:/bin"}, -1);
        m_emulator = Spawn({VX_BINARY_DIR "/emulator/vx-emulator", "--dir", m_dir.Path(), "--devices",
                            "keyboard-wired,mouse-receiver,mousepad,headset", "--no-state"},
                           {"PATH=/usr/bin:/bin"}, m_console[0]);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        m_program = Spawn({VX_BINARY_DIR "/src/app/VexorUmbrelControlCenter"},
                          {"QT_QPA_PLATFORM=offscreen", "VX_SKIN_DIR=" VX_SOURCE_DIR "/skin/",
                           "VX_VIRTUAL_HID_DIR=" + m_dir.Path(), "VX_DATA_HOME=" + m_data.Path(),
                           "XDG_CONFIG_HOME=" + m_data.Path(), "XDG_RUNTIME_DIR=" + m_runtime.Path(),
                           "DBUS_SESSION_BUS_ADDRESS=" + m_busAddress,
                           std::string("HOME=") + (getenv("HOME") ? getenv("HOME") : "/tmp")},
                          -1);
    }
    ~RunningProgram() {
        QDBusConnection::disconnectFromBus(QStringLiteral("bench"));
        for (pid_t pid : {m_program, m_emulator, m_bus}) {
            if (pid <= 0) continue;
            kill(pid, pid == m_program ? SIGKILL : SIGTERM);
            waitpid(pid, nullptr, 0);
        }
        close(m_console[1]);
        close(m_console[0]);
    }
    bool Started() const { return m_bus > 0 && m_emulator > 0 && m_program > 0; }

    // A line for the emulator's console ("hang keyboard-wired").
    void Console(const std::string& line) {
        const std::string text = line + "\n";
        if (write(m_console[1], text.data(), text.size()) < 0) std::perror("emulator console");
    }

    // Milliseconds of one PostMessage round trip; -1 when it was not answered within 10 s.
    double PostMessageRoundTrip() {
        QDBusConnection bus = QDBusConnection::connectToBus(QString::fromStdString(m_busAddress), QStringLiteral("bench"));
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("com.vexorumbrel.ControlCenter"), QStringLiteral("/ControlCenter"),
            QStringLiteral("com.vexorumbrel.ControlCenter"), QStringLiteral("PostMessage"));
        // The hook's mouse-move message: the window takes it and does nothing while no macro is
        // being recorded.
        call << QStringLiteral("UWM_MOUSEMOVE_USER_MSG") << qlonglong(0) << qlonglong(0);
        const auto start = std::chrono::steady_clock::now();
        const QDBusMessage reply = bus.call(call, QDBus::Block, 10000);
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        return reply.type() == QDBusMessage::ReplyMessage ? ms : -1;
    }

private:
    vxtest::ScopedTempDir m_dir;
    vxtest::ScopedTempDir m_runtime;
    vxtest::ScopedTempDir m_data;
    std::string m_busAddress;
    int m_console[2] = {-1, -1};
    pid_t m_bus = -1;
    pid_t m_emulator = -1;
    pid_t m_program = -1;
};

void WindowAnswerTime(benchmark::State& state) {
    RunningProgram program;
    if (!program.Started()) {
        state.SkipWithError("the program, its emulator or the bus did not start");
        return;
    }
    // Up: the window answers on the bus, then the connection sequences settle.
    bool up = false;
    for (int i = 0; i < 100 && !up; ++i) {
        up = program.PostMessageRoundTrip() >= 0;
        if (!up) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (!up) {
        state.SkipWithError("the window never answered on the bus");
        return;
    }
    std::this_thread::sleep_for(std::chrono::seconds(5));
    struct Phase {
        const char* name;
        const char* console;
    };
    const Phase phases[] = {{"healthy", nullptr},
                            {"hung_keyboard", "hang keyboard-wired"},
                            {"hung_receiver", "hang mouse-receiver"}};
    const int seconds = static_cast<int>(state.range(0));
    for (auto _ : state) {
        for (const Phase& phase : phases) {
            if (phase.console) program.Console(phase.console);
            std::vector<double> samples;
            const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
            while (std::chrono::steady_clock::now() < end) {
                const double ms = program.PostMessageRoundTrip();
                samples.push_back(ms < 0 ? 10000.0 : ms);
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
            if (phase.console) program.Console(std::string("un") + phase.console);
            std::sort(samples.begin(), samples.end());
            state.counters[std::string(phase.name) + "_median_ms"] = samples[samples.size() / 2];
            state.counters[std::string(phase.name) + "_max_ms"] = samples.back();
            std::printf("%-14s calls %4zu  median %7.2f ms  max %8.2f ms\n", phase.name, samples.size(),
                        samples[samples.size() / 2], samples.back());
            std::this_thread::sleep_for(std::chrono::seconds(2));
        }
    }
}
BENCHMARK(WindowAnswerTime)->Arg(15)->Iterations(1)->Unit(benchmark::kSecond);

// Arg 0: started as a user starts it; arg 1: with an empty folder of virtual devices watched too.
void IdleNoDevice(benchmark::State& state) {
    vxtest::ScopedTempDir dir;
    vxtest::ScopedTempDir runtime;
    vxtest::ScopedTempDir data;
    std::vector<std::string> env = {
        "QT_QPA_PLATFORM=offscreen",
        "VX_SKIN_DIR=" VX_SOURCE_DIR "/skin/",
        "VX_DATA_HOME=" + data.Path(),
        "XDG_CONFIG_HOME=" + data.Path(),
        "XDG_RUNTIME_DIR=" + runtime.Path(),
        "DBUS_SESSION_BUS_ADDRESS=unix:path=" + runtime.Path() + "/no-bus",
        std::string("HOME=") + (getenv("HOME") ? getenv("HOME") : "/tmp"),
    };
    if (state.range(0) == 1) env.push_back("VX_VIRTUAL_HID_DIR=" + dir.Path());
    const pid_t program = Spawn({VX_BINARY_DIR "/src/app/VexorUmbrelControlCenter"}, env, -1);
    constexpr int kSeconds = 20;
    double cpuShare = -1;
    double scheduledShare = -1;
    for (auto _ : state) {
        std::this_thread::sleep_for(std::chrono::seconds(3));  // start-up and first scan
        const long long before = vxbench::ProcessCpuTicks(program);
        const double scheduledBefore = ScheduledSeconds(program);
        const auto start = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(kSeconds));
        const long long after = vxbench::ProcessCpuTicks(program);
        const double scheduledAfter = ScheduledSeconds(program);
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (before < 0 || after < 0) {
            state.SkipWithError("the program did not run");
            break;
        }
        cpuShare = 100.0 * (after - before) / sysconf(_SC_CLK_TCK) / wall;
        if (scheduledBefore >= 0 && scheduledAfter >= 0)
            scheduledShare = 100.0 * (scheduledAfter - scheduledBefore) / wall;
    }
    kill(program, SIGTERM);
    waitpid(program, nullptr, 0);
    state.counters["cpu_percent_of_core"] = cpuShare;
    state.counters["scheduled_percent_of_core"] = scheduledShare;
}
BENCHMARK(IdleNoDevice)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
