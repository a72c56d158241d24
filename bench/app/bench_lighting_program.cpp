// The whole program (main window, discovery, synchronised-lighting worker, the keyboard page with
// its lighting thread and 50 ms picture timer, and the virtual keyboard answering its commands)
// showing the keyboard page while the keyboard runs an animated effect: the wave (mode 1) at the
// factory profile's speed level 2 and full brightness.
//   WaveOnKeyboardPage/visible   the window shown on the keyboard page
//   WaveOnKeyboardPage/hidden    the window hidden (closed to the tray)
// Each runs the program's own event loop for 30 s (no polling by the bench) and reports the CPU
// share of one core of the whole process over that time and its resident memory at the end.
// The platform is the one of QT_QPA_PLATFORM ("offscreen" when unset; under Xvfb the figures
// include the X server round trips of painting, not the X server's own CPU).
//   build/bench/app/bench_lighting_program
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <fstream>
#include <string>

#include "app/DevicePageSet.h"
#include "app/MainWnd.h"
#include "app/RegisteredMessages.h"
#include "app/StartUp.h"
#include "bench/app/InProcessProgram.h"
#include "devices/TavimondUSBDevice.h"
#include "devices/lighting/LightingEngine.h"
#include "profiles/DataFolders.h"
#include "tests/journeys/support/JourneyDevices.h"
#include "tests/link/support/VirtualNodePlayer.h"
#include "bench/support/CpuTime.h"
#include "bench/support/EventLoop.h"

using vxbench::ProcessCpuSeconds;
using vxbench::RunLoop;

using journeys::Device;
using journeys::JourneyDevices;
using vx::app::CMainWnd;
using vx::devices::CTavimondUSBDevice;

namespace {



double ResidentMb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    }
    return -1;
}

void WaveOnKeyboardPage(benchmark::State& state) {
    const bool visible = state.range(0) != 0;
    const int seconds = static_cast<int>(state.range(1));
    vxtest::ScopedTempDir dir;
    vxtest::ScopedTempDir data;
    PrepareInProcessProgram(dir.Path(), data.Path());
    JourneyDevices devices(dir.Path());
    devices.Plug(Device::KeyboardWired);
    double cpuShare = -1;
    double rss = -1;
    int mode = -1;
    {
        CMainWnd wnd;
        OpenMainWindow(wnd);
        // Settle: first scan, the connection sequence, the profile files.
        RunLoop(4000);
        CTavimondUSBDevice* keyboard = wnd.Pages()->Keyboards().front();
        if (wnd.CurrentDevicePage() != keyboard) {
            state.SkipWithError("the keyboard page is not the one shown");
        } else {
            mode = keyboard->Engine().GetLightInfo().selectItem;
            if (!visible) wnd.hide();
            for (auto _ : state) {
                const double before = ProcessCpuSeconds();
                const auto start = std::chrono::steady_clock::now();
                RunLoop(seconds * 1000);
                const double wall =
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
                cpuShare = 100.0 * (ProcessCpuSeconds() - before) / wall;
                rss = ResidentMb();
            }
        }
        wnd.OnMenuItem("exit");
    }
    qunsetenv("VX_VIRTUAL_HID_DIR");
    state.counters["cpu_percent_of_core"] = cpuShare;
    state.counters["resident_mb"] = rss;
    state.counters["light_mode"] = mode;
}
BENCHMARK(WaveOnKeyboardPage)
    ->ArgNames({"visible", "s"})
    ->Args({1, 30})
    ->Args({0, 30})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
