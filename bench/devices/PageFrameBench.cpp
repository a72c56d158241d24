// The keyboard page's LightingFrame, run by the selector entry every 50 ms on the UI thread: it
// paints every LED button from the frame and, in the streamed modes, builds and sends the frame.
// The send is replaced by a counter so that the figure is the page's own work.
#include "BuildPaths.h"
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWidget>

#include "app/StartUp.h"
#include "devices/TavimondKeyboardDevice.h"

using vx::app::SetupResources;


namespace {

int g_argc = 1;
char g_arg0[] = "bench";
char* g_argv[] = {g_arg0, nullptr};

class CountingKeyboard : public vx::devices::CTavimondKeyboardDevice {
public:
    int SendStreamFrame(std::span<const uint8_t> bytes) override {
        benchmark::DoNotOptimize(bytes.data());
        ++sends;
        return 1;
    }
    int sends = 0;
};

QApplication& App() {
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        auto* a = new QApplication(g_argc, g_argv);
        SetupResources(QStringLiteral(VX_SOURCE_DIR "/skin/"));
        return a;
    }();
    return *app;
}

void Frame(benchmark::State& state, uint8_t mode) {
    App();
    CountingKeyboard page;
    page.SetLayoutPath(QStringLiteral("XML\\DeviceXml\\keyboarddevice.xml"));
    page.SetKeyCount(0xAA);
    page.SetLedCount(0xAA);
    page.Initialise();
    page.GetPage()->resize(800, 470);
    page.GetPage()->show();
    LightInfo info;
    info.selectItem = mode;
    page.SetLightInfo(info);
    uint32_t step = 0;
    for (auto _ : state) {
        // A new colour on every LED each frame, as a running effect gives.
        for (int i = 0; i < 170; ++i) page.SetLed(i, 0xFF000000u | ((step * 7 + i * 13) & 0xFFFFFFu));
        ++step;
        page.LightingFrame();
    }
    state.counters["sends"] = page.sends;
}

void BM_KeyboardPageFrameShown(benchmark::State& state) {
    Frame(state, 6);
}
BENCHMARK(BM_KeyboardPageFrameShown)->Unit(benchmark::kMicrosecond);

void BM_KeyboardPageFrameStreamed(benchmark::State& state) {
    Frame(state, 31);
}
BENCHMARK(BM_KeyboardPageFrameStreamed)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
