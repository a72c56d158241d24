// The discovery thread against virtual devices: the first scan, claims of the command and
// notification interfaces, removal through the presence check, interfaces that must never be
// claimed or even opened, the hotplug wake-up, the permission notice, and stopping within the
// bound while a sink call blocks.

#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <set>
#include <thread>

#include "RecordingSink.h"
#include "VirtualNodePlayer.h"
#include "app/discovery/DeviceDiscovery.h"
#include "app/discovery/HotplugMonitor.h"
#include "app/discovery/InterfaceSlotTable.h"
#include "emulator/VirtualDeviceHub.h"

using vx::emulator::VirtualDeviceHub;
using vx::emulator::VirtualModel;
using vx::discovery::DeviceDiscovery;
using vx::discovery::DiscoveryOptions;
using vx::discovery::HotplugMonitor;
using vx::discovery::InterfaceSlot;
using vx::discovery::InterfaceSlotTable;
using vx::discovery::PermissionNotice;

namespace {

using namespace std::chrono_literals;
using vxtest::Clock;
using vxtest::RecordingSink;
using vxtest::ScopedTempDir;
using vxtest::SinkEvent;
using Kind = SinkEvent::Kind;

// Removal has to be seen within about one scan period; the sanitizer build runs several times
// slower, hence the margin.
constexpr auto kRemovalBound = 300ms;
constexpr auto kLongWait = 3000ms;

// Interface 1 of a keyboard without its vendor collection: keyboard, system control, consumer.
const char* const kNoVendorCollection =
    "05 01 09 06 a1 01 85 01 05 07 19 e0 29 e7 15 00 25 01 75 01 95 08 81 02 c0 "
    "05 01 09 80 a1 01 85 02 19 81 29 83 15 00 25 01 75 01 95 03 81 02 95 05 81 01 c0 "
    "05 0c 09 01 a1 01 85 03 15 00 26 ff 02 19 00 2a ff 02 75 10 95 01 81 00 c0";
// Four collections where the third and fourth carry other usage pages than the supported ones.
const char* const kOtherUsagePages =
    "05 01 09 06 a1 01 85 01 05 07 19 e0 29 e7 15 00 25 01 75 01 95 08 81 02 c0 "
    "05 01 09 80 a1 01 85 02 19 81 29 83 15 00 25 01 75 01 95 03 81 02 95 05 81 01 c0 "
    "05 01 09 02 a1 01 85 03 05 09 19 01 29 03 15 00 25 01 75 01 95 03 81 02 95 05 81 01 c0 "
    "06 00 ff 09 01 a1 01 85 04 09 01 15 00 26 ff 00 75 08 95 3f 81 02 09 02 91 02 c0";
// The consumer and vendor collections of a supported interface 1 (as collections 1 and 2 they
// would not match; padded to 3 and 4 by two plain collections).
const char* const kSupportedShape =
    "05 01 09 06 a1 01 85 01 05 07 19 e0 29 e7 15 00 25 01 75 01 95 08 81 02 c0 "
    "05 01 09 80 a1 01 85 02 19 81 29 83 15 00 25 01 75 01 95 03 81 02 95 05 81 01 c0 "
    "05 0c 09 01 a1 01 85 03 15 00 26 ff 02 19 00 2a ff 02 75 10 95 01 81 00 c0 "
    "06 1c ff 09 92 a1 01 85 04 09 01 15 00 26 ff 00 75 08 95 3f 81 02 09 02 91 02 c0";

// A node that is published but never served: a connection only waits in the listen queue, so
// the test can tell afterwards whether anybody opened the node.
class PassiveNode {
public:
    PassiveNode(const std::string& dir, vxtest::VirtualNodeConfig config)
        : m_dir(dir), m_config(std::move(config)) {}
    ~PassiveNode() { Unplug(); }

