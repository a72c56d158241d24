// HidLink over virtual nodes played by the test: enumeration, open, identity, round trips, the
// per-collection filter, cancellation from another thread, unplugging and the trace.

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <future>
#include <regex>
#include <thread>

#include "VirtualNodePlayer.h"
#include "link/HidLink.h"
#include "link/HidTrace.h"

using vx::link::HidLink;
using vx::link::HidOpenError;
using vx::link::HidReportKind;
using vx::link::HidTrace;
using vx::link::HidUsageData;
using vx::link::LinkError;
using vx::link::kHidInfinite;

namespace {

using vxtest::HexBytes;
using vxtest::HostMessage;
using vxtest::ScopedTempDir;
using vxtest::VirtualNodeConfig;
using vxtest::VirtualNodePlayer;
using Clock = std::chrono::steady_clock;

// Consumer collection (id 3, 2-byte input) and vendor collection (id 4, 64-byte input and
// output), the shape of a keyboard's interface 1.
const char* const kTwoCollections =
    "05 0c 09 01 a1 01 85 03 15 00 26 ff 02 19 00 2a ff 02 75 10 95 01 81 00 c0 "
    "06 1c ff 09 92 a1 01 85 04 09 01 15 00 26 ff 00 75 08 95 40 81 02 09 02 91 02 c0";
// One vendor collection without report ids: 8-byte input and output.
const char* const kNoIds = "06 00 ff 09 01 a1 01 09 01 15 00 26 ff 00 75 08 95 08 81 02 09 02 91 02 c0";

std::vector<std::string> VirtualPaths(HidLink& link) {
    std::vector<std::string> paths;
    for (std::string p = link.NextPath(); !p.empty(); p = link.NextPath()) {
        if (p.find("#virtual:") != std::string::npos) paths.push_back(p);
    }
    return paths;
}

class HidLinkVirtual : public ::testing::Test {
protected:
    void SetUp() override { setenv("VX_VIRTUAL_HID_DIR", m_dir.Path().c_str(), 1); }
    void TearDown() override { unsetenv("VX_VIRTUAL_HID_DIR"); }

    std::string PathOf(const std::string& name, int collection, int interfaceNumber = 1,
                       const char* ids = "vid_320f&pid_5055") const {
        std::string p = std::string("hid#") + ids;
        char field[16];
        if (interfaceNumber >= 0) {
            std::snprintf(field, sizeof field, "&mi_%02x", interfaceNumber);
            p += field;
        }
        if (collection > 0) {
            std::snprintf(field, sizeof field, "&col%02x", collection);
            p += field;
        }
        return p + "#virtual:" + m_dir.Path() + "/" + name;
    }

    VirtualNodeConfig NodeConfig(const std::string& name, const char* descriptor) const {
        VirtualNodeConfig node;
        node.name = name;
        node.descriptor = HexBytes(descriptor);
        return node;
    }

