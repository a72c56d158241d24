// The virtual devices keep their memory across runs as a real device keeps it across reconnects:
// what the program writes through its own links is there again after the hub stops and starts,
// a state file that cannot be used gives factory memory without harm, and a factory reset
// (console command or start option) brings the factory memory back.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>
#include <vector>

#include "SocketHelpers.h"
#include "emulator/ControlConsole.h"
#include "emulator/FirmwareLayout.h"
#include "emulator/VirtualDeviceHub.h"
#include "link/DeviceLink.h"
#include "link/MacroImageBlock.h"
#include "link/SettingsBlocks.h"

using vx::emulator::BuildFactoryConfig;
using vx::emulator::BuildFirmwareLayout;
using vx::emulator::ControlConsole;
using vx::emulator::FirmwareKind;
using vx::emulator::FirmwareMemory;
using vx::emulator::ImageState;
using vx::emulator::ModelInfo;
using vx::emulator::ParseFirmwareMemory;
using vx::emulator::Transport;
using vx::emulator::VirtualDeviceHub;
using vx::emulator::VirtualFirmware;
using vx::emulator::VirtualModel;
using vx::emulator::kKeyColourStride;
using vx::link::BuildKeyboardBlock;
using vx::link::BuildMacroImage;
using vx::link::BuildMouseBlock;
using vx::link::DeviceInfo;
using vx::link::DeviceLink;
using vx::link::HidLink;
using vx::link::KeyboardBlock;
using vx::link::MacroSlotEvents;
using vx::link::MouseBlock;
using vx::link::ParseKeyboardBlock;
using vx::link::ParseMouseBlock;
using vx::link::kKeyboardBlockLength;
using vx::link::kKeyboardBlockStride;
using vx::link::kLinkModeWired;
using vx::link::kLinkModeWireless;
using vx::link::kMouseBlockReadLength;

namespace {

using namespace std::chrono_literals;

constexpr int kCommandCollection = 4;
constexpr int kNotifyCollection = 3;

const std::vector<uint8_t> kModeTable = {0x00, 0x01, 0x02, 0x03, 0x04, 0x05,
                                         0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B};

bool Exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

// One run of the devices: a hub on its own node folder, keeping memory in the shared state folder.
class DevicesRun {
public:
    DevicesRun(const std::string& state, bool factoryReset = false,
               std::chrono::milliseconds saveDelay = 500ms)
        : m_hub(std::make_unique<VirtualDeviceHub>(m_nodes.path)) {
        m_hub->SetSaveDelay(saveDelay);
        m_loaded = m_hub->UseStateDirectory(state, factoryReset);
    }
    ~DevicesRun() { Stop(); }

    // Plugs the model and opens one of its collections as the program's discovery does.
    DeviceLink& Open(VirtualModel model) {
        EXPECT_EQ(m_hub->Plug(model), 1);
        const bool receiver = ModelInfo(model).transport == Transport::Receiver;
        auto link = std::make_unique<DeviceLink>();
        {
            std::lock_guard<std::recursive_mutex> lock(link->TransferLock());
            HidLink& hid = receiver ? link->WirelessLink() : link->WiredLink();
            EXPECT_TRUE(hid.Open(m_hub->LinkPath(model, kCommandCollection), true, true, true, false));
        }
        link->SetConnected(true);
        link->SetLinkMode(receiver ? kLinkModeWireless : kLinkModeWired);
        if (receiver) {
            EXPECT_TRUE(link->QueryWirelessDevice());
        }
        m_links.push_back(std::move(link));
        return *m_links.back();
    }

    // Closes the links, then stops the hub (as the program closes its pages before the devices).
    void Stop() {
        for (auto& link : m_links) {
            link->SetConnected(false);
            std::lock_guard<std::recursive_mutex> lock(link->TransferLock());
            link->WiredLink().Close();
            link->WirelessLink().Close();
        }
        m_links.clear();
        m_hub.reset();
    }

    VirtualDeviceHub& Hub() { return *m_hub; }
    int Loaded() const { return m_loaded; }

private:
    TempDir m_nodes;
    std::unique_ptr<VirtualDeviceHub> m_hub;
    std::vector<std::unique_ptr<DeviceLink>> m_links;
    int m_loaded = 0;
};

class DeviceMemoryTest : public ::testing::Test {
protected:
    std::string KeyboardFile() const { return m_state.path + "/keyboard.json"; }
    std::string MouseFile() const { return m_state.path + "/mouse.json"; }