    bool Plug() { return Listen() && PublishRecord(); }
    bool Listen() {
        const std::string sock = Base() + ".sock";
        unlink(sock.c_str());
        m_fd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", sock.c_str());
        return m_fd >= 0 && bind(m_fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
               listen(m_fd, 128) == 0;
    }
    bool PublishRecord() {
        const std::string tmp = m_dir + "/." + m_config.name + ".tmp";
        {
            std::ofstream out(tmp);
            out << vxtest::VirtualNodePlayer::RecordJson(m_config);
            if (!out) return false;
        }
        return std::rename(tmp.c_str(), (Base() + ".node").c_str()) == 0;
    }
    void Unplug() {
        unlink((Base() + ".node").c_str());
        if (m_fd >= 0) close(m_fd);
        m_fd = -1;
        unlink((Base() + ".sock").c_str());
    }
    bool Forbid() { return chmod((Base() + ".sock").c_str(), 0) == 0; }
    // Connections made since the last call.
    int TakeConnections() {
        int n = 0;
        while (m_fd >= 0) {
            const int c = accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (c < 0) break;
            close(c);
            ++n;
        }
        return n;
    }
    std::string PathOf(int collection) const {
        char identity[64];
        std::snprintf(identity, sizeof identity, "hid#vid_%04x&pid_%04x&mi_%02x&col%02x#", m_config.vendor,
                      m_config.product, m_config.interfaceNumber, collection);
        return identity + std::string("virtual:") + Base();
    }

private:
    std::string Base() const { return m_dir + "/" + m_config.name; }
    std::string m_dir;
    vxtest::VirtualNodeConfig m_config;
    int m_fd = -1;
};

vxtest::VirtualNodeConfig NodeConfig(const std::string& name, uint16_t vendor, uint16_t product,
                                     const char* hex) {
    vxtest::VirtualNodeConfig c;
    c.name = name;
    c.vendor = vendor;
    c.product = product;
    c.descriptor = vxtest::HexBytes(hex);
    return c;
}

// Root opens every node whatever its mode; without the override capabilities it is refused like
// any user. Capabilities belong to the calling thread, and the threads it starts inherit them.
class ScopedNoPermissionOverride {
public:
    ScopedNoPermissionOverride() {
        if (geteuid() != 0) return;
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        if (syscall(SYS_capget, &header, m_saved) != 0) return;
        __user_cap_data_struct reduced[2];
        std::memcpy(reduced, m_saved, sizeof reduced);
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        m_active = syscall(SYS_capset, &header, reduced) == 0;
    }
    ~ScopedNoPermissionOverride() {
        if (!m_active) return;
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        syscall(SYS_capset, &header, m_saved);
    }
    bool Usable() const { return geteuid() != 0 || m_active; }

private:
    __user_cap_data_struct m_saved[2]{};
    bool m_active = false;
};

// Whether this machine lets a udev monitor be set up (a netlink socket); without one the scan
// never relies on announcements.
bool UdevMonitorAvailable() {
    HotplugMonitor probe;
    probe.Start(true, std::string());
    return probe.UdevActive();
}

bool AnyArrival(const std::vector<SinkEvent>& events) {
    return std::any_of(events.begin(), events.end(),
                       [](const SinkEvent& e) { return e.kind == Kind::Arrived; });
}

class DeviceDiscoveryTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("VX_VIRTUAL_HID_DIR", m_dir.Path().c_str(), 1);
        m_slots.Fill();
        m_hub = std::make_unique<VirtualDeviceHub>(m_dir.Path());
    }
    void TearDown() override {
        if (m_discovery) { EXPECT_TRUE(m_discovery->Stop()); }
        m_discovery.reset();
        m_hub.reset();
        EXPECT_TRUE(m_sink.Violations().empty()) << m_sink.Violations().front();
        unsetenv("VX_VIRTUAL_HID_DIR");
    }

