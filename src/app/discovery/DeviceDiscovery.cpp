#include "app/discovery/DeviceDiscovery.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <set>
#include <vector>

#include "app/discovery/DiscoverySink.h"
#include "app/discovery/HotplugMonitor.h"
#include "app/discovery/InterfaceSlotTable.h"
#include "app/discovery/NodePresence.h"
#include "link/HidLink.h"
#include "link/DeviceCatalog.h"
#include "link/VirtualHid.h"
#include "platform/DebugLog.h"

namespace vx::discovery {

using vx::link::HidLink;
using vx::link::HidOpenError;
using vx::link::ParseCollectionNumber;
using vx::link::ParseInterfaceNumber;
using vx::link::ParseProductId;
using vx::link::ParseVendorId;
using vx::link::UdevRulesOf;
using vx::link::VirtualHidDirectory;
using vx::platform::DebugLog;

namespace {

constexpr auto kPumpInterval = std::chrono::milliseconds(5);

void Signal(int fd) {
    if (fd < 0) return;
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = write(fd, &one, sizeof one);
}

void Consume(int fd) {
    uint64_t value = 0;
    [[maybe_unused]] const ssize_t n = read(fd, &value, sizeof value);
}

}  // namespace

// Shared by the controlling object and the thread, so that a thread left to end by itself after a
// bounded stop never reaches into a destroyed DeviceDiscovery.
struct DeviceDiscovery::State {
    State(InterfaceSlotTable& s, IDiscoverySink& k, DiscoveryOptions o)
        : slots(s), sink(k), options(std::move(o)) {}
    ~State() {
        if (stopFd >= 0) close(stopFd);
        if (wakeFd >= 0) close(wakeFd);
    }

    InterfaceSlotTable& slots;
    IDiscoverySink& sink;
    const DiscoveryOptions options;
    int stopFd = -1;
    int wakeFd = -1;
    std::atomic<bool> stop{false};
    std::atomic<size_t> cycles{0};

    std::mutex endMutex;
    std::condition_variable ended;
    bool finished = true;  // under endMutex

    // Discovery thread only.
    std::vector<std::string> tokens;  // presence token of each claimed slot
    std::set<std::string> permissionReported;
};

namespace {

class DiscoveryRun {
public:
    explicit DiscoveryRun(DeviceDiscovery::State& state) : m_state(state) {}
    void Run();

private:
    bool Stopping() const { return m_state.stop.load(std::memory_order_acquire); }
    // False when the thread has to stop.
    bool Scan();
    bool TryClaim(const std::string& path);
    bool CheckPresence();
    void ReportPermission(const std::string& path);
    void WaitForNextCycle();

