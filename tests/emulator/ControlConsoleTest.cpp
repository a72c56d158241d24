#include "emulator/ControlConsole.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "SocketHelpers.h"
#include "emulator/VirtualDeviceHub.h"

using vx::emulator::ControlConsole;
using vx::emulator::VirtualDeviceHub;
using vx::emulator::VirtualModel;

namespace {

TEST(ControlConsole, DrivesTheHub) {
    TempDir dir;
    VirtualDeviceHub hub(dir.path);
    ControlConsole console(hub);
    bool quit = false;
    EXPECT_EQ(console.Execute("plug keyboard-receiver", quit), "ok");
    EXPECT_TRUE(hub.IsPlugged(VirtualModel::KeyboardReceiver));
    EXPECT_EQ(console.Execute("list", quit), "ok keyboard-receiver(0)");

    const int fd = ConnectNode(hub.SocketPath(VirtualModel::KeyboardReceiver));
    ASSERT_GE(fd, 0);
    EXPECT_EQ(console.Execute("notify keyboard-receiver 0x401", quit), "ok");
    auto press = ReceiveMessage(fd);
    ASSERT_TRUE(press);
    EXPECT_EQ(*press, (std::vector<uint8_t>{'I', 3, 0x01, 0x04}));

    EXPECT_EQ(console.Execute("sleep keyboard-receiver", quit), "ok");
    EXPECT_TRUE(hub.Firmware(VirtualModel::KeyboardWired).IsAsleep());
    EXPECT_EQ(console.Execute("wake keyboard-receiver", quit), "ok");
    EXPECT_FALSE(hub.Firmware(VirtualModel::KeyboardWired).IsAsleep());
    EXPECT_EQ(console.Execute("hang keyboard-receiver", quit), "ok");
    EXPECT_TRUE(hub.Firmware(VirtualModel::KeyboardWired).IsUnresponsive());
    EXPECT_EQ(console.Execute("unhang keyboard-receiver", quit), "ok");
    EXPECT_FALSE(hub.Firmware(VirtualModel::KeyboardWired).IsUnresponsive());
    EXPECT_EQ(console.Execute("battery keyboard-receiver 37 1", quit), "ok");
    EXPECT_EQ(hub.Firmware(VirtualModel::KeyboardReceiver).Status()[0], 37);
    EXPECT_EQ(console.Execute("profile keyboard-receiver 2 5", quit), "ok");
    EXPECT_EQ(hub.Firmware(VirtualModel::KeyboardReceiver).ActiveProfile(), 2);

    EXPECT_EQ(console.Execute("omit-keys keyboard-wired 13 110", quit), "ok");
    const auto table = hub.Firmware(VirtualModel::KeyboardReceiver).KeyTable();
    const std::vector<uint8_t> escape = {0x20, 0x00, 0x29};
    const std::vector<uint8_t> f12 = {0x20, 0x00, 0x46};  // logical key 13
    EXPECT_NE(std::search(table.begin(), table.end(), escape.begin(), escape.end()), table.end());
    for (size_t i = 0; i + 2 < table.size(); i += 3) {
        EXPECT_FALSE(std::equal(f12.begin(), f12.end(), table.begin() + static_cast<std::ptrdiff_t>(i)));
    }
    EXPECT_EQ(console.Execute("omit-keys mouse-wired 1", quit).rfind("error:", 0), 0u);
    EXPECT_EQ(console.Execute("omit-keys keyboard-wired 170", quit).rfind("error:", 0), 0u);

    EXPECT_EQ(console.Execute("unplug all", quit), "ok");
    EXPECT_FALSE(hub.IsPlugged(VirtualModel::KeyboardReceiver));
    EXPECT_FALSE(quit);
    EXPECT_EQ(console.Execute("quit", quit), "ok");
    EXPECT_TRUE(quit);
    ::close(fd);
}

TEST(ControlConsole, RefusesBadInput) {
    TempDir dir;
    VirtualDeviceHub hub(dir.path);
    ControlConsole console(hub);
    bool quit = false;
    EXPECT_EQ(console.Execute("", quit), "");
    EXPECT_EQ(console.Execute("plug toaster", quit).rfind("error:", 0), 0u);
    EXPECT_EQ(console.Execute("notify mousepad", quit).rfind("error:", 0), 0u);
    EXPECT_EQ(console.Execute("notify mousepad 0x1G", quit).rfind("error:", 0), 0u);
    EXPECT_EQ(console.Execute("notify mousepad 70000", quit).rfind("error:", 0), 0u);
    EXPECT_EQ(console.Execute("battery mousepad 101", quit).rfind("error:", 0), 0u);
    EXPECT_EQ(console.Execute("profile mouse-wired 1 16", quit).rfind("error:", 0), 0u);
    EXPECT_EQ(console.Execute("notify mousepad 0x401", quit), "error: failed");  // not plugged
    EXPECT_EQ(console.Execute("frobnicate mousepad", quit).rfind("error:", 0), 0u);
    EXPECT_FALSE(quit);
}

}  // namespace
