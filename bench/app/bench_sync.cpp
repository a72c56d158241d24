// Same-mode lighting: the cost of one effect step written to a keyboard, a mouse, a mousepad and
// a headset, and the CPU the worker takes per second of wall time -- idle (nothing synchronised),
// at the slowest and fastest speed levels, and at a level past the table (a step on every
// counted tick).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "devices/lighting/LightingSync.h"
#include "devices/lighting/LedFrame.h"
#include "devices/lighting/LightingClock.h"
#include "bench/support/CpuTime.h"

using vxbench::ProcessCpuSeconds;

using vx::lighting::CLightingSync;
using vx::lighting::ILightingSyncTarget;
using vx::lighting::SharedEffect;
using vx::lighting::SyncEffectState;

using vx::lighting::sync::Rgb;
using vx::lighting::sync::SyncKind;

namespace {

// A page's frame as the worker writes it.
class FrameTarget : public vx::lighting::ILightingSyncTarget {
public:
    explicit FrameTarget(int lights) { m_frame.SetCount(lights); }
    bool IsLinkConnected() const override { return true; }
    bool IsLinkHeld() const override { return true; }
    void SetLinkHeld(bool) override {}
    void SetLight(int index, Rgb c, uint8_t bright) override {
        m_frame.Set(index, vx::lighting::LedEntry{c.red, c.green, c.blue, bright});
    }

private:
    vx::lighting::LedFrame m_frame;
};

struct FourPages {
    FrameTarget keyboard{170};
    FrameTarget mouse{15};
    FrameTarget pad{15};
    FrameTarget headset{13};

    void AddTo(CLightingSync& sync, bool enter) {
        const int slots[] = {
            sync.AddTarget(&keyboard, SyncKind::Keyboard, 170), sync.AddTarget(&mouse, SyncKind::Mouse, 15),
            sync.AddTarget(&pad, SyncKind::Mousepad, 15), sync.AddTarget(&headset, SyncKind::Headset, 13)};
        if (enter) {
            for (int slot : slots) sync.Enter(slot);
        }
    }
};

SharedEffect Breathing(uint8_t speed) {
    SharedEffect effect;
    effect.type = vx::lighting::sync::kBreathing;
    effect.brightness = 4;
    effect.speed = speed;
    effect.multicolour = 1;
    return effect;
}


// One effect step (a counted tick at a level that steps on every tick) over 213 lights.
void BM_SyncStep(benchmark::State& state) {
    vx::lighting::ManualLightingClock clock(1000);
    CLightingSync sync(clock);
    FourPages pages;
    pages.AddTo(sync, true);
    sync.SetSharedEffect(Breathing(9));
    sync.Advance(clock.NowMs());
    for (auto _ : state) {
        clock.Advance(CLightingSync::kTickMs);
        sync.Advance(clock.NowMs());
    }
    state.counters["steps"] = static_cast<double>(sync.Steps());
}
BENCHMARK(BM_SyncStep);

// The worker's CPU per second of wall time. Argument: -1 idle, otherwise the speed level.
void BM_SyncWorkerCpuShare(benchmark::State& state) {
    vx::lighting::SteadyLightingClock clock;
    const int level = static_cast<int>(state.range(0));
    double share = 0;
    double stepsPerSecond = 0;
    double wakeupsPerSecond = 0;
    for (auto _ : state) {
        CLightingSync sync(clock);
        FourPages pages;
        pages.AddTo(sync, level >= 0);
        sync.SetSharedEffect(Breathing(static_cast<uint8_t>(level < 0 ? 0 : level)));
        const double cpuBefore = ProcessCpuSeconds();
        const auto wallBefore = std::chrono::steady_clock::now();
        sync.Start();
        std::this_thread::sleep_for(std::chrono::seconds(3));
        sync.Stop();
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
        share = (ProcessCpuSeconds() - cpuBefore) / wall * 100.0;
        stepsPerSecond = static_cast<double>(sync.Steps()) / wall;
        wakeupsPerSecond = static_cast<double>(sync.Wakeups()) / wall;
    }
    state.counters["cpu_percent_of_core"] = share;
    state.counters["steps_per_s"] = stepsPerSecond;
    state.counters["wakeups_per_s"] = wakeupsPerSecond;
    static const char* const kLabels[] = {"idle", "speed 0", "speed 4", "speed 9"};
    state.SetLabel(level < 0 ? kLabels[0] : level == 0 ? kLabels[1] : level == 4 ? kLabels[2] : kLabels[3]);
}
BENCHMARK(BM_SyncWorkerCpuShare)
    ->Arg(-1)
    ->Arg(0)
    ->Arg(4)
    ->Arg(9)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