    ScopedTempDir m_dir;
};

TEST_F(HidLinkVirtual, EnumerationOfEmptyAndMissingDirectories) {
    HidLink link;
    ASSERT_TRUE(link.EnumerateInterfaces());
    EXPECT_TRUE(VirtualPaths(link).empty());
    setenv("VX_VIRTUAL_HID_DIR", (m_dir.Path() + "/missing").c_str(), 1);
    ASSERT_TRUE(link.EnumerateInterfaces());
    EXPECT_TRUE(VirtualPaths(link).empty());
    unsetenv("VX_VIRTUAL_HID_DIR");
    ASSERT_TRUE(link.EnumerateInterfaces());
    EXPECT_TRUE(VirtualPaths(link).empty());
    link.FreePathList();
    EXPECT_EQ(link.PathCount(), 0u);
    EXPECT_EQ(link.NextPath(), "");
}

TEST_F(HidLinkVirtual, EnumerationGivesOnePathPerCollection) {
    VirtualNodePlayer keyboard(m_dir.Path()), pad(m_dir.Path());
    ASSERT_TRUE(keyboard.Publish(NodeConfig("kbd", kTwoCollections)));
    VirtualNodeConfig padNode = NodeConfig("pad", kNoIds);
    padNode.product = 0x1004;
    padNode.interfaceNumber = -1;
    ASSERT_TRUE(pad.Publish(padNode));
    // Records that must not be listed: broken JSON, a vendor id out of range, a socket elsewhere.
    std::ofstream(m_dir.Path() + "/broken.node") << "{ \"vendor\": ";
    std::ofstream(m_dir.Path() + "/big.node")
        << R"({"vendor":70000,"product":1,"report_descriptor":"","socket":"big.sock"})";
    std::ofstream(m_dir.Path() + "/away.node")
        << R"({"vendor":1,"product":1,"report_descriptor":"c0","socket":"../away.sock"})";

    HidLink link;
    ASSERT_TRUE(link.EnumerateInterfaces());
    const auto paths = VirtualPaths(link);
    ASSERT_EQ(paths.size(), 3u);
    EXPECT_EQ(paths[0], PathOf("kbd", 1));
    EXPECT_EQ(paths[1], PathOf("kbd", 2));
    EXPECT_EQ(paths[2], PathOf("pad", 0, -1, "vid_320f&pid_1004"));
}

// Diagnostics on for the whole binary: the switch is read once, at the first line written.
const bool kDiagnosticsOn = (setenv("VX_DEBUG", "1", 1), true);

TEST_F(HidLinkVirtual, RecordNestedPastTheParserLimitIsSkippedAndReportedOnce) {
    ASSERT_TRUE(kDiagnosticsOn);
    VirtualNodePlayer pad(m_dir.Path());
    VirtualNodeConfig padNode = NodeConfig("pad", kNoIds);
    padNode.interfaceNumber = -1;
    ASSERT_TRUE(pad.Publish(padNode));
    // Far deeper than the JSON reader's nesting limit, which makes it throw instead of failing.
    std::ofstream(m_dir.Path() + "/deep.node") << std::string(20000, '[') << std::string(20000, ']');
    std::ofstream(m_dir.Path() + "/deepobject.node")
        << R"({"vendor":1,"product":1,"x":)" << std::string(5000, '[') << std::string(5000, ']') << "}";

    testing::internal::CaptureStderr();
    HidLink link;
    for (int scan = 0; scan < 3; ++scan) {
        ASSERT_NO_THROW(ASSERT_TRUE(link.EnumerateInterfaces()));
        const auto paths = VirtualPaths(link);
        ASSERT_EQ(paths.size(), 1u);
        EXPECT_EQ(paths[0], PathOf("pad", 0, -1));
    }
    // Opening a path whose record is the broken one fails like a missing device.
    EXPECT_FALSE(link.Open(std::string("hid#vid_0001&pid_0001#virtual:") + m_dir.Path() + "/deep", true, true,
                           true, false));
    const std::string log = testing::internal::GetCapturedStderr();
    auto count = [&log](const std::string& needle) {
        size_t n = 0;
        for (size_t at = log.find(needle); at != std::string::npos; at = log.find(needle, at + 1)) ++n;
        return n;
    };
    EXPECT_EQ(count("/deep.node"), 1u) << log;
    EXPECT_EQ(count("/deepobject.node"), 1u) << log;
}

TEST_F(HidLinkVirtual, OpenReadsIdentityAndLayout) {
    VirtualNodePlayer player(m_dir.Path());
    VirtualNodeConfig node = NodeConfig("kbd", kTwoCollections);
    node.version = 0x0203;
    ASSERT_TRUE(player.Publish(node));
    HidLink link;
    ASSERT_TRUE(link.Open(PathOf("kbd", 2), true, true, true, false));
    EXPECT_TRUE(link.IsOpen());
    EXPECT_GE(link.Handle(), 0);
    EXPECT_EQ(link.VendorId(), 0x320F);
    EXPECT_EQ(link.ProductId(), 0x5055);
    EXPECT_EQ(link.Version(), 0x0203);
    EXPECT_EQ(link.UsagePage(), 0xFF1C);
    EXPECT_EQ(link.Usage(), 0x92);
    EXPECT_EQ(link.InputReportLength(), 65);
    EXPECT_EQ(link.OutputReportLength(), 65);
    EXPECT_EQ(link.FeatureReportLength(), 0);
    EXPECT_EQ(link.InterfaceNumber(), 1);
    EXPECT_EQ(link.CollectionNumber(), 2);
    EXPECT_EQ(link.ValueCapCount(HidReportKind::Input), 1u);
    EXPECT_EQ(link.UsageTableCount(HidReportKind::Input), 1u);
    ASSERT_NE(link.ReportBuffer(HidReportKind::Output), nullptr);

    HidLink consumer;
    ASSERT_TRUE(consumer.Open(PathOf("kbd", 1), true, false, true, false));
    EXPECT_EQ(consumer.UsagePage(), 0x0C);
    EXPECT_EQ(consumer.InputReportLength(), 3);
    ASSERT_EQ(consumer.UsageTableCount(HidReportKind::Input), 1u);
    const HidUsageData& entry = consumer.UsageTable(HidReportKind::Input)[0];
    EXPECT_EQ(entry.isButton, 1);
    EXPECT_EQ(entry.usageMax, 0x2FF);
    EXPECT_EQ(entry.usages.size(), entry.maxUsageListLength);

    // The notification reader's path: read, unpack, first usage of the first button entry.
    ASSERT_TRUE(player.WaitConnections(2, 2000));  // link and consumer
    ASSERT_EQ(player.SendInput({0x03, 0xE9, 0x00}), 2);
    uint8_t buffer[3] = {};
    size_t got = 0;
    ASSERT_TRUE(consumer.Read(buffer, sizeof buffer, &got, 2000));
    ASSERT_TRUE(consumer.UnpackReport(buffer, got, HidReportKind::Input,
                                      consumer.UsageTable(HidReportKind::Input), 1));
    EXPECT_EQ(consumer.UsageTable(HidReportKind::Input)[0].usages[0], 0xE9);

    link.Close();
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(link.Handle(), -1);
    EXPECT_EQ(link.UsageTableCount(HidReportKind::Input), 0u);
    EXPECT_EQ(link.VendorId(), 0);
}

TEST_F(HidLinkVirtual, OpenFailures) {
    HidLink link;
    EXPECT_FALSE(link.Open(PathOf("nothing", 0), true, true, true, false));
    EXPECT_EQ(link.LastOpenError(), HidOpenError::NotFound);
    EXPECT_FALSE(link.Open("not a path", true, true, true, false));
    EXPECT_EQ(link.LastOpenError(), HidOpenError::BadPath);
    EXPECT_FALSE(link.Open(std::string(300, 'x'), true, true, true, false));
    EXPECT_EQ(link.LastOpenError(), HidOpenError::BadPath);

    VirtualNodePlayer dead(m_dir.Path());
    ASSERT_TRUE(dead.PublishRecordOnly(NodeConfig("dead", kNoIds)));
    EXPECT_FALSE(link.Open(PathOf("dead", 0), true, true, true, false));
    EXPECT_EQ(link.LastOpenError(), HidOpenError::NotFound);
    // The failing call and its errno are kept, not only the kind of failure.
    EXPECT_EQ(link.LastError().call, "connect");
    EXPECT_EQ(link.LastError().code, ENOENT);
    EXPECT_EQ(link.LastError().subject, dead.SocketPath());

    VirtualNodePlayer garbled(m_dir.Path());
    ASSERT_TRUE(garbled.Publish(NodeConfig("garbled", "05 01 09 06 a1 01 75")));
    EXPECT_FALSE(link.Open(PathOf("garbled", 0), true, true, true, false));
    EXPECT_EQ(link.LastOpenError(), HidOpenError::NoDescriptor);
    EXPECT_EQ(link.LastError().call, "parse report descriptor");
    EXPECT_EQ(link.LastError().code, 0);

    VirtualNodePlayer kbd(m_dir.Path());
    ASSERT_TRUE(kbd.Publish(NodeConfig("kbd", kTwoCollections)));
    EXPECT_FALSE(link.Open(PathOf("kbd", 3), true, true, true, false));  // no third collection
    EXPECT_FALSE(
        link.Open(PathOf("kbd", 1, 1, "vid_320f&pid_5001"), true, true, true, false));  // other device
    EXPECT_FALSE(link.IsOpen());
}

TEST_F(HidLinkVirtual, UnplugBetweenEnumerationAndOpen) {
    VirtualNodePlayer player(m_dir.Path());
    ASSERT_TRUE(player.Publish(NodeConfig("pad", kNoIds)));
    HidLink link;
    ASSERT_TRUE(link.EnumerateInterfaces());
    const auto paths = VirtualPaths(link);
    ASSERT_EQ(paths.size(), 1u);
    player.Unplug();
    EXPECT_FALSE(link.Open(paths[0], true, true, true, false));
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(link.LastOpenError(), HidOpenError::NotFound);
    ASSERT_TRUE(link.EnumerateInterfaces());
    EXPECT_TRUE(VirtualPaths(link).empty());
}

TEST_F(HidLinkVirtual, PermissionDeniedIsItsOwnCondition) {
    if (geteuid() == 0) GTEST_SKIP() << "running as root: socket permissions are not checked";
    VirtualNodePlayer player(m_dir.Path());
    ASSERT_TRUE(player.Publish(NodeConfig("locked", kNoIds)));
    ASSERT_EQ(chmod(player.SocketPath().c_str(), 0), 0);
    HidLink link;
    EXPECT_FALSE(link.Open(PathOf("locked", 0), true, true, true, false));
    EXPECT_EQ(link.LastOpenError(), HidOpenError::PermissionDenied);
    EXPECT_FALSE(link.IsOpen());
}

TEST_F(HidLinkVirtual, WritesCarryTheWireForm) {
    VirtualNodePlayer kbd(m_dir.Path()), pad(m_dir.Path());
    ASSERT_TRUE(kbd.Publish(NodeConfig("kbd", kTwoCollections)));
    ASSERT_TRUE(pad.Publish(NodeConfig("pad", kNoIds)));
    HidLink withIds, withoutIds;
    ASSERT_TRUE(withIds.Open(PathOf("kbd", 2), true, true, true, false));
    ASSERT_TRUE(withoutIds.Open(PathOf("pad", 0), true, true, true, false));

    std::vector<uint8_t> report(65, 0);
    report[0] = 0x04;
    report[1] = 0x10;
    report[64] = 0x77;
    size_t written = 0;
    ASSERT_TRUE(withIds.Write(report.data(), report.size(), &written, 1000));
    EXPECT_EQ(written, 65u);
    HostMessage m;
    ASSERT_TRUE(kbd.WaitMessage(&m, 2000));
    EXPECT_EQ(m.type, 'O');
    EXPECT_EQ(m.report, report);

    const uint8_t plain[9] = {0x00, 1, 2, 3, 4, 5, 6, 7, 8};
    ASSERT_TRUE(withoutIds.Write(plain, sizeof plain, &written, 1000));
    EXPECT_EQ(written, 9u);
    ASSERT_TRUE(pad.WaitMessage(&m, 2000));
    EXPECT_EQ(m.type, 'O');
    EXPECT_EQ(m.report, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8}));

    ASSERT_TRUE(withoutIds.SetOutputReport(plain, sizeof plain));
    ASSERT_TRUE(pad.WaitMessage(&m, 2000));
    EXPECT_EQ(m.type, 'S');
    EXPECT_EQ(m.report.size(), 8u);

    HidLink readOnly;
    ASSERT_TRUE(readOnly.Open(PathOf("pad", 0), true, false, true, false));
    EXPECT_FALSE(readOnly.Write(plain, sizeof plain, &written, 100));
    EXPECT_EQ(written, 0u);
}

