// Lighting engine costs: one generator step per device class, one pass of every keyboard mode
// (with the area pass over a full 170-entry light list), and the CPU share of a running lighting
// thread. Targets: under 5 us per step, under 10 us per keyboard pass, under 0.5 % of one core per
// lighting thread. The slowest keyboard modes are printed after the table.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "devices/lighting/AreaOverlay.h"
#include "devices/lighting/KeyboardLightingEngine.h"
#include "devices/lighting/LightingClock.h"
#include "devices/lighting/LightingThread.h"
#include "devices/lighting/MouseLightingEngine.h"
#include "devices/lighting/MousePadLightingEngine.h"
#include "devices/lighting/StepPlayer.h"
#include "bench/support/CpuTime.h"

using vxbench::ProcessCpuSeconds;

using namespace vx::lighting;

namespace {

LightInfo Info(uint8_t mode, uint8_t multi = 1) {
    LightInfo info;
    info.selectItem = mode;
    info.light = 4;
    info.speed = 4;
    info.fx = 1;
    info.multiColor = multi;
    info.red = 200;
    info.green = 100;
    info.blue = 50;
    return info;
}

std::vector<LightListEntry> FullLightList() {
    std::vector<LightListEntry> list(170);
    for (size_t i = 0; i < list.size(); ++i) {
        list[i].selectItem = static_cast<uint8_t>(i % 5);
        list[i].speed = static_cast<uint8_t>(i % 5);
        list[i].light = 4;
        list[i].multiColor = static_cast<uint8_t>(i % 2);
        list[i].red = 255;
        list[i].present = 1;
    }
    return list;
}

std::vector<LightStep> Steps() {
    std::vector<LightStep> steps(3);
    steps[0].light = Info(kStepWave);
    steps[0].time = 500;
    steps[1].light = Info(kStepBlink);
    steps[1].time = 500;
    steps[2].light = Info(kStepBreathing);
    steps[2].time = 500;
    return steps;
}

std::array<int32_t, 25> Levels(int pass) {
    std::array<int32_t, 25> levels{};
    for (int k = 0; k < 25; ++k) levels[k] = (k * 97 + pass * 31) % 2400;
    return levels;
}

// One generator step of each device class, called directly.
void BM_KeyboardColumnWaveStep(benchmark::State& state) {
    AreaOverlay area;
    StepPlayer player;
    KeyboardLightingEngine kb(170, area, player);
    kb.ApplyLightInfo(Info(1));
    for (auto _ : state) kb.ColumnWave();
}
BENCHMARK(BM_KeyboardColumnWaveStep);

void BM_KeyboardDiamondRippleStep(benchmark::State& state) {
    AreaOverlay area;
    StepPlayer player;
    KeyboardLightingEngine kb(170, area, player);
    kb.ApplyLightInfo(Info(8));
    int n = 0;
    for (auto _ : state) {
        if (++n % 16 == 0) kb.PulseAt(n % 120, 1);
        kb.DiamondRipple();
    }
}
BENCHMARK(BM_KeyboardDiamondRippleStep);

void BM_MouseRippleStep(benchmark::State& state) {
    AreaOverlay area;
    StepPlayer player;
    MouseLightingEngine mouse(15, area, player);
    mouse.ApplyLightInfo(Info(9));
    for (auto _ : state) mouse.EffectRipple();
}
BENCHMARK(BM_MouseRippleStep);

void BM_MouseWaveStep(benchmark::State& state) {
    AreaOverlay area;
    StepPlayer player;
    MouseLightingEngine mouse(15, area, player);
    mouse.ApplyLightInfo(Info(0));
    for (auto _ : state) mouse.EffectWave();
}
BENCHMARK(BM_MouseWaveStep);

void BM_MousePadRippleStep(benchmark::State& state) {
    AreaOverlay area;
    StepPlayer player;
    MousePadLightingEngine pad(15, area, player);
    pad.ApplyLightInfo(Info(6));
    for (auto _ : state) pad.EffectPadRipple();
}
BENCHMARK(BM_MousePadRippleStep);

void BM_SharedBreathCycleStep(benchmark::State& state) {
    AreaOverlay area;
    StepPlayer player;
    KeyboardLightingEngine kb(170, area, player);
    kb.ApplyLightInfo(Info(26));
    for (auto _ : state) kb.EffectBreathFour();
}
BENCHMARK(BM_SharedBreathCycleStep);

// One pass of a keyboard mode at speed level 4 (its generator due on every pass that counts a
// tick), the step player where the mode has no generator, and the area pass over a full list.
// The argument is mode × 10 + audio style.
void BM_KeyboardModePass(benchmark::State& state) {
    const uint8_t mode = static_cast<uint8_t>(state.range(0) / 10);
    const uint8_t style = static_cast<uint8_t>(state.range(0) % 10);
    AreaOverlay area;
    StepPlayer player;
    KeyboardLightingEngine kb(170, area, player);
    const auto list = FullLightList();
    const auto steps = Steps();
    kb.LoadLightingState(Info(mode), list.data(), list.size(), steps.data(), steps.size());
    AudioLightInfo audio;
    audio.audioMode = style;
    audio.sevenColorFlags = 1;
    kb.SetAudioLightInfo(audio);
    uint32_t now = 1000;
    kb.StartTicks(now);
    int pass = 0;
    for (auto _ : state) {
        if (mode == 21 && ++pass % 8 == 0) {
            const auto levels = Levels(pass);
            kb.OnAudioLevels(levels.data(), levels.size());
        }
        if (mode == 8 && ++pass % 16 == 0) kb.KeyPressed(pass % 120);
        now += 2;
        kb.Pass(now);
    }
    state.SetLabel(mode == 21 ? "mode 21 style " + std::to_string(style) : "mode " + std::to_string(mode));
}

void KeyboardModes(benchmark::internal::Benchmark* b) {
    for (int mode = 0; mode < 32; ++mode) {
        if (mode == 21) {
            for (int style = 0; style <= 6; ++style) b->Arg(mode * 10 + style);
        } else {
            b->Arg(mode * 10);
        }
    }
}
BENCHMARK(BM_KeyboardModePass)->Apply(KeyboardModes);


// The CPU time one running lighting thread uses per second of wall time; the benchmark's own
// thread only sleeps meanwhile. Argument: 0 keyboard (mode 1 and a full light list), 1 keyboard in
// mode 31 (a step on every pass), 2 mouse, 3 mousepad (a ripple and a full light list).
void BM_LightingThreadCpuShare(benchmark::State& state) {
    AreaOverlay area;
    StepPlayer player;
    KeyboardLightingEngine kb(170, area, player);
    MouseLightingEngine mouse(15, area, player);
    MousePadLightingEngine pad(15, area, player);
    const auto list = FullLightList();
    LightingEngine* engine = &kb;
    switch (state.range(0)) {
        case 0:
            kb.LoadLightingState(Info(1), list.data(), list.size(), nullptr, 0);
            break;
        case 1:
            kb.LoadLightingState(Info(31), list.data(), list.size(), nullptr, 0);
            break;
        case 2:
            mouse.LoadLightingState(Info(0), nullptr, 0, nullptr, 0);
            engine = &mouse;
            break;
        default:
            pad.LoadLightingState(Info(6), list.data(), list.size(), nullptr, 0);
            engine = &pad;
            break;
    }
    SteadyLightingClock clock;
    double share = 0;
    uint64_t passes = 0;
    for (auto _ : state) {
        LightingThread thread(*engine, clock, {});
        const double cpuBefore = ProcessCpuSeconds();
        const auto wallBefore = std::chrono::steady_clock::now();
        thread.Start();
        std::this_thread::sleep_for(std::chrono::seconds(3));
        thread.Stop();
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
        share = (ProcessCpuSeconds() - cpuBefore) / wall * 100.0;
        passes = thread.Passes();
    }
    state.counters["cpu_percent_of_core"] = share;
    state.counters["passes_per_s"] = static_cast<double>(passes) / 3.0;
    static const char* names[] = {"keyboard mode 1", "keyboard mode 31", "mouse mode 0", "mousepad mode 6"};
    state.SetLabel(names[std::min<int64_t>(state.range(0), 3)]);
}
BENCHMARK(BM_LightingThreadCpuShare)
    ->DenseRange(0, 3)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Collects the keyboard mode passes so that the slowest can be printed after the table.
class SlowestModesReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.benchmark_name().rfind("BM_KeyboardModePass", 0) == 0 && run.iterations > 0)
                m_modes.emplace_back(run.GetAdjustedCPUTime(), run.report_label);
        }
    }
    void PrintSlowest() {
        std::sort(m_modes.begin(), m_modes.end(),
                  [](const auto& a, const auto& b) { return a.first > b.first; });
        std::printf(
            "\nSlowest keyboard mode passes (target under 10 us, area pass over 170 entries included):\n");
        for (size_t i = 0; i < m_modes.size() && i < 6; ++i)
            std::printf("  %-20s %8.2f us\n", m_modes[i].second.c_str(), m_modes[i].first / 1000.0);
    }

private:
    std::vector<std::pair<double, std::string>> m_modes;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    SlowestModesReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintSlowest();
    benchmark::Shutdown();
    return 0;
}
