// The protocol side of each device kind against the virtual devices, with no page and no Qt:
// what a write leaves in the device's memory, what a read makes of a change made on the device,
// and what a device that stops answering costs.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "devices/protocol/KeyboardProtocol.h"
#include "devices/protocol/MousePadProtocol.h"
#include "devices/protocol/MouseProtocol.h"
#include "emulator/FirmwareKeyTable.h"
#include "emulator/VirtualDeviceHub.h"
#include "link/SettingsBlocks.h"
#include "support/EmulatorLinkTest.h"
#include "support/VirtualNodePlayer.h"

using vx::emulator::FirmwareMemory;
using vx::emulator::ImageState;
using vx::emulator::ReceivedReport;
using vx::emulator::SlotFunction;
using vx::emulator::Transport;
using vx::emulator::VirtualDeviceHub;
using vx::emulator::VirtualFirmware;
using vx::emulator::VirtualModel;
using vx::emulator::kVirtualKeyboardSlots;
using vx::link::BuildKeyboardBlock;
using vx::link::DeviceLink;
using vx::link::HidLink;
using vx::link::KeyboardBlock;
using vx::link::MacroEventRecord;
using vx::link::MacroImageLength;
using vx::link::MacroSlotEvents;
using vx::link::ModeCodeToIndex;
using vx::link::MouseBlock;
using vx::link::StatusRecord;
using vx::link::kFrameCommand;
using vx::link::kLinkModeWired;
using vx::link::kLinkModeWireless;
using vx::link::kLinkNoReply;
using vx::link::kLinkOk;
using vx::link::kMouseBlockReadLength;
using vx::link::kWiredTimeoutMs;
using vx::profiles::KeyEntry;
using vx::profiles::kKeyTypeMacro;

namespace {

using vx::devices::KeyboardProtocol;
using vx::devices::MousePadProtocol;
using vx::devices::MouseProtocol;

// Mode codes as a light-mode table holds them: index i → code 0x40 + i, so that a code can never
// be mistaken for its index.
const std::vector<uint8_t> kModeCodes = [] {
    std::vector<uint8_t> codes;
    for (uint8_t i = 0; i < 32; ++i) codes.push_back(static_cast<uint8_t>(0x40 + i));
    return codes;
}();

class ProtocolEmulatorTest : public vxtest::EmulatorLinkTest {
protected:
    // Command bytes the device received since the last ClearReceived.
    std::vector<uint8_t> Commands(VirtualModel model) {
        std::vector<uint8_t> commands;
        for (const ReceivedReport& report : Firmware(model).Received())
            if (report.bytes.size() > kFrameCommand) commands.push_back(report.bytes[kFrameCommand]);
        return commands;
    }

