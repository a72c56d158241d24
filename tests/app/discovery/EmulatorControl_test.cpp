// Controlling running virtual devices from outside: the control socket, the vx-emulator-ctl
// command, and the program's own embedded virtual devices seen through discovery.

#include "BuildPaths.h"
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <thread>

#include "RecordingSink.h"
#include "VirtualNodePlayer.h"
#include "app/discovery/DeviceDiscovery.h"
#include "emulator/ControlSocket.h"
#include "emulator/EmbeddedVirtualDevices.h"
#include "emulator/VirtualDeviceHub.h"
#include "link/HidLink.h"

using vx::emulator::ControlSocket;
using vx::emulator::EmbeddedVirtualDevices;
using vx::emulator::SendControlCommand;
using vx::emulator::VirtualDeviceHub;
using vx::emulator::VirtualModel;
using vx::link::HidLink;
using vx::discovery::DeviceDiscovery;
using vx::discovery::DiscoveryOptions;
using vx::discovery::InterfaceSlotTable;

namespace {

using namespace std::chrono_literals;
using vxtest::Clock;
using vxtest::ScopedTempDir;
using Kind = vxtest::SinkEvent::Kind;

std::string Ask(const std::string& dir, const std::string& line) {
    std::string answer;
    const int sent = SendControlCommand(dir, line, 3000, &answer);
    return sent == 1 ? answer : "no answer (" + std::to_string(sent) + ")";
}

int RunCtl(const std::string& arguments) {
    const std::string command =
        std::string(VX_BINARY_DIR) + "/tools/emulator-ctl/vx-emulator-ctl " + arguments + " > /dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

size_t VirtualPathCount() {
    HidLink link;
    if (!link.EnumerateInterfaces()) return 0;
    size_t n = 0;
    for (std::string p = link.NextPath(); !p.empty(); p = link.NextPath())
        n += p.find("#virtual:") != std::string::npos;
    return n;
}

TEST(ControlSocket, CommandsReachTheHubIncludingCableAndReceiverSwitching) {
    ScopedTempDir dir;
    VirtualDeviceHub hub(dir.Path());
    ControlSocket control(hub);
    ASSERT_EQ(control.Start(), 1);

    EXPECT_EQ(Ask(dir.Path(), "plug mouse-receiver"), "ok");
    EXPECT_TRUE(hub.IsPlugged(VirtualModel::MouseReceiver));
    // The cable goes in while the receiver stays: one firmware on two nodes.
    EXPECT_EQ(Ask(dir.Path(), "connect mouse cable"), "ok");
    EXPECT_TRUE(hub.IsPlugged(VirtualModel::MouseWired));
    EXPECT_TRUE(hub.IsPlugged(VirtualModel::MouseReceiver));
    EXPECT_EQ(Ask(dir.Path(), "list"), "ok mouse-wired(0) mouse-receiver(0)");
    EXPECT_EQ(Ask(dir.Path(), "connect mouse receiver"), "ok");
    EXPECT_FALSE(hub.IsPlugged(VirtualModel::MouseWired));
    EXPECT_TRUE(hub.IsPlugged(VirtualModel::MouseReceiver));
    EXPECT_EQ(Ask(dir.Path(), "connect keyboard receiver"), "ok");
    EXPECT_TRUE(hub.IsPlugged(VirtualModel::KeyboardReceiver));
    EXPECT_EQ(Ask(dir.Path(), "connect mousepad cable").rfind("error", 0), 0u);

    EXPECT_EQ(Ask(dir.Path(), "battery mouse-receiver 40 1"), "ok");
    const auto status = hub.Firmware(VirtualModel::MouseReceiver).Status();
    EXPECT_EQ(status[0], 40);
    EXPECT_EQ(status[1], 1);
    EXPECT_EQ(Ask(dir.Path(), "battery mouse-receiver 140"), "error: percent out of range");
    EXPECT_EQ(Ask(dir.Path(), "phone mousepad 2"), "ok");
    EXPECT_EQ(hub.Firmware(VirtualModel::Mousepad).Status()[5], 2);
    EXPECT_EQ(Ask(dir.Path(), "phone mousepad 256"), "error: phone type out of range");
    EXPECT_EQ(Ask(dir.Path(), "sleep mouse-receiver"), "ok");
    EXPECT_TRUE(hub.Firmware(VirtualModel::MouseReceiver).IsAsleep());
    EXPECT_EQ(Ask(dir.Path(), "wake mouse-receiver"), "ok");
    EXPECT_FALSE(hub.Firmware(VirtualModel::MouseReceiver).IsAsleep());
    EXPECT_EQ(Ask(dir.Path(), "unplug mouse-receiver"), "ok");
    EXPECT_FALSE(hub.IsPlugged(VirtualModel::MouseReceiver));
    // Nobody may end the program that embeds the devices from outside.
    EXPECT_EQ(Ask(dir.Path(), "quit"), "error: quit is not available here");
}

TEST(ControlSocket, ManyClientsAtOnceAndAHostileOneDoesNotStopTheOthers) {
    ScopedTempDir dir;
    VirtualDeviceHub hub(dir.Path());
    std::atomic<int> quits{0};
    ControlSocket control(hub, [&quits] { quits++; });
    ASSERT_EQ(control.Start(), 1);

    // A client that floods without a line end and never reads.
    const int hostile = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", control.Path().c_str());
    ASSERT_EQ(connect(hostile, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    const std::string flood(8192, 'x');
    EXPECT_GT(send(hostile, flood.data(), flood.size(), MSG_NOSIGNAL), 0);

    std::vector<std::thread> clients;
    std::atomic<int> good{0};
    for (int i = 0; i < 4; ++i) {
        clients.emplace_back([&dir, &good] {
            for (int k = 0; k < 10; ++k) good += Ask(dir.Path(), "list").rfind("ok", 0) == 0;
        });
    }
    for (auto& t : clients) t.join();
    EXPECT_EQ(good.load(), 40);
    // The flooding client has been dropped: its end sees the close.
    char byte;
    timeval tv{2, 0};
    setsockopt(hostile, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    const ssize_t got = recv(hostile, &byte, 1, 0);
    const bool closed = got == 0 || (got < 0 && errno == ECONNRESET);
    EXPECT_TRUE(closed) << "recv gave " << got << ", errno " << errno;
    close(hostile);

    EXPECT_EQ(Ask(dir.Path(), "quit"), "ok");
    EXPECT_EQ(quits.load(), 1);
}

TEST(ControlSocket, ALiveSocketIsNotTakenOverAndAStaleOneIsReplaced) {
    ScopedTempDir dir;
    VirtualDeviceHub hub(dir.Path());
    {
        ControlSocket first(hub);
        ASSERT_EQ(first.Start(), 1);
        ControlSocket second(hub);
        EXPECT_EQ(second.Start(), 0);
        EXPECT_EQ(Ask(dir.Path(), "list"), "ok");
    }
    EXPECT_EQ(access(ControlSocket::PathFor(dir.Path()).c_str(), F_OK), -1);  // removed on stop
    EXPECT_EQ(Ask(dir.Path(), "list"), "no answer (0)");

    // Left behind by an emulator that was killed: a socket file nobody listens on.
    const int dead = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", ControlSocket::PathFor(dir.Path()).c_str());
    ASSERT_EQ(bind(dead, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    close(dead);
    ControlSocket third(hub);
    EXPECT_EQ(third.Start(), 1);
    EXPECT_EQ(Ask(dir.Path(), "plug headset"), "ok");
}

TEST(EmulatorCtl, ExitStatusTellsOkErrorAndNoEmulator) {
    ScopedTempDir dir;
    VirtualDeviceHub hub(dir.Path());
    ControlSocket control(hub);
    ASSERT_EQ(control.Start(), 1);
    EXPECT_EQ(RunCtl("--dir " + dir.Path() + " plug keyboard-wired"), 0);
    EXPECT_TRUE(hub.IsPlugged(VirtualModel::KeyboardWired));
    EXPECT_EQ(RunCtl("--dir " + dir.Path() + " plug no-such-device"), 1);
    EXPECT_EQ(RunCtl("--dir " + dir.Path()), 3);
    control.Stop();
    EXPECT_EQ(RunCtl("--dir " + dir.Path() + " list"), 2);
}

TEST(EmulatorCtl, DrivesARunningEmulatorProgramAndEndsIt) {
    ScopedTempDir dir;
    const std::string command = std::string(VX_BINARY_DIR) + "/emulator/vx-emulator --dir " + dir.Path() +
                                " --devices keyboard-receiver > /dev/null";
    // Its standard input stays open (and idle) until pclose: control comes only through the socket.
    FILE* emulator = popen(command.c_str(), "w");
    ASSERT_NE(emulator, nullptr);
    const auto deadline = Clock::now() + 5s;
    while (access(ControlSocket::PathFor(dir.Path()).c_str(), F_OK) != 0 && Clock::now() < deadline)
        std::this_thread::sleep_for(10ms);
    const std::string ctl = "--dir " + dir.Path() + " ";
    EXPECT_EQ(RunCtl(ctl + "connect keyboard cable"), 0);
    std::string answer;
    ASSERT_EQ(SendControlCommand(dir.Path(), "list", 3000, &answer), 1);
    EXPECT_EQ(answer, "ok keyboard-wired(0) keyboard-receiver(0)");
    EXPECT_EQ(RunCtl(ctl + "quit"), 0);
    const int status = pclose(emulator);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    // Everything unplugged and the control socket gone.
    EXPECT_EQ(access((dir.Path() + "/keyboard-wired-if1.node").c_str(), F_OK), -1);
    EXPECT_EQ(access(ControlSocket::PathFor(dir.Path()).c_str(), F_OK), -1);
    EXPECT_EQ(RunCtl(ctl + "list"), 2);
}

class EmbeddedDevicesTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_RUNTIME_DIR", m_runtime.Path().c_str(), 1);
        setenv("XDG_STATE_HOME", m_runtime.Path().c_str(), 1);  // the devices' memory stays here
        setenv("VX_VIRTUAL_HID_DIR", "/nonexistent/before", 1);
    }
    void TearDown() override {
        unsetenv("VX_VIRTUAL_HID_DIR");
        unsetenv("XDG_RUNTIME_DIR");
        unsetenv("XDG_STATE_HOME");
    }
    ScopedTempDir m_runtime;
};

TEST_F(EmbeddedDevicesTest, StartsEveryDeviceWhereTheLinkLooksAndCleansUp) {
    std::string directory;
    {
        EmbeddedVirtualDevices devices;
        ASSERT_EQ(devices.Start(), 1);
        directory = devices.Directory();
        EXPECT_EQ(directory, m_runtime.Path() + "/vexor-embedded-hid");
        EXPECT_EQ(std::string(std::getenv("VX_VIRTUAL_HID_DIR")), directory);
        EXPECT_TRUE(devices.HasControlSocket());
        // Keyboard, mouse and mousepad nodes with four collections each, the headset with one.
        EXPECT_EQ(VirtualPathCount(), 5u * 4u + 1u);
        EXPECT_EQ(Ask(directory, "list"),
                  "ok keyboard-wired(0) keyboard-receiver(0) mouse-wired(0) mouse-receiver(0) mousepad(0) "
                  "headset(0)");

        // A second program finds the default taken and goes elsewhere.
        EmbeddedVirtualDevices second;
        ASSERT_EQ(second.Start(), 1);
        EXPECT_NE(second.Directory(), directory);
        EXPECT_EQ(Ask(second.Directory(), "unplug headset"), "ok");
        EXPECT_TRUE(devices.Hub()->IsPlugged(VirtualModel::Headset));
    }
    EXPECT_EQ(std::string(std::getenv("VX_VIRTUAL_HID_DIR")), "/nonexistent/before");
    EXPECT_EQ(access(directory.c_str(), F_OK), -1);
}

TEST_F(EmbeddedDevicesTest, DiscoveryFollowsCommandsFromAnotherProcess) {
    EmbeddedVirtualDevices devices;
    ASSERT_EQ(devices.Start({}, {VirtualModel::MouseReceiver, VirtualModel::Mousepad}), 1);
    InterfaceSlotTable slots;
    slots.Fill();
    vxtest::RecordingSink sink(slots);
    DiscoveryOptions options;
    options.useUdevMonitor = false;
    DeviceDiscovery discovery(slots, sink, options);
    ASSERT_TRUE(discovery.Start());
    for (size_t s : {6, 7, 8, 9})
        ASSERT_TRUE(sink.WaitEvent(Kind::Arrived, s, Clock::now() - 1h, 3000ms)) << s;

    const std::string dir = "--dir " + devices.Directory() + " ";
    auto since = Clock::now();
    ASSERT_EQ(RunCtl(dir + "connect mouse cable"), 0);
    EXPECT_TRUE(sink.WaitEvent(Kind::Arrived, 4, since, 3000ms));
    EXPECT_TRUE(sink.WaitEvent(Kind::Arrived, 5, since, 3000ms));
    since = Clock::now();
    ASSERT_EQ(RunCtl(dir + "connect mouse receiver"), 0);
    EXPECT_TRUE(sink.WaitEvent(Kind::Removed, 4, since, 3000ms));
    EXPECT_EQ(slots.Slot(6).connected, 1);  // the receiver stayed all along
    since = Clock::now();
    ASSERT_EQ(RunCtl(dir + "unplug mousepad"), 0);
    EXPECT_TRUE(sink.WaitEvent(Kind::Removed, 8, since, 3000ms));
    EXPECT_TRUE(sink.WaitEvent(Kind::Removed, 9, since, 3000ms));
    EXPECT_EQ(sink.Count(Kind::Removed, 6), 0u);
    EXPECT_TRUE(discovery.Stop());
    EXPECT_TRUE(sink.Violations().empty());
}

}  // namespace
