// Time from a virtual device being plugged to its command slot arriving at the discovery sink,
// over repeated plugs: with the directory wake-up (the program's case) and with the periodic scan
// alone (a machine where no change notice arrives). Prints the median, the 90th percentile and the
// worst plug as counters (milliseconds). Also the processor time the discovery costs while idle
// with the four device kinds plugged and free slots left (the receivers' slots), which makes every
// cycle list the interfaces again: cpu_percent of one core.
//
//   build/bench/app/vx_bench_discovery

#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/discovery/DeviceDiscovery.h"
#include "app/discovery/DiscoverySink.h"
#include "app/discovery/InterfaceSlotTable.h"
#include "emulator/VirtualDeviceHub.h"

using vx::emulator::VirtualDeviceHub;
using vx::emulator::VirtualModel;
using vx::discovery::DeviceDiscovery;
using vx::discovery::DiscoveryOptions;
using vx::discovery::InterfaceSlotTable;
using vx::discovery::PermissionNotice;

namespace {

using Clock = std::chrono::steady_clock;

class TimingSink : public vx::discovery::IDiscoverySink {
public:
    void SlotArrived(size_t index) override { Note(index, true); }
    void SlotRemoved(size_t index) override { Note(index, false); }
    void Activate() override {}
    void PermissionProblem(const PermissionNotice&) override {}

    // Waits until the slot is reported bound (or unbound); the time it was reported.
    bool Wait(size_t index, bool bound, Clock::time_point* at) {
        std::unique_lock<std::mutex> lock(m_mutex);
        const bool ok =
            m_changed.wait_for(lock, std::chrono::seconds(5), [&] { return m_bound[index] == bound; });
        *at = m_at[index];
        return ok;
    }

private:
    void Note(size_t index, bool bound) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bound[index] = bound;
        m_at[index] = Clock::now();
        m_changed.notify_all();
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_bound[16] = {};
    Clock::time_point m_at[16];
};

std::string MakeDirectory() {
    std::string pattern = "/tmp/vx-bench-discovery-XXXXXX";
    return mkdtemp(pattern.data()) ? pattern : std::string();
}

double Percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<size_t>(p * static_cast<double>(values.size())))];
}

void PlugToArrival(benchmark::State& state, bool watch) {
    const std::string dir = MakeDirectory();
    setenv("VX_VIRTUAL_HID_DIR", dir.c_str(), 1);
    {
        VirtualDeviceHub hub(dir);
        InterfaceSlotTable slots;
        slots.Fill();
        TimingSink sink;
        DiscoveryOptions options;
        options.watchVirtualDirectory = watch;
        options.virtualDirectory = dir;
        DeviceDiscovery discovery(slots, sink, options);
        discovery.Start();
        std::vector<double> millis;
        for (auto _ : state) {
            const Clock::time_point plugged = Clock::now();
            hub.Plug(VirtualModel::KeyboardWired);
            Clock::time_point arrived;
            if (!sink.Wait(0, true, &arrived)) {
                state.SkipWithError("the keyboard was not found");
                break;
            }
            const double ms = std::chrono::duration<double, std::milli>(arrived - plugged).count();
            millis.push_back(ms);
            state.SetIterationTime(ms / 1000.0);
            hub.Unplug(VirtualModel::KeyboardWired);
            Clock::time_point removed;
            sink.Wait(0, false, &removed);
            sink.Wait(1, false, &removed);
            // Plugs land anywhere in the scan period, as a user's do.
            state.PauseTiming();
            usleep(static_cast<useconds_t>(7000 + 13000 * (millis.size() % 7)));
            state.ResumeTiming();
        }
        discovery.Stop();
        state.counters["median_ms"] = Percentile(millis, 0.5);
        state.counters["p90_ms"] = Percentile(millis, 0.9);
        state.counters["max_ms"] = Percentile(millis, 1.0);
    }
    unsetenv("VX_VIRTUAL_HID_DIR");
    rmdir(dir.c_str());
}

void BM_PlugToArrivalWithWake(benchmark::State& state) {
    PlugToArrival(state, true);
}
void BM_PlugToArrivalScanOnly(benchmark::State& state) {
    PlugToArrival(state, false);
}

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void BM_IdleCpu(benchmark::State& state) {
    const std::string dir = MakeDirectory();
    setenv("VX_VIRTUAL_HID_DIR", dir.c_str(), 1);
    {
        VirtualDeviceHub hub(dir);
        for (VirtualModel m : {VirtualModel::KeyboardWired, VirtualModel::MouseWired, VirtualModel::Mousepad,
                               VirtualModel::Headset})
            hub.Plug(m);
        InterfaceSlotTable slots;
        slots.Fill();
        TimingSink sink;
        DiscoveryOptions options;
        options.virtualDirectory = dir;
        DeviceDiscovery discovery(slots, sink, options);
        discovery.Start();
        Clock::time_point at;
        sink.Wait(10, true, &at);
        for (auto _ : state) {
            const double cpu0 = ProcessCpuSeconds();
            const size_t cycles0 = discovery.CycleCount();
            const Clock::time_point t0 = Clock::now();
            std::this_thread::sleep_for(std::chrono::seconds(3));
            const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
            state.SetIterationTime(wall);
            state.counters["cpu_percent"] = 100.0 * (ProcessCpuSeconds() - cpu0) / wall;
            state.counters["cycles_per_s"] = static_cast<double>(discovery.CycleCount() - cycles0) / wall;
        }
        discovery.Stop();
    }
    unsetenv("VX_VIRTUAL_HID_DIR");
    rmdir(dir.c_str());
}

}  // namespace

BENCHMARK(BM_IdleCpu)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlugToArrivalWithWake)->UseManualTime()->Iterations(40)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlugToArrivalScanOnly)->UseManualTime()->Iterations(40)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
