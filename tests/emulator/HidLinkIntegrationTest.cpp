// The virtual devices through the program's own HidLink: every row of the supported-interface
// table is found with its collection, usage page and usage; commands, notifications, the headset's
// LED report and unplugging behave as the device classes expect.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <thread>

#include "SocketHelpers.h"
#include "emulator/FrameChecksum.h"
#include "emulator/VirtualDeviceHub.h"
#include "link/HidLink.h"

using vx::emulator::StampFrameChecksum;
using vx::emulator::VirtualDeviceHub;
using vx::emulator::VirtualModel;
using vx::link::HidLink;
using vx::link::HidReportKind;
using vx::link::HidUsageData;
using vx::link::ParseCollectionNumber;
using vx::link::ParseInterfaceNumber;
using vx::link::ParseProductId;
using vx::link::ParseVendorId;
using vx::link::kHidInfinite;

namespace {

struct SupportedRow {
    uint16_t vendor;
    uint16_t product;
    uint16_t interfaceNumber;
    uint16_t collection;
    uint16_t usagePage;
    uint16_t usage;
};

// The program's supported-interface table: vendor, product, interface, collection, usage page, usage.
constexpr SupportedRow kSupported[] = {
    {0x320F, 0x5055, 1, 4, 0xFF1C, 0x92}, {0x320F, 0x5055, 1, 3, 0x0C, 0x01},
    {0x320F, 0x5001, 1, 4, 0xFF1C, 0x92}, {0x320F, 0x5001, 1, 3, 0x0C, 0x01},
    {0x320F, 0x221C, 1, 4, 0xFF1C, 0x92}, {0x320F, 0x221C, 1, 3, 0x0C, 0x01},
    {0x320F, 0x221D, 1, 4, 0xFF1C, 0x92}, {0x320F, 0x221D, 1, 3, 0x0C, 0x01},
    {0x320F, 0x1004, 1, 4, 0xFF1C, 0x92}, {0x320F, 0x1004, 1, 3, 0x0C, 0x01},
    {0x0C76, 0x1630, 3, 0, 0x0C, 0x01},
};

class HidLinkIntegration : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("VX_VIRTUAL_HID_DIR", m_dir.path.c_str(), 1);
        ASSERT_EQ(m_hub.PlugAll(), 1);
    }
    void TearDown() override { ::unsetenv("VX_VIRTUAL_HID_DIR"); }

    std::vector<std::string> VirtualPaths() {
        HidLink lister;
        EXPECT_TRUE(lister.EnumerateInterfaces());
        std::vector<std::string> paths;
        for (std::string path; !(path = lister.NextPath()).empty();) {
            if (path.find("virtual:" + m_dir.path) != std::string::npos) paths.push_back(path);
        }
        return paths;
    }

    std::string PathOf(VirtualModel model, int collection) { return m_hub.LinkPath(model, collection); }

    TempDir m_dir;
    VirtualDeviceHub m_hub{m_dir.path};
};

std::vector<uint8_t> Frame(uint8_t command, uint8_t length, uint16_t offset = 0) {
    std::vector<uint8_t> frame(64, 0);
    frame[0] = 4;
    frame[3] = command;
    frame[4] = length;
    frame[5] = static_cast<uint8_t>(offset & 0xFF);
    frame[6] = static_cast<uint8_t>(offset >> 8);
    StampFrameChecksum(frame);
    return frame;
}

TEST_F(HidLinkIntegration, EverySupportedInterfaceIsFound) {
    const std::vector<std::string> paths = VirtualPaths();
    EXPECT_EQ(paths.size(), 5u * 4u + 1u);
    for (const SupportedRow& row : kSupported) {
        bool found = false;
        for (const std::string& path : paths) {
            if (ParseVendorId(path) != row.vendor || ParseProductId(path) != row.product ||
                ParseInterfaceNumber(path) != row.interfaceNumber ||
                ParseCollectionNumber(path) != row.collection) {
                continue;
            }
            HidLink link;
            ASSERT_TRUE(link.Open(path, true, true, true, false)) << path;
            EXPECT_EQ(link.UsagePage(), row.usagePage) << path;
            EXPECT_EQ(link.Usage(), row.usage) << path;
            if (row.usagePage == 0xFF1C) {
                EXPECT_EQ(link.InputReportLength(), 64) << path;
                EXPECT_EQ(link.OutputReportLength(), 64) << path;
            }
            found = true;
        }
        EXPECT_TRUE(found) << std::hex << row.product << " col " << row.collection;
    }
}