    // The watched period is the given one unless told: most cases here are about the scan itself.
    void StartDiscovery(std::chrono::milliseconds period = 100ms, bool watch = false, bool udev = false,
                        std::chrono::milliseconds watchedPeriod = 0ms, std::string watched = {}) {
        DiscoveryOptions options;
        options.scanPeriod = period;
        options.watchedScanPeriod = watchedPeriod > 0ms ? watchedPeriod : period;
        options.watchVirtualDirectory = watch;
        options.useUdevMonitor = udev;
        options.virtualDirectory = watched.empty() ? m_dir.Path() : watched;
        m_discovery = std::make_unique<DeviceDiscovery>(m_slots, m_sink, options);
        ASSERT_TRUE(m_discovery->Start());
    }
    bool WaitCycles(size_t more, std::chrono::milliseconds timeout = kLongWait) {
        const size_t target = m_discovery->CycleCount() + more;
        const auto end = Clock::now() + timeout;
        while (m_discovery->CycleCount() < target) {
            if (Clock::now() > end) return false;
            std::this_thread::sleep_for(2ms);
        }
        return true;
    }
    // Scan cycles completed over a stretch of time with nothing plugged or unplugged.
    size_t CyclesOver(std::chrono::milliseconds stretch) {
        const size_t before = m_discovery->CycleCount();
        std::this_thread::sleep_for(stretch);
        return m_discovery->CycleCount() - before;
    }
    bool WaitArrivals(std::initializer_list<size_t> slots, Clock::time_point since,
                      std::chrono::milliseconds timeout = kLongWait) {
        for (size_t s : slots) {
            if (!m_sink.WaitEvent(Kind::Arrived, s, since, timeout)) return false;
        }
        return true;
    }
    std::string Dump() const {
        std::string text;
        for (const SinkEvent& e : m_sink.Events())
            text += std::to_string(int(e.kind)) + ":" + std::to_string(e.index) + " ";
        return text;
    }
    std::vector<size_t> ArrivedSlots() const {
        std::vector<size_t> slots;
        for (const SinkEvent& e : m_sink.Events()) {
            if (e.kind == Kind::Arrived) slots.push_back(e.index);
        }
        return slots;
    }

    ScopedTempDir m_dir;
    InterfaceSlotTable m_slots;
    RecordingSink m_sink{m_slots};
    std::unique_ptr<VirtualDeviceHub> m_hub;
    std::unique_ptr<DeviceDiscovery> m_discovery;
};

TEST_F(DeviceDiscoveryTest, FirstScanWithoutDevicesActivatesOnceAndClaimsNothing) {
    StartDiscovery(20ms, true, true);
    ASSERT_TRUE(WaitCycles(5));
    EXPECT_EQ(m_sink.Count(Kind::Activate), 1u);
    EXPECT_TRUE(ArrivedSlots().empty());
    for (const InterfaceSlot& slot : m_slots.Snapshot()) EXPECT_TRUE(slot.IsFree());
    // One thread per discovery.
    EXPECT_FALSE(m_discovery->Start());
}

TEST_F(DeviceDiscoveryTest, KeyboardClaimsItsTwoSlotsAndUnplugFreesThemWithinAScan) {
    StartDiscovery();
    ASSERT_TRUE(WaitCycles(1));
    const auto plugged = Clock::now();
    ASSERT_EQ(m_hub->Plug(VirtualModel::KeyboardWired), 1);
    ASSERT_TRUE(WaitArrivals({0, 1}, plugged));
    ASSERT_TRUE(WaitCycles(3));
    // The listing goes through the collections in order: notifications (3) before commands (4).
    EXPECT_EQ(ArrivedSlots(), (std::vector<size_t>{1, 0}));
    EXPECT_EQ(m_slots.Slot(0).path, m_hub->LinkPath(VirtualModel::KeyboardWired, 4));
    EXPECT_EQ(m_slots.Slot(1).path, m_hub->LinkPath(VirtualModel::KeyboardWired, 3));
    // The scan opens only to look; the page opens its own links.
    EXPECT_EQ(m_hub->ConnectionCount(VirtualModel::KeyboardWired), 0u);

    const auto unplugged = Clock::now();
    ASSERT_EQ(m_hub->Unplug(VirtualModel::KeyboardWired), 1);
    Clock::time_point at0, at1;
    ASSERT_TRUE(m_sink.WaitEvent(Kind::Removed, 0, unplugged, kLongWait, &at0));
    ASSERT_TRUE(m_sink.WaitEvent(Kind::Removed, 1, unplugged, kLongWait, &at1));
    EXPECT_LT(std::max(at0, at1) - unplugged, kRemovalBound);
    EXPECT_TRUE(m_slots.Slot(0).IsFree());
    EXPECT_TRUE(m_slots.Slot(1).IsFree());
    ASSERT_TRUE(WaitCycles(3));
    EXPECT_EQ(m_sink.Count(Kind::Removed), 2u);
    EXPECT_EQ(m_sink.Count(Kind::Activate), 1u);
}