    // A change made on the device itself: its memory takes these bytes of the configuration.
    void ChangeOnDevice(VirtualModel model, size_t offset, const std::vector<uint8_t>& bytes) {
        FirmwareMemory memory = Firmware(model).Memory();
        ASSERT_LE(offset + bytes.size(), memory.config.size());
        std::copy(bytes.begin(), bytes.end(), memory.config.begin() + offset);
        ASSERT_EQ(Firmware(model).RestoreMemory(memory), "");
    }
};

KeyboardSettings SomeKeyboardSettings() {
    KeyboardSettings settings;
    settings.light.selectItem = 5;
    settings.light.light = 3;
    settings.light.speed = 1;
    settings.light.fx = 1;
    settings.light.multiColor = 0;
    settings.light.red = 0x12;
    settings.light.green = 0x34;
    settings.light.blue = 0x56;
    settings.light.customGroup = 2;
    settings.system.winFlag = 1;
    settings.system.key6Flag = 1;
    settings.system.pollingRate = 2;
    return settings;
}

// ---- keyboard ----

TEST_F(ProtocolEmulatorTest, KeyboardIdentifiesItsKeysAgainstTheDevicesOwnTable) {
    // Two keys the keyboard lacks: they must come out without a slot, every other key of the
    // device's own list at the slot the device keeps it in.
    const std::vector<size_t> missing = {kVirtualKeyboardSlots[3].key, kVirtualKeyboardSlots[40].key};
    Firmware(VirtualModel::KeyboardWired).SetMissingKeys(missing);
    KeyboardProtocol keyboard(Open(VirtualModel::KeyboardWired));
    ASSERT_EQ(keyboard.ReadKeyTables(), kLinkOk);
    EXPECT_EQ(keyboard.Capability().Bytes(), Firmware(VirtualModel::KeyboardWired).Capability());
    EXPECT_FALSE(Firmware(VirtualModel::KeyboardWired).InConfigSession());

    const std::vector<uint8_t> leds = Firmware(VirtualModel::KeyboardWired).LedMap();
    size_t identified = 0;
    for (size_t slot = 0; slot < kVirtualKeyboardSlots.size(); ++slot) {
        const uint8_t key = kVirtualKeyboardSlots[slot].key;
        if (std::find(missing.begin(), missing.end(), key) != missing.end()) {
            EXPECT_EQ(keyboard.KeySlotMap()[key], KeyboardProtocol::kNoSlot) << "key " << int(key);
            EXPECT_EQ(keyboard.KeyLedMap()[key], KeyboardProtocol::kNoSlot) << "key " << int(key);
            continue;
        }
        const uint8_t found = keyboard.KeySlotMap()[key];
        ASSERT_NE(found, KeyboardProtocol::kNoSlot) << "key " << int(key);
        // A slot the device reports with this key's function, and its LED.
        EXPECT_EQ(Firmware(VirtualModel::KeyboardWired).KeySlot(found), kVirtualKeyboardSlots[slot].function);
        EXPECT_EQ(keyboard.KeyLedMap()[key], leds.at(found));
        ++identified;
    }
    EXPECT_EQ(identified, kVirtualKeyboardSlots.size() - missing.size());
}

TEST_F(ProtocolEmulatorTest, KeyboardSettingsReachTheDeviceByteForByteAndComeBackAfterAChangeOnIt) {
    KeyboardProtocol keyboard(Open(VirtualModel::KeyboardWired));
    const KeyboardSettings settings = SomeKeyboardSettings();
    ASSERT_EQ(keyboard.WriteSettings(settings, kModeCodes), kLinkOk);

    const std::vector<uint8_t> stored = Firmware(VirtualModel::KeyboardWired).ConfigBlock(0);
    const KeyboardBlock expected = BuildKeyboardBlock(settings, kModeCodes);
    ASSERT_GE(stored.size(), expected.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), stored.begin()));
    // The device holds the mode's code and the inverted speed, never the page's index and level.
    EXPECT_EQ(stored[1], 0x45);
    EXPECT_EQ(stored[3], 4 - 1);
    EXPECT_FALSE(Firmware(VirtualModel::KeyboardWired).InConfigSession());

    // The user switches to profile 2 on the keyboard and its block there differs.
    const uint16_t code = Firmware(VirtualModel::KeyboardWired).ChangeProfileOnDevice(2, -1);
    const auto change = vx::devices::DeviceProtocol::DecodeProfileChange(code);
    ASSERT_TRUE(change.has_value());
    EXPECT_EQ(change->profile, 2);
    EXPECT_FALSE(change->extra.has_value());
    ChangeOnDevice(VirtualModel::KeyboardWired, 2 * KeyboardProtocol::kBlockStride + 1,
                   {0x47, 4, 4 - 3, 0, 1, 0xAA, 0xBB, 0xCC});
    std::vector<uint8_t> block;
    ASSERT_EQ(keyboard.ReadSettings(&block), kLinkOk);
    ASSERT_EQ(block.size(), KeyboardProtocol::kBlockLength);
    EXPECT_EQ(block[0], 2);
    // The page turns the code back into its index before it takes the light record.
    block[1] = static_cast<uint8_t>(ModeCodeToIndex(kModeCodes, block[1]));
    LightInfo previous;
    previous.oldLedmode = 9;
    const LightInfo light = KeyboardProtocol::LightFromBlock(block, previous);
    EXPECT_EQ(light.selectItem, 7);
    EXPECT_EQ(light.light, 4);
    EXPECT_EQ(light.speed, 3);
    EXPECT_EQ(light.multiColor, 1);
    EXPECT_EQ(light.red, 0xAA);
    EXPECT_EQ(light.green, 0xBB);
    EXPECT_EQ(light.blue, 0xCC);
    EXPECT_EQ(light.oldLedmode, 9);  // not in the block: kept
}