    TempDir m_state;
};

KeyboardBlock KeyboardLighting(uint8_t mode, uint8_t brightness, uint8_t red) {
    KeyboardSettings settings;
    settings.profile = 2;  // byte 0 of block 0: the active profile
    settings.light = {mode, brightness, 1, 0, 0, red, 20, 30};
    settings.system.pollingRate = 1;
    return BuildKeyboardBlock(settings, kModeTable);
}

TEST_F(DeviceMemoryTest, WhatTheProgramWroteIsThereAfterARestart) {
    const KeyboardBlock keyboardBlock = KeyboardLighting(7, 2, 200);
    std::vector<uint8_t> keyTable;
    std::vector<uint8_t> colours(kKeyColourStride);
    for (size_t i = 0; i < colours.size(); ++i) colours[i] = static_cast<uint8_t>(i * 7);
    std::vector<uint8_t> macroImage;
    ASSERT_TRUE(
        BuildMacroImage(std::vector<MacroSlotEvents>{{{20, 1, true, 4}, {20, 1, false, 4}}}, &macroImage));
    MouseSettings mouse;
    mouse.light = {2, 4, 0, 0, 0, 1, 2, 3};
    mouse.activeStage = 1;
    mouse.stages[0] = {1, 0, 800, 800, 255, 0, 0};
    mouse.stages[1] = {1, 0, 3200, 3200, 0, 255, 0};
    const MouseBlock mouseBlock = BuildMouseBlock(mouse, kModeTable);
    {
        // A long save delay: only the write at stop can have put the memory on disk.
        DevicesRun first(m_state.path, false, 60s);
        ASSERT_EQ(first.Loaded(), 1);
        DeviceLink& keyboard = first.Open(VirtualModel::KeyboardWired);
        DeviceInfo info;
        ASSERT_EQ(keyboard.ReadDeviceInfo(&info), 1);
        ASSERT_EQ(keyboard.SetBlockSize(info.KeyTableLength()), 1);
        keyTable.resize(info.KeyTableLength());
        ASSERT_EQ(keyboard.ReadKeyTable(keyTable), 1);
        keyTable[3 * 5] = 0x02;  // slot 5 becomes a mouse function
        keyTable[3 * 5 + 1] = 0x01;
        ASSERT_EQ(keyboard.BeginConfig(), 1);
        ASSERT_EQ(keyboard.WriteConfig(keyboardBlock, 0), 1);
        ASSERT_EQ(keyboard.WriteConfig(keyboardBlock, 2 * kKeyboardBlockStride), 1);
        ASSERT_EQ(keyboard.WriteKeyTable(keyTable, 0), 1);
        ASSERT_EQ(keyboard.WriteKeyColours(colours, 3, kKeyColourStride), 1);
        ASSERT_EQ(keyboard.WriteMacros(macroImage), 1);
        ASSERT_EQ(keyboard.EndConfig(), 1);

        DeviceLink& receiver = first.Open(VirtualModel::MouseReceiver);
        ASSERT_EQ(receiver.BeginConfig(), 1);
        ASSERT_EQ(receiver.WriteConfig(mouseBlock, 0), 1);
        ASSERT_EQ(receiver.EndConfig(), 1);
        EXPECT_FALSE(Exists(KeyboardFile()));
        first.Stop();
    }
    ASSERT_TRUE(Exists(KeyboardFile()));
    ASSERT_TRUE(Exists(MouseFile()));

    DevicesRun second(m_state.path);
    ASSERT_EQ(second.Loaded(), 1);
    EXPECT_TRUE(second.Hub().StateProblems().empty());
    // Read back as the program reads at connection, through the other node of each device.
    DeviceLink& keyboard = second.Open(VirtualModel::KeyboardReceiver);
    std::array<uint8_t, 1> active{};
    ASSERT_EQ(keyboard.ReadConfig(active, 0), 1);
    EXPECT_EQ(active[0], 2);
    std::vector<uint8_t> block(kKeyboardBlockLength);
    ASSERT_EQ(keyboard.ReadConfig(block, active[0] * kKeyboardBlockStride), 1);
    const KeyboardSettings settings = ParseKeyboardBlock(block, kModeTable);
    EXPECT_EQ(settings.light.selectItem, 7);
    EXPECT_EQ(settings.light.light, 2);
    EXPECT_EQ(settings.light.red, 200);
    ASSERT_EQ(keyboard.SetBlockSize(static_cast<uint16_t>(keyTable.size())), 1);
    std::vector<uint8_t> keysBack(keyTable.size());
    ASSERT_EQ(keyboard.ReadKeyTable(keysBack), 1);
    EXPECT_EQ(keysBack, keyTable);
    VirtualFirmware& keyboardFirmware = second.Hub().Firmware(VirtualModel::KeyboardWired);
    EXPECT_EQ(keyboardFirmware.KeyColours(3), colours);
    EXPECT_EQ(keyboardFirmware.KeyColours(2), std::vector<uint8_t>(kKeyColourStride, 0));
    EXPECT_EQ(keyboardFirmware.Macros().state, ImageState::Valid);
    EXPECT_EQ(keyboardFirmware.Macros().bytes, macroImage);

    DeviceLink& mouseLink = second.Open(VirtualModel::MouseWired);
    std::vector<uint8_t> mouseBack(kMouseBlockReadLength);
    ASSERT_EQ(mouseLink.ReadConfig(mouseBack, 0), 1);
    EXPECT_EQ(ParseMouseBlock(mouseBack, kModeTable).stages[1].dpiX, 3200);
    EXPECT_EQ(ParseMouseBlock(mouseBack, kModeTable).activeStage, 1);
    // Devices nobody wrote to start from factory memory and need no file.
    EXPECT_EQ(second.Hub().Firmware(VirtualModel::Mousepad).Config(),
              BuildFactoryConfig(BuildFirmwareLayout(FirmwareKind::Mousepad)));
    EXPECT_FALSE(Exists(m_state.path + "/mousepad.json"));
}

TEST_F(DeviceMemoryTest, AChangeIsWrittenSoonWhileTheDevicesRun) {
    DevicesRun run(m_state.path, false, 50ms);
    DeviceLink& keyboard = run.Open(VirtualModel::KeyboardWired);
    ASSERT_EQ(keyboard.WriteConfig(KeyboardLighting(4, 3, 99), 0), 1);
    // The file appears while the hub still runs (a killed program keeps what was saved by then).
    const auto deadline = std::chrono::steady_clock::now() + 3s;
    FirmwareMemory saved;
    std::string problem;
    while (std::chrono::steady_clock::now() < deadline &&
           !ParseFirmwareMemory(ReadFile(KeyboardFile()), FirmwareKind::Keyboard, saved, problem)) {
        std::this_thread::sleep_for(20ms);
    }
    ASSERT_EQ(saved.config.size(), 8u * kKeyboardBlockStride) << problem;
    EXPECT_EQ(saved.config[0], 2);
    // No temporary file is left beside it.
    run.Stop();
    int entries = 0;
    for (const char* name : {"keyboard.json", "mouse.json", "mousepad.json", "headset.json"})
        entries += Exists(m_state.path + "/" + name) ? 1 : 0;
    EXPECT_EQ(entries, 1);
    EXPECT_EQ(std::system(("test -z \"$(ls " + m_state.path + " | grep tmp)\"").c_str()), 0);
}

TEST_F(DeviceMemoryTest, AStateFileThatCannotBeUsedGivesFactoryMemory) {
    // A good file to damage: the keyboard with a changed active profile.
    {
        DevicesRun run(m_state.path);
        DeviceLink& keyboard = run.Open(VirtualModel::KeyboardWired);
        ASSERT_EQ(keyboard.WriteConfig(KeyboardLighting(4, 3, 99), 0), 1);
    }
    const std::string good = ReadFile(KeyboardFile());
    ASSERT_FALSE(good.empty());
    const std::vector<uint8_t> factory = BuildFactoryConfig(BuildFirmwareLayout(FirmwareKind::Keyboard));

    std::string shortTable = good;
    const size_t config = shortTable.find("\"config\" : \"");
    ASSERT_NE(config, std::string::npos);
    shortTable.erase(config + 12, 2);  // one byte fewer of settings memory

    const std::vector<std::pair<std::string, std::string>> damaged = {
        {"cut off", good.substr(0, good.size() / 2)},
        {"empty", ""},
        {"binary", std::string("\0\xff\x01garbage", 10)},
        {"short table", shortTable},
        {"another device", std::string(good).replace(good.find("\"keyboard\""), 10, "\"mouse\"")},
        {"nested past the reader's limit", std::string(20000, '[') + std::string(20000, ']')},
    };
    for (const auto& [what, text] : damaged) {
        SCOPED_TRACE(what);
        WriteFile(KeyboardFile(), text);
        {
            DevicesRun run(m_state.path);
            ASSERT_EQ(run.Loaded(), 1);
            ASSERT_EQ(run.Hub().StateProblems().size(), 1u);
            EXPECT_NE(run.Hub().StateProblems()[0].find("keyboard.json"), std::string::npos);
            EXPECT_EQ(run.Hub().Firmware(VirtualModel::KeyboardWired).Config(), factory);
            // The damaged file is kept aside, and the device answers as usual.
            EXPECT_EQ(ReadFile(KeyboardFile() + ".corrupt"), text);
            EXPECT_FALSE(Exists(KeyboardFile()));
            DeviceLink& keyboard = run.Open(VirtualModel::KeyboardWired);
            std::array<uint8_t, 1> active{};
            EXPECT_EQ(keyboard.ReadConfig(active, 0), 1);
            EXPECT_EQ(active[0], 0);
        }
        // Reported once: the next start finds no file and says nothing.
        DevicesRun again(m_state.path);
        EXPECT_TRUE(again.Hub().StateProblems().empty());
    }
}

TEST_F(DeviceMemoryTest, FactoryResetOnCommandAndAtStart) {
    const std::vector<uint8_t> keyboardFactory =
        BuildFactoryConfig(BuildFirmwareLayout(FirmwareKind::Keyboard));
    {
        DevicesRun run(m_state.path, false, 60s);
        DeviceLink& keyboard = run.Open(VirtualModel::KeyboardWired);
        DeviceLink& mouse = run.Open(VirtualModel::MouseWired);
        ASSERT_EQ(keyboard.WriteConfig(KeyboardLighting(4, 3, 99), 0), 1);
        MouseSettings settings;
        settings.stages[0] = {1, 0, 1200, 1200, 255, 0, 0};
        ASSERT_EQ(mouse.WriteConfig(BuildMouseBlock(settings, kModeTable), 0), 1);
        const std::vector<uint8_t> mouseWritten = run.Hub().Firmware(VirtualModel::MouseWired).Config();

        // The program's notification reader on the keyboard's receiver hears the reset.
        ASSERT_EQ(run.Hub().Plug(VirtualModel::KeyboardReceiver), 1);
        HidLink notifications;
        ASSERT_TRUE(notifications.Open(run.Hub().LinkPath(VirtualModel::KeyboardReceiver, kNotifyCollection),
                                       true, false, true, false));
        ControlConsole console(run.Hub());
        bool quit = false;
        EXPECT_EQ(console.Execute("factory-reset keyboard-receiver", quit), "ok");
        EXPECT_EQ(run.Hub().Firmware(VirtualModel::KeyboardWired).Config(), keyboardFactory);
        EXPECT_EQ(run.Hub().Firmware(VirtualModel::MouseWired).Config(), mouseWritten);
        // Written at once, not after the (long) save delay.
        FirmwareMemory saved;
        std::string problem;
        ASSERT_TRUE(ParseFirmwareMemory(ReadFile(KeyboardFile()), FirmwareKind::Keyboard, saved, problem))
            << problem;
        EXPECT_EQ(saved.config, keyboardFactory);
        std::vector<uint8_t> report(64);
        size_t got = 0;
        ASSERT_TRUE(notifications.Read(report.data(), report.size(), &got, 2000));
        ASSERT_GE(got, 3u);
        EXPECT_EQ(report[1] | report[2] << 8, 0x401);
        notifications.Close();

        EXPECT_EQ(console.Execute("factory-reset toaster", quit), "error: unknown device toaster");
    }
    // The mouse kept its memory through the keyboard's reset; a start with the reset option
    // ignores the files and writes factory memory into them.
    DevicesRun kept(m_state.path);
    EXPECT_EQ(ParseMouseBlock(kept.Hub().Firmware(VirtualModel::MouseWired).ConfigBlock(0), kModeTable)
                  .stages[0]
                  .dpiX,
              1200);
    kept.Stop();
    DevicesRun reset(m_state.path, true);
    EXPECT_EQ(reset.Hub().Firmware(VirtualModel::MouseWired).Config(),
              BuildFactoryConfig(BuildFirmwareLayout(FirmwareKind::Mouse)));
    FirmwareMemory saved;
    std::string problem;
    ASSERT_TRUE(ParseFirmwareMemory(ReadFile(MouseFile()), FirmwareKind::Mouse, saved, problem)) << problem;
    EXPECT_EQ(saved.config, BuildFactoryConfig(BuildFirmwareLayout(FirmwareKind::Mouse)));
}

TEST_F(DeviceMemoryTest, AnUnwritableStateFolderLeavesTheDevicesWorking) {
    const std::string blocked = m_state.path + "/file";
    WriteFile(blocked, "x");
    DevicesRun run(blocked + "/virtual-devices");
    EXPECT_EQ(run.Loaded(), 0);
    EXPECT_EQ(run.Hub().StateProblems().size(), 1u);
    DeviceLink& keyboard = run.Open(VirtualModel::KeyboardWired);
    EXPECT_EQ(keyboard.WriteConfig(KeyboardLighting(4, 3, 99), 0), 1);
    EXPECT_EQ(run.Hub().FlushState(), 0);
}

}  // namespace