TEST_F(DeviceDiscoveryTest, WithEverySlotTakenAnUnplugIsStillSeenWithinAScan) {
    StartDiscovery();
    ASSERT_EQ(m_hub->PlugAll(), 1);
    ASSERT_TRUE(m_sink.WaitUntil(
        [](const std::vector<SinkEvent>& events) {
            return std::count_if(events.begin(), events.end(),
                                 [](const SinkEvent& e) { return e.kind == Kind::Arrived; }) >= 11;
        },
        kLongWait));
    EXPECT_FALSE(m_slots.AnyFree());
    EXPECT_EQ(m_slots.Slot(10).path, m_hub->LinkPath(VirtualModel::Headset, 0));

    // The mouse's cable goes while its receiver stays: only the wired slots are freed.
    const auto unplugged = Clock::now();
    ASSERT_EQ(m_hub->Unplug(VirtualModel::MouseWired), 1);
    Clock::time_point at4, at5;
    ASSERT_TRUE(m_sink.WaitEvent(Kind::Removed, 4, unplugged, kLongWait, &at4));
    ASSERT_TRUE(m_sink.WaitEvent(Kind::Removed, 5, unplugged, kLongWait, &at5));
    EXPECT_LT(std::max(at4, at5) - unplugged, kRemovalBound);
    ASSERT_TRUE(WaitCycles(2));
    EXPECT_EQ(m_sink.Count(Kind::Removed), 2u);
    EXPECT_EQ(m_slots.Slot(6).connected, 1);
    EXPECT_EQ(m_slots.Slot(7).connected, 1);

    // And it is found again when it comes back.
    const auto replugged = Clock::now();
    ASSERT_EQ(m_hub->Plug(VirtualModel::MouseWired), 1);
    ASSERT_TRUE(WaitArrivals({4, 5}, replugged));
}

TEST_F(DeviceDiscoveryTest, ANodeReplacedBetweenTwoChecksIsRemovedAndClaimedAgain) {
    StartDiscovery();
    const auto plugged = Clock::now();
    ASSERT_EQ(m_hub->Plug(VirtualModel::Mousepad), 1);
    ASSERT_TRUE(WaitArrivals({8, 9}, plugged));
    // Unplugged and plugged again faster than a scan: the old path names a dead node.
    const auto replaced = Clock::now();
    ASSERT_EQ(m_hub->Unplug(VirtualModel::Mousepad), 1);
    ASSERT_EQ(m_hub->Plug(VirtualModel::Mousepad), 1);
    ASSERT_TRUE(m_sink.WaitEvent(Kind::Removed, 8, replaced, kLongWait));
    ASSERT_TRUE(m_sink.WaitEvent(Kind::Removed, 9, replaced, kLongWait));
    ASSERT_TRUE(WaitArrivals({8, 9}, replaced));
    EXPECT_EQ(m_slots.Slot(8).connected, 1);
}

TEST_F(DeviceDiscoveryTest, ConsumerCollectionWithoutVendorCollectionClaimsOnlyTheNotificationSlot) {
    PassiveNode node(m_dir.Path(), NodeConfig("halfkeyboard", 0x320F, 0x5055, kNoVendorCollection));
    ASSERT_TRUE(node.Plug());
    StartDiscovery(20ms);
    const auto start = Clock::now();
    ASSERT_TRUE(WaitArrivals({1}, start - 1s));
    ASSERT_TRUE(WaitCycles(10));
    EXPECT_EQ(ArrivedSlots(), std::vector<size_t>{1});
    EXPECT_TRUE(m_slots.Slot(0).IsFree());
    EXPECT_EQ(m_slots.Slot(1).path, node.PathOf(3));
}