TEST_F(ProtocolEmulatorTest, KeyboardKeyAndMacroWritesNeedTheirBaseAndFitTheMemory) {
    KeyboardProtocol keyboard(Open(VirtualModel::KeyboardWired));
    std::vector<KeyEntry> keys(KeyboardProtocol::kLogicalKeys);
    // Before the key table was read nothing may be written: it would wipe the assignments.
    Firmware(VirtualModel::KeyboardWired).ClearReceived();
    EXPECT_EQ(keyboard.WriteKeyAssignments(0, keys, 0), vx::devices::kWriteNoBase);
    const auto before = Commands(VirtualModel::KeyboardWired);
    EXPECT_EQ(std::count(before.begin(), before.end(), 0x09), 0);

    ASSERT_EQ(keyboard.ReadKeyTables(), kLinkOk);
    const uint8_t key = kVirtualKeyboardSlots[10].key;
    const uint8_t slot = keyboard.KeySlotMap()[key];
    ASSERT_NE(slot, KeyboardProtocol::kNoSlot);
    for (size_t j = 0; j < keys.size(); ++j) {
        const uint8_t s = keyboard.KeySlotMap()[j];
        if (s == KeyboardProtocol::kNoSlot) continue;
        const auto& table = keyboard.KeyTable();
        keys[j].current = {static_cast<uint16_t>(j), table[s * 3], table[s * 3 + 1], table[s * 3 + 2]};
        keys[j].defaults = keys[j].current;
    }
    // Macro 3 of 4 becomes the device's macro 0, the first (and only) one used.
    keys[key].current = {key, kKeyTypeMacro, 3, 0};
    ASSERT_EQ(keyboard.WriteKeyAssignments(0, keys, 4), kLinkOk);
    EXPECT_EQ(Firmware(VirtualModel::KeyboardWired).KeySlot(slot), (SlotFunction{kKeyTypeMacro, 0, 0}));

    // An image beyond the device's memory is refused whole, with the events to remove.
    const size_t capacity = keyboard.Capability().MacroCapacityBytes();
    ASSERT_GT(capacity, 0u);
    std::vector<MacroSlotEvents> macros(1, MacroSlotEvents(capacity / 4, MacroEventRecord{}));
    Firmware(VirtualModel::KeyboardWired).ClearReceived();
    EXPECT_EQ(keyboard.WriteMacroMemory(macros), vx::devices::kWriteTooLarge);
    EXPECT_EQ(keyboard.EventsOver(), (MacroImageLength(macros) - capacity) / 4 + 1);
    const auto refused = Commands(VirtualModel::KeyboardWired);
    EXPECT_EQ(std::count(refused.begin(), refused.end(), 0x15), 0);

    macros[0].resize(3, MacroEventRecord{20, 1, true, 4});
    EXPECT_EQ(keyboard.WriteMacroMemory(macros), kLinkOk);
    EXPECT_EQ(keyboard.EventsOver(), 0u);
    EXPECT_EQ(Firmware(VirtualModel::KeyboardWired).Macros().state, ImageState::Valid);
    EXPECT_EQ(keyboard.WriteMacroMemory({}), kLinkOk);  // nothing to write is no failure
}

// ---- mouse and mousepad ----

TEST_F(ProtocolEmulatorTest, MouseSettingsReachTheDeviceAndASleepingMouseCostsOnlyTheQuery) {
    MouseProtocol mouse(Open(VirtualModel::MouseReceiver));
    ASSERT_EQ(mouse.ReadKeyTables(), kLinkOk);
    MouseBlockSource source;
    source.stages.resize(5);
    for (size_t i = 0; i < 5; ++i) {
        source.stages[i].active = 1;
        source.stages[i].dpiX = source.stages[i].dpiY = static_cast<uint16_t>(400 * (i + 1));
        source.stages[i].red = static_cast<uint8_t>(i);
    }
    source.activeStage = 3;
    source.system.reportStage = 2;
    source.light.selectItem = 2;
    source.light.speed = 0;
    source.screenWidth = 1920;
    source.screenHeight = 1080;
    ASSERT_EQ(mouse.WriteSettings(source, kModeCodes, 0, 1), kLinkOk);
    const std::vector<uint8_t> stored = Firmware(VirtualModel::MouseReceiver).ConfigBlock(0);
    MouseBlock expected = BuildMouseSettingsBlock(source, kModeCodes);
    expected[59] = 1;
    ASSERT_GE(stored.size(), expected.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), stored.begin()));
    EXPECT_EQ(stored[1], 0x42);
    EXPECT_EQ(stored[3], 4);

    // Read back: the profile number first, then the block as the device keeps it.
    std::vector<uint8_t> raw;
    ASSERT_EQ(mouse.ReadSettings(&raw), kLinkOk);
    ASSERT_EQ(raw.size(), 1 + kMouseBlockReadLength);
    EXPECT_EQ(raw[0], 0);
    EXPECT_TRUE(std::equal(expected.begin() + 1, expected.end(), raw.begin() + 2));

    // Profile 1 and DPI stage 3 chosen on the mouse: the notification names both, and the block
    // read afterwards is profile 1's with that stage active.
    const uint16_t code = Firmware(VirtualModel::MouseReceiver).ChangeProfileOnDevice(1, 3);
    const auto change = vx::devices::DeviceProtocol::DecodeProfileChange(code);
    ASSERT_TRUE(change.has_value());
    EXPECT_EQ(change->profile, 1);
    EXPECT_EQ(change->extra, std::optional<uint8_t>(3));
    EXPECT_FALSE(vx::devices::DeviceProtocol::DecodeProfileChange(0x0401).has_value());
    ASSERT_EQ(mouse.ReadSettings(&raw), kLinkOk);
    EXPECT_EQ(raw[0], 1);
    EXPECT_EQ(TranslateReadBlock(raw[0], std::span<const uint8_t>(raw).subspan(1), kModeCodes).ActiveStage(), 3);

    // Asleep: every operation ends at the presence query, nothing else reaches the receiver.
    ASSERT_EQ(m_hub->SetAsleep(VirtualModel::MouseReceiver, true), 1);
    Firmware(VirtualModel::MouseReceiver).ClearReceived();
    EXPECT_EQ(mouse.WriteSettings(source, kModeCodes, 0, 1), kLinkNoReply);
    EXPECT_EQ(mouse.ReadSettings(&raw), kLinkNoReply);
    EXPECT_EQ(mouse.WriteMacroMemory({MacroSlotEvents(2)}), kLinkNoReply);
    EXPECT_EQ(mouse.WriteShootData({}), kLinkNoReply);
    StatusRecord status;
    EXPECT_FALSE(mouse.ReadPowerStatus(&status));
    for (uint8_t command : Commands(VirtualModel::MouseReceiver)) EXPECT_EQ(command, 0xAA);
}