    DeviceDiscovery::State& m_state;
    HidLink m_link;
    HotplugMonitor m_monitor;
    // A matching interface could not be opened for a passing reason (its socket not yet
    // listening, busy): it is tried again after the short period, announced or not, for a
    // couple of seconds after each announcement. One that stays unopenable (a player that died
    // and left its record) is left to the safety scan, so it cannot keep the machine busy.
    bool m_retrySoon = false;
    int m_quickRetries = 0;
    bool m_unwatchedSource = false;
    bool m_firstScan = true;
    bool m_enumerationFailureLogged = false;
};

void DiscoveryRun::Run() {
    // Kept across a restart: slots claimed before a stop are still checked against their nodes.
    m_state.tokens.resize(std::max(m_state.tokens.size(), m_state.slots.Size()));
    const DiscoveryOptions& options = m_state.options;
    const std::string directory =
        options.virtualDirectory.empty() ? VirtualHidDirectory() : options.virtualDirectory;
    m_monitor.Start(options.useUdevMonitor, options.watchVirtualDirectory ? directory : std::string());
    // The listing always reads the hidraw nodes, and the virtual directory when one is named; a
    // change in a source left unwatched would wait for the scan.
    m_unwatchedSource = !options.useUdevMonitor || (!directory.empty() && !options.watchVirtualDirectory);
    while (!Stopping()) {
        if (m_state.slots.AnyFree() && !Scan()) break;
        if (m_firstScan) {
            m_firstScan = false;
            m_state.sink.Activate();
        }
        if (!CheckPresence()) break;
        m_state.cycles.fetch_add(1, std::memory_order_release);
        WaitForNextCycle();
    }
    DebugLog("抓取设备线程设定退出");
}

bool DiscoveryRun::Scan() {
    m_retrySoon = false;
    // A failed listing is tried again next cycle: the devices that come later must still be found.
    if (!m_link.EnumerateInterfaces()) {
        if (!m_enumerationFailureLogged) DebugLog("discovery: listing the HID interfaces failed");
        m_enumerationFailureLogged = true;
        m_link.FreePathList();
        return true;
    }
    m_enumerationFailureLogged = false;
    std::set<std::string> listed;
    for (std::string path = m_link.NextPath(); !path.empty(); path = m_link.NextPath()) {
        if (Stopping()) return false;
        listed.insert(path);
        if (!TryClaim(path)) return false;
    }
    m_link.FreePathList();
    // A path that has gone and comes back is a new plug: its problem is told again.
    std::erase_if(m_state.permissionReported,
                  [&listed](const std::string& p) { return !listed.contains(p); });
    return true;
}

bool DiscoveryRun::TryClaim(const std::string& path) {
    const uint16_t vendor = ParseVendorId(path);
    const uint16_t product = ParseProductId(path);
    const uint16_t interfaceNumber = ParseInterfaceNumber(path);
    const uint16_t collection = ParseCollectionNumber(path);
    // Slots are copies of the supported table, so a free slot here is also a supported row.
    if (!m_state.slots.HasFreeAt(vendor, product, interfaceNumber, collection)) return true;
    if (!m_link.Open(path, true, false, true, false)) {
        // A refused permission changes only with a rules change, which udev announces.
        if (m_link.LastOpenError() == HidOpenError::PermissionDenied)
            ReportPermission(path);
        else
            m_retrySoon = true;
        return true;
    }
    InterfaceSlot candidate;
    candidate.vendorId = m_link.VendorId();
    candidate.productId = m_link.ProductId();
    candidate.interfaceNumber = interfaceNumber;
    candidate.collectionNumber = collection;
    candidate.usagePage = m_link.UsagePage();
    candidate.usage = m_link.Usage();
    // Taken while the node is open, so that it names the node that was matched.
    std::string token = NodePresenceToken(path);
    m_link.Close();
    if (token.empty()) {
        m_retrySoon = true;
        return true;
    }
    const int index = m_state.slots.ClaimFree(candidate, path);
    if (index < 0) return true;
    if (static_cast<size_t>(index) >= m_state.tokens.size())
        m_state.tokens.resize(static_cast<size_t>(index) + 1);
    m_state.tokens[static_cast<size_t>(index)] = std::move(token);
    m_state.sink.SlotArrived(static_cast<size_t>(index));
    return !Stopping();
}

void DiscoveryRun::ReportPermission(const std::string& path) {
    if (!m_state.permissionReported.insert(path).second) return;
    PermissionNotice notice;
    notice.path = path;
    notice.vendorId = ParseVendorId(path);
    notice.productId = ParseProductId(path);
    notice.rulesText = UdevRulesOf(m_state.slots.Models());
    DebugLog("discovery: not permitted to open " + path);
    m_state.sink.PermissionProblem(notice);
}

bool DiscoveryRun::CheckPresence() {
    for (const InterfaceSlotTable::ConnectedPath& claimed : m_state.slots.ConnectedPaths()) {
        if (Stopping()) return false;
        if (claimed.index >= m_state.tokens.size()) m_state.tokens.resize(claimed.index + 1);
        std::string& token = m_state.tokens[claimed.index];
        const std::string now = NodePresenceToken(claimed.path);
        // A slot claimed by an earlier thread of this table has no token yet: the node it names
        // now is taken as the claimed one.
        if (token.empty()) token = now;
        if (!now.empty() && now == token) continue;
        token.clear();
        if (!m_state.slots.Free(claimed.index)) continue;
        m_state.sink.SlotRemoved(claimed.index);
    }
    return !Stopping();
}

void DiscoveryRun::WaitForNextCycle() {
    m_monitor.RefreshWatch();
    std::vector<pollfd> fds{{m_state.stopFd, POLLIN, 0}, {m_state.wakeFd, POLLIN, 0}};
    for (int fd : m_monitor.Descriptors()) fds.push_back({fd, POLLIN, 0});
    constexpr int kQuickRetries = 20;
    if (!m_retrySoon) m_quickRetries = 0;
    const bool retry = m_retrySoon && m_quickRetries < kQuickRetries;
    if (retry) ++m_quickRetries;
    const bool watched = !m_unwatchedSource && m_monitor.Watching() && !retry;
    const auto period = watched ? m_state.options.watchedScanPeriod : m_state.options.scanPeriod;
    const auto deadline = std::chrono::steady_clock::now() + period;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || Stopping()) return;
        if (poll(fds.data(), fds.size(), static_cast<int>(left.count())) <= 0) continue;
        if (fds[0].revents != 0) return;
        if (fds[1].revents != 0) {
            Consume(m_state.wakeFd);
            m_quickRetries = 0;
            return;
        }
        // A monitor descriptor in error would wake the poll at once forever. Its source is set up
        // anew before the next wait; whatever it missed meanwhile, a scan now finds.
        bool dropped = false;
        for (size_t i = 2; i < fds.size(); ++i) {
            if ((fds[i].revents & (POLLERR | POLLNVAL)) == 0) continue;
            m_monitor.DropDescriptor(fds[i].fd);
            fds[i].fd = -1;
            dropped = true;
        }
        if (dropped) return;
        // Events that cannot change the list (a socket file, an unrelated change) keep waiting.
        if (m_monitor.Drain()) {
            m_quickRetries = 0;
            return;
        }
    }
}

}  // namespace