TEST_F(HidLinkVirtual, ReadsAddTheIdByteAndTimeOut) {
    VirtualNodePlayer pad(m_dir.Path());
    ASSERT_TRUE(pad.Publish(NodeConfig("pad", kNoIds)));
    HidLink link;
    ASSERT_TRUE(link.Open(PathOf("pad", 0), true, true, true, false));
    ASSERT_TRUE(pad.WaitConnections(1, 2000));
    uint8_t buffer[9] = {};
    size_t got = 99;
    EXPECT_FALSE(link.Read(buffer, sizeof buffer, &got, 30));
    EXPECT_EQ(got, 0u);
    ASSERT_EQ(pad.SendInput({9, 8, 7, 6, 5, 4, 3, 2}), 1);
    ASSERT_TRUE(link.Read(buffer, sizeof buffer, &got, 2000));
    EXPECT_EQ(got, 9u);
    EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + 9), (std::vector<uint8_t>{0, 9, 8, 7, 6, 5, 4, 3, 2}));
}

TEST_F(HidLinkVirtual, ScriptedReplyRoundTrip) {
    VirtualNodePlayer kbd(m_dir.Path());
    kbd.SetReplyHook([](VirtualNodePlayer& player, const HostMessage& m) {
        std::vector<uint8_t> reply = m.report;  // echo with the first payload byte incremented
        reply[1] = static_cast<uint8_t>(reply[1] + 1);
        player.SendInput(reply);
    });
    ASSERT_TRUE(kbd.Publish(NodeConfig("kbd", kTwoCollections)));
    HidLink link;
    ASSERT_TRUE(link.Open(PathOf("kbd", 2), true, true, true, false));
    for (uint8_t i = 0; i < 20; ++i) {
        std::vector<uint8_t> out(65, i);
        out[0] = 0x04;
        size_t n = 0;
        ASSERT_TRUE(link.Write(out.data(), out.size(), &n, 1000));
        uint8_t in[65];
        ASSERT_TRUE(link.Read(in, sizeof in, &n, 2000));
        ASSERT_EQ(n, 65u);
        EXPECT_EQ(in[0], 0x04);
        EXPECT_EQ(in[1], uint8_t(i + 1));
        EXPECT_EQ(in[64], i);
    }
}