TEST_F(ProtocolEmulatorTest, MousePadRecordGoesOutCodedAndComesBackAsIndexAndLevel) {
    MousePadProtocol pad(Open(VirtualModel::Mousepad));
    ASSERT_EQ(pad.ReadCapabilityInSession(), kLinkOk);
    MousePadProtocol::Record record{};
    LightInfo light;
    light.selectItem = 6;
    light.light = 2;
    light.speed = 3;
    light.multiColor = 1;
    light.red = 9;
    MousePadProtocol::PutLight(light, record);
    ASSERT_EQ(pad.WriteSettings(record, kModeCodes), kLinkOk);
    const std::vector<uint8_t> stored = Firmware(VirtualModel::Mousepad).ConfigBlock(0);
    EXPECT_EQ(stored[1], 0x46);
    EXPECT_EQ(stored[3], 1);
    EXPECT_EQ(stored[6], 9);

    std::vector<uint8_t> block;
    ASSERT_EQ(pad.ReadSettings(&block), kLinkOk);
    EXPECT_EQ(MousePadProtocol::RecordFromBlock(block, kModeCodes), record);

    // The phone laid on the pad's charger shows in the status record.
    ASSERT_EQ(m_hub->SetPhoneType(VirtualModel::Mousepad, 2), 1);
    StatusRecord status;
    ASSERT_TRUE(pad.ReadPowerStatus(&status));
    EXPECT_EQ(status.phoneType, 2);
}

// ---- a device that stops answering ----

TEST_F(ProtocolEmulatorTest, HungDeviceGivesTheTimeOutResultInBoundedTime) {
    KeyboardProtocol keyboard(Open(VirtualModel::KeyboardWired));
    ASSERT_EQ(keyboard.ReadKeyTables(), kLinkOk);
    const std::vector<uint8_t> before = Firmware(VirtualModel::KeyboardWired).Config();
    ASSERT_EQ(m_hub->SetUnresponsive(VirtualModel::KeyboardWired, true), 1);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(keyboard.WriteSettings(SomeKeyboardSettings(), kModeCodes), kLinkNoReply);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    // One time-out for the whole write (the session's first command), not one per frame.
    EXPECT_LT(elapsed, std::chrono::milliseconds(kWiredTimeoutMs + 1000));
    std::vector<uint8_t> block = {0xEE};
    EXPECT_EQ(keyboard.ReadSettings(&block), kLinkNoReply);
    EXPECT_EQ(block, std::vector<uint8_t>{0xEE});  // untouched
    EXPECT_EQ(Firmware(VirtualModel::KeyboardWired).Config(), before);

    // Answering again, the same object goes on.
    ASSERT_EQ(m_hub->SetUnresponsive(VirtualModel::KeyboardWired, false), 1);
    EXPECT_EQ(keyboard.WriteSettings(SomeKeyboardSettings(), kModeCodes), kLinkOk);
}

}  // namespace