TEST_F(HidLinkIntegration, CommandAndNotificationOnOneNode) {
    HidLink command;
    HidLink notify;
    ASSERT_TRUE(command.Open(PathOf(VirtualModel::KeyboardWired, 4), true, true, true, false));
    ASSERT_TRUE(notify.Open(PathOf(VirtualModel::KeyboardWired, 3), true, true, true, false));

    const auto request = Frame(0x03, 34);
    size_t moved = 0;
    ASSERT_TRUE(command.Write(request.data(), request.size(), &moved, 1000));
    std::vector<uint8_t> reply(64, 0);
    ASSERT_TRUE(command.Read(reply.data(), reply.size(), &moved, 1000));
    EXPECT_EQ(reply[3], 0x03);
    EXPECT_EQ(reply[8 + 5], m_hub.Firmware(VirtualModel::KeyboardWired).Capability()[5]);

    // The notification reader sees only its own collection's reports.
    ASSERT_EQ(m_hub.Notify(VirtualModel::KeyboardWired, 0x401), 1);
    std::vector<uint8_t> report(notify.InputReportLength(), 0);
    ASSERT_TRUE(notify.Read(report.data(), report.size(), &moved, 1000));
    HidUsageData* table = notify.UsageTable(HidReportKind::Input);
    const size_t entries = notify.UsageTableCount(HidReportKind::Input);
    ASSERT_GT(entries, 0u);
    ASSERT_TRUE(notify.UnpackReport(report.data(), report.size(), HidReportKind::Input, table, entries));
    ASSERT_TRUE(table[0].isButton);
    ASSERT_FALSE(table[0].usages.empty());
    EXPECT_EQ(table[0].usages[0], 0x401);

    ASSERT_EQ(m_hub.NotifyProfileChange(VirtualModel::KeyboardWired, 3, 2), 1);
    // Skip the release report of the first notification.
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(notify.Read(report.data(), report.size(), &moved, 1000));
        ASSERT_TRUE(notify.UnpackReport(report.data(), report.size(), HidReportKind::Input, table, entries));
        if (table[0].usages[0] != 0) break;
    }
    EXPECT_EQ(table[0].usages[0], 0x1123);
}

TEST_F(HidLinkIntegration, HeadsetTakesItsLedReportThroughTheControlPipe) {
    HidLink headset;
    ASSERT_TRUE(headset.Open(PathOf(VirtualModel::Headset, 0), true, true, true, false));
    std::vector<uint8_t> led(17, 0);
    led[0] = 0xFF;
    led[1] = 0x44;
    led[2] = 0xAF;
    led[4] = 0x21;
    ASSERT_TRUE(headset.SetOutputReport(led.data(), led.size()));
    const auto request = Frame(0x1A, 6);
    size_t moved = 0;
    ASSERT_TRUE(headset.Write(request.data(), request.size(), &moved, 1000));
    std::vector<uint8_t> reply(headset.InputReportLength(), 0);
    ASSERT_TRUE(headset.Read(reply.data(), reply.size(), &moved, 1000));
    EXPECT_EQ(reply[3], 0x1A);
    // The reply comes after the LED report was handled: one server thread, in order.
    EXPECT_EQ(m_hub.Firmware(VirtualModel::Headset).HeadsetLeds()[1][7][2], 0x21);
}

TEST_F(HidLinkIntegration, UnplugEndsABlockedRead) {
    HidLink notify;
    HidLink command;
    ASSERT_TRUE(notify.Open(PathOf(VirtualModel::MouseReceiver, 3), true, true, true, false));
    ASSERT_TRUE(command.Open(PathOf(VirtualModel::MouseReceiver, 4), true, true, true, false));
    const auto request = Frame(0x01, 0);
    size_t moved = 0;
    ASSERT_TRUE(command.Write(request.data(), request.size(), &moved, 500));
    std::thread unplug([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        m_hub.Unplug(VirtualModel::MouseReceiver);
    });
    std::vector<uint8_t> report(64, 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(notify.Read(report.data(), report.size(), &moved, kHidInfinite));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    unplug.join();
    EXPECT_FALSE(command.Write(request.data(), request.size(), &moved, 500));
    for (const std::string& path : VirtualPaths()) EXPECT_EQ(path.find("mouse-receiver"), std::string::npos);
}

}  // namespace