DeviceDiscovery::DeviceDiscovery(InterfaceSlotTable& slots, IDiscoverySink& sink, DiscoveryOptions options)
    : m_state(std::make_shared<State>(slots, sink, std::move(options))) {
    m_state->stopFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    m_state->wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

DeviceDiscovery::~DeviceDiscovery() {
    Stop();
}

bool DeviceDiscovery::Start() {
    if (m_thread.joinable()) return false;
    if (m_abandoned) {
        // The abandoned thread keeps its state (and its stop event signalled) to the end.
        auto fresh = std::make_shared<State>(m_state->slots, m_state->sink, m_state->options);
        fresh->stopFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        fresh->wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        m_state = std::move(fresh);
        m_abandoned = false;
    }
    if (m_state->stopFd < 0 || m_state->wakeFd < 0) return false;
    // The stop event is manual-reset: cleared here and only here.
    Consume(m_state->stopFd);
    m_state->stop.store(false, std::memory_order_release);
    {
        std::lock_guard<std::mutex> lock(m_state->endMutex);
        m_state->finished = false;
    }
    std::shared_ptr<State> state = m_state;
    m_thread = std::thread([state] {
        DiscoveryRun run(*state);
        run.Run();
        std::lock_guard<std::mutex> lock(state->endMutex);
        state->finished = true;
        state->ended.notify_all();
    });
    return true;
}

void DeviceDiscovery::RequestStop() {
    m_state->stop.store(true, std::memory_order_release);
    Signal(m_state->stopFd);
}

bool DeviceDiscovery::Stop(std::chrono::milliseconds bound, const std::function<void()>& pump) {
    RequestStop();
    if (!m_thread.joinable()) return true;
    const auto deadline = std::chrono::steady_clock::now() + bound;
    bool finished = false;
    {
        std::unique_lock<std::mutex> lock(m_state->endMutex);
        for (;;) {
            const auto step =
                pump ? std::min(deadline, std::chrono::steady_clock::now() + kPumpInterval) : deadline;
            if (m_state->ended.wait_until(lock, step, [this] { return m_state->finished; })) {
                finished = true;
                break;
            }
            if (std::chrono::steady_clock::now() >= deadline) break;
            lock.unlock();
            pump();
            lock.lock();
        }
    }
    if (finished) {
        m_thread.join();
        return true;
    }
    DebugLog("discovery: the thread did not end within its bound; it is left to end by itself");
    m_thread.detach();
    m_abandoned = true;
    return false;
}

bool DeviceDiscovery::StopRequested() const {
    return m_state->stop.load(std::memory_order_acquire);
}

bool DeviceDiscovery::Running() const {
    std::lock_guard<std::mutex> lock(m_state->endMutex);
    return !m_state->finished;
}

size_t DeviceDiscovery::CycleCount() const {
    return m_state->cycles.load(std::memory_order_acquire);
}

void DeviceDiscovery::WakeNow() {
    Signal(m_state->wakeFd);
}

}  // namespace vx::discovery