TEST_F(HidLinkVirtual, EachCollectionSeesOnlyItsOwnReports) {
    VirtualNodePlayer kbd(m_dir.Path());
    ASSERT_TRUE(kbd.Publish(NodeConfig("kbd", kTwoCollections)));
    HidLink consumer, vendor;
    ASSERT_TRUE(consumer.Open(PathOf("kbd", 1), true, false, true, false));
    ASSERT_TRUE(vendor.Open(PathOf("kbd", 2), true, true, true, false));
    ASSERT_TRUE(kbd.WaitConnections(2, 2000));
    std::vector<uint8_t> vendorReport(65, 0xAB);
    vendorReport[0] = 0x04;
    ASSERT_EQ(kbd.SendInput(vendorReport), 2);
    ASSERT_EQ(kbd.SendInput({0x03, 0xCD, 0x00}), 2);
    ASSERT_EQ(kbd.SendInput({0x09, 0x01}), 2);  // an id of neither collection

    uint8_t buffer[65];
    size_t n = 0;
    ASSERT_TRUE(consumer.Read(buffer, sizeof buffer, &n, 2000));
    EXPECT_EQ(n, 3u);
    EXPECT_EQ(buffer[0], 0x03);
    EXPECT_EQ(buffer[1], 0xCD);
    EXPECT_FALSE(consumer.Read(buffer, sizeof buffer, &n, 50));

    ASSERT_TRUE(vendor.Read(buffer, sizeof buffer, &n, 2000));
    EXPECT_EQ(n, 65u);
    EXPECT_EQ(buffer[0], 0x04);
    EXPECT_EQ(buffer[64], 0xAB);
    EXPECT_FALSE(vendor.Read(buffer, sizeof buffer, &n, 50));
}