TEST_F(DeviceDiscoveryTest, OtherUsagePagesAreNeverClaimedAndForeignNodesNeverOpened) {
    PassiveNode wrong(m_dir.Path(), NodeConfig("wrongpages", 0x320F, 0x5055, kOtherUsagePages));
    PassiveNode foreign(m_dir.Path(), NodeConfig("foreign", 0x1234, 0x5055, kSupportedShape));
    PassiveNode stranger(m_dir.Path(), NodeConfig("stranger", 0x320F, 0x7777, kSupportedShape));
    ASSERT_TRUE(wrong.Plug());
    ASSERT_TRUE(foreign.Plug());
    ASSERT_TRUE(stranger.Plug());
    StartDiscovery(20ms);
    ASSERT_TRUE(WaitCycles(10));
    EXPECT_TRUE(ArrivedSlots().empty());
    for (const InterfaceSlot& slot : m_slots.Snapshot()) EXPECT_TRUE(slot.IsFree());
    // The matching paths were opened to read their usage pages, every scan; the others never.
    EXPECT_GE(wrong.TakeConnections(), 10);
    EXPECT_EQ(foreign.TakeConnections(), 0);
    EXPECT_EQ(stranger.TakeConnections(), 0);
}

TEST_F(DeviceDiscoveryTest, DirectoryWatchFindsPlugAndUnplugLongBeforeTheNextScan) {
    StartDiscovery(5000ms, true);
    // Activate comes after the first scan; the thread then waits the whole period unless woken.
    ASSERT_TRUE(m_sink.WaitUntil([](const auto& events) { return !events.empty(); }, kLongWait));
    const auto plugged = Clock::now();
    ASSERT_EQ(m_hub->Plug(VirtualModel::KeyboardReceiver), 1);
    Clock::time_point arrived;
    ASSERT_TRUE(m_sink.WaitEvent(Kind::Arrived, 2, plugged, 4000ms, &arrived));
    EXPECT_LT(arrived - plugged, 500ms);
    ASSERT_TRUE(WaitArrivals({3}, plugged, 1000ms));
    const auto unplugged = Clock::now();
    ASSERT_EQ(m_hub->Unplug(VirtualModel::KeyboardReceiver), 1);
    Clock::time_point removed;
    ASSERT_TRUE(m_sink.WaitEvent(Kind::Removed, 2, unplugged, 4000ms, &removed));
    EXPECT_LT(removed - unplugged, 500ms);
}

// The program's own periods: the scan waits a second while the directory is watched, yet plugs and
// unplugs are seen at once; while the watch is missing, or lost with its directory, it scans every
// 100 ms again.
TEST_F(DeviceDiscoveryTest, WhileWatchedTheScanIsASafetyNetAndWithoutTheWatchItIsFrequent) {
    if (!UdevMonitorAvailable()) GTEST_SKIP() << "no udev monitor here: the scan cannot rely on announcements";
    StartDiscovery(100ms, true, true, 1000ms);
    ASSERT_TRUE(WaitCycles(1));
    EXPECT_LE(CyclesOver(2500ms), 4u) << "the watched directory should slow the scan to once a second";
    for (int plug = 0; plug < 3; ++plug) {
        // Plugs land anywhere in the second between two scans.
        std::this_thread::sleep_for(std::chrono::milliseconds(130 + 290 * plug));
        const auto plugged = Clock::now();
        ASSERT_EQ(m_hub->Plug(VirtualModel::KeyboardWired), 1);
        Clock::time_point arrived;
        ASSERT_TRUE(m_sink.WaitEvent(Kind::Arrived, 0, plugged, kLongWait, &arrived)) << Dump();
        EXPECT_LT(arrived - plugged, kRemovalBound) << "plug " << plug;
        ASSERT_TRUE(WaitArrivals({1}, plugged));
        std::this_thread::sleep_for(std::chrono::milliseconds(170 + 230 * plug));
        const auto unplugged = Clock::now();
        ASSERT_EQ(m_hub->Unplug(VirtualModel::KeyboardWired), 1);
        Clock::time_point removed;
        ASSERT_TRUE(m_sink.WaitEvent(Kind::Removed, 0, unplugged, kLongWait, &removed)) << Dump();
        EXPECT_LT(removed - unplugged, kRemovalBound) << "unplug " << plug;
    }
}

