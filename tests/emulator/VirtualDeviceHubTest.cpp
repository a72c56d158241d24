// The virtual devices as a program sees them: nodes in a directory, one SEQPACKET connection per
// open, reports both ways, unplug and re-plug. Plain sockets only.

#include "emulator/VirtualDeviceHub.h"

#include <gtest/gtest.h>
#include <json/json.h>
#include <sys/stat.h>

#include <atomic>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "FrameHelpers.h"
#include "SocketHelpers.h"
#include "emulator/ReportDescriptors.h"

using vx::emulator::FirmwareKind;
using vx::emulator::ReportDescriptor;
using vx::emulator::VirtualDeviceHub;
using vx::emulator::VirtualModel;
using vx::emulator::kStatusOk;

namespace {

bool Exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

Json::Value ReadJson(const std::string& path) {
    std::ifstream in(path);
    Json::Value value;
    Json::CharReaderBuilder builder;
    std::string errors;
    if (!Json::parseFromStream(builder, in, &value, &errors)) return Json::Value();
    return value;
}

std::vector<uint8_t> ParseHex(const std::string& text) {
    std::istringstream in(text);
    std::vector<uint8_t> bytes;
    for (std::string word; in >> word;) bytes.push_back(static_cast<uint8_t>(std::stoul(word, nullptr, 16)));
    return bytes;
}

class HubTest : public ::testing::Test {
protected:
    TempDir m_dir;
    VirtualDeviceHub m_hub{m_dir.path + "/nodes"};
};

TEST_F(HubTest, PlugPublishesSocketThenRecord) {
    ASSERT_EQ(m_hub.Plug(VirtualModel::KeyboardWired), 1);
    EXPECT_TRUE(m_hub.IsPlugged(VirtualModel::KeyboardWired));
    EXPECT_FALSE(m_hub.IsPlugged(VirtualModel::MouseWired));
    const Json::Value record = ReadJson(m_hub.RecordPath(VirtualModel::KeyboardWired));
    ASSERT_TRUE(record.isObject());
    EXPECT_EQ(record["name"].asString(), "keyboard-wired-if1");
    EXPECT_EQ(record["vendor"].asInt(), 0x320F);
    EXPECT_EQ(record["product"].asInt(), 0x5055);
    EXPECT_EQ(record["interface"].asInt(), 1);
    EXPECT_EQ(record["socket"].asString(), "keyboard-wired-if1.sock");
    const auto descriptor = ReportDescriptor(FirmwareKind::Keyboard);
    EXPECT_EQ(ParseHex(record["report_descriptor"].asString()),
              std::vector<uint8_t>(descriptor.begin(), descriptor.end()));
    EXPECT_FALSE(Exists(m_hub.RecordPath(VirtualModel::KeyboardWired) + ".tmp"));

    ASSERT_EQ(m_hub.Plug(VirtualModel::Headset), 1);
    const Json::Value headset = ReadJson(m_hub.RecordPath(VirtualModel::Headset));
    EXPECT_EQ(headset["vendor"].asInt(), 0x0C76);
    EXPECT_EQ(headset["product"].asInt(), 0x1630);
    EXPECT_EQ(headset["interface"].asInt(), 3);
}

TEST_F(HubTest, CommandRoundTripThroughBothPipes) {
    ASSERT_EQ(m_hub.Plug(VirtualModel::MouseWired), 1);
    const int fd = ConnectNode(m_hub.SocketPath(VirtualModel::MouseWired));
    ASSERT_GE(fd, 0);
    ASSERT_TRUE(SendMessage(fd, 'O', RequestFrame(0x03, 34, 0)));
    auto reply = ReceiveReport(fd, 4);
    ASSERT_TRUE(reply && reply->size() == 64);
    EXPECT_EQ((*reply)[3], 0x03);
    EXPECT_EQ((*reply)[7], kStatusOk);
    const auto capability = m_hub.Firmware(VirtualModel::MouseWired).Capability();
    EXPECT_TRUE(std::equal(capability.begin(), capability.end(), reply->begin() + 8));

    ASSERT_TRUE(SendMessage(fd, 'S', RequestFrame(0x1A, 6, 0)));
    reply = ReceiveReport(fd, 4);
    ASSERT_TRUE(reply);
    EXPECT_EQ((*reply)[3], 0x1A);

    const auto received = m_hub.Firmware(VirtualModel::MouseWired).Received();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_FALSE(received[0].controlPipe);
    EXPECT_TRUE(received[1].controlPipe);
    EXPECT_EQ(received[1].bytes, RequestFrame(0x1A, 6, 0));
    ::close(fd);
}

TEST_F(HubTest, EveryConnectionGetsEveryInputReport) {
    ASSERT_EQ(m_hub.Plug(VirtualModel::KeyboardWired), 1);
    int fds[3];
    for (int& fd : fds) {
        fd = ConnectNode(m_hub.SocketPath(VirtualModel::KeyboardWired));
        ASSERT_GE(fd, 0);
    }
    ASSERT_EQ(m_hub.ConnectionCount(VirtualModel::KeyboardWired), 3u);
    ASSERT_EQ(m_hub.Notify(VirtualModel::KeyboardWired, 0x401), 1);
    for (int fd : fds) {
        auto press = ReceiveMessage(fd);
        auto release = ReceiveMessage(fd);
        ASSERT_TRUE(press && release);
        EXPECT_EQ(*press, (std::vector<uint8_t>{'I', 3, 0x01, 0x04}));
        EXPECT_EQ(*release, (std::vector<uint8_t>{'I', 3, 0x00, 0x00}));
    }
    // A command reply, too, reaches every open connection, as every open hidraw file reads it.
    ASSERT_TRUE(SendMessage(fds[0], 'O', RequestFrame(0x01)));
    for (int fd : fds) EXPECT_TRUE(ReceiveReport(fd, 4));

    ASSERT_EQ(m_hub.NotifyProfileChange(VirtualModel::KeyboardWired, 3, 2), 1);
    auto change = ReceiveMessage(fds[1]);
    ASSERT_TRUE(change);
    EXPECT_EQ(*change, (std::vector<uint8_t>{'I', 3, 0x23, 0x11}));
    EXPECT_EQ(m_hub.Firmware(VirtualModel::KeyboardWired).ActiveProfile(), 3);

    ::close(fds[2]);
    for (int i = 0; i < 100 && m_hub.ConnectionCount(VirtualModel::KeyboardWired) != 2; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(m_hub.ConnectionCount(VirtualModel::KeyboardWired), 2u);
    ::close(fds[0]);
    ::close(fds[1]);
}

TEST_F(HubTest, UnplugClosesConnectionsAndRemovesNodeThenReplugWorks) {
    ASSERT_EQ(m_hub.Plug(VirtualModel::Mousepad), 1);
    const int fd = ConnectNode(m_hub.SocketPath(VirtualModel::Mousepad));
    ASSERT_GE(fd, 0);
    ASSERT_EQ(m_hub.ConnectionCount(VirtualModel::Mousepad), 1u);

    ASSERT_EQ(m_hub.Unplug(VirtualModel::Mousepad), 1);
    EXPECT_FALSE(Exists(m_hub.RecordPath(VirtualModel::Mousepad)));
    EXPECT_FALSE(Exists(m_hub.SocketPath(VirtualModel::Mousepad)));
    const auto end = ReceiveMessage(fd, 500);
    ASSERT_TRUE(end) << "open connection did not see the unplug";
    EXPECT_TRUE(end->empty());
    EXPECT_FALSE(SendMessage(fd, 'O', RequestFrame(0x01)));
    ::close(fd);
    EXPECT_LT(ConnectNode(m_hub.SocketPath(VirtualModel::Mousepad)), 0);
    EXPECT_EQ(m_hub.Notify(VirtualModel::Mousepad, 0x401), 0);
    EXPECT_EQ(m_hub.Unplug(VirtualModel::Mousepad), 1);  // twice is harmless

    ASSERT_EQ(m_hub.Plug(VirtualModel::Mousepad), 1);
    const int again = ConnectNode(m_hub.SocketPath(VirtualModel::Mousepad));
    ASSERT_GE(again, 0);
    ASSERT_TRUE(SendMessage(again, 'O', RequestFrame(0x03, 34, 0)));
    auto reply = ReceiveReport(again, 4);
    ASSERT_TRUE(reply);
    EXPECT_EQ((*reply)[8 + 5], 15);  // fifteen LEDs
    ::close(again);
}

TEST_F(HubTest, KeyboardOnCableAndReceiverIsOneKeyboard) {
    ASSERT_EQ(m_hub.Plug(VirtualModel::KeyboardWired), 1);
    ASSERT_EQ(m_hub.Plug(VirtualModel::KeyboardReceiver), 1);
    const int wired = ConnectNode(m_hub.SocketPath(VirtualModel::KeyboardWired));
    const int radio = ConnectNode(m_hub.SocketPath(VirtualModel::KeyboardReceiver));
    ASSERT_GE(wired, 0);
    ASSERT_GE(radio, 0);

    std::vector<uint8_t> block(24, 0);
    block[1] = 0x09;
    ASSERT_TRUE(SendMessage(wired, 'O', RequestFrame(0x06, 24, 0, block)));
    ASSERT_TRUE(ReceiveReport(wired, 4));
    ASSERT_TRUE(SendMessage(radio, 'O', RequestFrame(0x05, 24, 0)));
    auto reply = ReceiveReport(radio, 4);
    ASSERT_TRUE(reply);
    EXPECT_EQ((*reply)[8 + 1], 0x09);

    ASSERT_EQ(m_hub.SetAsleep(VirtualModel::KeyboardReceiver, true), 1);
    ASSERT_TRUE(SendMessage(radio, 'O', RequestFrame(0x05, 24, 0)));
    reply = ReceiveReport(radio, 4);
    ASSERT_TRUE(reply);
    EXPECT_EQ((*reply)[3], 0xAA);
    EXPECT_EQ(m_hub.Notify(VirtualModel::KeyboardReceiver, 0x401), 0);  // a sleeping device is silent
    ASSERT_TRUE(SendMessage(wired, 'O', RequestFrame(0x05, 24, 0)));
    reply = ReceiveReport(wired, 4);
    ASSERT_TRUE(reply);
    EXPECT_EQ((*reply)[3], 0x05);
    ::close(wired);
    ::close(radio);
}

TEST_F(HubTest, TraceWritesOneLinePerReport) {
    const std::string tracePath = m_dir.path + "/trace.txt";
    ASSERT_EQ(m_hub.SetTrace(tracePath), 1);
    ASSERT_EQ(m_hub.Plug(VirtualModel::Headset), 1);
    const int fd = ConnectNode(m_hub.SocketPath(VirtualModel::Headset));
    ASSERT_GE(fd, 0);
    ASSERT_TRUE(SendMessage(fd, 'O', RequestFrame(0x01)));
    ASSERT_TRUE(ReceiveReport(fd, 4));
    std::vector<uint8_t> led(17, 0);
    led[0] = 0xFF;
    led[1] = 0x22;
    led[2] = 0xAA;
    led[4] = 0x80;
    ASSERT_TRUE(SendMessage(fd, 'S', led));
    for (int i = 0; i < 200 && m_hub.Firmware(VirtualModel::Headset).HeadsetLedReportCount() == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(m_hub.Firmware(VirtualModel::Headset).HeadsetLeds()[0][0][0], 0x80);
    ASSERT_EQ(m_hub.SetTrace(""), 1);
    ::close(fd);

    std::ifstream in(tracePath);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 3u);
    const std::string link = "hid#vid_0c76&pid_1630&mi_03#virtual:" + m_hub.NodePath(VirtualModel::Headset);
    const std::regex stamp(
        R"(^\d{4}-\d{2}-\d{2}T\d{2}:\d{2}:\d{2}\.\d{6}Z (out|in|ctl) (\S+)( [0-9a-f]{2})+$)");
    std::smatch match;
    ASSERT_TRUE(std::regex_match(lines[0], match, stamp)) << lines[0];
    EXPECT_EQ(match[1], "out");
    EXPECT_EQ(match[2], link);
    EXPECT_NE(lines[0].find(" 04 01 00 01 00 00 00 00"), std::string::npos);
    EXPECT_EQ(std::count(lines[0].begin(), lines[0].end(), ' '),
              2 + 64);  // two separators, then one per byte
    ASSERT_TRUE(std::regex_match(lines[1], match, stamp));
    EXPECT_EQ(match[1], "in");
    ASSERT_TRUE(std::regex_match(lines[2], match, stamp));
    EXPECT_EQ(match[1], "ctl");
    EXPECT_NE(lines[2].find(" ff 22 aa 00 80"), std::string::npos);
}

TEST_F(HubTest, KeyboardTraceNamesTheCollection) {
    const std::string tracePath = m_dir.path + "/trace.txt";
    ASSERT_EQ(m_hub.SetTrace(tracePath), 1);
    ASSERT_EQ(m_hub.Plug(VirtualModel::KeyboardReceiver), 1);
    ASSERT_EQ(m_hub.Notify(VirtualModel::KeyboardReceiver, 0x402), 1);
    m_hub.SetTrace("");
    std::ifstream in(tracePath);
    std::string line;
    ASSERT_TRUE(std::getline(in, line));
    EXPECT_NE(line.find(" in hid#vid_320f&pid_5001&mi_01&col03#virtual:"), std::string::npos) << line;
    EXPECT_NE(line.find(" 03 02 04"), std::string::npos) << line;
}

TEST_F(HubTest, ConcurrentClientsAndControlCalls) {
    ASSERT_EQ(m_hub.Plug(VirtualModel::KeyboardWired), 1);
    ASSERT_EQ(m_hub.Plug(VirtualModel::MouseWired), 1);
    ASSERT_EQ(m_hub.Plug(VirtualModel::Headset), 1);
    constexpr int kClients = 3;
    constexpr int kRounds = 60;
    std::atomic<int> failures{0};
    std::vector<std::thread> clients;
    for (int c = 0; c < kClients; ++c) {
        // Each client has its own device so that a reply is never someone else's.
        const VirtualModel models[kClients] = {VirtualModel::KeyboardWired, VirtualModel::MouseWired,
                                               VirtualModel::Headset};
        const VirtualModel model = models[c];
        clients.emplace_back([this, model, &failures] {
            const int fd = ConnectNode(m_hub.SocketPath(model));
            if (fd < 0) {
                ++failures;
                return;
            }
            for (int i = 0; i < kRounds; ++i) {
                const uint16_t offset = static_cast<uint16_t>(i % 20);
                if (!SendMessage(fd, 'O', RequestFrame(0x05, 8, offset))) ++failures;
                auto reply = ReceiveReport(fd, 4);
                if (!reply || (*reply)[3] != 0x05 || (*reply)[5] != offset) ++failures;
            }
            ::close(fd);
        });
    }
    std::thread control([this] {
        for (int i = 0; i < 30; ++i) {
            m_hub.Plug(VirtualModel::Mousepad);
            m_hub.Notify(VirtualModel::Mousepad, 0x401);
            m_hub.SetAsleep(VirtualModel::MouseReceiver, i % 2 == 0);
            (void)m_hub.Firmware(VirtualModel::KeyboardWired).Config();
            m_hub.Unplug(VirtualModel::Mousepad);
        }
    });
    for (auto& t : clients) t.join();
    control.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_FALSE(m_hub.IsPlugged(VirtualModel::Mousepad));
    EXPECT_EQ(m_hub.Firmware(VirtualModel::MouseWired).ReceivedCount(), static_cast<size_t>(kRounds));
}

TEST_F(HubTest, ConnectionThatNeverReadsDoesNotStallOthers) {
    ASSERT_EQ(m_hub.Plug(VirtualModel::KeyboardWired), 1);
    const int silent = ConnectNode(m_hub.SocketPath(VirtualModel::KeyboardWired));
    const int busy = ConnectNode(m_hub.SocketPath(VirtualModel::KeyboardWired));
    ASSERT_GE(silent, 0);
    ASSERT_GE(busy, 0);
    // Far more replies than a socket buffer holds; the silent reader's copies are dropped.
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 3000; ++i) {
        ASSERT_TRUE(SendMessage(busy, 'O', RequestFrame(0x05, 4, static_cast<uint16_t>(i % 64))));
        auto reply = ReceiveReport(busy, 4, 5000);
        ASSERT_TRUE(reply) << "round " << i;
        ASSERT_EQ((*reply)[5], i % 64);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    ASSERT_TRUE(ReceiveMessage(silent, 100));  // it still has the oldest replies
    ::close(silent);
    ::close(busy);
}

TEST(HubLifetime, DestructionRemovesEveryNode) {
    TempDir dir;
    std::string record;
    int fd = -1;
    {
        VirtualDeviceHub hub(dir.path);
        ASSERT_EQ(hub.PlugAll(), 1);
        record = hub.RecordPath(VirtualModel::Headset);
        EXPECT_TRUE(Exists(record));
        fd = ConnectNode(hub.SocketPath(VirtualModel::Headset));
        ASSERT_GE(fd, 0);
    }
    EXPECT_FALSE(Exists(record));
    auto end = ReceiveMessage(fd, 500);
    ASSERT_TRUE(end);
    EXPECT_TRUE(end->empty());
    ::close(fd);
}

TEST(HubLifetime, SecondPlayerDoesNotTakeOverALiveNode) {
    TempDir dir;
    VirtualDeviceHub first(dir.path);
    VirtualDeviceHub second(dir.path);
    ASSERT_EQ(first.Plug(VirtualModel::Mousepad), 1);
    EXPECT_EQ(second.Plug(VirtualModel::Mousepad), 0);
    const int fd = ConnectNode(first.SocketPath(VirtualModel::Mousepad));
    ASSERT_GE(fd, 0);
    ASSERT_TRUE(SendMessage(fd, 'O', RequestFrame(0x01)));
    EXPECT_TRUE(ReceiveReport(fd, 4));
    EXPECT_EQ(first.Firmware(VirtualModel::Mousepad).ReceivedCount(), 1u);
    ::close(fd);

    // A socket file left by a player that died is taken over.
    ASSERT_EQ(first.Unplug(VirtualModel::Mousepad), 1);
    const int stale = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, first.SocketPath(VirtualModel::Mousepad).c_str(),
                 sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(stale, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(stale);
    EXPECT_TRUE(Exists(first.SocketPath(VirtualModel::Mousepad)));
    EXPECT_EQ(second.Plug(VirtualModel::Mousepad), 1);
}

TEST(HubLifetime, UnusableDirectoryFailsPlug) {
    TempDir dir;
    const std::string file = dir.path + "/plain-file";
    std::ofstream(file) << "x";
    VirtualDeviceHub hub(file + "/nodes");
    EXPECT_EQ(hub.Plug(VirtualModel::KeyboardWired), 0);
    EXPECT_FALSE(hub.IsPlugged(VirtualModel::KeyboardWired));
    VirtualDeviceHub tooLong(dir.path + "/" + std::string(120, 'x'));
    EXPECT_EQ(tooLong.Plug(VirtualModel::KeyboardWired), 0);
}

}  // namespace
