// The hidraw side. Error paths run everywhere; the round trip needs /dev/uhid (a kernel-made HID
// device with a real hidraw node) and is skipped where the kernel or the sandbox does not offer it.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/uhid.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <thread>

#include "VirtualNodePlayer.h"
#include "link/HidLink.h"
#include "link/HidrawNode.h"

using vx::link::EnumerateHidrawNodes;
using vx::link::HidLink;
using vx::link::HidNodeRecord;
using vx::link::HidOpenError;
using vx::link::ParseHidId;

namespace {

using Clock = std::chrono::steady_clock;

TEST(HidrawNode, HidIdFromUdev) {
    uint16_t bus = 0, vendor = 0, product = 0;
    ASSERT_TRUE(ParseHidId("0003:0000320F:00005055", &bus, &vendor, &product));
    EXPECT_EQ(bus, 3);
    EXPECT_EQ(vendor, 0x320F);
    EXPECT_EQ(product, 0x5055);
    ASSERT_TRUE(ParseHidId("0005:00000c76:00001630", &bus, &vendor, &product));
    EXPECT_EQ(vendor, 0x0C76);
    EXPECT_FALSE(ParseHidId("0003:320F", &bus, &vendor, &product));
    EXPECT_FALSE(ParseHidId(nullptr, &bus, &vendor, &product));
}

TEST(HidrawNode, EnumerationListsOnlyHidrawNodes) {
    std::vector<HidNodeRecord> records;
    ASSERT_TRUE(EnumerateHidrawNodes(&records));
    for (const HidNodeRecord& r : records) EXPECT_EQ(r.node.rfind("/dev/hidraw", 0), 0u) << r.node;
}

TEST(HidrawNode, OpenFailuresAreTold) {
    HidLink link;
    EXPECT_FALSE(link.Open("hid#vid_320f&pid_5055&mi_01#/dev/hidraw-not-there", true, true, true, false));
    EXPECT_EQ(link.LastOpenError(), HidOpenError::NotFound);
    // A character device that is not hidraw answers no raw-info query.
    EXPECT_FALSE(link.Open("hid#vid_320f&pid_5055#/dev/null", true, true, true, false));
    EXPECT_EQ(link.LastOpenError(), HidOpenError::Other);
    EXPECT_FALSE(link.IsOpen());

    if (geteuid() == 0) GTEST_SKIP() << "running as root: file permissions are not checked";
    vxtest::ScopedTempDir dir;
    const std::string node = dir.Path() + "/hidraw-locked";
    std::ofstream(node) << "x";
    ASSERT_EQ(chmod(node.c_str(), 0), 0);
    EXPECT_FALSE(link.Open("hid#vid_320f&pid_5055#" + node, true, true, true, false));
    EXPECT_EQ(link.LastOpenError(), HidOpenError::PermissionDenied);
}

// A consumer collection (id 3) and a vendor collection (id 4, 64 bytes each way).
const uint8_t kDescriptor[] = {
    0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x03, 0x15, 0x00, 0x26, 0xFF, 0x02,
    0x19, 0x00, 0x2A, 0xFF, 0x02, 0x75, 0x10, 0x95, 0x01, 0x81, 0x00, 0xC0, 0x06,
    0x1C, 0xFF, 0x09, 0x92, 0xA1, 0x01, 0x85, 0x04, 0x09, 0x01, 0x15, 0x00, 0x26,
    0xFF, 0x00, 0x75, 0x08, 0x95, 0x40, 0x81, 0x02, 0x09, 0x02, 0x91, 0x02, 0xC0,
};
constexpr uint16_t kTestVendor = 0x320F;
constexpr uint16_t kTestProduct = 0x7E57;  // not a product of the family, so nothing else claims it

class UhidDevice {
public:
    UhidDevice() : m_fd(open("/dev/uhid", O_RDWR | O_CLOEXEC)) {}
    ~UhidDevice() { Destroy(); }
    void Destroy() {
        if (m_fd < 0) return;
        uhid_event ev{};
        ev.type = UHID_DESTROY;
        [[maybe_unused]] ssize_t n = write(m_fd, &ev, sizeof ev);
        close(m_fd);
        m_fd = -1;
    }
    bool Available() const { return m_fd >= 0; }
    bool Create() {
        uhid_event ev{};
        ev.type = UHID_CREATE2;
        std::strcpy(reinterpret_cast<char*>(ev.u.create2.name), "vx hidlink test");
        ev.u.create2.rd_size = sizeof kDescriptor;
        std::memcpy(ev.u.create2.rd_data, kDescriptor, sizeof kDescriptor);
        ev.u.create2.bus = 0x03;
        ev.u.create2.vendor = kTestVendor;
        ev.u.create2.product = kTestProduct;
        ev.u.create2.version = 0x0107;
        return write(m_fd, &ev, sizeof ev) == ssize_t(sizeof ev);
    }
    bool Input(const std::vector<uint8_t>& report) {
        uhid_event ev{};
        ev.type = UHID_INPUT2;
        ev.u.input2.size = static_cast<uint16_t>(report.size());
        std::memcpy(ev.u.input2.data, report.data(), report.size());
        return write(m_fd, &ev, sizeof ev) == ssize_t(sizeof ev);
    }
    // The next output report the host sent, skipping start/open notices.
    bool NextOutput(std::vector<uint8_t>* report, int timeoutMs) {
        const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (Clock::now() < end) {
            pollfd p{m_fd, POLLIN, 0};
            if (poll(&p, 1, 50) <= 0) continue;
            uhid_event ev{};
            if (read(m_fd, &ev, sizeof ev) <= 0) return false;
            if (ev.type == UHID_OUTPUT) {
                report->assign(ev.u.output.data, ev.u.output.data + ev.u.output.size);
                return true;
            }
        }
        return false;
    }

private:
    int m_fd;
};

std::vector<std::string> PathsOf(HidLink& link, const char* ids) {
    std::vector<std::string> out;
    for (std::string p = link.NextPath(); !p.empty(); p = link.NextPath()) {
        if (p.find(ids) != std::string::npos) out.push_back(p);
    }
    return out;
}

TEST(HidrawNode, RoundTripThroughTheKernel) {
    UhidDevice device;
    if (!device.Available()) GTEST_SKIP() << "/dev/uhid is not available here";
    ASSERT_TRUE(device.Create());
    HidLink link;
    std::vector<std::string> paths;
    for (int i = 0; i < 100 && paths.size() < 2; ++i) {
        ASSERT_TRUE(link.EnumerateInterfaces());
        paths = PathsOf(link, "vid_320f&pid_7e57");
        if (paths.size() < 2) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_EQ(paths.size(), 2u);
    EXPECT_NE(paths[0].find("&col01#/dev/hidraw"), std::string::npos) << paths[0];
    EXPECT_NE(paths[1].find("&col02#/dev/hidraw"), std::string::npos) << paths[1];

    HidLink consumer, vendor;
    ASSERT_TRUE(consumer.Open(paths[0], true, false, true, false)) << int(consumer.LastOpenError());
    ASSERT_TRUE(vendor.Open(paths[1], true, true, true, false)) << int(vendor.LastOpenError());
    EXPECT_EQ(vendor.VendorId(), kTestVendor);
    EXPECT_EQ(vendor.ProductId(), kTestProduct);
    EXPECT_EQ(vendor.UsagePage(), 0xFF1C);
    EXPECT_EQ(vendor.InputReportLength(), 65);
    EXPECT_EQ(consumer.UsagePage(), 0x0C);

    std::vector<uint8_t> out(65, 0x5A);
    out[0] = 0x04;
    size_t n = 0;
    ASSERT_TRUE(vendor.Write(out.data(), out.size(), &n, 1000));
    std::vector<uint8_t> seen;
    ASSERT_TRUE(device.NextOutput(&seen, 2000));
    EXPECT_EQ(seen, out);

    std::vector<uint8_t> vendorReport(65, 0x11);
    vendorReport[0] = 0x04;
    ASSERT_TRUE(device.Input(vendorReport));
    ASSERT_TRUE(device.Input({0x03, 0xE9, 0x00}));
    uint8_t buffer[65];
    ASSERT_TRUE(consumer.Read(buffer, sizeof buffer, &n, 2000));
    EXPECT_EQ(n, 3u);
    EXPECT_EQ(buffer[1], 0xE9);
    ASSERT_TRUE(vendor.Read(buffer, sizeof buffer, &n, 2000));
    EXPECT_EQ(n, 65u);
    EXPECT_EQ(buffer[0], 0x04);
    EXPECT_FALSE(vendor.Read(buffer, sizeof buffer, &n, 50));  // the consumer report is not for it

    // Unplug: the waiting reader fails at once.
    std::thread unplug([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        device.Destroy();
    });
    EXPECT_FALSE(vendor.Read(buffer, sizeof buffer, &n, 5000));
    unplug.join();
}

}  // namespace