// An announced interface that cannot be opened yet (its server not listening) is not left to the
// safety scan: nothing announces the moment it becomes ready.
TEST_F(DeviceDiscoveryTest, AnAnnouncedInterfaceThatCannotBeOpenedYetIsTriedAgainSoon) {
    if (!UdevMonitorAvailable()) GTEST_SKIP() << "no udev monitor here: the scan cannot rely on announcements";
    PassiveNode node(m_dir.Path(), NodeConfig("latekeyboard", 0x320F, 0x5055, kSupportedShape));
    StartDiscovery(100ms, true, true, 5000ms);
    // Activate comes after the first scan.
    ASSERT_TRUE(m_sink.WaitUntil([](const auto& events) { return !events.empty(); }, kLongWait));
    ASSERT_TRUE(node.PublishRecord());
    ASSERT_TRUE(WaitCycles(3, 2000ms)) << "the failed open should be tried again every 100 ms";
    EXPECT_TRUE(ArrivedSlots().empty());
    const auto listening = Clock::now();
    ASSERT_TRUE(node.Listen());
    Clock::time_point arrived;
    ASSERT_TRUE(m_sink.WaitEvent(Kind::Arrived, 0, listening, kLongWait, &arrived)) << Dump();
    EXPECT_LT(arrived - listening, kRemovalBound);
    // Claimed: the scan goes back to waiting for announcements.
    ASSERT_TRUE(WaitArrivals({1}, listening));
    std::this_thread::sleep_for(200ms);
    EXPECT_LE(CyclesOver(1000ms), 1u);
}

// A record left behind by a player that died is tried often for a while only, then at the safety
// scan: a stale file must not keep an idle machine busy.
TEST_F(DeviceDiscoveryTest, AnInterfaceThatStaysUnopenableIsLeftToTheSafetyScan) {
    if (!UdevMonitorAvailable()) GTEST_SKIP() << "no udev monitor here: the scan cannot rely on announcements";
    PassiveNode node(m_dir.Path(), NodeConfig("deadkeyboard", 0x320F, 0x5055, kSupportedShape));
    StartDiscovery(100ms, true, true, 5000ms);
    ASSERT_TRUE(m_sink.WaitUntil([](const auto& events) { return !events.empty(); }, kLongWait));
    ASSERT_TRUE(node.PublishRecord());
    ASSERT_TRUE(WaitCycles(3, 2000ms));
    std::this_thread::sleep_for(2500ms);
    EXPECT_LE(CyclesOver(2000ms), 1u);
    EXPECT_TRUE(ArrivedSlots().empty());
}

TEST_F(DeviceDiscoveryTest, AWatchThatCannotBeSetUpOrIsLostKeepsTheFrequentScan) {
    if (!UdevMonitorAvailable()) GTEST_SKIP() << "no udev monitor here: the scan cannot rely on announcements";
    const std::string watched = m_dir.Path() + "/announcements";
    StartDiscovery(100ms, true, true, 1000ms, watched);
    ASSERT_TRUE(WaitCycles(1));
    // No directory to watch yet.
    EXPECT_GE(CyclesOver(1500ms), 6u);
    ASSERT_EQ(mkdir(watched.c_str(), 0700), 0);
    ASSERT_TRUE(WaitCycles(2));
    EXPECT_LE(CyclesOver(2500ms), 4u) << "the watch should have been set up once the directory came";
    // The directory goes: its watch goes with it.
    ASSERT_EQ(rmdir(watched.c_str()), 0);
    ASSERT_TRUE(WaitCycles(2));
    EXPECT_GE(CyclesOver(1500ms), 6u);
}