TEST_F(HidLinkVirtual, CloseWakesAReadWaitingForever) {
    VirtualNodePlayer kbd(m_dir.Path());
    ASSERT_TRUE(kbd.Publish(NodeConfig("kbd", kTwoCollections)));
    HidLink link;
    ASSERT_TRUE(link.Open(PathOf("kbd", 1), true, false, true, false));
    for (int round = 0; round < 2; ++round) {
        std::promise<void> started;
        auto reader = std::async(std::launch::async, [&] {
            uint8_t buffer[3];
            size_t n = 0;
            started.set_value();
            const bool ok = link.Read(buffer, sizeof buffer, &n, kHidInfinite);
            return std::make_pair(ok, Clock::now());
        });
        started.get_future().wait();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const auto closedAt = Clock::now();
        if (round == 0) {
            link.Close();
        } else {
            ASSERT_TRUE(link.Reopen());  // a reopen cancels too, then opens afresh
        }
        ASSERT_EQ(reader.wait_for(std::chrono::seconds(2)), std::future_status::ready);
        const auto [ok, returnedAt] = reader.get();
        EXPECT_FALSE(ok);
        EXPECT_LT(returnedAt - closedAt, std::chrono::milliseconds(200));
        if (round == 0) {
            ASSERT_TRUE(link.Reopen());
        }
    }
    // The fresh open is not left cancelled. The player may not have accepted it yet (the closed
    // connections no longer count), so send until one connection takes the report.
    const auto deadline = Clock::now() + std::chrono::seconds(2);
    while (kbd.SendInput({0x03, 0x01, 0x00}) == 0 && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    uint8_t buffer[3];
    size_t n = 0;
    EXPECT_TRUE(link.Read(buffer, sizeof buffer, &n, 2000));
}

// A device that takes connections but never reads: writes back up, time out, and can be cancelled.
TEST_F(HidLinkVirtual, WriteTimesOutAndIsCancelledWhenTheDeviceStalls) {
    VirtualNodeConfig node = NodeConfig("stall", kTwoCollections);
    const std::string socketPath = m_dir.Path() + "/stall.sock";
    const int listener = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    ASSERT_GE(listener, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", socketPath.c_str());
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(listen(listener, 4), 0);
    std::ofstream(m_dir.Path() + "/stall.node") << VirtualNodePlayer::RecordJson(node);

    HidLink link;
    ASSERT_TRUE(link.Open(PathOf("stall", 2), true, true, true, false));
    std::vector<uint8_t> out(65, 0x33);
    out[0] = 0x04;
    size_t n = 0;
    int accepted = 0;
    while (accepted < 100000 && link.Write(out.data(), out.size(), &n, 20)) ++accepted;
    ASSERT_LT(accepted, 100000) << "the socket never pushed back";
    EXPECT_EQ(n, 0u);

    auto writer = std::async(std::launch::async, [&] {
        size_t written = 0;
        return link.Write(out.data(), out.size(), &written, kHidInfinite);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const auto closedAt = Clock::now();
    link.Close();
    ASSERT_EQ(writer.wait_for(std::chrono::seconds(2)), std::future_status::ready);
    EXPECT_FALSE(writer.get());
    EXPECT_LT(Clock::now() - closedAt, std::chrono::milliseconds(200));
    close(listener);
}

TEST_F(HidLinkVirtual, UnplugFailsReadAndWritePromptly) {
    VirtualNodePlayer kbd(m_dir.Path());
    ASSERT_TRUE(kbd.Publish(NodeConfig("kbd", kTwoCollections)));
    HidLink link;
    ASSERT_TRUE(link.Open(PathOf("kbd", 2), true, true, true, false));
    ASSERT_TRUE(kbd.WaitConnections(1, 2000));
    auto reader = std::async(std::launch::async, [&] {
        uint8_t buffer[65];
        size_t n = 0;
        return link.Read(buffer, sizeof buffer, &n, kHidInfinite);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    kbd.Unplug();
    ASSERT_EQ(reader.wait_for(std::chrono::milliseconds(500)), std::future_status::ready);
    EXPECT_FALSE(reader.get());
    // The reader saw the node go: a hang-up or the end of the stream, not a system error.
    const LinkError readFailure = link.LastError();
    EXPECT_TRUE(readFailure.call == "poll" || readFailure.call == "recv") << readFailure.Text();
    EXPECT_EQ(readFailure.subject, PathOf("kbd", 2));
    std::vector<uint8_t> out(65, 0);
    out[0] = 0x04;
    size_t n = 0;
    const auto start = Clock::now();
    EXPECT_FALSE(link.Write(out.data(), out.size(), &n, kHidInfinite));
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(500));
    // Writing to a peer that has gone fails in send with its own errno.
    const LinkError writeFailure = link.LastError();
    EXPECT_EQ(writeFailure.call, "send") << writeFailure.Text();
    EXPECT_TRUE(writeFailure.code == EPIPE || writeFailure.code == ECONNRESET || writeFailure.code == ENOTCONN)
        << writeFailure.Text();
    EXPECT_FALSE(link.Reopen());
}

TEST_F(HidLinkVirtual, UnplugFromAReplyHook) {
    VirtualNodePlayer kbd(m_dir.Path());
    kbd.SetReplyHook([](VirtualNodePlayer& player, const HostMessage&) { player.Unplug(); });
    ASSERT_TRUE(kbd.Publish(NodeConfig("kbd", kTwoCollections)));
    HidLink link;
    ASSERT_TRUE(link.Open(PathOf("kbd", 2), true, true, true, false));
    std::vector<uint8_t> out(65, 0);
    out[0] = 0x04;
    size_t n = 0;
    ASSERT_TRUE(link.Write(out.data(), out.size(), &n, 1000));
    uint8_t in[65];
    const auto start = Clock::now();
    EXPECT_FALSE(link.Read(in, sizeof in, &n, kHidInfinite));
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1000));
    EXPECT_EQ(kbd.ConnectionCount(), 0u);
    HidLink again;
    EXPECT_FALSE(again.Open(PathOf("kbd", 2), true, true, true, false));
}

TEST_F(HidLinkVirtual, ReopenWhileReadingIsRaceFree) {
    VirtualNodePlayer kbd(m_dir.Path());
    kbd.SetReplyHook([](VirtualNodePlayer& player, const HostMessage&) {
        player.SendInput({0x03, 0x05, 0x00});
    });
    ASSERT_TRUE(kbd.Publish(NodeConfig("kbd", kTwoCollections)));
    HidLink reader, writer;
    ASSERT_TRUE(reader.Open(PathOf("kbd", 1), true, false, true, false));
    ASSERT_TRUE(writer.Open(PathOf("kbd", 2), true, true, true, false));
    std::atomic<bool> stop{false};
    std::atomic<int> reports{0};
    std::thread t([&] {
        uint8_t buffer[3];
        size_t n = 0;
        while (!stop) {
            if (reader.Read(buffer, sizeof buffer, &n, kHidInfinite)) ++reports;
        }
    });
    std::vector<uint8_t> out(65, 0);
    out[0] = 0x04;
    for (int i = 0; i < 30; ++i) {
        size_t n = 0;
        ASSERT_TRUE(writer.Write(out.data(), out.size(), &n, 1000));
        if (i % 3 == 0) {
            ASSERT_TRUE(reader.Reopen());
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    stop = true;
    reader.Close();
    t.join();
    EXPECT_GT(reports.load(), 0);
}

TEST_F(HidLinkVirtual, TraceHasOneLinePerReport) {
    const std::string traceFile = m_dir.Path() + "/trace.txt";
    HidTrace::Instance().Reset(traceFile);
    VirtualNodePlayer kbd(m_dir.Path());
    kbd.SetReplyHook([](VirtualNodePlayer& player, const HostMessage& m) { player.SendInput(m.report); });
    ASSERT_TRUE(kbd.Publish(NodeConfig("kbd", kTwoCollections)));
    HidLink a, b;
    ASSERT_TRUE(a.Open(PathOf("kbd", 2), true, true, true, false));
    ASSERT_TRUE(b.Open(PathOf("kbd", 2), false, true, true, false));
    auto writeMany = [](HidLink& link, uint8_t fill) {
        std::vector<uint8_t> out(65, fill);
        out[0] = 0x04;
        for (int i = 0; i < 25; ++i) {
            size_t n = 0;
            EXPECT_TRUE(link.Write(out.data(), out.size(), &n, 1000));
        }
    };
    std::thread ta(writeMany, std::ref(a), 0x11), tb(writeMany, std::ref(b), 0x22);
    ta.join();
    tb.join();
    uint8_t in[65];
    size_t n = 0;
    ASSERT_TRUE(a.Read(in, sizeof in, &n, 2000));
    HidTrace::Instance().Reset("");

    std::ifstream trace(traceFile);
    const std::regex line(
        R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{6}Z (out|in) hid#vid_320f&pid_5055&mi_01&col02#virtual:\S+ 04( [0-9a-f]{2}){64})");
    int outs = 0, ins = 0;
    for (std::string l; std::getline(trace, l);) {
        ASSERT_TRUE(std::regex_match(l, line)) << l;
        (l.find(" out ") != std::string::npos ? outs : ins)++;
    }
    EXPECT_EQ(outs, 50);
    EXPECT_EQ(ins, 1);
}

}  // namespace
