#pragma once
// The discovery thread: lists the HID interfaces, matches them against the slot table on the path
// text alone (foreign devices are never opened), opens a match only to learn its usage page and
// usage, claims the slot and tells the sink; then checks that every claimed node is still there.
// It scans at once when the hotplug monitor reports a change, and besides every watched scan period
// (1 s) while every source the listing reads is watched (the udev monitor for the hidraw nodes, the
// directory watch for the virtual ones), or every scan period (100 ms) while a watch is switched
// off, missing or failed, or a matching interface could not be opened and is due for another try.
//
// Threads: Start, RequestStop and Stop are called from one controlling thread (the UI thread);
// everything else runs on the discovery thread. The slot table is shared through its own lock.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace vx::discovery {

class IDiscoverySink;
class InterfaceSlotTable;

struct DiscoveryOptions {
    // Between scans while a change might go unannounced.
    std::chrono::milliseconds scanPeriod{100};
    // Between scans while every change is announced; the scan is then only a safety net, and a
    // short period would only cost processor time on an idle machine.
    std::chrono::milliseconds watchedScanPeriod{1000};
    bool useUdevMonitor = true;
    bool watchVirtualDirectory = true;
    // The virtual interface directory to watch; empty: VX_VIRTUAL_HID_DIR when Start runs.
    std::string virtualDirectory;
};

class DeviceDiscovery {
public:
    static constexpr std::chrono::milliseconds kStopBound{1000};

    // The table and the sink must outlive the thread (see Stop).
    DeviceDiscovery(InterfaceSlotTable& slots, IDiscoverySink& sink, DiscoveryOptions options = {});
    // Stops with the usual bound.
    ~DeviceDiscovery();
    DeviceDiscovery(const DeviceDiscovery&) = delete;
    DeviceDiscovery& operator=(const DeviceDiscovery&) = delete;

    // Resets the stop event and starts the thread; false when it runs already or cannot start.
    bool Start();
    // Signals the stop event and returns at once (all workers are signalled before any is waited for).
    void RequestStop();
    // Signals the stop event and waits up to bound for the thread to end, calling pump every few
    // milliseconds meanwhile: the UI thread passes what delivers its pending messages, so that a
    // sink call that waits for it can return. True when the thread has ended. When it has not, the
    // thread is left to end by itself: once it sees the stop event it touches neither the sink
    // nor the slot table again.
    bool Stop(std::chrono::milliseconds bound = kStopBound, const std::function<void()>& pump = {});

    bool StopRequested() const;
    bool Running() const;
    // Completed scan cycles (enumeration when a slot was free, then the presence check).
    size_t CycleCount() const;
    // Wakes the thread for a scan now, as the hotplug monitor does.
    void WakeNow();

    struct State;

private:
    std::shared_ptr<State> m_state;
    std::thread m_thread;
    bool m_abandoned = false;  // a thread that outlived its stop bound still uses m_state
};

}  // namespace vx::discovery