// Either watch switched off leaves its source unannounced: the virtual directory is still listed,
// and so are the hidraw nodes.
TEST_F(DeviceDiscoveryTest, ASourceListedButNotWatchedKeepsTheFrequentScan) {
    StartDiscovery(100ms, false, true, 1000ms);
    ASSERT_TRUE(WaitCycles(1));
    EXPECT_GE(CyclesOver(1500ms), 6u);
    ASSERT_TRUE(m_discovery->Stop());
    StartDiscovery(100ms, true, false, 1000ms);
    ASSERT_TRUE(WaitCycles(1));
    EXPECT_GE(CyclesOver(1500ms), 6u);
}

TEST_F(DeviceDiscoveryTest, PermissionProblemIsReportedOncePerPathAndAgainAfterAReplug) {
    PassiveNode node(m_dir.Path(), NodeConfig("lockedkeyboard", 0x320F, 0x5055, kSupportedShape));
    ASSERT_TRUE(node.Plug());
    ASSERT_TRUE(node.Forbid());
    ScopedNoPermissionOverride noOverride;
    if (!noOverride.Usable()) GTEST_SKIP() << "cannot give up the permission override";
    StartDiscovery(20ms);
    ASSERT_TRUE(WaitCycles(10));
    std::vector<PermissionNotice> notices = m_sink.Notices();
    ASSERT_EQ(notices.size(), 2u);
    std::set<std::string> paths{notices[0].path, notices[1].path};
    EXPECT_EQ(paths, (std::set<std::string>{node.PathOf(3), node.PathOf(4)}));
    EXPECT_EQ(notices[0].vendorId, 0x320F);
    EXPECT_EQ(notices[0].productId, 0x5055);
    EXPECT_EQ(notices[0].rulesFileName, "70-vexor-umbrel.rules");
    EXPECT_NE(notices[0].rulesText.find("ATTRS{idProduct}==\"5055\""), std::string::npos);
    EXPECT_TRUE(ArrivedSlots().empty());
    EXPECT_EQ(node.TakeConnections(), 0);

    // Gone and back again, still locked: told again, once.
    node.Unplug();
    ASSERT_TRUE(WaitCycles(3));
    ASSERT_TRUE(node.Plug());
    ASSERT_TRUE(node.Forbid());
    ASSERT_TRUE(WaitCycles(10));
    EXPECT_EQ(m_sink.Notices().size(), 4u);
    m_discovery->Stop();
}

TEST_F(DeviceDiscoveryTest, StopEndsPromptlyWhenTheUiThreadDeliversWhileStopping) {
    // A send that only the UI thread's message delivery completes.
    struct Delivery {
        std::mutex mutex;
        std::condition_variable done;
        bool pumped = false;
        void Pump() {
            std::lock_guard<std::mutex> lock(mutex);
            pumped = true;
            done.notify_all();
        }
    };
    auto delivery = std::make_shared<Delivery>();
    m_sink.SetArrivalHook([delivery](size_t) {
        std::unique_lock<std::mutex> lock(delivery->mutex);
        delivery->done.wait(lock, [&] { return delivery->pumped; });
    });
    // Whatever fails below, the blocked call is let go before the fixture goes.
    std::shared_ptr<void> release(nullptr, [delivery](void*) { delivery->Pump(); });
    ASSERT_EQ(m_hub->Plug(VirtualModel::KeyboardWired), 1);
    StartDiscovery();
    ASSERT_TRUE(m_sink.WaitUntil(AnyArrival, kLongWait));
    const auto stopping = Clock::now();
    EXPECT_TRUE(m_discovery->Stop(DeviceDiscovery::kStopBound, [delivery] { delivery->Pump(); }));
    EXPECT_LT(Clock::now() - stopping, 300ms);
    EXPECT_FALSE(m_discovery->Running());
    // Nothing after the stop: the keyboard's second slot was not reported.
    EXPECT_EQ(ArrivedSlots().size(), 1u);
}

