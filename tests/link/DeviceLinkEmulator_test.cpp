// Command sequences of the device classes run against the emulated firmware, through the real
// virtual transport.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "emulator/VirtualDeviceHub.h"
#include "link/DeviceLink.h"
#include "link/KeyTableRecords.h"
#include "link/MacroImageBlock.h"
#include "link/SettingsBlocks.h"
#include "link/StatusRecord.h"
#include "support/EmulatorLinkTest.h"
#include "support/VirtualNodePlayer.h"

using vx::emulator::ImageRecord;
using vx::emulator::ImageState;
using vx::emulator::ModelInfo;
using vx::emulator::ReceivedReport;
using vx::emulator::Transport;
using vx::emulator::VirtualDeviceHub;
using vx::emulator::VirtualFirmware;
using vx::emulator::VirtualModel;
using vx::link::BuildColourTable;
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
using vx::link::Rgb;
using vx::link::StatusRecord;
using vx::link::kKeyColourGroupStride;
using vx::link::kKeyboardBlockLength;
using vx::link::kKeyboardBlockStride;
using vx::link::kLinkModeWired;
using vx::link::kLinkModeWireless;
using vx::link::kMouseBlockReadLength;

namespace {

const std::vector<uint8_t> kModeTable = {0x00, 0x01, 0x02, 0x03, 0x04, 0x05,
                                         0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B};

class DeviceLinkEmulatorTest : public vxtest::EmulatorLinkTest {
protected:

};

TEST_F(DeviceLinkEmulatorTest, KeyboardReadsItsTablesAfterConnection) {
    DeviceLink& link = Open(VirtualModel::KeyboardWired);
    ASSERT_EQ(link.BeginConfig(), 1);
    DeviceInfo info;
    ASSERT_EQ(link.ReadDeviceInfo(&info), 1);
    const auto capability = Firmware(VirtualModel::KeyboardWired).Capability();
    EXPECT_TRUE(std::equal(capability.begin(), capability.end(), info.Bytes().begin()));
    ASSERT_GT(info.KeySlots(), 0);
    ASSERT_EQ(link.SetBlockSize(info.KeyTableLength()), 1);
    std::vector<uint8_t> keys(info.KeyTableLength());
    std::vector<uint8_t> leds(info.LedMapLength());
    EXPECT_EQ(link.ReadKeyTable(keys), 1);
    EXPECT_EQ(link.ReadLedMap(leds), 1);
    EXPECT_EQ(link.EndConfig(), 1);
    EXPECT_EQ(keys, Firmware(VirtualModel::KeyboardWired).KeyTable());
    EXPECT_EQ(leds, Firmware(VirtualModel::KeyboardWired).LedMap());
    EXPECT_FALSE(Firmware(VirtualModel::KeyboardWired).InConfigSession());
}

TEST_F(DeviceLinkEmulatorTest, SettingsWrittenOnTheCableAreReadThroughTheReceiver) {
    DeviceLink& cable = Open(VirtualModel::KeyboardWired);
    KeyboardSettings settings;
    settings.light = {5, 3, 1, 0, 1, 10, 20, 30};
    settings.system.pollingRate = 2;
    settings.light.customGroup = 1;
    const KeyboardBlock block = BuildKeyboardBlock(settings, kModeTable);
    ASSERT_EQ(cable.BeginConfig(), 1);
    ASSERT_EQ(cable.WriteConfig(block, 0), 1);
    ASSERT_EQ(cable.EndConfig(), 1);
    EXPECT_EQ(Firmware(VirtualModel::KeyboardWired).ConfigBlock(0),
              std::vector<uint8_t>(block.begin(), block.end()));

    DeviceLink& receiver = Open(VirtualModel::KeyboardReceiver);
    ASSERT_TRUE(receiver.QueryWirelessDevice());
    std::array<uint8_t, 1> active{};
    ASSERT_EQ(receiver.ReadConfig(active, 0), 1);
    std::vector<uint8_t> back(kKeyboardBlockLength);
    ASSERT_EQ(receiver.ReadConfig(back, active[0] * kKeyboardBlockStride), 1);
    const KeyboardSettings parsed = ParseKeyboardBlock(back, kModeTable);
    EXPECT_EQ(parsed.light.selectItem, 5);
    EXPECT_EQ(parsed.light.speed, 1);
    EXPECT_EQ(parsed.light.blue, 30);
    EXPECT_EQ(parsed.system.pollingRate, 2);
}

TEST_F(DeviceLinkEmulatorTest, SleepingDeviceBehindItsReceiver) {
    DeviceLink& link = Open(VirtualModel::MouseReceiver);
    ASSERT_TRUE(link.QueryWirelessDevice());
    ASSERT_EQ(m_hub->SetAsleep(VirtualModel::MouseReceiver, true), 1);
    EXPECT_FALSE(link.QueryWirelessDevice());
    EXPECT_EQ(link.BeginConfig(), -101);
    ASSERT_EQ(m_hub->SetAsleep(VirtualModel::MouseReceiver, false), 1);
    EXPECT_TRUE(link.QueryWirelessDevice());
    EXPECT_EQ(link.BeginConfig(), 1);
    EXPECT_EQ(link.EndConfig(), 1);
}

TEST_F(DeviceLinkEmulatorTest, MouseBlockAndShootDataThroughTheReceiver) {
    DeviceLink& link = Open(VirtualModel::MouseReceiver);
    MouseSettings settings;
    settings.light = {2, 4, 0, 0, 0, 1, 2, 3};
    settings.activeStage = 1;
    settings.stages[0] = {1, 0, 800, 800, 255, 0, 0};
    settings.stages[1] = {1, 0, 1600, 1600, 0, 255, 0};
    settings.screenWidth = 1920;
    settings.screenHeight = 1080;
    const MouseBlock block = BuildMouseBlock(settings, kModeTable);
    ASSERT_EQ(link.BeginConfig(), 1);
    ASSERT_EQ(link.WriteConfig(block, 0), 1);
    ASSERT_EQ(link.EndConfig(), 1);
    std::vector<uint8_t> back(kMouseBlockReadLength);
    ASSERT_EQ(link.ReadConfig(back, 0), 1);
    EXPECT_TRUE(std::equal(block.begin(), block.end(), back.begin()));
    EXPECT_EQ(ParseMouseBlock(back, kModeTable).stages[1].dpiX, 1600);

    const std::vector<MacroSlotEvents> shoot = {
        {{10, 1, true, 0}, {10, 1, false, 0}}, {{5, 2, true, 1}}, {{5, 2, false, 1}}, {}};
    std::vector<uint8_t> image;
    ASSERT_TRUE(BuildMacroImage(shoot, &image));
    Firmware(VirtualModel::MouseReceiver).ClearReceived();
    ASSERT_EQ(link.BeginConfig(), 1);
    EXPECT_EQ(link.WriteShootData(image), 1);
    EXPECT_EQ(link.EndConfig(), 1);
    const ImageRecord stored = Firmware(VirtualModel::MouseReceiver).Shoot();
    EXPECT_EQ(stored.state, ImageState::Valid);
    EXPECT_EQ(stored.bytes, image);
    for (const ReceivedReport& report : Firmware(VirtualModel::MouseReceiver).Received()) {
        if (report.bytes.size() > 4 && report.bytes[3] == 0x17) {
            EXPECT_EQ(report.bytes[4],
                      std::min<size_t>(56, image.size() - (report.bytes[5] | report.bytes[6] << 8)));
        }
    }
}

TEST_F(DeviceLinkEmulatorTest, MacroImageIsAcceptedByTheFirmware) {
    DeviceLink& link = Open(VirtualModel::KeyboardWired);
    const std::vector<MacroSlotEvents> macros = {
        {{0, 1, true, 0x04}, {50, 1, false, 0x04}, {20, 1, true, 0x05}, {50, 1, false, 0x05}},
        {{0, 2, true, 0x01}, {30, 2, false, 0x01}},
    };
    DeviceInfo info;
    ASSERT_EQ(link.BeginConfig(), 1);
    ASSERT_EQ(link.ReadDeviceInfo(&info), 1);
    std::vector<uint8_t> image;
    ASSERT_TRUE(BuildMacroImage(macros, &image, info.MacroCapacityBytes()));
    EXPECT_EQ(link.WriteMacros(image), 1);
    EXPECT_EQ(link.EndConfig(), 1);
    const ImageRecord stored = Firmware(VirtualModel::KeyboardWired).Macros();
    EXPECT_EQ(stored.state, ImageState::Valid);
    EXPECT_EQ(stored.bytes, image);
}

TEST_F(DeviceLinkEmulatorTest, SoftwareLightingStreamAndKeyColours) {
    DeviceLink& link = Open(VirtualModel::KeyboardWired);
    DeviceInfo info;
    ASSERT_EQ(link.ReadDeviceInfo(&info), 1);
    ASSERT_EQ(link.EnterSoftwareLighting(), 1);
    EXPECT_TRUE(Firmware(VirtualModel::KeyboardWired).SoftwareLighting());
    std::vector<Rgb> colours(info.KeySlots());
    for (size_t i = 0; i < colours.size(); ++i) colours[i] = Rgb{uint8_t(i), uint8_t(2 * i), 7};
    const std::vector<uint8_t> frame = BuildColourTable(colours, info.KeySlots());
    EXPECT_EQ(link.StreamLighting(frame), 1);
    EXPECT_EQ(Firmware(VirtualModel::KeyboardWired).LastStreamFrame(), frame);
    EXPECT_EQ(link.WriteKeyColours(frame, 1, kKeyColourGroupStride), 1);
    const std::vector<uint8_t> group = Firmware(VirtualModel::KeyboardWired).KeyColours(1);
    ASSERT_GE(group.size(), frame.size());
    EXPECT_TRUE(std::equal(frame.begin(), frame.end(), group.begin()));
}

TEST_F(DeviceLinkEmulatorTest, StatusRecordCarriesTheBattery) {
    DeviceLink& link = Open(VirtualModel::KeyboardReceiver);
    ASSERT_EQ(m_hub->SetBattery(VirtualModel::KeyboardReceiver, 63, 1), 1);
    ASSERT_TRUE(link.QueryWirelessDevice());
    std::array<uint8_t, StatusRecord::kLength> bytes{};
    ASSERT_EQ(link.ReadStatus(bytes, 0), 1);
    const StatusRecord status = StatusRecord::Parse(bytes, link.IsWireless());
    EXPECT_EQ(status.batteryPercent, 63);
    EXPECT_EQ(status.chargeState, 1);
    EXPECT_EQ(status.wireless, 1);
}

TEST_F(DeviceLinkEmulatorTest, UnplugEndsTransfersPromptly) {
    DeviceLink& link = Open(VirtualModel::MouseReceiver);
    ASSERT_EQ(m_hub->Unplug(VirtualModel::MouseReceiver), 1);
    const auto start = std::chrono::steady_clock::now();
    std::vector<uint8_t> block(kMouseBlockReadLength);
    EXPECT_NE(link.ReadConfig(block, 0), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
}

}  // namespace