TEST_F(DeviceDiscoveryTest, AStopAwareSinkLetsStopEndPromptly) {
    m_sink.SetArrivalHook([this](size_t) {
        while (!m_discovery->StopRequested()) std::this_thread::sleep_for(1ms);
    });
    ASSERT_EQ(m_hub->Plug(VirtualModel::MouseWired), 1);
    StartDiscovery();
    ASSERT_TRUE(m_sink.WaitUntil(AnyArrival, kLongWait));
    const auto stopping = Clock::now();
    EXPECT_TRUE(m_discovery->Stop());
    EXPECT_LT(Clock::now() - stopping, 300ms);
}

TEST_F(DeviceDiscoveryTest, ASinkThatNeverReturnsCostsTheBoundAndNothingMore) {
    auto gate = std::make_shared<std::atomic<bool>>(false);
    auto returned = std::make_shared<std::atomic<int>>(0);
    m_sink.SetArrivalHook([gate, returned](size_t) {
        while (!gate->load()) std::this_thread::sleep_for(1ms);
        returned->fetch_add(1);
    });
    std::shared_ptr<void> release(nullptr, [gate](void*) { gate->store(true); });
    ASSERT_EQ(m_hub->Plug(VirtualModel::KeyboardWired), 1);
    StartDiscovery();
    ASSERT_TRUE(m_sink.WaitUntil(AnyArrival, kLongWait));
    const auto stopping = Clock::now();
    EXPECT_FALSE(m_discovery->Stop(150ms));
    const auto took = Clock::now() - stopping;
    EXPECT_GE(took, 150ms);
    EXPECT_LT(took, 400ms);
    EXPECT_TRUE(m_discovery->StopRequested());
    // Let the abandoned call return: the thread ends without another word to the sink.
    gate->store(true);
    while (returned->load() == 0) std::this_thread::sleep_for(1ms);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(ArrivedSlots().size(), 1u);
    EXPECT_EQ(m_sink.Count(Kind::Removed), 0u);
}

TEST_F(DeviceDiscoveryTest, RestartAfterStopPicksUpWhatChangedMeanwhile) {
    StartDiscovery();
    ASSERT_EQ(m_hub->Plug(VirtualModel::KeyboardWired), 1);
    ASSERT_EQ(m_hub->Plug(VirtualModel::MouseWired), 1);
    ASSERT_TRUE(WaitArrivals({0, 1, 4, 5}, Clock::now() - 1s));
    // A stop in the middle of the first scan would rightly leave it unannounced.
    ASSERT_TRUE(m_sink.WaitUntil(
        [](const auto& events) {
            return std::any_of(events.begin(), events.end(),
                               [](const SinkEvent& e) { return e.kind == Kind::Activate; });
        },
        kLongWait));
    ASSERT_TRUE(m_discovery->Stop());
    ASSERT_EQ(m_hub->Unplug(VirtualModel::KeyboardWired), 1);
    ASSERT_EQ(m_hub->Plug(VirtualModel::MouseReceiver), 1);
    std::this_thread::sleep_for(150ms);
    EXPECT_EQ(m_sink.Count(Kind::Removed), 0u);  // stopped means stopped

    const auto restarted = Clock::now();
    ASSERT_TRUE(m_discovery->Start());
    ASSERT_TRUE(m_sink.WaitEvent(Kind::Removed, 0, restarted, kLongWait));
    ASSERT_TRUE(WaitArrivals({6, 7}, restarted));
    // A restarted thread announces its first scan again.
    EXPECT_EQ(m_sink.Count(Kind::Activate), 2u) << Dump();
    // The mouse stayed plugged throughout: still bound, never removed, never announced twice.
    ASSERT_TRUE(WaitCycles(3));
    EXPECT_EQ(m_sink.Count(Kind::Removed, 4), 0u);
    EXPECT_EQ(m_sink.Count(Kind::Arrived, 4), 1u);
    EXPECT_EQ(m_slots.Slot(4).connected, 1);
}

}  // namespace
